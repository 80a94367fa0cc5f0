#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace quillo {

// Opens a media or settings file for reading, only if it is a regular file
// (a symlink to one is fine). The open never blocks: a FIFO, a device, a
// socket or a folder is refused at once instead of waiting for a writer.
// Returns nullptr, with the reason in *why, when the file is refused.
std::unique_ptr<QFile> openRegularFile(const QByteArray& nativePath, QString* why = nullptr);
// The same for a name as decodeFileName gives it (encoded with encodeFileName).
std::unique_ptr<QFile> openRegularFile(const QString& path, QString* why = nullptr);

}  // namespace quillo
