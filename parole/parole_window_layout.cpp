// The window's widgets, their layout and their wiring.

#include "parole_window.h"

#include "child_account_box.h"
#include "sentences.h"
#include "word_list_model.h"

#include <QFileSystemWatcher>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillo::parole {

namespace {

QPushButton* button(const QString& text, const char* name)
{
    auto* made = new QPushButton(text);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

QLabel* picture(const char* name, const QString& tip)
{
    auto* label = new QLabel(QStringLiteral("nessuna foto"));
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(kPreviewSide, kPreviewSide);
    label->setFrameShape(QFrame::StyledPanel);
    label->setToolTip(tip);
    return label;
}

// Wide enough for every owner's words on two lines, and for the header.
int ownerColumnWidth(const QFontMetrics& metrics)
{
    int widest = 0;
    for (const Owner owner : {Owner::None, Owner::Quillo, Owner::Yours, Owner::YoursOverQuillo}) {
        const QString words = ownerText(owner);
        const qsizetype middle = words.indexOf(u' ', words.size() / 2 - 1);
        for (const QString& line : {words.left(middle), words.mid(middle + 1)})
            widest = qMax(widest, metrics.horizontalAdvance(line));
    }
    // Bold for the family's parts; the item's margins.
    return widest * 11 / 10 + 16;
}

}  // namespace

void ParoleWindow::buildWidgets()
{
    list_ = new QTreeView;
    list_->setObjectName(QStringLiteral("list"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(WordListModel::kThumbnailSide, WordListModel::kThumbnailSide));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The word takes what the two owners leave: theirs are a few words, on
    // two lines beside the thumbnail at most, the whole sentence in a tooltip.
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideNone);
    list_->header()->setStretchLastSection(false);
    list_->header()->setMinimumSectionSize(0);
    list_->header()->setSectionResizeMode(WordListModel::WordColumn, QHeaderView::Stretch);
    for (const int column : {int(WordListModel::PictureColumn), int(WordListModel::RecordingColumn)}) {
        list_->header()->setSectionResizeMode(column, QHeaderView::Fixed);
        list_->header()->resizeSection(column, ownerColumnWidth(list_->fontMetrics()));
    }

    word_ = new QLineEdit;
    word_->setObjectName(QStringLiteral("word"));
    word_->setPlaceholderText(QStringLiteral("per esempio giulia"));
    preview_ = picture("preview", QStringLiteral("La foto intera"));
    crop_ = picture("crop", QStringLiteral("La foto come la vede il bambino"));
    newWord_ = button(QStringLiteral("Nuova parola"), "newWord");
    choosePhoto_ = button(QStringLiteral("Scegli la foto…"), "choosePhoto");
    record_ = button(QStringLiteral("Registra"), "record");
    level_ = new QProgressBar;
    level_->setObjectName(QStringLiteral("level"));
    level_->setRange(0, 100);
    level_->setTextVisible(false);
    level_->setMaximumWidth(120);
    level_->hide();
    seconds_ = new QLabel;
    seconds_->setObjectName(QStringLiteral("seconds"));
    seconds_->hide();
    listen_ = button(QStringLiteral("Ascolta"), "listen");
    save_ = button(QStringLiteral("Salva la parola"), "save");
    save_->setDefault(true);
    removePicture_ = button(QStringLiteral("Togli la tua foto"), "removePicture");
    removeVoice_ = button(QStringLiteral("Togli la tua voce"), "removeVoice");
    remove_ = button(QStringLiteral("Togli la parola"), "remove");
    letter_ = new QLineEdit;
    letter_->setObjectName(QStringLiteral("letter"));
    letter_->setMaxLength(2);  // one character, a surrogate pair whole
    letter_->setMaximumWidth(60);
    letterOwner_ = new QLabel;
    letterOwner_->setObjectName(QStringLiteral("letterOwner"));
    listenLetter_ = button(QStringLiteral("Ascolta"), "listenLetter");
    saveLetter_ = button(QStringLiteral("Salva come voce del tasto"), "saveLetter");
    removeLetter_ = button(QStringLiteral("Togli la tua voce del tasto"), "removeLetter");
    sound_ = new QLabel;
    sound_->setObjectName(QStringLiteral("sound"));
    sound_->setWordWrap(true);
    sound_->setStyleSheet(QStringLiteral("color: #a00000;"));
    sound_->hide();
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setMinimumHeight(60);
    message_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* wordForm = new QFormLayout;
    auto* wordRow = new QHBoxLayout;
    wordRow->addWidget(word_);
    wordRow->addWidget(newWord_);
    wordForm->addRow(QStringLiteral("Parola:"), wordRow);
    // The side stays narrow enough for the list to keep its words readable
    // down to 800×600: the photo's button under its previews, the removals
    // on a row of their own.
    auto* previews = new QHBoxLayout;
    previews->addWidget(preview_);
    previews->addWidget(crop_);
    previews->addStretch();
    auto* photoColumn = new QVBoxLayout;
    photoColumn->addLayout(previews);
    photoColumn->addWidget(choosePhoto_, 0, Qt::AlignLeft);
    wordForm->addRow(QStringLiteral("Foto:"), photoColumn);
    auto* voiceRow = new QHBoxLayout;
    voiceRow->addWidget(record_);
    voiceRow->addWidget(level_);
    voiceRow->addWidget(seconds_);
    voiceRow->addWidget(listen_);
    voiceRow->addStretch();
    wordForm->addRow(QStringLiteral("Voce:"), voiceRow);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(save_);
    saveRow->addStretch();
    wordForm->addRow(saveRow);
    auto* removals = new QHBoxLayout;
    removals->addWidget(removePicture_);
    removals->addWidget(removeVoice_);
    removals->addWidget(remove_);
    removals->addStretch();
    wordForm->addRow(removals);
    auto* wordBox = new QGroupBox(QStringLiteral("Una parola, la sua foto e la tua voce"));
    wordBox->setLayout(wordForm);

    auto* letterRow = new QHBoxLayout;
    letterRow->addWidget(new QLabel(QStringLiteral("Tasto:")));
    letterRow->addWidget(letter_);
    letterRow->addWidget(letterOwner_);
    letterRow->addWidget(listenLetter_);
    letterRow->addStretch();
    auto* letterButtons = new QHBoxLayout;
    letterButtons->addWidget(saveLetter_);
    letterButtons->addWidget(removeLetter_);
    letterButtons->addStretch();
    auto* letterColumn = new QVBoxLayout;
    letterColumn->addLayout(letterRow);
    letterColumn->addLayout(letterButtons);
    auto* letterBox = new QGroupBox(QStringLiteral("La tua voce per un tasto (registra, poi salva)"));
    letterBox->setLayout(letterColumn);

    auto* side = new QVBoxLayout;
    side->addWidget(sound_);
    side->addWidget(wordBox);
    side->addWidget(letterBox);
    side->addWidget(new ChildAccountBox);
    side->addWidget(message_);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(side);
    resize(1000, 640);
    setAcceptDrops(true);
}

void ParoleWindow::connectWidgets()
{
    connect(newWord_, &QPushButton::clicked, this, &ParoleWindow::newWord);
    connect(choosePhoto_, &QPushButton::clicked, this, &ParoleWindow::choosePhoto);
    connect(record_, &QPushButton::clicked, this, &ParoleWindow::toggleRecording);
    connect(&recorder_, &Recorder::stoppedByItself, this, &ParoleWindow::finishRecording);
    connect(&meter_, &QTimer::timeout, this, &ParoleWindow::showRecordingLevel);
    connect(listen_, &QPushButton::clicked, this, &ParoleWindow::listen);
    connect(save_, &QPushButton::clicked, this, &ParoleWindow::saveWord);
    connect(removePicture_, &QPushButton::clicked, this, [this] { removeParts(PicturePart); });
    connect(removeVoice_, &QPushButton::clicked, this, [this] { removeParts(VoicePart); });
    connect(remove_, &QPushButton::clicked, this, [this] { removeParts(BothParts); });
    connect(listenLetter_, &QPushButton::clicked, this, &ParoleWindow::listenLetter);
    connect(saveLetter_, &QPushButton::clicked, this, &ParoleWindow::saveLetter);
    connect(removeLetter_, &QPushButton::clicked, this, &ParoleWindow::removeLetter);
    connect(letter_, &QLineEdit::textChanged, this, &ParoleWindow::updateButtons);
    connect(word_, &QLineEdit::textEdited, this, &ParoleWindow::wordTyped);
    // The selection, not the current row: a list that takes the focus makes
    // its first row current without selecting it.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ParoleWindow::rowSelected);
    connect(&soundCheck_, &QTimer::timeout, this, &ParoleWindow::checkSound);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { reload_.start(); });
    reload_.setSingleShot(true);
    reload_.setInterval(200);  // a save changes several files: one reload for all
    connect(&reload_, &QTimer::timeout, this, &ParoleWindow::libraryChanged);
}

}  // namespace quillo::parole
