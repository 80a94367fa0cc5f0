#include "parole_window.h"

#include "atomic_file.h"
#include "lock_wait.h"
#include "photo_import.h"
#include "questions.h"
#include "sentences.h"
#include "sound_levels.h"
#include "wav_file.h"
#include "word_list_model.h"
#include "word_name.h"

#include "platform/sound/sdl_sound.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <cmath>

namespace quillo::parole {

namespace {

constexpr int kMeterMs = 100;
constexpr int kSoundCheckMs = 2000;

}  // namespace

ParoleWindow::ParoleWindow(MediaLibrary libraries, QWidget* parent)
    : QWidget(parent), libraries_(std::move(libraries)), choosePhotoFile_(&ParoleWindow::askForPhoto)
{
    setWindowTitle(QStringLiteral("Le parole di Quillo"));
    model_ = new WordListModel(libraries_, this);
    buildWidgets();
    connectWidgets();
    meter_.setInterval(kMeterMs);
    soundCheck_.setInterval(kSoundCheckMs);
    showMessage(QStringLiteral("Scrivi una parola, scegli la sua foto (o trascinala qui) e registra la tua voce; "
                               "poi salva. Scegli una parola dalla lista per cambiarla."),
                false);
    // Opened now, on its own thread, so that the first "Ascolta" finds it
    // ready; after the recorder, which holds the audio system already.
    player_ = std::make_unique<SdlSound>();
    checkSound();
    soundCheck_.start();
    watchLibrary();
    updateButtons();
    word_->setFocus();
    // What a save cut short left behind goes, when no save runs now.
    if (QFileInfo(libraries_.user()).isDir()) {
        if (const LibraryLock lock(libraries_.user(), 0); lock.locked())
            tidyLibrary(libraries_);
    }
}

ParoleWindow::~ParoleWindow() = default;

void ParoleWindow::showMessage(const QString& text, bool problem)
{
    message_->setText(text);
    message_->setProperty("problem", problem);
    message_->setStyleSheet(problem ? QStringLiteral("color: #a00000;") : QString());
}

void ParoleWindow::updateButtons()
{
    const bool recording = recorder_.recording();
    record_->setText(recording ? QStringLiteral("Ferma") : QStringLiteral("Registra"));
    record_->setEnabled(recording || recorder_.microphoneFound());
    const bool speaker = player_ && player_->hasDevice();
    listen_->setEnabled(!recording && speaker && (!voice_.isEmpty() || !shownRecording_.isEmpty()));
    save_->setEnabled(!recording);
    newWord_->setEnabled(!recording);
    const int row = model_->rowOf(wordFromTyped(word_->text()));
    const int own = row >= 0 ? model_->entries().at(row).ownParts() : 0;
    removePicture_->setEnabled(!recording && (own & PicturePart));
    removeVoice_->setEnabled(!recording && (own & VoicePart));
    remove_->setEnabled(!recording && own != 0);
    const LetterEntry letter = letterEntry(libraries_, letter_->text());
    letterOwner_->setText(letter_->text().isEmpty() ? QString()
                                                    : QStringLiteral("voce: %1").arg(ownerText(letter.owner)));
    listenLetter_->setEnabled(!recording && speaker && !letter.recording.isEmpty());
    saveLetter_->setEnabled(!recording && !voice_.isEmpty() && !letter_->text().isEmpty());
    removeLetter_->setEnabled(!recording && (letter.owner == Owner::Yours || letter.owner == Owner::YoursOverQuillo));
}

bool ParoleWindow::settleUnsaved()
{
    if (!unsaved())
        return true;
    const QString word = wordFromTyped(word_->text());
    const bool both = !photo_.isNull() && !voice_.isEmpty();
    const QString parts = both ? QStringLiteral("La foto e la voce")
                          : !photo_.isNull() ? QStringLiteral("La foto")
                                             : QStringLiteral("La voce");
    const QString forWord = word.isEmpty() ? QString() : QStringLiteral(" per «%1»").arg(word);
    const QString what = both ? QStringLiteral("%1%2 non sono ancora salvate. Salvarle?").arg(parts, forWord)
                              : QStringLiteral("%1%2 non è ancora salvata. Salvarla?").arg(parts, forWord);
    switch (askAboutUnsaved(this, what)) {
    case UnsavedChoice::Save: return saveWord();
    case UnsavedChoice::Discard:
        photo_ = QImage();
        voice_ = {};
        forgetDraft();
        return true;
    case UnsavedChoice::Stay: return false;
    }
    return false;
}

void ParoleWindow::closeEvent(QCloseEvent* event)
{
    if (ending_) {  // the work is kept as a draft already
        event->accept();
        return;
    }
    if (recorder_.recording())
        finishRecording();
    if (settleUnsaved()) {
        forgetDraft();
        event->accept();
    } else {
        event->ignore();
    }
}

void ParoleWindow::newWord()
{
    if (!settleUnsaved())
        return;
    following_ = true;
    list_->clearSelection();
    following_ = false;
    word_->clear();
    shownWord_.clear();
    shownRecording_.clear();
    photo_ = QImage();
    voice_ = {};
    showPreview({});
    showMessage(QStringLiteral("Scrivi la nuova parola, scegli la sua foto e registra la tua voce."), false);
    word_->setFocus();
    updateButtons();
}

void ParoleWindow::rowSelected()
{
    if (following_)
        return;
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const QString chosen = model_->entries().at(rows.front().row()).word;
    const QString here = wordFromTyped(word_->text());
    if (unsaved() && chosen.compare(here, Qt::CaseInsensitive) != 0 && !settleUnsaved()) {
        selectWord(shownWord_);  // back where the parent was
        return;
    }
    const int row = model_->rowOf(chosen);  // a save may have moved it
    if (row >= 0) {
        selectWord(chosen);
        showEntry(row);
    }
}

void ParoleWindow::selectWord(const QString& word)
{
    following_ = true;
    const int row = word.isEmpty() ? -1 : model_->rowOf(word);
    if (row < 0) {
        list_->selectionModel()->clear();
    } else {
        list_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    following_ = false;
}

void ParoleWindow::showEntry(int row)
{
    if (row < 0 || row >= model_->entries().size())
        return;
    const WordEntry& entry = model_->entries().at(row);
    word_->setText(entry.word);
    shownWord_ = entry.word;
    photo_ = QImage();
    voice_ = {};
    shownRecording_ = entry.recording;
    showPreview(pictureOf(entry));
    showOwners(entry);
    updateButtons();
}


bool ParoleWindow::saveWord()
{
    const QString word = wordFromTyped(word_->text());
    const bool replacing = model_->rowOf(word) >= 0;
    QString why = addWordProblem(libraries_, word, photo_, voice_);
    const auto lock = why.isEmpty() ? waitForLibrary(this, libraries_.user(), &why) : nullptr;
    if (lock)
        why = addWord(libraries_, word, photo_, voice_, lock.get());
    if (!why.isEmpty()) {
        showMessage(why, true);
        return false;
    }
    forgetDraft();
    const bool withVoice = !voice_.isEmpty();
    photo_ = QImage();
    voice_ = {};
    model_->reload();
    const int row = model_->rowOf(word);
    selectWord(word);
    shownWord_ = word;
    QString said = addedSentence(word, replacing, withVoice);
    if (row >= 0 && model_->entries().at(row).voiceOwner == Owner::None)
        said += QStringLiteral(" Non ha ancora una voce: Quillo la mostrerà senza dirla. Registrala quando puoi.");
    showMessage(said, false);
    if (row >= 0) {
        // The photo the word has now, whichever part was saved.
        shownRecording_ = model_->entries().at(row).recording;
        showPreview(pictureOf(model_->entries().at(row)));
    }
    updateButtons();
    return true;
}

}  // namespace quillo::parole
