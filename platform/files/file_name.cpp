#include "platform/files/file_name.h"

namespace quillo {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + byte, for bytes 0x80..0xFF

// A stray byte's stand-in, told apart from the second half of a surrogate pair
// (U+10080 is D800 DC80), which is a character like any other.
bool isEscapeAt(QStringView name, qsizetype i)
{
    const char16_t u = name.at(i).unicode();
    return u >= 0xDC80 && u <= 0xDCFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

bool hasEscape(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapeAt(name, i))
            return true;
    }
    return false;
}

// The length of the valid UTF-8 sequence at `p` (at most `left` bytes), or 0
// when none starts there: overlong forms, encoded surrogates and values past
// U+10FFFF are not valid.
int validSequenceLength(const unsigned char* p, qsizetype left)
{
    const unsigned char b = p[0];
    int length = 0;
    char32_t least = 0;
    char32_t value = 0;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        value = b & 0x1F;
        least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        value = b & 0x0F;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        value = b & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

QString decodeFileName(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    // Nearly every name is plain UTF-8: find that out first, and decode it
    // the usual way.
    while (i < n) {
        const int length = validSequenceLength(p + i, n - i);
        if (length == 0)
            break;
        i += length;
    }
    if (i == n)
        return QString::fromUtf8(bytes);

    QString name = QString::fromUtf8(bytes.first(i));
    while (i < n) {
        const int length = validSequenceLength(p + i, n - i);
        if (length == 0) {
            name += QChar(char16_t(kEscapeBase + p[i]));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return name;
}

QByteArray encodeFileName(const QString& name)
{
    if (!hasEscape(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscapeAt(name, i))
            continue;
        bytes += QStringView(name).sliced(runStart, i - runStart).toUtf8();
        if (i < name.size())
            bytes += char(name.at(i).unicode() - kEscapeBase);
        runStart = i + 1;
    }
    return bytes;
}

QString readableFileName(const QString& name)
{
    if (!hasEscape(name))
        return name;
    QString readable = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapeAt(name, i))
            readable[i] = QChar(char16_t(name.at(i).unicode() - kEscapeBase));
    }
    return readable;
}

}  // namespace quillo
