#pragma once

#include <QString>
#include <QStringList>

namespace quillo::child {

// What the parent asked for:
//   quillo-child-setup                                          the state
//   quillo-child-setup NAME [--autologin] [--x11] [--keep-sysrq]   make the room
//   quillo-child-setup NAME --undo                                undo it
// pkexec hands the arguments over unchecked, so every one is checked here.
struct Arguments {
    enum class Action { Status, Make, Undo };
    Action action = Action::Status;
    QString name;
    bool autologin = false;
    bool x11 = false;
    bool keepSysrq = false;
};

// The arguments after the program's name; `problem` gets the Italian
// sentence when they are not one of the three forms above or the name is
// not a name an account may have.
Arguments readArguments(const QStringList& arguments, QString* problem);

// Why NAME cannot name an account (Debian's adduser rules, at most 32
// characters), in Italian; empty when it can.
QString accountNameProblem(const QString& name);

// The session's name: quillo (Wayland) or quillo-x11.
inline QString sessionName(bool x11) { return x11 ? QStringLiteral("quillo-x11") : QStringLiteral("quillo"); }

}  // namespace quillo::child
