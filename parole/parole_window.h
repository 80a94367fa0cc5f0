#pragma once

#include "recording.h"
#include "word_library.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QTemporaryDir;

namespace quillo {
class SdlSound;
}

namespace quillo::parole {

class WordListModel;

// "Le parole di Quillo": the list of every word, and the form where a parent
// adds or replaces one (word, photo, voice), records a key's letter, or
// removes a word of their own. It only wires the widgets to the library,
// the photo import and the recorder.
class ParoleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ParoleWindow(Libraries libraries, QWidget* parent = nullptr);
    ~ParoleWindow() override;

    // Asks for the photo's file; by default a QFileDialog. Tests answer it.
    void setPhotoChooser(std::function<QString(QWidget*)> chooser) { choosePhotoFile_ = std::move(chooser); }
    WordListModel* model() const { return model_; }

private:
    void choosePhoto();
    void toggleRecording();
    void finishRecording();
    void listen();
    void saveWord();
    void saveLetter();
    void removeWord();
    void showEntry(int row);
    void showMessage(const QString& text, bool problem);
    void showPreview();
    void updateButtons();

    Libraries libraries_;
    WordListModel* model_;
    QTreeView* list_;
    QLineEdit* word_;
    QLabel* preview_;
    QPushButton* choosePhoto_;
    QPushButton* record_;
    QPushButton* listen_;
    QPushButton* save_;
    QPushButton* remove_;
    QLineEdit* letter_;
    QPushButton* saveLetter_;
    QLabel* microphone_;  // shown while the microphone does not work
    QLabel* message_;

    std::function<QString(QWidget*)> choosePhotoFile_;
    Recorder recorder_;
    std::unique_ptr<SdlSound> sound_;  // Quillo's own player, for "Ascolta"
    std::unique_ptr<QTemporaryDir> scratch_;
    QImage photo_;
    Recording voice_;
    QString shownRecording_;  // the selected word's recording, played when there is no new one
};

}  // namespace quillo::parole
