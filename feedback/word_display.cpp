#include "feedback/word_display.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "platform/files/media_library.h"
#include "platform/files/file_name.h"
#include "platform/files/picture_loader.h"

#include <QPixmap>

namespace quillo {

void ShowWord(Form& form, const QString& fileName)
{
    if (fileName.size() < 4)
        throw Failure(QStringLiteral("no picture to show (\"%1\")").arg(fileName));
    form.esempio->setText(wordOfPicture(fileName));

    // From whichever library holds the selected picture.
    const QString path = form.File1.filePath();
    const qreal ratio = form.esempiopix->devicePixelRatioF();
    QString error;
    const QImage picture = loadPicture(path, form.esempiopix->size() * ratio, &error);
    if (picture.isNull())
        throw Failure(error);
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(ratio);
    form.esempiopix->setPixmap(pixmap);

    const QString recording = form.esempio->text() + QStringLiteral(".wav");
    form.platform().sound->play(form.media().pathOf(LibraryFolder::Words, recording));
}

}  // namespace quillo
