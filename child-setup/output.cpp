#include "room.h"

#include <cstdio>

namespace quillo::child {

void say(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int complain(int status, const QString& line)
{
    std::fputs(("quillo-parole: " + line).toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
    return status;
}

}  // namespace quillo::child
