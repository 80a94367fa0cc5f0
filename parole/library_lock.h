#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace quillo::parole {

// Holds the family's library for one change, so that two saves (two windows,
// the window and a script, two scripts) never mix their files: the second
// waits for the first to finish, or gives up and says that the library is
// busy. The lock is a file in the user's library folder, made with it when
// missing; a lock left by a process that died, or held longer than
// kStaleMs, is taken over.
class LibraryLock {
public:
    explicit LibraryLock(const QString& userLibrary, int waitMs = kWaitMs);
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    bool locked() const { return locked_; }
    // Why the library could not be locked, in Italian; empty when it is.
    QString problem() const { return problem_; }

    // The lock's file name inside the library folder.
    static QString fileName() { return QStringLiteral(".lock"); }
    // How long a save may wait for another to finish.
    static constexpr int kWaitMs = 10'000;
    // A save writes two small files: a lock older than this is left over.
    static constexpr int kStaleMs = 60'000;

private:
    std::unique_ptr<QLockFile> file_;
    bool locked_ = false;
    QString problem_;
};

}  // namespace quillo::parole
