#pragma once

#include "system_root.h"

#include <QString>

namespace quillo::child {

// The child's account as /etc/passwd and /etc/group know it.
struct Account {
    bool exists = false;
    uint uid = 0;
    uint gid = 0;
};

Account findAccount(const SystemRoot& root, const QString& name);

// Why ACCOUNT may not be a child's (root, a system account, an
// administrator), in Italian; empty when it may, or when it does not exist
// yet.
QString accountProblem(const SystemRoot& root, const QString& name, const Account& account);

// Makes the account with Debian's adduser, without a password. Empty, or
// what went wrong, in Italian.
QString makeAccount(const SystemRoot& root, const QString& name);

}  // namespace quillo::child
