#include "support/log_capture.h"

#include <QMessageLogContext>

namespace quillo::test {

namespace {

QString collected;

void collect(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (context.category && qstrcmp(context.category, "default") != 0)
        collected += QLatin1String(context.category) + QLatin1String(": ");
    collected += message + u'\n';
}

}  // namespace

LogCapture::LogCapture()
{
    collected.clear();
    previous_ = qInstallMessageHandler(collect);
}

LogCapture::~LogCapture() { text(); }

QString LogCapture::text()
{
    if (collecting_) {
        qInstallMessageHandler(previous_);
        collecting_ = false;
    }
    return collected;
}

}  // namespace quillo::test
