#include "italian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace quillo::parole {

bool installItalian()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        std::fprintf(stderr, "quillo-parole: qtbase_it.qm is missing from %s: Qt's dialogs will be in English\n",
                     qPrintable(folder));
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace quillo::parole
