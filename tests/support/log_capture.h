#pragma once

#include <QString>
#include <QtMessageHandler>

namespace quillo::test {

// Collects what the program logs while it lives: every Qt message, one line
// each as "category: message" (the way it reaches stderr outside the tests),
// from construction until the first text() (or the end of life).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Stops collecting (the first time) and returns everything collected.
    QString text();

private:
    QtMessageHandler previous_ = nullptr;
    bool collecting_ = true;
};

}  // namespace quillo::test
