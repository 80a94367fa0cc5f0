#include "lock_wait.h"

#include <QDeadlineTimer>
#include <QProgressDialog>
#include <QTimer>

namespace quillo::parole {

std::unique_ptr<LibraryLock> waitForLibrary(QWidget* parent, const QString& userLibrary, QString* problem,
                                            int waitMs)
{
    auto lock = std::make_unique<LibraryLock>(userLibrary, 0);
    *problem = lock->problem();
    if (lock->locked())
        return lock;
    if (!lock->busy())
        return nullptr;
    QProgressDialog dialog(QStringLiteral("Aspetto che finisca l'altro salvataggio…"), QStringLiteral("Annulla"), 0, 0,
                           parent);
    dialog.setObjectName(QStringLiteral("lockWait"));
    dialog.setWindowTitle(QStringLiteral("Le parole di Quillo"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    const QDeadlineTimer deadline(waitMs);
    QTimer retry;
    retry.setInterval(LibraryLock::kRetryMs);
    QObject::connect(&retry, &QTimer::timeout, &dialog, [&] {
        lock = std::make_unique<LibraryLock>(userLibrary, 0);
        if (lock->locked() || !lock->busy() || deadline.hasExpired())
            dialog.done(lock->locked() ? QDialog::Accepted : QDialog::Rejected);
    });
    retry.start();
    const bool cancelled = dialog.exec() != QDialog::Accepted && lock->busy() && !deadline.hasExpired();
    retry.stop();
    if (lock->locked())
        return lock;
    *problem = cancelled ? QStringLiteral("Non ho cambiato niente: hai smesso di aspettare l'altro salvataggio.")
                         : lock->problem();
    return nullptr;
}

}  // namespace quillo::parole
