#pragma once

#include "system_root.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace quillo::child {

// Every file the step writes, with what it held before, kept under
// /var/lib/quillo/child/: `changes` lists each file once (its copy under
// before/, or "-" when it did not exist) and each folder the step made, so
// that the undo gives every file back byte for byte, with its mode and
// owner, and takes away what the step added. The list is saved before each
// write, so that a step cut short can still be undone.
class ChangeRecord {
public:
    static constexpr const char* kFolder = "/var/lib/quillo/child";

    explicit ChangeRecord(const SystemRoot& root) : root_(root) {}

    // Reads the list a previous step left; false when there is none.
    bool load();
    bool exists() const;

    // Writes BYTES to PATH (mode MODE for a new file; an existing one keeps
    // its mode and owner), beside it first and renamed over it. The first
    // write to a path keeps its old bytes. Empty, or what went wrong.
    QString write(const QString& path, const QByteArray& bytes, int mode = 0644);

    // What PATH held before the step's first write to it (empty when it
    // was not there, or not written by the step).
    QByteArray before(const QString& path) const;

    // The state file: key=value lines about the step (name, session...).
    QString saveState(const QList<QPair<QString, QString>>& values);
    QString state(const QString& key) const;

    // Gives every file back, newest change first, takes away the folders
    // the step made and the record itself. Empty, or what went wrong.
    QString undo();

private:
    struct Change {
        QString path;      // in the system, as "/etc/..."
        QString before;    // copy's name under before/, or empty: the file was not there
        bool folder = false;
        int mode = 0;
        uint owner = 0, group = 0;
    };
    QString remember(const QString& path);
    QString makeFolders(const QString& folder);
    QString saveList();

    SystemRoot root_;
    QList<Change> changes_;
    QList<QPair<QString, QString>> state_;
};

}  // namespace quillo::child
