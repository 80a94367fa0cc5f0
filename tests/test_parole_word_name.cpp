// The word-name and letter-name rules of "Le parole di Quillo".

#include "parole/word_name.h"

#include "library/media_library.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QtTest>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleWordName : public QObject {
    Q_OBJECT
private slots:
    void wordNames_data();
    void wordNames();
    void letterNames();
};

void TestParoleWordName::wordNames_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("refusal");  // a piece of the message; empty: accepted
    QTest::newRow("plain") << "casa" << "";
    QTest::newRow("a name") << "Giulia" << "";
    QTest::newRow("accented first letter, case aside") << "Èlia" << "";
    QTest::newRow("spaces inside") << "casa della nonna" << "";
    QTest::newRow("digit with a recording") << "7nani" << "";
    QTest::newRow("64 characters") << QString(64, u'c') << "";
    QTest::newRow("65 characters") << QString(65, u'c') << "troppo lunga";
    QTest::newRow("64 accented characters") << QString(64, u'è') << "";
    QTest::newRow("64 characters, more than a name's 255 bytes") << QStringLiteral("c") + QStringLiteral("😀").repeated(63) << "troppo lunga";
    QTest::newRow("empty") << "" << "Scrivi la parola";
    QTest::newRow("only spaces") << "   " << "Scrivi la parola";
    QTest::newRow("slash") << "a/b" << "non può contenere /";
    QTest::newRow("backslash") << "a\\b" << "non può contenere \\";
    QTest::newRow("colon") << "c:d" << "non può contenere :";
    QTest::newRow("star") << "c*" << "non può contenere *";
    QTest::newRow("question mark") << "c?" << "non può contenere ?";
    QTest::newRow("quote") << "c\"" << "non può contenere \"";
    QTest::newRow("angle brackets") << "c<>" << "non può contenere <>";
    QTest::newRow("bar") << "c|d" << "non può contenere |";
    QTest::newRow("tab") << "ca\tsa" << "carattere di controllo";
    QTest::newRow("newline") << "ca\nsa" << "carattere di controllo";
    QTest::newRow("delete") << QStringLiteral("ca\x7fsa") << "carattere di controllo";
    QTest::newRow("leading dot") << ".casa" << "cominciare con un punto";
    QTest::newRow("first letter without a recording") << "zebra" << "Nessun tasto «z»";
    QTest::newRow("first letter recorded only by the user") << "kiwi" << "";
    QTest::newRow("emoji first, no recording") << "😀casa" << "Nessun tasto «😀»";
    // As typed, spaces at either end are left out, in the window and on the
    // command line alike; a word given with them is refused, never saved so.
    QTest::newRow("space after, as typed") << "gatto " << "";
    QTest::newRow("space before, as typed") << " gatto" << "";
    QTest::newRow("space after, untrimmed") << "!gatto " << "cominciare o finire con uno spazio";
}

void TestParoleWordName::wordNames()
{
    QFETCH(QString, word);
    QFETCH(QString, refusal);
    MediaFolder bundled;
    bundled.addBasics();
    bundled.addLetter(QStringLiteral("7.wav"));
    bundled.addLetter(QStringLiteral("è.wav"));
    bundled.addLetter(QStringLiteral("g.wav"));
    MediaFolder user;
    user.addLetter(QStringLiteral("K.wav"));
    quillo::MediaLibrary libraries(bundled.path(), user.path());
    // "!" marks a word checked as it is, without the typing's trimming.
    const QString checked = word.startsWith(u'!') ? word.mid(1) : wordFromTyped(word);
    const QString problem = wordNameProblem(checked, libraries);
    if (refusal.isEmpty())
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    else
        QVERIFY2(problem.contains(refusal), qPrintable(problem));
}

void TestParoleWordName::letterNames()
{
    QVERIFY(letterNameProblem(QStringLiteral("a")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("è")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("!")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("😀")).isEmpty());  // a surrogate pair is one character
    QVERIFY(letterNameProblem(QStringLiteral("ab")).contains(QStringLiteral("un solo carattere")));
    QVERIFY(letterNameProblem(QString()).contains(QStringLiteral("Scrivi")));
    for (const char* bad : {"/", "*", "?", ":", "|", "\x1b"})
        QVERIFY2(letterNameProblem(QString::fromLatin1(bad)).contains(QStringLiteral("non può stare")), bad);
    QVERIFY(letterNameProblem(QStringLiteral(".")).contains(QStringLiteral("nascosto")));
}

QTEST_MAIN(TestParoleWordName)
#include "test_parole_word_name.moc"
