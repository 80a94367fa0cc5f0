#include "platform/program_exit.h"

#include "platform/sound/sdl_device.h"

#include <QApplication>

#include <cstdio>

#include <unistd.h>

namespace quillo {

void QtProgramExit::quit()
{
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

int finishProcess(int code)
{
    if (SdlDevice::leftBehind()) {
        std::fflush(nullptr);
        ::_exit(code);
    }
    return code;
}

}  // namespace quillo
