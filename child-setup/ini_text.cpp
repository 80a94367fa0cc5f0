#include "ini_text.h"

#include <QStringList>

namespace quillo::child {

namespace {

QString sectionOf(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('[') && trimmed.endsWith(']'))
        return QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2));
    return {};
}

// The key a line sets ("Key = value", spaces around allowed), or empty for
// a comment, a header or anything else.
QString keyOf(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#') || trimmed.startsWith(';'))
        return {};
    const qsizetype equals = trimmed.indexOf('=');
    return equals > 0 ? QString::fromUtf8(trimmed.left(equals).trimmed()) : QString();
}

}  // namespace

QByteArray setIniKeys(const QByteArray& text, const QString& section, const QList<QPair<QString, QString>>& keys)
{
    QList<QByteArray> lines = text.split('\n');
    const bool endsInNewline = text.isEmpty() || text.endsWith('\n');
    if (endsInNewline)
        lines.removeLast();
    QList<QPair<QString, QString>> left = keys;
    qsizetype header = -1;
    QString current;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const QString name = sectionOf(lines[i]); !name.isEmpty()) {
            current = name;
            if (name == section && header < 0)
                header = i;
            continue;
        }
        if (current != section)
            continue;
        const QString key = keyOf(lines[i]);
        for (qsizetype k = 0; k < left.size(); ++k)
            if (left[k].first == key) {
                lines[i] = (key + u'=' + left[k].second).toUtf8();
                left.removeAt(k);
                break;
            }
    }
    QList<QByteArray> added;
    for (const auto& [key, value] : left)
        added.append((key + u'=' + value).toUtf8());
    if (header >= 0) {
        for (qsizetype k = 0; k < added.size(); ++k)
            lines.insert(header + 1 + k, added[k]);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append(('[' + section + u']').toUtf8());
        lines.append(added);
    }
    return lines.join('\n') + '\n';
}

QString iniValue(const QByteArray& text, const QStringList& sections, const QString& key)
{
    QString current;
    QString found;
    for (const QByteArray& line : text.split('\n')) {
        if (const QString name = sectionOf(line); !name.isEmpty()) {
            current = name;
        } else if (sections.contains(current) && keyOf(line) == key) {
            found = QString::fromUtf8(line.mid(line.indexOf('=') + 1).trimmed());
            if (found.isNull())
                found = QLatin1String("");
        }
    }
    return found;
}

}  // namespace quillo::child
