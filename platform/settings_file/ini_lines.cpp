#include "platform/settings_file/ini_lines.h"

#include <QStringDecoder>

namespace quillo {

namespace {

QByteArrayView trimmed(QByteArrayView line)
{
    while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
        line = line.sliced(1);
    while (!line.isEmpty() && (line.back() == ' ' || line.back() == '\t'))
        line.chop(1);
    return line;
}

bool isText(QByteArrayView line)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
            return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString decoded = utf8.decode(line);
    return !utf8.hasError();
}

// A header's name: no brackets, quotes, comment marks or escapes in it.
bool isSectionName(QByteArrayView name)
{
    if (trimmed(name).isEmpty())
        return false;
    for (const char c : name) {
        if (c == '[' || c == ']' || c == '"' || c == ';' || c == '\\')
            return false;
    }
    return true;
}

// "key=value" as QSettings splits it: a backslash takes the next character
// as it is, '=' inside quotes is no separator.
bool isKeyValue(QByteArrayView line)
{
    bool quoted = false;
    qsizetype equals = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\\') {
            if (++i == line.size())
                return false;  // would join the next line to this one
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '=' && !quoted && equals < 0) {
            equals = i;
        }
    }
    if (quoted || equals < 0)
        return false;
    const QByteArrayView key = trimmed(line.first(equals));
    return !key.isEmpty() && !key.contains('"');
}

enum class Line { Kept, Repaired, LeftOut };

Line sort(QByteArrayView line)
{
    line = trimmed(line);
    if (line.isEmpty())
        return Line::Kept;
    if (!isText(line))
        return Line::LeftOut;
    if (line.front() == ';')
        return Line::Kept;
    if (line.front() == '[') {
        if (line.back() == ']' && isSectionName(line.sliced(1, line.size() - 2)))
            return Line::Kept;
        // QSettings opens the section all the same: so does the copy, with
        // the bracket, but the file counts as damaged.
        return isSectionName(line.sliced(1)) ? Line::Repaired : Line::LeftOut;
    }
    return isKeyValue(line) ? Line::Kept : Line::LeftOut;
}

}  // namespace

IniLines iniLines(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    IniLines result;
    int number = 0;
    qsizetype start = 0;
    while (start <= data.size()) {
        // QSettings ends a line at '\r' as well as at '\n'.
        qsizetype end = start;
        while (end < data.size() && data.at(end) != '\n' && data.at(end) != '\r')
            ++end;
        const QByteArrayView line = data.sliced(start, end - start);
        ++number;
        const Line sorted = sort(line);
        if (sorted != Line::LeftOut) {
            result.kept += line;
            result.kept += sorted == Line::Repaired ? "]\n" : "\n";
        }
        if (sorted != Line::Kept && result.leftOut++ == 0)
            result.firstLeftOut = number;
        if (end < data.size() - 1 && data.at(end) == '\r' && data.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    return result;
}

}  // namespace quillo
