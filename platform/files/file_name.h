#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quillo {

// File names as the file system hands them back, whatever their bytes. Qt
// decodes a name that is not UTF-8 lossily (each stray byte becomes U+FFFD),
// so such a file could never be opened again by its name. Here each byte that
// is not part of valid UTF-8 becomes the lone surrogate U+DC80 + byte, which
// no valid name contains, and encoding turns it back into that byte. Names in
// valid UTF-8 come out exactly as Qt's own decoding gives them.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(const QString& name);

// The name as a reader should see it: the stray bytes read as Latin-1, as an
// old stick or archive from a Western system wrote them. Names are matched
// and sorted in this form, and words are shown in it.
QString readableFileName(const QString& name);

}  // namespace quillo
