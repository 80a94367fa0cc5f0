#pragma once

#include <QString>

namespace quillo::child {

// Where the system's files are. Always "/" in the installed program. Only a
// test build (QUILLO_CHILD_SETUP_TEST_ROOT) takes another root from
// QUILLO_CHILD_SETUP_ROOT, so that the tests work on a tree of their own;
// even there a start through pkexec (PKEXEC_UID set) is refused.
class SystemRoot {
public:
    // The root to work in; `problem` gets an Italian sentence when none may be used.
    static SystemRoot fromEnvironment(QString* problem);

    // PATH ("/etc/...") inside the root.
    QString file(const QString& path) const { return real_ ? path : prefix_ + path; }
    // The real system, where programs run and the kernel is asked; false in a test tree.
    bool real() const { return real_; }

private:
    QString prefix_;
    bool real_ = true;
};

}  // namespace quillo::child
