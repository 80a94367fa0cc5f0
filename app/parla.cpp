#include "app/parla.h"

#include "app/key_translation.h"
#include "commands/key_dispatcher.h"
#include "commands/word_list_commands.h"
#include "feedback/typing_handler.h"
#include "form/built_in_font.h"
#include "platform/desktop/display_system.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScreen>

namespace quillo {

namespace {

const QColor kWindowGreen(0, 192, 0);  // 0x0000C000

// The character a key gives to the key-press handler, where Qt leaves the
// text empty for these keys.
QString controlCharacter(int key)
{
    switch (key) {
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Return: case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    default: return {};
    }
}

// Splits text into characters, keeping surrogate pairs together.
QStringList characters(const QString& text)
{
    QStringList out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(text.mid(i, 2));
            ++i;
        } else {
            out.append(QString(text.at(i)));
        }
    }
    return out;
}

}  // namespace

Parla::Parla(Platform& platform, QWidget* parent)
    : QWidget(parent),
      Form(platform, {new WordModeButton(this), new QLineEdit(this), new WritingSheet(this), new QLabel(this)}),
      sheetKeys_(*scrivo, onX11() ? KeyQueue::Repeats::X11Pairs : KeyQueue::Repeats::Flagged,
                 [this](QEvent& event) { return answerSheetEvent(event); })
{
    setObjectName(QStringLiteral("Parla"));
    setWindowTitle(QStringLiteral("Quillo"));
    setWindowFlag(Qt::FramelessWindowHint);
    QPalette p = palette();
    p.setColor(QPalette::Window, kWindowGreen);
    setPalette(p);
    setAutoFillBackground(true);
    resize(twipsToPixels(12012, twipsPerPixelX()), twipsToPixels(7548, twipsPerPixelY()));

    Parolasi->setObjectName(QStringLiteral("Parolasi"));
    place(Parolasi, {11160, 120, 732, 492});

    esempio->setObjectName(QStringLiteral("esempio"));
    esempio->setFont(builtInFont());
    esempio->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(esempio, {120, 120, 9252, 1212});

    scrivo->setObjectName(QStringLiteral("scrivo"));
    place(scrivo, {120, 1440, 12132, 7332});

    esempiopix->setObjectName(QStringLiteral("esempiopix"));
    esempiopix->setAlignment(Qt::AlignCenter);
    place(esempiopix, {9600, 0, 1452, 1452});

    // Tab order: scrivo, (File1, hidden), esempio, Parolasi. The picture takes no focus.
    esempiopix->setFocusPolicy(Qt::NoFocus);
    setTabOrder(scrivo, esempio);
    setTabOrder(esempio, Parolasi);
    scrivo->setFocus();

    scrivo->installEventFilter(this);
    connect(Parolasi, &WordModeButton::valueClicked, this, [this] { Parolasi_Click(*this); });
}

void Parla::showCoveringScreen()
{
    // Without a window manager a full-screen request alone does not resize.
    if (QScreen* s = screen())
        setGeometry(s->geometry());
    showFullScreen();
    scrivo->setFocus();
}

// --- keys on the writing sheet -------------------------------------------

bool Parla::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrivo
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease
            || event->type() == QEvent::InputMethod))
        return sheetKeys_.take(*event);
    return QWidget::eventFilter(watched, event);
}

bool Parla::answerSheetEvent(QEvent& event)
{
    if (event.type() == QEvent::InputMethod) {
        if (!ending())
            handleSheetInput(static_cast<QInputMethodEvent&>(event).commitString());
        return ending();
    }
    auto& key = static_cast<QKeyEvent&>(event);
    if (ending() && key.type() == QEvent::KeyPress)
        return true;
    if (quitHold.keyEvent(key))
        return true;
    return key.type() == QEvent::KeyPress && handleSheetKey(&key);
}

bool Parla::handleSheetKey(QKeyEvent* event)
{
    // Tab moves the focus on and never writes on the sheet; neither handler sees it.
    // Alt+Tab is the desktop's window switch, which reaches us while the
    // keyboard is held: it must not move the child out of the sheet.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && !(event->modifiers() & Qt::AltModifier)) {
        focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return true;
    }
    const qint16 mask = modifierMask(*event);
    scrivo_KeyDown(*this, virtualKeyCode(*event), mask);
    if (ending())
        return true;
    // With Alt held a key makes no character: not for the handler, not on the sheet.
    if (mask & kAltBit)
        return true;
    QString text = event->text();
    if (text.isEmpty())
        text = controlCharacter(event->key());
    for (const QString& character : characters(text)) {
        scrivo_KeyPress(*this, character);
        if (ending())
            return true;
    }
    return false;  // the sheet inserts the character now
}

void Parla::handleSheetInput(const QString& committed)
{
    // Accented letters typed with dead keys arrive only as a commit.
    for (const QString& character : characters(committed))
        scrivo_KeyPress(*this, character);
}

}  // namespace quillo
