// The lines of a settings file: whatever the file holds, the lines kept for
// QSettings are all lines it takes as they are, and sorting them again keeps
// them all, unchanged.
#include "platform/settings_file/ini_lines.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const quillo::IniLines lines =
        quillo::iniLines(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (lines.kept.contains('\r') || (lines.leftOut == 0) != (lines.firstLeftOut == 0))
        std::abort();
    if (lines.kept.startsWith("\xEF\xBB\xBF"))
        return 0;  // a second byte-order mark: taken off on the next reading
    const quillo::IniLines again = quillo::iniLines(lines.kept);
    if (again.leftOut != 0 || again.kept != lines.kept + '\n')
        std::abort();
    return 0;
}
