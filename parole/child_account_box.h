#pragma once

#include <QGroupBox>
#include <QStringList>

class QLabel;
class QProcess;
class QPushButton;

namespace quillo::parole {

// The corner of the parents' window for the child's room: the button
// "Prepara l'account del bambino…", which asks the account's name and the
// choices and runs the same step as quillo-parole child (through pkexec,
// whose dialog asks for an administrator's password), and, beside it, what
// Magic SysRq still lets a child do.
class ChildAccountBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ChildAccountBox(QWidget* parent = nullptr);

    // The helper's arguments the parent's answers make (tests read them).
    static QStringList stepArguments(const QString& name, bool autologin, bool x11, bool keepSysrq);

private:
    void prepare();
    void finished();
    void showSysrq();

    QPushButton* prepare_ = nullptr;
    QLabel* sysrq_ = nullptr;
    QProcess* step_ = nullptr;
};

}  // namespace quillo::parole
