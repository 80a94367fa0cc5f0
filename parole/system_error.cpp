#include "system_error.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>

namespace quillo::parole {

namespace {

constexpr int kKnown[] = {ENOENT, ENOTDIR, EISDIR, ELOOP, EACCES, EPERM, ENOSPC, EDQUOT, EROFS, EBUSY, ETXTBSY};

void tellStderr(const QString& what, const QString& raw)
{
    if (raw.isEmpty())
        return;
    std::fprintf(stderr, "quillo-parole: %s: %s\n", what.toUtf8().constData(), raw.toUtf8().constData());
}

QString systemText(int errorNumber, locale_t locale)
{
    return QString::fromLocal8Bit(locale ? strerror_l(errorNumber, locale) : std::strerror(errorNumber));
}

}  // namespace

QString reasonOf(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return QStringLiteral("il file o la cartella non c'è");
    case ENOTDIR: return QStringLiteral("al posto di una cartella c'è un file");
    case EISDIR: return QStringLiteral("al posto del file c'è una cartella");
    case ELOOP: return QStringLiteral("al posto del file c'è un collegamento");
    case EACCES:
    case EPERM: return QStringLiteral("non hai il permesso");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("il disco è pieno");
    case EROFS: return QStringLiteral("il disco è di sola lettura");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("il file è occupato da un altro programma");
    default: return {};
    }
}

int errorNumberOf(const QString& errorString)
{
    // The text may be in the C locale's words or in the user's.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    for (int number : kKnown) {
        if (errorString.contains(systemText(number, c), Qt::CaseInsensitive)
            || errorString.contains(systemText(number, locale_t(nullptr)), Qt::CaseInsensitive))
            return number;
    }
    return 0;
}

QString fileProblem(const QString& what, int errorNumber, const QString& raw)
{
    const QString reason = reasonOf(errorNumber);
    tellStderr(what, raw.isEmpty() && errorNumber != 0 ? QString::fromLocal8Bit(std::strerror(errorNumber)) : raw);
    return QStringLiteral("%1: %2.").arg(what, reason.isEmpty() ? QStringLiteral("un errore del sistema") : reason);
}

QString fileProblem(const QString& what, const QString& errorString)
{
    return fileProblem(what, errorNumberOf(errorString), errorString);
}

QString notARegularFile(const QString& what)
{
    return QStringLiteral("%1: non è un file normale.").arg(what);
}

QString cannotCreateFolder(const QString& folder)
{
    const int number = errno;
    return fileProblem(QStringLiteral("Non riesco a creare la cartella %1").arg(folder), number);
}

}  // namespace quillo::parole
