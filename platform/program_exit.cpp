#include "platform/program_exit.h"

#include <QApplication>

namespace quillo {

void QtProgramExit::quit()
{
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

}  // namespace quillo
