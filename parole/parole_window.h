#pragma once

#include "recording.h"
#include "word_library.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;
class QTemporaryDir;

namespace quillo {
class SdlSound;
}

namespace quillo::parole {

class WordListModel;

// The side of the photo's two previews, whole and as the child sees it.
inline constexpr int kPreviewSide = 128;

// "Le parole di Quillo": the list of every word, and the form where a parent
// adds or replaces one (word, photo, voice), takes back what they added part
// by part, and gives a key their own voice. Nothing the parent has not saved
// is dropped without asking, and nothing is removed without asking. The list
// follows the library on disk, whoever changes it.
class ParoleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ParoleWindow(MediaLibrary libraries, QWidget* parent = nullptr);
    ~ParoleWindow() override;

    // Asks for the photo's file; by default a QFileDialog. Tests answer it.
    void setPhotoChooser(std::function<QString(QWidget*)> chooser) { choosePhotoFile_ = std::move(chooser); }
    WordListModel* model() const { return model_; }
    // Whether a photo or a voice waits to be saved.
    bool unsaved() const { return !photo_.isNull() || !voice_.isEmpty(); }

    // The file dialog the window asks for a photo with, in Italian.
    static QString askForPhoto(QWidget* parent);

    // The session ends: unsaved work is kept as a draft (see draft.h), and
    // the window closes without asking.
    void endSession();
    // Keeps unsaved work as a draft, the window staying open (the session
    // manager asks this before a logout that may still be cancelled).
    bool keepUnsavedWork();
    // Offers back the work a session that ended left, if any.
    void offerDraft();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWidgets();
    void connectWidgets();
    bool settleUnsaved();
    void newWord();
    void choosePhoto();
    void takePhoto(const QString& path);
    void toggleRecording();
    void finishRecording();
    void showRecordingLevel();
    void listen();
    void listenLetter();
    void play(const QString& path);
    bool saveWord();
    void saveLetter();
    void removeParts(int parts);
    void removeLetter();
    void rowSelected();
    void wordTyped();
    void selectWord(const QString& word);
    void showEntry(int row);
    void showOwners(const WordEntry& entry);
    // The picture a listed word has, or none for a voice alone.
    static QImage pictureOf(const WordEntry& entry);
    void showMessage(const QString& text, bool problem);
    void showPreview(const QImage& image);
    void checkSound();
    void libraryChanged();
    void watchLibrary();
    void updateButtons();
    void forgetDraft();

    MediaLibrary libraries_;
    WordListModel* model_ = nullptr;
    QTreeView* list_ = nullptr;
    QLineEdit* word_ = nullptr;
    QLabel* preview_ = nullptr;  // the whole photo
    QLabel* crop_ = nullptr;     // the square the child sees
    QPushButton* newWord_ = nullptr;
    QPushButton* choosePhoto_ = nullptr;
    QPushButton* record_ = nullptr;
    QProgressBar* level_ = nullptr;
    QLabel* seconds_ = nullptr;
    QPushButton* listen_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* removePicture_ = nullptr;
    QPushButton* removeVoice_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLineEdit* letter_ = nullptr;
    QLabel* letterOwner_ = nullptr;
    QPushButton* listenLetter_ = nullptr;
    QPushButton* saveLetter_ = nullptr;
    QPushButton* removeLetter_ = nullptr;
    QLabel* sound_ = nullptr;  // what is missing for sound, shown only then
    QLabel* message_ = nullptr;

    std::function<QString(QWidget*)> choosePhotoFile_;
    Recorder recorder_;
    QTimer meter_;
    QTimer soundCheck_;
    std::unique_ptr<SdlSound> player_;  // Quillo's own player, for "Ascolta"
    std::unique_ptr<QTemporaryDir> scratch_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer reload_;
    QImage photo_;
    Recording voice_;
    QString shownWord_;       // the word whose entry the form shows
    QString shownRecording_;  // the selected word's recording, played when there is no new one
    bool following_ = false;  // the selection is being moved by the window, not the parent
    bool ending_ = false;     // the session ends: close without asking
    bool draftKept_ = false;  // a draft of the work in the form is kept
};

}  // namespace quillo::parole
