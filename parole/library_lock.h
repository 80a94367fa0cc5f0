#pragma once

#include <QByteArray>
#include <QString>

namespace quillo::parole {

// Holds the family's library for one change, so that two saves (two windows,
// the window and a script, two scripts) never mix their files: the second
// waits for the first to finish, or gives up and says that the library is
// busy. The lock is an advisory lock (flock) on a file in the user's library
// folder, made with it when missing and removed when the change ends; the
// system lets it go when its process dies, however it dies. Something other
// than a regular file in its place (a pipe, a link, a folder) is refused at
// once and never waited on.
class LibraryLock {
public:
    explicit LibraryLock(const QString& userLibrary, int waitMs = kWaitMs);
    ~LibraryLock();
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    bool locked() const { return fd_ >= 0; }
    // Another change holds the library; trying again later may succeed.
    bool busy() const { return busy_; }
    // Why the library could not be locked, in Italian; empty when it is.
    QString problem() const { return problem_; }

    // The lock's file name inside the library folder.
    static QString fileName() { return QStringLiteral(".lock"); }
    // How long a save may wait for another to finish.
    static constexpr int kWaitMs = 10'000;
    // How often a waiting save looks again.
    static constexpr int kRetryMs = 50;

private:
    bool tryOnce();

    QString library_;
    QByteArray path_;
    int fd_ = -1;
    bool busy_ = false;
    QString problem_;
};

}  // namespace quillo::parole
