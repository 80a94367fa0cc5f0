#include "questions.h"

#include <QMessageBox>
#include <QPushButton>

namespace quillo::parole {

namespace {

QPushButton* addButton(QMessageBox& box, const QString& text, QMessageBox::ButtonRole role, const char* name)
{
    QPushButton* button = box.addButton(text, role);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

UnsavedChoice askAboutUnsaved(QWidget* parent, const QString& what)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Le parole di Quillo"), what, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("unsavedQuestion"));
    QPushButton* save = addButton(box, QStringLiteral("Salva"), QMessageBox::AcceptRole, "save");
    QPushButton* discard = addButton(box, QStringLiteral("Non salvare"), QMessageBox::DestructiveRole, "discard");
    QPushButton* stay = addButton(box, QStringLiteral("Resta qui"), QMessageBox::RejectRole, "stay");
    box.setDefaultButton(save);
    box.setEscapeButton(stay);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedChoice::Save;
    if (box.clickedButton() == discard)
        return UnsavedChoice::Discard;
    return UnsavedChoice::Stay;
}

bool confirmRemoval(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Le parole di Quillo"), question, QMessageBox::NoButton,
                    parent);
    box.setObjectName(QStringLiteral("removalQuestion"));
    QPushButton* confirm = addButton(box, QStringLiteral("Togli"), QMessageBox::DestructiveRole, "confirm");
    QPushButton* cancel = addButton(box, QStringLiteral("Annulla"), QMessageBox::RejectRole, "cancel");
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == confirm;
}

bool askToResume(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Le parole di Quillo"), question, QMessageBox::NoButton,
                    parent);
    box.setObjectName(QStringLiteral("resumeQuestion"));
    QPushButton* resume = addButton(box, QStringLiteral("Riprendi"), QMessageBox::AcceptRole, "resume");
    QPushButton* drop = addButton(box, QStringLiteral("Lascia perdere"), QMessageBox::DestructiveRole, "drop");
    box.setDefaultButton(resume);
    box.setEscapeButton(resume);
    box.exec();
    // Closed unanswered (the session ending meanwhile), the work is kept.
    return box.clickedButton() != drop;
}

PictureRemoval askPictureRemoval(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Le parole di Quillo"),
                    question + QStringLiteral("\n\nVuoi togliere anche la tua voce?"), QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("removalQuestion"));
    QPushButton* both = addButton(box, QStringLiteral("Togli foto e voce"), QMessageBox::DestructiveRole, "both");
    QPushButton* pictureOnly = addButton(box, QStringLiteral("Togli solo la foto"), QMessageBox::AcceptRole, "pictureOnly");
    QPushButton* cancel = addButton(box, QStringLiteral("Annulla"), QMessageBox::RejectRole, "cancel");
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == both)
        return PictureRemoval::Both;
    return box.clickedButton() == pictureOnly ? PictureRemoval::PictureOnly : PictureRemoval::Cancel;
}

}  // namespace quillo::parole
