#pragma once

#include "arguments.h"
#include "system_root.h"

#include <QString>

namespace quillo::child {

// The files the step writes: its own, each under a folder the program
// reads in name order, late enough to come after the distribution's.
inline constexpr const char* kLightDmDropIn = "/etc/lightdm/lightdm.conf.d/90-quillo-child.conf";
inline constexpr const char* kSddmDropIn = "/etc/sddm.conf.d/90-quillo-child.conf";
inline constexpr const char* kSysctlFile = "/etc/sysctl.d/90-quillo-child.conf";
// And these, edited in place.
inline constexpr const char* kGdmConfig = "/etc/gdm3/daemon.conf";
inline constexpr const char* kLightDmConfig = "/etc/lightdm/lightdm.conf";
inline constexpr const char* kSddmConfig = "/etc/sddm.conf";
QString accountsServiceFile(const QString& name);
// The programs it runs, by their full paths: a root program takes nothing
// from the caller's PATH (procps keeps sysctl in /sbin, merged or not).
inline constexpr const char* kSysctl = "/sbin/sysctl";

// Exit statuses: done, failed on the way (everything undone), refused or
// bad usage (nothing written).
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kRefused = 2;

// Each says what it does on stdout and what went wrong on stderr, in
// Italian, and returns the exit status.
int makeRoom(const SystemRoot& root, const Arguments& asked);
int undoRoom(const SystemRoot& root, const QString& name);
int showRoom(const SystemRoot& root);

// The kernel's SysRq mask now, or -1.
int currentSysrq(const SystemRoot& root);

void say(const QString& line);
int complain(int status, const QString& line);

}  // namespace quillo::child
