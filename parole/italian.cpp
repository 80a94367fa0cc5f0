#include "italian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace quillo::parole {

namespace {

// Qt's Italian translation, with the words Qt 6 moved and Debian's
// translation still keeps in their old place: the kinds of file ("Folder",
// "Drive") left the file dialog for the icon provider.
class QtItalian : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool load(const QLocale& italian, const QString& folder)
    {
        return qtbase_.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    }
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        QString found = qtbase_.translate(context, source, disambiguation, n);
        if (found.isEmpty() && qstrcmp(context, "QAbstractFileIconProvider") == 0)
            found = qtbase_.translate("QFileDialog", source, disambiguation, n);
        return found;
    }
    bool isEmpty() const override { return qtbase_.isEmpty(); }

private:
    QTranslator qtbase_;
};

}  // namespace

void useItalianLocale()
{
    // Qt reads its system locale from the environment once, at its first
    // use: Italian then, and the environment given back at once, so that
    // the C library and the programs started from here keep the session's.
    const bool wasSet = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray before = qgetenv("LC_ALL");
    qputenv("LC_ALL", "it_IT.UTF-8");
    (void)QLocale::system();
    if (wasSet)
        qputenv("LC_ALL", before);
    else
        qunsetenv("LC_ALL");
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

bool installItalian()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    auto* translator = new QtItalian(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(italian, folder)) {
        std::fprintf(stderr, "quillo-parole: manca qtbase_it.qm in %s: le finestre di Qt saranno in inglese\n",
                     qPrintable(folder));
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace quillo::parole
