#include "word_list_model.h"

#include "sentences.h"

#include "library/picture_loader.h"

#include <QFont>
#include <QPixmap>

namespace quillo::parole {

WordListModel::WordListModel(MediaLibrary libraries, QObject* parent)
    : QAbstractTableModel(parent), libraries_(std::move(libraries))
{
    reload();
}

void WordListModel::reload()
{
    beginResetModel();
    entries_ = listWords(libraries_);
    thumbnails_.clear();  // a replaced picture keeps its path
    endResetModel();
}

int WordListModel::rowOf(const QString& word) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_.at(i).word.compare(word, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int WordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int WordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const WordEntry& entry = entries_.at(index.row());
    if (role == kEntryRole)
        return index.row();
    switch (index.column()) {
    case WordColumn:
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return entry.word;
        if (role == Qt::DecorationRole) {
            auto it = thumbnails_.find(entry.picture);
            if (it == thumbnails_.end()) {
                const QImage image = loadPicture(entry.picture, QSize(kThumbnailSide, kThumbnailSide));
                it = thumbnails_.insert(entry.picture, image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
            }
            return *it;
        }
        break;
    case PictureColumn:
    case RecordingColumn: {
        const Owner owner = index.column() == PictureColumn ? entry.pictureOwner : entry.voiceOwner;
        if (role == Qt::DisplayRole)
            return ownerText(owner);
        if (role == Qt::ToolTipRole)
            return ownerSentence(owner, index.column() == PictureColumn);
        if (role == Qt::FontRole && (owner == Owner::Yours || owner == Owner::YoursOverQuillo)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        break;
    }
    default:
        break;
    }
    return {};
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case WordColumn: return QStringLiteral("Parola");
    case PictureColumn: return QStringLiteral("Foto");
    case RecordingColumn: return QStringLiteral("Voce");
    default: return {};
    }
}

}  // namespace quillo::parole
