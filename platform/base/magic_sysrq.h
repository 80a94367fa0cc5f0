#pragma once

#include <QString>
#include <QStringList>

namespace quillo {

// The kernel's Magic SysRq keys (Alt+SysRq and a letter), as
// /proc/sys/kernel/sysrq allows them: 1 allows all, else each bit one group
// (the kernel's Documentation/admin-guide/sysrq.rst). Debian's kernels allow
// 438, so a child pressing Alt, PrintScreen and letters can reboot the
// machine. Only root can lower the mask; the child's setup limits it to 16,
// sync alone.
namespace magic_sysrq {

inline constexpr const char* kPath = "/proc/sys/kernel/sysrq";
inline constexpr int kSyncOnly = 16;

// What the mask lets a child do that ends the session, the machine or the
// disk's writing, in English words with their letters, in the kernel's bit
// order; empty when nothing.
QStringList dangers(int mask);

// The mask in FILE, or -1 when it cannot be read or is not a number.
int read(const QString& path = QString::fromLatin1(kPath));

// One line for stderr naming what the mask allows and the one-step command
// that closes it; empty when the mask allows none of it.
QString warning(int mask);

}  // namespace magic_sysrq
}  // namespace quillo
