// The list of "Le parole di Quillo" and what a parent takes back from it,
// through the real widgets: every word readable at the default size and at
// 800×600, whoever owns its parts; each part of each kind of word removed
// from the window, with what stays on disk and in the list; the form
// following the typed word; Qt's file dialog in Italian whatever LANG says
// (this test runs with LANG unset and with LANG=en_US.UTF-8).

#include "parole/italian.h"
#include "parole/parole_window.h"
#include "parole/word_list_model.h"

#include "support/named_child.h"
#include "support/media_folder.h"
#include "support/parole_samples.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace quillo::parole;
using quillo::test::MediaFolder;

class TestParoleWordList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readableList();
    void removingEachPart();
    void formFollowsTypedWord();
    void fileDialogInItalian();

private:
    template <typename T> T* child(const char* name) { return quillo::test::namedChild<T>(window_.get(), name); }
    void addOwn(const QString& word, bool picture, bool voice)
    {
        QImage image;
        if (picture) {
            image = QImage(QSize(40, 30), QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
        }
        const Recording recording = voice ? quillo::test::tone(0, 0.5, 0, 0.3f) : Recording();
        QCOMPARE(addWord(libraries_, word, image, recording), QString());
    }
    QString cell(const QString& word, int column, int role = Qt::DisplayRole)
    {
        const int row = window_->model()->rowOf(word);
        return row < 0 ? QString() : window_->model()->data(window_->model()->index(row, column), role).toString();
    }
    void select(const QString& word)
    {
        QTreeView* list = child<QTreeView>("list");
        const QModelIndex index = window_->model()->index(window_->model()->rowOf(word), 0);
        QVERIFY2(index.isValid(), qPrintable(word));
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        QCOMPARE(child<QLineEdit>("word")->text(), word);
    }
    // Clicks `button`, answering the question that follows with the button
    // of that object name; returns the question.
    QString removeAnswering(const char* button, const char* answer)
    {
        QString asked;
        QTimer::singleShot(0, this, [&asked, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked = box->text();
            box->findChild<QPushButton*>(QString::fromLatin1(answer))->click();
        });
        QPushButton* clicked = child<QPushButton>(button);
        if (!clicked->isEnabled())
            return QStringLiteral("(disabled)");
        QTest::mouseClick(clicked, Qt::LeftButton);
        return asked;
    }
    bool userHas(const QString& relative) { return QFileInfo::exists(libraries_.user() + u'/' + relative); }

    std::unique_ptr<MediaFolder> bundled_;
    std::unique_ptr<QTemporaryDir> user_;
    std::unique_ptr<ParoleWindow> window_;
    quillo::MediaLibrary libraries_;
};

void TestParoleWordList::init()
{
    qputenv("SDL_AUDIODRIVER", "nessuno");
    bundled_ = std::make_unique<MediaFolder>();
    bundled_->addBasics();  // ape and casa, each with picture and voice
    for (const char* letter : {"g.wav", "p.wav", "z.wav"})
        bundled_->addLetter(QString::fromLatin1(letter));
    user_ = std::make_unique<QTemporaryDir>();
    libraries_ = {bundled_->path(), user_->filePath(QStringLiteral("quillo"))};
}

void TestParoleWordList::cleanup()
{
    window_.reset();
}

void TestParoleWordList::readableList()
{
    // Words owned every way: Quillo's, the family's, the family's over
    // Quillo's, a voice alone; and a word of 20 characters.
    const QString longest = QStringLiteral("precipitevolissimevo");
    addOwn(QStringLiteral("casa"), true, true);
    addOwn(QStringLiteral("giulia"), true, true);
    addOwn(longest, true, false);
    addOwn(QStringLiteral("zietta"), true, true);
    QCOMPARE(removeWord(libraries_, QStringLiteral("zietta"), PicturePart), QString());
    window_ = std::make_unique<ParoleWindow>(libraries_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QCOMPARE(cell(QStringLiteral("casa"), WordListModel::PictureColumn), QStringLiteral("tua al posto di Quillo"));
    QCOMPARE(cell(QStringLiteral("ape"), WordListModel::RecordingColumn), QStringLiteral("di Quillo"));
    QCOMPARE(cell(QStringLiteral("zietta"), WordListModel::PictureColumn), QStringLiteral("manca"));
    QCOMPARE(cell(QStringLiteral("zietta"), WordListModel::RecordingColumn), QStringLiteral("tua"));
    QVERIFY(cell(QStringLiteral("casa"), WordListModel::RecordingColumn, Qt::ToolTipRole).contains(QStringLiteral("torna quella di Quillo")));

    QTreeView* list = child<QTreeView>("list");
    const int needed = WordListModel::kThumbnailSide + list->fontMetrics().horizontalAdvance(longest);
    for (const QSize size : {QSize(1000, 640), QSize(800, 600)}) {
        window_->resize(size);
        QTRY_COMPARE(window_->size(), size);  // the window can be that small
        QApplication::processEvents();
        const int word = list->header()->sectionSize(WordListModel::WordColumn);
        QVERIFY2(word >= needed + 8, qPrintable(QStringLiteral("%1x%2: the word column is %3 px, %4 needed")
                                                     .arg(size.width()).arg(size.height()).arg(word).arg(needed + 8)));
        // The owners share the rest, and every column is within sight.
        const int owners = list->header()->sectionSize(WordListModel::PictureColumn);
        QCOMPARE(list->header()->sectionSize(WordListModel::RecordingColumn), owners);
        QVERIFY(owners >= list->fontMetrics().horizontalAdvance(QStringLiteral("di Quillo")));
        QVERIFY(word + 2 * owners <= list->viewport()->width());
    }
}

void TestParoleWordList::removingEachPart()
{
    addOwn(QStringLiteral("giulia"), true, true);
    addOwn(QStringLiteral("gufo"), true, true);
    addOwn(QStringLiteral("pino"), true, false);
    addOwn(QStringLiteral("casa"), true, true);
    window_ = std::make_unique<ParoleWindow>(libraries_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));

    // The family's own word, its photo alone: asked whether the voice goes
    // too. "Solo la foto" leaves the voice, listed and removable.
    select(QStringLiteral("giulia"));
    QString asked = removeAnswering("removePicture", "pictureOnly");
    QVERIFY2(asked.contains(QStringLiteral("La tua voce di «giulia» resta")), qPrintable(asked));
    QVERIFY2(asked.contains(QStringLiteral("anche la tua voce?")), qPrintable(asked));
    QVERIFY(!userHas(QStringLiteral("immagini/giulia.jpg")));
    QVERIFY(userHas(QStringLiteral("parole/giulia.wav")));
    QCOMPARE(cell(QStringLiteral("giulia"), WordListModel::PictureColumn), QStringLiteral("manca"));
    QCOMPARE(child<QLineEdit>("word")->text(), QStringLiteral("giulia"));
    asked = removeAnswering("removeVoice", "confirm");
    QCOMPARE(asked, QStringLiteral("Togliere la tua voce di «giulia»? «giulia» non sarà più nella lista. Non si può annullare."));
    QVERIFY(!userHas(QStringLiteral("parole/giulia.wav")));
    QCOMPARE(window_->model()->rowOf(QStringLiteral("giulia")), -1);
    QVERIFY2(child<QLabel>("message")->text().contains(QStringLiteral("«giulia»")), qPrintable(child<QLabel>("message")->text()));

    // The same question, "Togli foto e voce": both go, and the word.
    select(QStringLiteral("gufo"));
    removeAnswering("removePicture", "both");
    QVERIFY(!userHas(QStringLiteral("immagini/gufo.jpg")) && !userHas(QStringLiteral("parole/gufo.wav")));
    QCOMPARE(window_->model()->rowOf(QStringLiteral("gufo")), -1);

    // A photo without a voice: a plain question, and the word leaves.
    select(QStringLiteral("pino"));
    QCOMPARE(removeAnswering("removeVoice", "confirm"), QStringLiteral("(disabled)"));
    asked = removeAnswering("removePicture", "confirm");
    QCOMPARE(asked, QStringLiteral("Togliere la tua foto di «pino»? «pino» non sarà più tra le parole. Non si può annullare."));
    QCOMPARE(window_->model()->rowOf(QStringLiteral("pino")), -1);

    // A bundled word replaced both ways: each part gives Quillo's back.
    select(QStringLiteral("casa"));
    asked = removeAnswering("removePicture", "confirm");
    QVERIFY2(asked.contains(QStringLiteral("Torna la foto di Quillo.")), qPrintable(asked));
    QCOMPARE(cell(QStringLiteral("casa"), WordListModel::PictureColumn), QStringLiteral("di Quillo"));
    QCOMPARE(cell(QStringLiteral("casa"), WordListModel::RecordingColumn), QStringLiteral("tua al posto di Quillo"));
    asked = removeAnswering("removeVoice", "confirm");
    QVERIFY2(asked.contains(QStringLiteral("Torna la voce di Quillo.")), qPrintable(asked));
    QCOMPARE(cell(QStringLiteral("casa"), WordListModel::RecordingColumn), QStringLiteral("di Quillo"));
    QCOMPARE(QDir(libraries_.user() + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(QDir(libraries_.user() + QStringLiteral("/parole")).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!child<QPushButton>("remove")->isEnabled());
}

void TestParoleWordList::formFollowsTypedWord()
{
    addOwn(QStringLiteral("giulia"), true, true);
    window_ = std::make_unique<ParoleWindow>(libraries_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    select(QStringLiteral("giulia"));
    QVERIFY(!child<QLabel>("preview")->pixmap().isNull());
    QVERIFY(child<QPushButton>("removePicture")->isEnabled());

    // Another word typed over it: its photo and its buttons go with it.
    QLineEdit* word = child<QLineEdit>("word");
    word->selectAll();
    QTest::keyClicks(word, QStringLiteral("gatto"));
    QVERIFY(child<QLabel>("preview")->pixmap().isNull());
    QCOMPARE(child<QLabel>("preview")->text(), QStringLiteral("nessuna foto"));
    QVERIFY(!child<QPushButton>("removePicture")->isEnabled());
    QVERIFY(child<QTreeView>("list")->selectionModel()->selectedRows().isEmpty());
    // Typed back, with a space: the word's own photo again.
    word->selectAll();
    QTest::keyClicks(word, QStringLiteral("giulia "));
    QVERIFY(!child<QLabel>("preview")->pixmap().isNull());
    QVERIFY(child<QPushButton>("removePicture")->isEnabled());
}

void TestParoleWordList::fileDialogInItalian()
{
    window_ = std::make_unique<ParoleWindow>(libraries_);
    QTemporaryDir photos;
    QVERIFY(QDir(photos.path()).mkdir(QStringLiteral("vacanze")));
    const QString photo = photos.filePath(QStringLiteral("mare.jpg"));
    quillo::test::writeFile(photo, QByteArray(1536, 'x'));
    const QString before = QDir::currentPath();
    QDir::setCurrent(photos.path());
    QStringList texts;
    QString folderKind, photoSize, photoDate;
    QStringList filters;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QAbstractItemModel* model = view->model();
        if (model->rowCount(view->rootIndex()) < 2)
            return;  // still listing the folder
        poll.stop();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            const QModelIndex name = model->index(row, 0, view->rootIndex());
            if (name.data().toString() == QLatin1String("vacanze"))
                folderKind = model->index(row, 2, view->rootIndex()).data().toString();
            if (name.data().toString() == QLatin1String("mare.jpg")) {
                photoSize = model->index(row, 1, view->rootIndex()).data().toString();
                photoDate = model->index(row, 3, view->rootIndex()).data().toString();
            }
        }
        for (int column = 0; column < 4; ++column)
            texts << model->headerData(column, Qt::Horizontal).toString();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            texts << label->text();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            texts << button->text().remove(u'&');
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < types->count(); ++i)
            filters << types->itemText(i);
        dialog->reject();
    });
    poll.start(10);
    ParoleWindow::askForPhoto(window_.get());
    QDir::setCurrent(before);

    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QCOMPARE(folderKind, QStringLiteral("Cartella"));
    QCOMPARE(photoSize, italian.formattedDataSize(1536));  // "1,50 KiB"
    QCOMPARE(photoDate, italian.toString(QFileInfo(photo).lastModified(), QLocale::ShortFormat));
    QVERIFY2(texts.contains(QStringLiteral("Apri")) && texts.contains(QStringLiteral("Annulla"))
                 && texts.contains(QStringLiteral("Data di modifica")),
             qPrintable(texts.join(u'|')));
    for (const char* english : {"Open", "Cancel", "Look in", "File name", "Files of type", "Folder", "Name", "Size", "Date"})
        QVERIFY2(!texts.contains(QLatin1String(english)) && !texts.join(u'|').contains(QLatin1String(english)),
                 qPrintable(texts.join(u'|')));
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters.at(0).contains(QStringLiteral("*.heic")) && filters.at(0).contains(QStringLiteral("*.webp"))
            && filters.at(0).contains(QStringLiteral("*.avif")));
    QCOMPARE(filters.at(1), QStringLiteral("Tutti i file (*)"));
}

// Italian as quillo-parole sets it up, before the application exists.
int main(int argc, char* argv[])
{
    useItalianLocale();
    QApplication app(argc, argv);
    if (!installItalian())
        qWarning("Qt's Italian translation (qt6-translations-l10n) is not installed");
    TestParoleWordList test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_parole_word_list.moc"
