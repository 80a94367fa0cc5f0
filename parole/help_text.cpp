#include "help_text.h"

namespace quillo::parole {

namespace {

const char kUsage[] =
    "uso: quillo-parole                       apre la finestra\n"
    "     quillo-parole add PAROLA [--picture FOTO] [--record SECONDI | --recording FILE.wav]\n"
    "     quillo-parole letter CARATTERE (--record SECONDI | --recording FILE.wav | --remove)\n"
    "     quillo-parole remove PAROLA [--picture | --voice]\n"
    "     quillo-parole child NOME [--autologin] [--x11] [--keep-sysrq]   prepara l'account del bambino\n"
    "     quillo-parole child NOME --undo          annulla quello che child aveva fatto\n"
    "     quillo-parole child                      dice com'è l'account del bambino\n"
    "     quillo-parole --help                     spiega tutto questo";

const char kCommands[] =
    "Le parole di Quillo: aggiunge parole, foto e la tua voce alla libreria di Quillo della famiglia\n"
    "(in $XDG_DATA_HOME/quillo, di solito ~/.local/share/quillo). Senza argomenti apre la finestra.\n"
    "\n"
    "Comandi:\n"
    "  add PAROLA         aggiunge la parola, o ne sostituisce la foto o la voce. Una parola nuova\n"
    "                     vuole la foto; a una parola che c'è già basta la voce.\n"
    "  letter CARATTERE   dà la tua voce al tasto CARATTERE (--record o --recording), o la toglie\n"
    "                     (--remove): torna quella di Quillo, se c'è.\n"
    "  remove PAROLA      toglie la tua foto e la tua voce della parola, o solo una delle due\n"
    "                     (--picture, --voice); quello che ha Quillo della parola torna.\n"
    "  child NOME         prepara l'account del bambino NOME: la sessione di Quillo (--x11 per X11),\n"
    "                     l'accesso senza password (--autologin), Alt+R Sist limitato salvo\n"
    "                     --keep-sysrq; con --undo rimette tutto com'era. Senza NOME dice com'è.\n"
    "                     Chiede la password di un amministratore.\n"
    "\n"
    "Opzioni:\n"
    "  --picture FOTO         con add: la foto della parola (JPEG, PNG, BMP, GIF, HEIC/HEIF, AVIF\n"
    "                         o WebP), raddrizzata e rimpicciolita.\n"
    "  --picture              con remove: toglie solo la tua foto (la tua voce resta).\n"
    "  --voice                con remove: toglie solo la tua voce.\n"
    "  --record SECONDI       registra la tua voce dal microfono per SECONDI (al massimo 60).\n"
    "  --recording FILE.wav   prende la tua voce da un file WAV.\n"
    "  --remove               con letter: toglie la tua voce del tasto.\n"
    "  -h, --help             mostra questo aiuto.\n"
    "\n"
    "Ogni opzione si scrive una volta sola, con due trattini.\n"
    "\n"
    "Uscita:\n"
    "  0   fatto\n"
    "  1   rifiutato o non riuscito: il perché è sull'errore standard\n"
    "  2   uso sbagliato (comando od opzione sconosciuti, valore mancante, opzioni che non vanno\n"
    "      insieme); per child anche un account o un passo rifiutato, senza aver scritto nulla";

}  // namespace

QString usageText()
{
    return QString::fromUtf8(kUsage);
}

QString helpText()
{
    return QString::fromUtf8(kUsage) + QStringLiteral("\n\n") + QString::fromUtf8(kCommands);
}

}  // namespace quillo::parole
