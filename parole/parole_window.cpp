#include "parole_window.h"

#include "atomic_file.h"
#include "photo_import.h"
#include "sound_levels.h"
#include "wav_file.h"
#include "word_list_model.h"
#include "word_name.h"

#include "platform/sound/sdl_sound.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillo::parole {

namespace {

constexpr int kPreviewSide = 160;

QString askForPhoto(QWidget* parent)
{
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Scegli la foto"), QString(),
        QStringLiteral("Foto (*.png *.jpg *.jpeg *.bmp *.gif *.PNG *.JPG *.JPEG *.BMP *.GIF)"));
}

}  // namespace

ParoleWindow::ParoleWindow(Libraries libraries, QWidget* parent)
    : QWidget(parent), libraries_(std::move(libraries)), choosePhotoFile_(&askForPhoto)
{
    setWindowTitle(QStringLiteral("Le parole di Quillo"));

    model_ = new WordListModel(libraries_, this);
    list_ = new QTreeView;
    list_->setObjectName(QStringLiteral("list"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(WordListModel::kThumbnailSide, WordListModel::kThumbnailSide));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionResizeMode(WordListModel::WordColumn, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(WordListModel::RecordingColumn, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(WordListModel::OwnerColumn, QHeaderView::ResizeToContents);

    word_ = new QLineEdit;
    word_->setObjectName(QStringLiteral("word"));
    word_->setPlaceholderText(QStringLiteral("per esempio giulia"));
    preview_ = new QLabel(QStringLiteral("nessuna foto"));
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFixedSize(kPreviewSide, kPreviewSide);
    preview_->setFrameShape(QFrame::StyledPanel);
    choosePhoto_ = new QPushButton(QStringLiteral("Scegli la foto…"));
    choosePhoto_->setObjectName(QStringLiteral("choosePhoto"));
    record_ = new QPushButton(QStringLiteral("Registra"));
    record_->setObjectName(QStringLiteral("record"));
    listen_ = new QPushButton(QStringLiteral("Ascolta"));
    listen_->setObjectName(QStringLiteral("listen"));
    save_ = new QPushButton(QStringLiteral("Salva la parola"));
    save_->setObjectName(QStringLiteral("save"));
    save_->setDefault(true);
    remove_ = new QPushButton(QStringLiteral("Togli la parola"));
    remove_->setObjectName(QStringLiteral("remove"));
    letter_ = new QLineEdit;
    letter_->setObjectName(QStringLiteral("letter"));
    letter_->setMaxLength(2);  // one character, a surrogate pair whole
    letter_->setMaximumWidth(60);
    saveLetter_ = new QPushButton(QStringLiteral("Salva come voce del tasto"));
    saveLetter_->setObjectName(QStringLiteral("saveLetter"));
    microphone_ = new QLabel;
    microphone_->setObjectName(QStringLiteral("microphone"));
    microphone_->setWordWrap(true);
    microphone_->setStyleSheet(QStringLiteral("color: #a00000;"));
    microphone_->hide();
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setMinimumHeight(60);
    message_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* wordForm = new QFormLayout;
    wordForm->addRow(QStringLiteral("Parola:"), word_);
    auto* photoRow = new QHBoxLayout;
    photoRow->addWidget(preview_);
    photoRow->addWidget(choosePhoto_, 0, Qt::AlignBottom);
    photoRow->addStretch();
    wordForm->addRow(QStringLiteral("Foto:"), photoRow);
    auto* voiceRow = new QHBoxLayout;
    voiceRow->addWidget(record_);
    voiceRow->addWidget(listen_);
    voiceRow->addStretch();
    wordForm->addRow(QStringLiteral("Voce:"), voiceRow);
    auto* wordButtons = new QHBoxLayout;
    wordButtons->addWidget(save_);
    wordButtons->addWidget(remove_);
    wordButtons->addStretch();
    wordForm->addRow(wordButtons);
    auto* wordBox = new QGroupBox(QStringLiteral("Una parola, la sua foto e la tua voce"));
    wordBox->setLayout(wordForm);

    auto* letterRow = new QHBoxLayout;
    letterRow->addWidget(new QLabel(QStringLiteral("Tasto:")));
    letterRow->addWidget(letter_);
    letterRow->addWidget(saveLetter_);
    letterRow->addStretch();
    auto* letterBox = new QGroupBox(QStringLiteral("La tua voce per un tasto (registra, poi salva)"));
    letterBox->setLayout(letterRow);

    auto* side = new QVBoxLayout;
    side->addWidget(wordBox);
    side->addWidget(letterBox);
    side->addWidget(microphone_);
    side->addWidget(message_);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(side);
    resize(900, 600);

    connect(choosePhoto_, &QPushButton::clicked, this, &ParoleWindow::choosePhoto);
    connect(record_, &QPushButton::clicked, this, &ParoleWindow::toggleRecording);
    connect(&recorder_, &Recorder::stoppedByItself, this, &ParoleWindow::finishRecording);
    connect(listen_, &QPushButton::clicked, this, &ParoleWindow::listen);
    connect(save_, &QPushButton::clicked, this, &ParoleWindow::saveWord);
    connect(remove_, &QPushButton::clicked, this, &ParoleWindow::removeWord);
    connect(saveLetter_, &QPushButton::clicked, this, &ParoleWindow::saveLetter);
    connect(word_, &QLineEdit::textEdited, this, [this] {
        shownRecording_.clear();
        updateButtons();
    });
    // The selection, not the current row: a list that takes the focus makes
    // its first row current without selecting it, and that must not drop
    // the photo or the voice the parent has not saved yet.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = list_->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            showEntry(rows.front().row());
    });

    if (!recorder_.microphoneFound()) {
        microphone_->setText(microphoneProblem(QStringLiteral("non trovo nessun microfono")));
        microphone_->show();
    }
    showMessage(QStringLiteral("Scrivi una parola, scegli la sua foto e registra la tua voce; poi salva. "
                                   "Scegli una parola dalla lista per sostituirla."),
                false);
    updateButtons();
    word_->setFocus();
    // Opened now, on its own thread, so that the first "Ascolta" finds it
    // ready; after the recorder, which holds the audio system already.
    sound_ = std::make_unique<SdlSound>();
}

ParoleWindow::~ParoleWindow() = default;

void ParoleWindow::showMessage(const QString& text, bool problem)
{
    message_->setText(text);
    message_->setProperty("problem", problem);
    message_->setStyleSheet(problem ? QStringLiteral("color: #a00000;") : QString());
}

void ParoleWindow::showPreview()
{
    if (photo_.isNull()) {
        preview_->setPixmap({});
        preview_->setText(QStringLiteral("nessuna foto"));
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(
        photo_.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ParoleWindow::updateButtons()
{
    const bool recording = recorder_.recording();
    record_->setText(recording ? QStringLiteral("Ferma") : QStringLiteral("Registra"));
    listen_->setEnabled(!recording && (!voice_.isEmpty() || !shownRecording_.isEmpty()));
    save_->setEnabled(!recording);
    saveLetter_->setEnabled(!recording && !voice_.isEmpty());
    const int row = model_->rowOf(word_->text().trimmed());
    remove_->setEnabled(!recording && row >= 0 && model_->entries().at(row).own);
}

void ParoleWindow::showEntry(int row)
{
    if (row < 0 || row >= model_->entries().size())
        return;
    const WordEntry& entry = model_->entries().at(row);
    word_->setText(entry.word);
    photo_ = QImage();
    voice_ = {};
    shownRecording_ = entry.recording;
    QString ignored;
    const QImage current = readPhoto(entry.picture, &ignored);
    preview_->setPixmap(current.isNull() ? QPixmap()
                                         : QPixmap::fromImage(current.scaled(kPreviewSide, kPreviewSide,
                                                                             Qt::KeepAspectRatio,
                                                                             Qt::SmoothTransformation)));
    showMessage(entry.own ? QStringLiteral("«%1» è una tua parola: puoi cambiarne la foto o la voce, o toglierla.")
                                .arg(entry.word)
                          : QStringLiteral("«%1» è una parola di Quillo: una foto o una voce tua prende il suo posto.")
                                .arg(entry.word),
                false);
    updateButtons();
}

void ParoleWindow::choosePhoto()
{
    const QString path = choosePhotoFile_(this);
    if (path.isEmpty())
        return;
    QString error;
    const QImage image = readPhoto(path, &error);
    if (image.isNull()) {
        showMessage(error, true);
        return;
    }
    photo_ = image;
    showPreview();
    showMessage(QStringLiteral("Foto pronta (%1×%2)."). arg(image.width()).arg(image.height()), false);
}

void ParoleWindow::toggleRecording()
{
    if (recorder_.recording()) {
        finishRecording();
        return;
    }
    QString error;
    if (!recorder_.start(&error)) {
        microphone_->setText(error);
        microphone_->show();
        showMessage(error, true);
        updateButtons();
        return;
    }
    microphone_->hide();
    showMessage(QStringLiteral("Registro… parla ora, poi premi «Ferma»."), false);
    updateButtons();
}

void ParoleWindow::finishRecording()
{
    Recording voice = recorder_.stop();
    QString error;
    if (!prepareRecording(&voice, &error)) {
        voice_ = {};
        showMessage(error, true);
    } else {
        voice_ = voice;
        showMessage(QStringLiteral("Registrata la voce (%1 s). Ascoltala, poi salva.").arg(voice_.seconds(), 0, 'f', 1),
                    false);
    }
    updateButtons();
}

void ParoleWindow::listen()
{
    QString path = shownRecording_;
    if (!voice_.isEmpty()) {
        if (!scratch_)
            scratch_ = std::make_unique<QTemporaryDir>();
        path = scratch_->filePath(QStringLiteral("ascolta.wav"));
        QString error;
        if (!writeFileAtomically(path, encodeWav(voice_), &error)) {
            showMessage(error, true);
            return;
        }
    }
    if (path.isEmpty())
        return;
    if (!sound_->play(path))
        showMessage(QStringLiteral("Non riesco a farla sentire: l'audio non funziona."), true);
    updateButtons();
}

void ParoleWindow::saveWord()
{
    const QString word = word_->text().trimmed();
    const bool replacing = model_->rowOf(word) >= 0;
    if (const QString why = addWord(libraries_, word, photo_, voice_); !why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    const bool withVoice = !voice_.isEmpty();
    photo_ = QImage();
    voice_ = {};
    model_->reload();
    const int row = model_->rowOf(word);
    if (row >= 0)
        list_->selectionModel()->select(model_->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showMessage(QStringLiteral("%1 «%2»%3.")
                    .arg(replacing ? QStringLiteral("Salvata la parola") : QStringLiteral("Aggiunta la parola"), word,
                         withVoice ? QStringLiteral(" con la tua voce") : QString()),
                false);
    updateButtons();
}

void ParoleWindow::saveLetter()
{
    const QString letter = letter_->text();
    if (const QString why = parole::saveLetter(libraries_, letter, voice_); !why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    voice_ = {};
    showMessage(QStringLiteral("Il tasto «%1» ora ha la tua voce.").arg(letter), false);
    updateButtons();
}

void ParoleWindow::removeWord()
{
    const QString word = word_->text().trimmed();
    if (const QString why = parole::removeWord(libraries_, word); !why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    model_->reload();
    word_->clear();
    photo_ = QImage();
    voice_ = {};
    shownRecording_.clear();
    showPreview();
    showMessage(QStringLiteral("Tolta la parola «%1», con la sua foto e la sua voce.").arg(word), false);
    updateButtons();
}

}  // namespace quillo::parole
