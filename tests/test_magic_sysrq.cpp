// Which Magic SysRq masks let a child end the session or the machine, as
// the kernel's sysrq.rst gives the bits, and reading the mask's file.
#include "platform/base/magic_sysrq.h"

#include <QTemporaryDir>
#include <QtTest>

namespace sysrq = quillo::magic_sysrq;

class TestMagicSysrq : public QObject {
    Q_OBJECT
private slots:
    void masks_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("letters");
        QTest::newRow("off") << 0 << QStringList{};
        QTest::newRow("sync alone, the setup's") << 16 << QStringList{};
        QTest::newRow("logging, dumps, sync, nicing") << (2 | 8 | 16 | 256) << QStringList{};
        QTest::newRow("all") << 1 << QStringList{"(SAK, K)", "(U)", "(E, I)", "(B, O)"};
        // Debian's kernels: 0x1b6.
        QTest::newRow("Debian's 438") << 438 << QStringList{"(SAK, K)", "(U)", "(B, O)"};
        QTest::newRow("reboot alone") << 128 << QStringList{"(B, O)"};
        QTest::newRow("signals alone") << 64 << QStringList{"(E, I)"};
    }
    void masks()
    {
        QFETCH(int, mask);
        QFETCH(QStringList, letters);
        const QStringList said = sysrq::dangers(mask);
        QCOMPARE(said.size(), letters.size());
        for (int i = 0; i < said.size(); ++i)
            QVERIFY2(said[i].endsWith(letters[i]), qPrintable(said[i]));
        const QString warning = sysrq::warning(mask);
        QCOMPARE(warning.isEmpty(), letters.isEmpty());
        if (!warning.isEmpty()) {
            QVERIFY2(warning.contains(QStringLiteral("quillo-parole child NAME")), qPrintable(warning));
            QVERIFY2(warning.contains(QStringLiteral("kernel.sysrq = %1").arg(mask)), qPrintable(warning));
        }
    }

    void reading()
    {
        QTemporaryDir dir;
        auto write = [&dir](const QByteArray& bytes) {
            QFile file(dir.filePath(QStringLiteral("sysrq")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
        };
        const QString path = dir.filePath(QStringLiteral("sysrq"));
        QCOMPARE(sysrq::read(path), -1);  // no file: nothing to say
        write("438\n");
        QCOMPARE(sysrq::read(path), 438);
        write("16\n");
        QCOMPARE(sysrq::read(path), 16);
        write("bits\n");
        QCOMPARE(sysrq::read(path), -1);
        write("-3\n");
        QCOMPARE(sysrq::read(path), -1);
    }
};

QTEST_GUILESS_MAIN(TestMagicSysrq)
#include "test_magic_sysrq.moc"
