#include "child_step.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace quillo::parole {

namespace {

// pkexec's own statuses: the password dialog dismissed, or not authorised.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;

int refuse(int status, const QString& line)
{
    std::fputs(("quillo-parole: " + line + u'\n').toUtf8().constData(), stderr);
    return status;
}

}  // namespace

QString childSetupProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("quillo-child-setup")),
                                     here.filePath(QStringLiteral("../../libexec/quillo/quillo-child-setup"))}) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable())
            return program.canonicalFilePath();  // polkit's action names the real path
    }
    return {};
}

int runChildStep(const QStringList& arguments)
{
    const QString helper = childSetupProgram();
    if (helper.isEmpty())
        return refuse(1, QStringLiteral("Non trovo quillo-child-setup, che prepara l'account del bambino: reinstalla "
                                        "il pacchetto quillo."));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    // The state is anyone's to read; changes need root, which pkexec gives.
    const bool throughPkexec = !arguments.isEmpty() && ::geteuid() != 0;
    if (throughPkexec) {
        const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
        if (pkexec.isEmpty())
            return refuse(1, QStringLiteral("Manca pkexec, che chiede la password dell'amministratore: installa il "
                                            "pacchetto pkexec, o usa sudo quillo-parole child …"));
        process.start(pkexec, QStringList{helper} + arguments);
    } else {
        process.start(helper, arguments);
    }
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return refuse(1, QStringLiteral("quillo-child-setup non è arrivato in fondo: %1").arg(process.errorString()));
    const int status = process.exitCode();
    if (throughPkexec && status == kPkexecDismissed)
        return refuse(1, QStringLiteral("La password dell'amministratore non è stata data: non è cambiato niente."));
    if (throughPkexec && status == kPkexecNotAuthorised)
        return refuse(1, QStringLiteral("Serve la password di un amministratore (un account del gruppo sudo): non è "
                                        "cambiato niente."));
    return status;
}

}  // namespace quillo::parole
