#pragma once

#include <QByteArray>
#include <QString>

namespace quillo::test {

// Collects what the program writes on stderr while it lives: fd 2 goes into
// a pipe from construction until the first text() (or the end of life).
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Puts stderr back (the first time) and returns everything captured.
    QString text();

private:
    int fds_[2] = {-1, -1};
    int saved_ = -1;
    QByteArray captured_;
};

}  // namespace quillo::test
