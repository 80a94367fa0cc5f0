#include "child_account_box.h"

#include "child_step.h"

#include "platform/base/magic_sysrq.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <unistd.h>

namespace quillo::parole {

ChildAccountBox::ChildAccountBox(QWidget* parent)
    : QGroupBox(QStringLiteral("L'account del bambino"), parent),
      prepare_(new QPushButton(QStringLiteral("Prepara l'account del bambino…"))),
      sysrq_(new QLabel)
{
    prepare_->setObjectName(QStringLiteral("prepareChild"));
    sysrq_->setObjectName(QStringLiteral("sysrq"));
    sysrq_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prepare_);
    layout->addWidget(sysrq_);
    connect(prepare_, &QPushButton::clicked, this, &ChildAccountBox::prepare);
    showSysrq();
}

QStringList ChildAccountBox::stepArguments(const QString& name, bool autologin, bool x11, bool keepSysrq)
{
    QStringList arguments{name.trimmed()};
    if (autologin)
        arguments << QStringLiteral("--autologin");
    if (x11)
        arguments << QStringLiteral("--x11");
    if (keepSysrq)
        arguments << QStringLiteral("--keep-sysrq");
    return arguments;
}

void ChildAccountBox::showSysrq()
{
    const int mask = magic_sysrq::read();
    const bool open = !magic_sysrq::dangers(mask).isEmpty();
    sysrq_->setVisible(open);
    if (open)
        sysrq_->setText(QStringLiteral("Attenzione: con Alt+R Sist (Stamp) e una lettera il bambino può riavviare o "
                                       "spegnere il computer (kernel.sysrq = %1). Il passo qui sopra lo impedisce.")
                            .arg(mask));
}

void ChildAccountBox::prepare()
{
    QDialog ask(this);
    ask.setWindowTitle(QStringLiteral("Prepara l'account del bambino"));
    auto* name = new QLineEdit(QStringLiteral("bimbo"));
    name->setObjectName(QStringLiteral("childName"));
    auto* autologin = new QCheckBox(QStringLiteral("Entra da solo, senza password, direttamente in Quillo"));
    autologin->setChecked(true);
    auto* x11 = new QCheckBox(QStringLiteral("Usa la sessione X11 (se Wayland non va su questo computer)"));
    auto* keepSysrq = new QCheckBox(QStringLiteral("Lascia com'è Magic SysRq (Alt+R Sist)"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Prepara"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    auto* form = new QFormLayout(&ask);
    form->addRow(new QLabel(QStringLiteral("Un account tutto suo, che entra solo in Quillo. Serve la password "
                                           "dell'amministratore. Si annulla con quillo-parole child NOME --undo.")));
    form->addRow(QStringLiteral("Nome dell'account:"), name);
    form->addRow(autologin);
    form->addRow(x11);
    form->addRow(keepSysrq);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted)
        return;

    const QString helper = childSetupProgram();
    const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    if (helper.isEmpty() || (::geteuid() != 0 && pkexec.isEmpty())) {
        QMessageBox::warning(this, windowTitle(),
                             helper.isEmpty() ? QStringLiteral("Non trovo quillo-child-setup: reinstalla il pacchetto quillo.")
                                              : QStringLiteral("Manca pkexec, che chiede la password dell'amministratore: "
                                                               "installa il pacchetto pkexec."));
        return;
    }
    const QStringList arguments = stepArguments(name->text(), autologin->isChecked(), x11->isChecked(),
                                                keepSysrq->isChecked());
    step_ = new QProcess(this);
    connect(step_, &QProcess::finished, this, &ChildAccountBox::finished);
    prepare_->setEnabled(false);
    if (::geteuid() == 0)
        step_->start(helper, arguments);
    else
        step_->start(pkexec, QStringList{helper} + arguments);
}

void ChildAccountBox::finished()
{
    const int status = step_->exitStatus() == QProcess::NormalExit ? step_->exitCode() : -1;
    QString said = QString::fromUtf8(step_->readAllStandardOutput()).trimmed();
    const QString problem = QString::fromUtf8(step_->readAllStandardError()).remove(QStringLiteral("quillo-parole: ")).trimmed();
    step_->deleteLater();
    step_ = nullptr;
    prepare_->setEnabled(true);
    showSysrq();
    if (status == 0) {
        QMessageBox::information(this, windowTitle(), said);
        return;
    }
    // pkexec's own statuses: the dialog dismissed, or not an administrator.
    if (status == 126 || status == 127)
        said = QStringLiteral("Serve la password di un amministratore: non è cambiato niente.");
    QMessageBox::warning(this, windowTitle(), problem.isEmpty() ? said : problem);
}

}  // namespace quillo::parole
