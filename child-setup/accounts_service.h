#pragma once

#include "system_root.h"

#include <QList>
#include <QPair>
#include <QString>

namespace quillo::child {

// AccountsService keeps each user's session in memory while accounts-daemon
// runs, and writes its users file from there: a file changed behind its
// back would be overwritten, or not seen. When the daemon runs on the
// system bus, the same values are given to it through its D-Bus interface
// (SetSession, SetXSession, SetSessionType), which writes them itself.
// VALUES are the users file's keys (Session, XSession, SessionType).
// Empty when done or when no daemon runs (the file is then the truth), or
// what went wrong, in Italian.
QString tellAccountsService(const SystemRoot& root, const QString& name,
                            const QList<QPair<QString, QString>>& values);

}  // namespace quillo::child
