// "Le parole di Quillo" through its real widgets, under the offscreen
// platform: add a word, replace a bundled one, take back what was added part
// by part, each removal asked first; work not saved kept until the parent
// chooses; a refused word and a refused photo each show their message; the
// list following the library on disk; Qt's own dialogs in Italian. Only the
// photo chooser is answered by the test where it is not the subject.
// Without a microphone the window says so once, and the picture goes in all
// the same; a recording of silence is refused with its message.

#include "parole/child_account_box.h"
#include "parole/italian.h"
#include "parole/parole_window.h"
#include "parole/word_list_model.h"

#include "support/named_child.h"
#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <cmath>

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
    void unsavedWorkIsKept();
    void partsOfBundledWords();
    void dialogsInItalian();
    void childAccountDialog();
    void refusals();

private:
    template <typename T> T* child(const char* name) { return quillo::test::namedChild<T>(window_.get(), name); }
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
    }
    // Answers the next modal dialog by clicking its button of that object
    // name, once it shows; returns at once. *text gets the dialog's text.
    void answer(const char* button, QString* text = nullptr)
    {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, button, text] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && text)
                *text = box->text();
            QPushButton* chosen = modal->findChild<QPushButton*>(QString::fromLatin1(button));
            if (chosen)
                chosen->click();
            else
                qobject_cast<QDialog*>(modal)->reject();
        });
        poll->start(10);
    }
    QString owner(const QString& word, int column)
    {
        const int row = window_->model()->rowOf(word);
        return row < 0 ? QString() : window_->model()->data(window_->model()->index(row, column), Qt::DisplayRole).toString();
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
    quillo::MediaLibrary libraries_;
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
    // No sound at all here: the window says so once, and records nothing.
    QLabel* sound = child<QLabel>("sound");
    QVERIFY(sound->isVisible());
    QCOMPARE(sound->text(), QStringLiteral("Non trovo né un microfono né un altoparlante: puoi aggiungere le foto, e "
                                           "registrare e ascoltare le voci quando li colleghi."));
    QVERIFY(!child<QPushButton>("record")->isEnabled());
    QVERIFY(!message().contains(QStringLiteral("microfono")));

    // Add: a word, a photo, "Salva la parola". A word with no voice is
    // saved with a warning, as the media checker would report it.
    typeWord(QStringLiteral("giulia"));
    chosen_ = photo("giulia.png", QSize(2000, 1500), Qt::yellow);
    click("choosePhoto");
    QVERIFY2(!messageIsProblem(), qPrintable(message()));
    QVERIFY(!child<QLabel>("preview")->pixmap().isNull());
    const QPixmap crop = child<QLabel>("crop")->pixmap();
    QCOMPARE(crop.width(), crop.height());  // the child's square
    click("save");
    QVERIFY2(message().startsWith(QStringLiteral("Aggiunta la parola «giulia». Non ha ancora una voce")), qPrintable(message()));
    const QString giulia = libraries_.user() + QStringLiteral("/immagini/giulia.jpg");
    QCOMPARE(QImage(giulia).size(), QSize(1024, 768));
    QCOMPARE(owner(QStringLiteral("giulia"), WordListModel::PictureColumn), QStringLiteral("tua"));
    QCOMPARE(owner(QStringLiteral("giulia"), WordListModel::RecordingColumn), QStringLiteral("manca"));

    // Replace a bundled word: pick it in the list, a new photo, save.
    const QByteArray bundledCasa = readFile(bundled_->pictures() + QStringLiteral("casa.png"));
    clickRow(QStringLiteral("casa"));
    QCOMPARE(child<QLineEdit>("word")->text(), QStringLiteral("casa"));
    QVERIFY(!child<QPushButton>("remove")->isEnabled());  // nothing of the parent's to take back
    chosen_ = photo("casa.bmp", QSize(300, 200), Qt::red);
    click("choosePhoto");
    click("save");
    QVERIFY2(message().contains(QStringLiteral("Salvata la parola «casa»")), qPrintable(message()));
    QVERIFY(QFileInfo::exists(libraries_.user() + QStringLiteral("/immagini/casa.jpg")));
    QCOMPARE(readFile(bundled_->pictures() + QStringLiteral("casa.png")), bundledCasa);
    QCOMPARE(owner(QStringLiteral("casa"), WordListModel::PictureColumn), QStringLiteral("tua al posto di Quillo"));
    QCOMPARE(owner(QStringLiteral("casa"), WordListModel::RecordingColumn), QStringLiteral("di Quillo"));
    QCOMPARE(window_->model()->rowCount(), 3);  // ape, casa, giulia: casa once

    // Remove asks first, naming what goes; "Annulla" keeps everything.
    clickRow(QStringLiteral("giulia"));
    QString question;
    answer("cancel", &question);
    click("remove");
    QCOMPARE(question, QStringLiteral("Togliere la tua foto di «giulia»? «giulia» non sarà più tra le parole. Non si "
                                      "può annullare."));
    QVERIFY(QFileInfo::exists(giulia));
    answer("confirm");
    click("remove");
    QVERIFY2(message().contains(QStringLiteral("Ho tolto la tua foto di «giulia»")), qPrintable(message()));
    QVERIFY(!QFileInfo::exists(giulia));
    QCOMPARE(window_->model()->rowOf(QStringLiteral("giulia")), -1);
    // And the replaced one: the bundled picture comes back.
    clickRow(QStringLiteral("casa"));
    answer("confirm", &question);
    click("remove");
    QVERIFY2(question.contains(QStringLiteral("Torna la foto di Quillo.")), qPrintable(question));
    QCOMPARE(owner(QStringLiteral("casa"), WordListModel::PictureColumn), QStringLiteral("di Quillo"));
    QVERIFY(QDir(libraries_.user() + QStringLiteral("/immagini")).isEmpty());
}

void TestParoleWindow::unsavedWorkIsKept()
{
    typeWord(QStringLiteral("giulia"));
    chosen_ = photo("giulia.png", QSize(400, 300), Qt::yellow);
    click("choosePhoto");
    QVERIFY(window_->unsaved());

    // Another row: asked; "Resta qui" keeps the word and its photo.
    QString question;
    answer("stay", &question);
    clickRow(QStringLiteral("ape"));
    QCOMPARE(question, QStringLiteral("La foto per «giulia» non è ancora salvata. Salvarla?"));
    QCOMPARE(child<QLineEdit>("word")->text(), QStringLiteral("giulia"));
    QVERIFY(window_->unsaved());
    QVERIFY(child<QTreeView>("list")->selectionModel()->selectedRows().isEmpty());
    QVERIFY(!child<QTreeView>("list")->currentIndex().isValid());

    // Closing the window: asked too; staying keeps it open.
    answer("stay");
    QVERIFY(!window_->close());
    QVERIFY(window_->isVisible());

    // "Salva" saves it, then moves on to the row chosen.
    answer("save");
    clickRow(QStringLiteral("ape"));
    QVERIFY(QFileInfo::exists(libraries_.user() + QStringLiteral("/immagini/giulia.jpg")));
    QCOMPARE(child<QLineEdit>("word")->text(), QStringLiteral("ape"));
    QVERIFY(!window_->unsaved());

    // A new word over an unsaved photo, "Non salvare": the photo goes.
    chosen_ = photo("ape.png", QSize(400, 300), Qt::red);
    click("choosePhoto");
    answer("discard");
    click("newWord");
    QVERIFY(!window_->unsaved());
    QCOMPARE(child<QLineEdit>("word")->text(), QString());
    QVERIFY(!QFileInfo::exists(libraries_.user() + QStringLiteral("/immagini/ape.jpg")));

    // A photo dropped onto the window is taken as if chosen.
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(photo("drop.png", QSize(300, 300), Qt::green))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(window_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(window_.get(), &drop);
    QVERIFY(window_->unsaved());
    QVERIFY(!child<QLabel>("preview")->pixmap().isNull());
}

void TestParoleWindow::partsOfBundledWords()
{
    // A voice put over a bundled word from outside the window (a script, the
    // command line): the list follows the library on disk and shows it.
    Recording voice;
    voice.rate = 48000;
    for (int i = 0; i < 48000; ++i)
        voice.samples.push_back(0.3f * float(std::sin(2 * M_PI * 440 * i / 48000.0)));
    QCOMPARE(addWord(libraries_, QStringLiteral("casa"), QImage(), voice), QString());
    QTRY_COMPARE(owner(QStringLiteral("casa"), WordListModel::RecordingColumn),
                 QStringLiteral("tua al posto di Quillo"));
    QCOMPARE(owner(QStringLiteral("casa"), WordListModel::PictureColumn), QStringLiteral("di Quillo"));

    // Taken back from the window, alone: Quillo's voice comes back.
    clickRow(QStringLiteral("casa"));
    QVERIFY(!child<QPushButton>("removePicture")->isEnabled());
    QString question;
    answer("confirm", &question);
    click("removeVoice");
    QCOMPARE(question, QStringLiteral("Togliere la tua voce di «casa»? Torna la voce di Quillo. Non si può annullare."));
    QCOMPARE(owner(QStringLiteral("casa"), WordListModel::RecordingColumn), QStringLiteral("di Quillo"));
    QVERIFY(!child<QPushButton>("remove")->isEnabled());

    // A key's voice: whose it is, and removable with a question.
    QCOMPARE(saveLetter(libraries_, QStringLiteral("g"), voice), QString());
    QTest::keyClicks(child<QLineEdit>("letter"), QStringLiteral("g"));
    QCOMPARE(child<QLabel>("letterOwner")->text(), QStringLiteral("voce: tua al posto di Quillo"));
    answer("confirm", &question);
    click("removeLetter");
    QCOMPARE(question, QStringLiteral("Togliere la tua voce del tasto «g»? Torna quella di Quillo. Non si può annullare."));
    QCOMPARE(child<QLabel>("letterOwner")->text(), QStringLiteral("voce: di Quillo"));
    QVERIFY(!QFileInfo::exists(libraries_.user() + QStringLiteral("/alfabeto/g.wav")));

    // A new word's file written by hand shows up in the list.
    QVERIFY(QDir().mkpath(libraries_.user() + QStringLiteral("/immagini")));
    QImage gufo(QSize(50, 50), QImage::Format_RGB32);
    gufo.fill(Qt::gray);
    QVERIFY(gufo.save(libraries_.user() + QStringLiteral("/immagini/gufo.png")));
    QTRY_VERIFY(window_->model()->rowOf(QStringLiteral("gufo")) >= 0);
}

void TestParoleWindow::dialogsInItalian()
{
    if (!installItalian())
        QFAIL("Qt's Italian translation (qt6-translations-l10n) is not installed");
    window_->setPhotoChooser(&ParoleWindow::askForPhoto);
    QStringList buttons;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [poll, &buttons] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            buttons << button->text().remove(u'&');
        dialog->reject();
    });
    poll->start(10);
    click("choosePhoto");
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("Annulla"), QStringLiteral("Apri")}));
}

// "Prepara l'account del bambino…" asks the name and the choices, in
// Italian; "Annulla" runs nothing. (Its "Prepara" would change this
// machine: the step itself is tested on root trees, in child_setup.sh.)
void TestParoleWindow::childAccountDialog()
{
    QString name;
    QStringList choices;
    bool shown = false;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        shown = true;
        name = dialog->findChild<QLineEdit*>(QStringLiteral("childName"))->text();
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            choices << box->text() + (box->isChecked() ? QStringLiteral(" [x]") : QString());
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            if (button->text() == QLatin1String("Annulla"))
                button->click();
    });
    poll->start(10);
    QCOMPARE(child<QPushButton>("prepareChild")->text(), QStringLiteral("Prepara l'account del bambino…"));
    click("prepareChild");
    QVERIFY(shown);
    QCOMPARE(name, QStringLiteral("bimbo"));
    QCOMPARE(choices.size(), 3);
    QVERIFY2(choices.first().endsWith(QLatin1String("[x]")), qPrintable(choices.join(u'|')));  // automatic login
    QVERIFY(child<QPushButton>("prepareChild")->isEnabled());  // nothing runs
    QCOMPARE(ChildAccountBox::stepArguments(QStringLiteral(" bimbo "), true, true, false),
             (QStringList{QStringLiteral("bimbo"), QStringLiteral("--autologin"), QStringLiteral("--x11")}));
}

void TestParoleWindow::refusals()
{
    // A refused photo: its message, and no photo taken.
    QTemporaryDir dir;
    chosen_ = dir.filePath(QStringLiteral("enorme.png"));
    QFile huge(chosen_);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(quillo::test::pngFile(30000, 100, 8, 2, {}));
    huge.close();
    click("choosePhoto");
    QVERIFY(messageIsProblem());
    QVERIFY2(message().contains(QStringLiteral("La foto è troppo grande (30000×100 pixel): Quillo apre foto di al massimo "
                                               "20000 pixel per lato e 250 megapixel.")),
             qPrintable(message()));

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
    QVERIFY(!QFileInfo::exists(libraries_.user()));

    // A key's letter needs a recording first; one of silence is refused.
    QVERIFY(!child<QPushButton>("saveLetter")->isEnabled());
    QVERIFY(!child<QLabel>("sound")->isVisible());
    click("record");
    QCOMPARE(child<QPushButton>("record")->text(), QStringLiteral("Ferma"));
    QVERIFY(!child<QPushButton>("save")->isEnabled());
    QTest::qWait(300);
    click("record");
    QCOMPARE(child<QPushButton>("record")->text(), QStringLiteral("Registra"));
    QVERIFY2(message().contains(QStringLiteral("La registrazione è muta")), qPrintable(message()));
    QVERIFY(!child<QPushButton>("saveLetter")->isEnabled());

    // A word's recording plays through Quillo's own player. The photo
    // chosen above was never saved: leaving it asks.
    answer("discard");
    clickRow(QStringLiteral("ape"));
    click("listen");
    QVERIFY2(!messageIsProblem(), qPrintable(message()));
    QVERIFY(child<QPushButton>("listen")->isEnabled());
}

QTEST_MAIN(TestParoleWindow)
#include "test_parole_window.moc"
