// "Le parole di Quillo" through its real widgets, under the offscreen
// platform: add a word, replace a bundled one, remove one; a refused word and
// a refused photo each show their message. Only the file dialog is answered
// by the test. Without a microphone the window says so, and the picture
// goes in all the same; a recording of silence is refused with its message.

#include "parole/parole_window.h"
#include "parole/word_list_model.h"

#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace quillo::parole;
using quillo::test::MediaFolder;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestParoleWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addReplaceAndRemove();
    void refusals();

private:
    template <typename T> T* child(const char* name)
    {
        T* widget = window_->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QString message() { return child<QLabel>("message")->text(); }
    bool messageIsProblem() { return child<QLabel>("message")->property("problem").toBool(); }
    void typeWord(const QString& word)
    {
        QLineEdit* edit = child<QLineEdit>("word");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, word);
    }
    void click(const char* name)
    {
        QPushButton* button = child<QPushButton>(name);
        QVERIFY2(button->isEnabled(), name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void clickRow(const QString& word)
    {
        QTreeView* list = child<QTreeView>("list");
        const int row = window_->model()->rowOf(word);
        QVERIFY2(row >= 0, qPrintable(word));
        const QModelIndex index = window_->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        QCOMPARE(list->currentIndex().row(), row);
    }
    QString photo(const char* name, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = photos_.filePath(QString::fromLatin1(name));
        image.save(path);
        return path;
    }

    std::unique_ptr<MediaFolder> bundled_;
    std::unique_ptr<QTemporaryDir> user_;
    QTemporaryDir photos_;
    std::unique_ptr<ParoleWindow> window_;
    QString chosen_;
    Libraries libraries_;
};

void TestParoleWindow::init()
{
    // SDL's dummy driver has a microphone that hears silence; a driver that
    // does not exist leaves none.
    const bool microphone = QByteArrayView(QTest::currentTestFunction()) == "refusals";
    qputenv("SDL_AUDIODRIVER", microphone ? "dummy" : "nessuno");
    bundled_ = std::make_unique<MediaFolder>();
    bundled_->addBasics();
    bundled_->addLetter(QStringLiteral("g.wav"));
    user_ = std::make_unique<QTemporaryDir>();
    libraries_ = {bundled_->path(), user_->filePath(QStringLiteral("quillo"))};
    window_ = std::make_unique<ParoleWindow>(libraries_);
    window_->setPhotoChooser([this](QWidget*) { return chosen_; });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Le parole di Quillo"));
}

void TestParoleWindow::cleanup()
{
    window_.reset();
}

void TestParoleWindow::addReplaceAndRemove()
{
    // No microphone here: the window says so from the start.
    QLabel* microphone = child<QLabel>("microphone");
    QVERIFY(microphone->isVisible());
    QVERIFY2(microphone->text().contains(QStringLiteral("microfono")), qPrintable(microphone->text()));
    click("record");
    QVERIFY2(message().contains(QStringLiteral("Il microfono non funziona")), qPrintable(message()));
    QVERIFY(messageIsProblem());
    QCOMPARE(child<QPushButton>("record")->text(), QStringLiteral("Registra"));

    // Add: a word, a photo, "Salva la parola".
    typeWord(QStringLiteral("giulia"));
    chosen_ = photo("giulia.png", QSize(2000, 1500), Qt::yellow);
    click("choosePhoto");
    QVERIFY2(!messageIsProblem(), qPrintable(message()));
    QVERIFY(!child<QLabel>("preview")->pixmap().isNull());
    click("save");
    QVERIFY2(!messageIsProblem(), qPrintable(message()));
    QVERIFY(message().contains(QStringLiteral("Aggiunta la parola «giulia»")));
    const QString giulia = libraries_.user + QStringLiteral("/immagini/giulia.jpg");
    QCOMPARE(QImage(giulia).size(), QSize(1024, 768));
    int row = window_->model()->rowOf(QStringLiteral("giulia"));
    QVERIFY(row >= 0);
    QCOMPARE(window_->model()->data(window_->model()->index(row, WordListModel::OwnerColumn), Qt::DisplayRole).toString(),
             QStringLiteral("tua"));
    QCOMPARE(window_->model()->data(window_->model()->index(row, WordListModel::RecordingColumn), Qt::DisplayRole)
                 .toString(),
             QStringLiteral("manca"));

    // Replace a bundled word: pick it in the list, a new photo, save.
    const QByteArray bundledCasa = readFile(bundled_->pictures() + QStringLiteral("casa.png"));
    clickRow(QStringLiteral("casa"));
    QCOMPARE(child<QLineEdit>("word")->text(), QStringLiteral("casa"));
    QVERIFY(!child<QPushButton>("remove")->isEnabled());  // a bundled word is not removed
    QVERIFY(child<QPushButton>("listen")->isEnabled());   // its recording can be heard
    chosen_ = photo("casa.bmp", QSize(300, 200), Qt::red);
    click("choosePhoto");
    click("save");
    QVERIFY2(message().contains(QStringLiteral("Salvata la parola «casa»")), qPrintable(message()));
    QVERIFY(QFileInfo::exists(libraries_.user + QStringLiteral("/immagini/casa.jpg")));
    QCOMPARE(readFile(bundled_->pictures() + QStringLiteral("casa.png")), bundledCasa);
    row = window_->model()->rowOf(QStringLiteral("casa"));
    QCOMPARE(window_->model()->data(window_->model()->index(row, WordListModel::OwnerColumn), Qt::DisplayRole).toString(),
             QStringLiteral("tua, al posto di quella di Quillo"));
    QCOMPARE(window_->model()->rowCount(), 3);  // ape, casa, giulia: casa once

    // Remove a word of the user's: its picture goes, the list follows.
    clickRow(QStringLiteral("giulia"));
    click("remove");
    QVERIFY2(message().contains(QStringLiteral("Tolta la parola «giulia»")), qPrintable(message()));
    QVERIFY(!QFileInfo::exists(giulia));
    QCOMPARE(window_->model()->rowOf(QStringLiteral("giulia")), -1);
    // And the replaced one: the bundled word comes back.
    clickRow(QStringLiteral("casa"));
    click("remove");
    row = window_->model()->rowOf(QStringLiteral("casa"));
    QCOMPARE(window_->model()->data(window_->model()->index(row, WordListModel::OwnerColumn), Qt::DisplayRole).toString(),
             QStringLiteral("di Quillo"));
    QVERIFY(QDir(libraries_.user + QStringLiteral("/immagini")).isEmpty());
}

void TestParoleWindow::refusals()
{
    // A refused photo: its message, and no photo taken.
    QTemporaryDir dir;
    chosen_ = dir.filePath(QStringLiteral("enorme.png"));
    QFile huge(chosen_);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(quillo::test::pngFile(20000, 100, 8, 2, {}));
    huge.close();
    click("choosePhoto");
    QVERIFY(messageIsProblem());
    QVERIFY2(message().contains(QStringLiteral("La foto è troppo grande (20000×100 pixel)")), qPrintable(message()));

    // A word with no photo at all cannot be added.
    typeWord(QStringLiteral("giulia"));
    click("save");
    QVERIFY2(message().contains(QStringLiteral("Scegli una foto")), qPrintable(message()));

    // A refused word: its message, and nothing written.
    chosen_ = photo("ok.png", QSize(64, 64), Qt::green);
    click("choosePhoto");
    QVERIFY(!messageIsProblem());
    typeWord(QStringLiteral("gio/vanni"));
    click("save");
    QVERIFY(messageIsProblem());
    QVERIFY2(message().contains(QStringLiteral("non può contenere /")), qPrintable(message()));
    typeWord(QStringLiteral("zebra"));
    click("save");
    QVERIFY2(message().contains(QStringLiteral("Nessun tasto «z»")), qPrintable(message()));
    QVERIFY(!QFileInfo::exists(libraries_.user));

    // A key's letter needs a recording first; one of silence is refused.
    QVERIFY(!child<QPushButton>("saveLetter")->isEnabled());
    QVERIFY(!child<QLabel>("microphone")->isVisible());
    click("record");
    QCOMPARE(child<QPushButton>("record")->text(), QStringLiteral("Ferma"));
    QVERIFY(!child<QPushButton>("save")->isEnabled());
    QTest::qWait(300);
    click("record");
    QCOMPARE(child<QPushButton>("record")->text(), QStringLiteral("Registra"));
    QVERIFY2(message().contains(QStringLiteral("La registrazione è muta")), qPrintable(message()));
    QVERIFY(!child<QPushButton>("saveLetter")->isEnabled());

    // A word's recording plays through Quillo's own player.
    clickRow(QStringLiteral("ape"));
    click("listen");
    QVERIFY2(!messageIsProblem(), qPrintable(message()));
    QVERIFY(child<QPushButton>("listen")->isEnabled());
}

QTEST_MAIN(TestParoleWindow)
#include "test_parole_window.moc"
