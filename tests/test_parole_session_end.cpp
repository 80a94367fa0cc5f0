// "Le parole di Quillo" when the session ends and when another save holds
// the library: the parent's unsaved word and photo kept as a draft at
// SIGTERM, away from the library, and offered back at the next start; the
// program itself ending cleanly on SIGTERM; the window waiting on another
// save in a dialog that can be cancelled, never frozen.

#include "parole/draft.h"
#include "parole/library_lock.h"
#include "parole/parole_window.h"
#include "parole/session_end.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace quillo::parole;
using namespace quillo::test;

namespace {

// Whether process `pid` catches `number` (its handler is in place).
bool catches(qint64 pid, int number)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
    }
    return false;
}

}  // namespace

class TestParoleSessionEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { window_.reset(); }
    void unsavedWorkKeptAtSessionEnd();
    void programEndsOnSignals();
    void waitsForAnotherSave();

private:
    void makeWindow()
    {
        window_ = std::make_unique<ParoleWindow>(libraries_);
        window_->setPhotoChooser([this](QWidget*) { return chosen_; });
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void choosePhoto(const QString& word)
    {
        QLineEdit* edit = window_->findChild<QLineEdit*>(QStringLiteral("word"));
        edit->setText(word);
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        chosen_ = data_->filePath(word + QStringLiteral(".png"));
        image.save(chosen_);
        window_->findChild<QPushButton*>(QStringLiteral("choosePhoto"))->click();
        QVERIFY(window_->unsaved());
    }
    QString message() { return window_->findChild<QLabel*>(QStringLiteral("message"))->text(); }
    // Calls `act` with the next modal dialog once it shows; returns at once.
    void whenModal(std::function<void(QWidget*)> act)
    {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            act(modal);
        });
        poll->start(10);
    }
    void answer(const char* button, QString* text)
    {
        whenModal([button, text](QWidget* modal) {
            *text = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            modal->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
    }
    QStringList libraryFiles()
    {
        return QDir(libraries_.user() + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden)
               + QDir(libraries_.user() + QStringLiteral("/parole")).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<MediaFolder> bundled_;
    std::unique_ptr<QTemporaryDir> data_;
    quillo::MediaLibrary libraries_;
    std::unique_ptr<ParoleWindow> window_;
    QString chosen_;
};

void TestParoleSessionEnd::init()
{
    qputenv("SDL_AUDIODRIVER", "nessuno");
    data_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", QFile::encodeName(data_->filePath(QStringLiteral("data"))));
    bundled_ = std::make_unique<MediaFolder>();
    bundled_->addBasics();
    bundled_->addLetter(QStringLiteral("g.wav"));
    libraries_ = {bundled_->path(), data_->filePath(QStringLiteral("data/quillo"))};
    makeWindow();
}

void TestParoleSessionEnd::unsavedWorkKeptAtSessionEnd()
{
    // SIGTERM, as the session sends at logout, with a photo chosen and not
    // saved: the window closes without asking, the work is kept as a draft
    // outside the library, and nothing reaches the library.
    choosePhoto(QStringLiteral("giulia"));
    {
        SessionEnd end;
        QVERIFY(end.watching());
        connect(&end, &SessionEnd::ending, window_.get(), &ParoleWindow::endSession);
        QSignalSpy ending(&end, &SessionEnd::ending);
        ::raise(SIGTERM);
        QTRY_VERIFY(!window_->isVisible());
        QCOMPARE(ending.size(), 1);
        QCOMPARE(ending.front().front().toInt(), SIGTERM);
        // The other two that end a session are seen as well.
        disconnect(&end, nullptr, window_.get(), nullptr);
        ::raise(SIGHUP);
        ::raise(SIGINT);
        QTRY_COMPARE(ending.size(), 2);
    }
    QVERIFY(QFileInfo(draftFolder()).absoluteFilePath().startsWith(data_->filePath(QStringLiteral("data/quillo-parole"))));
    QVERIFY(QFileInfo::exists(draftFolder() + QStringLiteral("/foto.png")));
    QVERIFY(libraryFiles().isEmpty());

    // The next start offers it back; taken, it is in the form, still
    // unsaved, and reaches the library when saved.
    makeWindow();
    QString question;
    answer("resume", &question);
    window_->offerDraft();
    QCOMPARE(question, QStringLiteral("Hai lasciato «giulia» a metà: la riprendo?"));
    QCOMPARE(window_->findChild<QLineEdit*>(QStringLiteral("word"))->text(), QStringLiteral("giulia"));
    QVERIFY(window_->unsaved());
    QVERIFY(!window_->findChild<QLabel*>(QStringLiteral("preview"))->pixmap().isNull());
    QVERIFY(libraryFiles().isEmpty());
    window_->findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(libraryFiles(), QStringList{QStringLiteral("giulia.jpg")});
    QCOMPARE(QImage(libraries_.user() + QStringLiteral("/immagini/giulia.jpg")).size(), QSize(400, 300));
    QVERIFY(!QFileInfo::exists(draftFolder() + QStringLiteral("/parola.txt")));

    // A draft with a voice and no word, given up: it goes, and the form
    // stays empty.
    const Recording voice = tone(0, 0.5, 0, 0.3f);
    QCOMPARE(keepDraft({QString(), QImage(), voice}), QString());
    const Draft kept = keptDraft();
    QVERIFY(kept.photo.isNull());
    QCOMPARE(kept.voice.samples.size(), voice.samples.size());
    answer("drop", &question);
    window_->offerDraft();
    QCOMPARE(question, QStringLiteral("Hai lasciato una parola a metà: la riprendo?"));
    QVERIFY(!window_->unsaved());
    QVERIFY(keptDraft().isEmpty());
}

void TestParoleSessionEnd::programEndsOnSignals()
{
    // The program itself, with nothing unsaved: each signal ends it at once,
    // cleanly, and no draft is left.
    if (!QFileInfo::exists(paroleBinary()))
        QSKIP("quillo-parole is not built");
    for (int number : {SIGTERM, SIGHUP, SIGINT}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(paroleBinary(), {});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catches(process.processId(), number), 10000);
        ::kill(pid_t(process.processId()), number);
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
    QVERIFY(!QFileInfo::exists(draftFolder() + QStringLiteral("/parola.txt")));
}

void TestParoleSessionEnd::waitsForAnotherSave()
{
    // Another save holds the library: the window says that it waits, in a
    // dialog that can be cancelled, and nothing is written.
    auto other = std::make_unique<LibraryLock>(libraries_.user(), 0);
    QVERIFY(other->locked());
    choosePhoto(QStringLiteral("giulia"));
    QString said;
    whenModal([&said](QWidget* modal) {
        said = modal->findChild<QLabel*>()->text();
        qobject_cast<QProgressDialog*>(modal)->cancel();
    });
    QElapsedTimer timer;
    timer.start();
    window_->findChild<QPushButton*>(QStringLiteral("save"))->click();
    QVERIFY(timer.elapsed() < LibraryLock::kWaitMs / 2);
    QCOMPARE(said, QStringLiteral("Aspetto che finisca l'altro salvataggio…"));
    QCOMPARE(message(), QStringLiteral("Non ho cambiato niente: hai smesso di aspettare l'altro salvataggio."));
    QVERIFY(libraryFiles().isEmpty());
    QVERIFY(window_->unsaved());

    // The window repaints while it waits, and the save goes on as soon as
    // the other ends.
    int painted = 0;
    whenModal([&](QWidget*) {
        window_->repaint();
        ++painted;
        other.reset();
    });
    window_->findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(painted, 1);
    QCOMPARE(libraryFiles(), QStringList{QStringLiteral("giulia.jpg")});
    QVERIFY(!window_->unsaved());
}

QTEST_MAIN(TestParoleSessionEnd)
#include "test_parole_session_end.moc"
