// The system's errors as "Le parole di Quillo" says them, in Italian, and a
// folder that cannot be written.

#include "parole/atomic_file.h"
#include "parole/system_error.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleSystemError : public QObject {
    Q_OBJECT
private slots:
    void systemErrorsInItalian();
};

void TestParoleSystemError::systemErrorsInItalian()
{
    struct Case {
        int number;
        const char* reason;
    };
    const Case cases[] = {{ENOENT, "il file o la cartella non c'è"}, {EACCES, "non hai il permesso"},
                          {ENOSPC, "il disco è pieno"},             {EROFS, "il disco è di sola lettura"},
                          {EBUSY, "il file è occupato"},            {EIO, "un errore del sistema"}};
    for (const Case& c : cases) {
        const QString said = fileProblem(QStringLiteral("Non riesco a scrivere x"), c.number);
        QVERIFY2(said.startsWith(QStringLiteral("Non riesco a scrivere x: ")) && said.contains(QString::fromUtf8(c.reason)),
                 qPrintable(said));
        QVERIFY2(!said.contains(QString::fromLocal8Bit(std::strerror(c.number))), qPrintable(said));
    }
    // From the English text a QSaveFile gives.
    QCOMPARE(errorNumberOf(QStringLiteral("Permission denied")), EACCES);
    QCOMPARE(errorNumberOf(QStringLiteral("No space left on device")), ENOSPC);

    // A folder that cannot be written, for real (root may write anywhere).
    if (::geteuid() == 0)
        return;
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("quillo/parole"))));
    QFile::setPermissions(dir.filePath(QStringLiteral("quillo/parole")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("quillo/parole/rosa.wav")), "x", &error));
    QVERIFY2(error.endsWith(QStringLiteral(": non hai il permesso.")), qPrintable(error));
}

QTEST_MAIN(TestParoleSystemError)
#include "test_parole_system_error.moc"
