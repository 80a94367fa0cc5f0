#include "support/process_memory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace quillo::test {

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
qint64 statusKilobytes(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

}  // namespace

qint64 residentBytes() { return statusKilobytes("VmRSS"); }
qint64 peakResidentBytes() { return statusKilobytes("VmHWM"); }

bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

}  // namespace quillo::test
