#pragma once

#include <QtGlobal>

namespace quillo::test {

// This process's memory, from /proc/self; -1 where it cannot be read.

// Resident now, in bytes.
qint64 residentBytes();
// The most resident since the start or the last resetPeakResident(), in bytes.
qint64 peakResidentBytes();
// Forgets the peak so far; false where the kernel does not allow it.
bool resetPeakResident();

}  // namespace quillo::test
