#include "support/stderr_capture.h"

#include <QtGlobal>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace quillo::test {

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    if (::pipe(fds_) != 0)
        qFatal("pipe failed");
    ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    ::fcntl(fds_[1], F_SETFL, O_NONBLOCK);
    saved_ = ::dup(2);
    ::dup2(fds_[1], 2);
}

StderrCapture::~StderrCapture() { text(); }

QString StderrCapture::text()
{
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        ::close(fds_[1]);
        saved_ = -1;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fds_[0], buffer, sizeof buffer)) > 0)
            captured_.append(buffer, n);
        ::close(fds_[0]);
    }
    return QString::fromUtf8(captured_);
}

}  // namespace quillo::test
