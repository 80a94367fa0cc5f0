#include "stderr_italian.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

#include <cstdio>

namespace quillo::parole {

namespace {

// The shared code's English sentences (their keys, see logText) and what a
// parent reads instead.
const QHash<QByteArray, QString>& italianSentences()
{
    static const QHash<QByteArray, QString> sentences{
        {"%1: left out, %2", QStringLiteral("%1: non si usa, %2")},
        {"%1: left out, it cannot be read (%2)", QStringLiteral("%1: non si usa, non si può leggere (%2)")},
        {"it is not a folder", QStringLiteral("non è una cartella")},
        {"it cannot be read (%1)", QStringLiteral("non si può leggere (%1)")},
        {"its links go round in a loop", QStringLiteral("i collegamenti girano in tondo")},
        {"XDG_DATA_HOME (%1) is not an absolute path: ignored, ~/.local/share is used",
         QStringLiteral("XDG_DATA_HOME (%1) non è un percorso assoluto: uso ~/.local/share")},
        {"HOME is not set: the home folder of the account is used",
         QStringLiteral("HOME non è impostata: uso la cartella personale dell'account")},
        {"HOME (%1) is not an absolute path: the home folder of the account is used",
         QStringLiteral("HOME (%1) non è un percorso assoluto: uso la cartella personale dell'account")},
        {"no home folder: no library of your own",
         QStringLiteral("nessuna cartella personale: niente libreria della famiglia")},
        {"no sound (%1)", QStringLiteral("niente suono (%1)")},
        {"sound lost (%1); trying again from the next sound",
         QStringLiteral("suono perso (%1); riprovo dal prossimo suono")},
        {"the audio device went away", QStringLiteral("il dispositivo audio non c'è più")},
        {"the audio device stopped taking sound", QStringLiteral("il dispositivo audio non prende più il suono")},
        {"the sound server does not answer", QStringLiteral("il server del suono non risponde")},
        {"the sound server has no input device", QStringLiteral("il server del suono non ha un microfono")},
        {"the sound server has no output device", QStringLiteral("il server del suono non ha un'uscita")},
        {"audio could not start: %1", QStringLiteral("l'audio non parte: %1")},
        {"no audio device: %1", QStringLiteral("nessun dispositivo audio: %1")},
        {"no capture device: %1", QStringLiteral("nessun microfono: %1")},
        {"sound is back", QStringLiteral("il suono è tornato")},
        {"sound works now", QStringLiteral("ora il suono funziona")},
        {"%1 is too large to play", QStringLiteral("%1 è troppo grande da suonare")},
        {"%1 would play for %2 minutes: too long to play", QStringLiteral("%1 durerebbe %2 minuti: troppo lungo da suonare")},
        {"%1 would take %2 MB to play: too large to play",
         QStringLiteral("%1 vorrebbe %2 MB per suonare: troppo grande da suonare")},
        {"cannot convert %1: %2", QStringLiteral("non riesco a convertire %1: %2")},
        {"cannot play %1: %2", QStringLiteral("non riesco a suonare %1: %2")},
        {"not enough memory to play %1", QStringLiteral("non c'è memoria per suonare %1")},
    };
    return sentences;
}

class LogItalian : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return qstrcmp(context, "quillo") == 0 ? italianSentences().value(QByteArray(source)) : QString();
    }
    bool isEmpty() const override { return false; }
};

QtMessageHandler qtHandler = nullptr;

// The shared code's category is "quillo": here its lines are this program's.
void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category != nullptr && qstrcmp(context.category, "quillo") == 0) {
        std::fputs((QStringLiteral("quillo-parole: ") + message + u'\n').toUtf8().constData(), stderr);
        return;
    }
    qtHandler(type, context, message);
}

}  // namespace

void sayLogInItalian()
{
    QCoreApplication::installTranslator(new LogItalian(QCoreApplication::instance()));
    qtHandler = qInstallMessageHandler(handleMessage);
}

}  // namespace quillo::parole
