#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace quillo {

// Opens a media or settings file for reading, only if it is a regular file
// (a symlink to one is fine). Nothing else is ever opened: a FIFO, a device,
// a socket or a folder is refused by its type before any open, and a file
// swapped for one between the look and the open is refused too (the file
// looked at is held, and reopened, by its descriptor). Returns nullptr, with
// the reason in *why, when the file is refused, and its kind in *refusal.
enum class FileRefusal {
    Missing,     // nothing there (a link to nothing included)
    NotRegular,  // a FIFO, a device, a socket, a folder, or swapped for one
    Failed,      // the system refused it (permissions, input/output)
};
std::unique_ptr<QFile> openRegularFile(const QByteArray& nativePath, QString* why = nullptr,
                                       FileRefusal* refusal = nullptr);
// The same for a name as decodeFileName gives it (encoded with encodeFileName).
std::unique_ptr<QFile> openRegularFile(const QString& path, QString* why = nullptr, FileRefusal* refusal = nullptr);

}  // namespace quillo
