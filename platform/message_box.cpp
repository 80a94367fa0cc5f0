#include "platform/message_box.h"

#include <QMessageBox>

namespace quillo {

void QtMessageBox::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace quillo
