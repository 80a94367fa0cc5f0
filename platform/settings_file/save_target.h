#pragma once

#include <QString>

namespace quillo {

// Where a save of a file kept at `path` lands. A file that is a link stays
// one when the link leads, after every hop, to a regular file of the user
// running Quillo: that file is the one replaced. A link to anything else (a
// device, a FIFO, a socket, a folder, another user's file, nothing, or a loop)
// is never followed for writing; the link itself is replaced.
struct SaveTarget {
    QString path;          // the name the new file is renamed onto
    bool throughLink = false;  // `path` is the file a link led to
    QString linkReplaced;  // why the link itself is replaced, when it is
};

SaveTarget saveTargetOf(const QString& path);

// Renames the file `staged`, made in the folder of target.path, onto
// target.path, after checking at the last moment, in that folder, what is
// there now: a file a link led to must still be a regular file of the user's;
// at the file's own name anything but a folder or a device may be replaced
// (nothing is there, a link, a FIFO, a socket, a regular file). False, with
// the reason, when the rename was refused or failed; nothing was changed then.
bool renameOnto(const QString& staged, const SaveTarget& target, QString* why);

}  // namespace quillo
