// The window's photo: chosen in Qt's dialog or dropped on the window, read,
// and shown whole beside the square the child will see.

#include "parole_window.h"

#include "photo_import.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMimeData>

namespace quillo::parole {

namespace {

QPixmap fitted(const QImage& image)
{
    return QPixmap::fromImage(image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The middle square of the photo: what the child's picture shows of it.
QPixmap childsCrop(const QImage& image)
{
    const int side = qMin(image.width(), image.height());
    const QImage square = image.copy((image.width() - side) / 2, (image.height() - side) / 2, side, side);
    return QPixmap::fromImage(square.scaled(kPreviewSide, kPreviewSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QString localFileOf(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

}  // namespace

QString ParoleWindow::askForPhoto(QWidget* parent)
{
    // Qt's own dialog, whose words come from Qt's Italian translation.
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Scegli la foto"), QString(),
        QStringLiteral("Foto (*.jpg *.jpeg *.png *.heic *.heif *.avif *.webp *.bmp *.gif *.JPG *.JPEG *.PNG *.HEIC "
                       "*.HEIF *.AVIF *.WEBP *.BMP *.GIF);;Tutti i file (*)"),
        nullptr,
        QFileDialog::DontUseNativeDialog);
}

void ParoleWindow::showPreview(const QImage& image)
{
    for (QLabel* label : {preview_, crop_}) {
        label->setPixmap({});
        label->setText(QStringLiteral("nessuna foto"));
    }
    if (image.isNull())
        return;
    preview_->setPixmap(fitted(image));
    crop_->setPixmap(childsCrop(image));
}

void ParoleWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFileOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ParoleWindow::dropEvent(QDropEvent* event)
{
    const QString path = localFileOf(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    takePhoto(path);
}

void ParoleWindow::choosePhoto()
{
    const QString path = choosePhotoFile_(this);
    if (!path.isEmpty())
        takePhoto(path);
}

void ParoleWindow::takePhoto(const QString& path)
{
    QString error;
    const QImage image = readPhoto(path, &error);
    if (image.isNull()) {
        showMessage(error, true);
        return;
    }
    photo_ = image;
    showPreview(photo_);
    showMessage(QStringLiteral("Foto pronta: a sinistra intera, a destra come la vedrà il bambino."), false);
    updateButtons();
}

}  // namespace quillo::parole
