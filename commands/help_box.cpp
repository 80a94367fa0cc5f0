#include "commands/help_box.h"

#include "platform/desktop/message_box.h"
#include "version.h"

namespace quillo {

QString helpText(bool holdToQuit)
{
    const QString lines[] = {
        QStringLiteral("ESC: carica default"),
        QStringLiteral("F1: Aiuto (ALT+F1: default base)"),
        QStringLiteral("F2 : Cambia colore sfondo (con ALT: Salva)"),
        QStringLiteral("F3 : Cambia colore scrittura"),
        QStringLiteral("F4 : Smussa angoli (con ALT: Esce)"),
        QStringLiteral("F5 : Cambia carattere"),
        QStringLiteral("F6 : Diminuisce dimensioni carattere"),
        QStringLiteral("F7 : Aumenta dimensioni carattere"),
        QStringLiteral("F8 : Cambia Parole"),
        QStringLiteral("F9 : Vedi o Nascondi Parole"),
        QStringLiteral("F10: Attiva o disattiva Parola"),
        QStringLiteral("F11: Attiva o disattiva Suono"),
        QStringLiteral("F12: Pulisce foglio"),
        QStringLiteral("v.%1.%2%3").arg(version::kMajor).arg(version::kMinor).arg(QString::fromUtf8(version::kCredit)),
        QStringLiteral("Quillo è gratuito: usatelo, copiatelo e regalatelo liberamente."),
        QStringLiteral("Se vi piace, o se avete suggerimenti, contattatemi a ") + QString::fromUtf8(version::kContact),
    };
    QString text;
    for (const QString& line : lines)
        text += line + u'\n';
    if (holdToQuit)
        text += QStringLiteral("Per uscire: tieni premuti Alt+Q (o Alt+F4) per 2 secondi, senza altri tasti\n");
    return text;
}

void showHelpBox(MessageBox& messages, QWidget* parent, bool holdToQuit)
{
    messages.information(parent, kHelpTitle, helpText(holdToQuit));
}

}  // namespace quillo
