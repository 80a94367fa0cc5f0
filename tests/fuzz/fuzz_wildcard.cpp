// Wildcard matching: any pattern against any name must answer without
// crashing, and the classic rules must hold for every input.
#include "support/wildcard_matches.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString pattern = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString name = QString::fromUtf8(split < 0 ? QByteArray() : bytes.mid(split + 1));

    const bool matches = quillo::wildcardMatches(pattern, name);
    // An ASCII pattern without wildcards matches exactly its own spelling in any case.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 128; });
    if (ascii && !quillo::hasWildcards(pattern) && matches != (pattern.compare(name, Qt::CaseInsensitive) == 0))
        std::abort();
    // "*.*" matches every name.
    if (!quillo::wildcardMatches(QStringLiteral("*.*"), name))
        std::abort();
    // Every name matches itself once its wildcards are taken as what they match.
    if (!quillo::hasWildcards(name) && !name.isEmpty() && !quillo::wildcardMatches(name, name))
        std::abort();
    quillo::isPortableFileName(name);
    return 0;
}
