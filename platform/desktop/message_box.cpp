#include "platform/desktop/message_box.h"
#include "platform/desktop/display_system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>

#include <memory>

namespace quillo {

namespace {

// A Wayland compositor need not give the keyboard to a window opened over a
// full-screen one, and sway does not: there the box would stay on the screen
// with no key able to close it.
bool drawnInsideTheWindow(const QWidget* parent)
{
    return parent != nullptr && onWayland();
}

}  // namespace

void QtMessageBox::information(QWidget* parent, const QString& title, const QString& text)
{
    if (!drawnInsideTheWindow(parent)) {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    // On Wayland the box is drawn inside our own window, which keeps the
    // keyboard (and the compositor's shortcuts held off). An invisible cover
    // over the whole window keeps clicks off the sheet while it is open.
    QWidget* window = parent->window();
    const QPointer<QWidget> focusBefore = QApplication::focusWidget();
    const auto cover = std::make_unique<QWidget>(window);
    cover->setGeometry(window->rect());
    // The box looks as it does in a window of its own, not in the form's
    // colours: every colour of the standard palette is set, so none is taken
    // from the window.
    QPalette standard = QApplication::palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role != QPalette::NoRole)
                standard.setBrush(group, QPalette::ColorRole(role), standard.brush(group, QPalette::ColorRole(role)));
        }
    }
    cover->setPalette(standard);
    cover->setFont(QApplication::font());
    cover->show();
    cover->raise();
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, cover.get());
    box->setWindowFlags(Qt::Widget);
    box->setTextFormat(Qt::PlainText);
    box->setAutoFillBackground(true);
    box->show();
    box->adjustSize();
    box->move(cover->rect().center() - box->rect().center());
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->setFocus(Qt::OtherFocusReason);
    box->exec();
    if (focusBefore)
        focusBefore->setFocus(Qt::OtherFocusReason);
}

}  // namespace quillo
