#include "feedback/word_display.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "library/media_library.h"
#include "platform/files/file_name.h"
#include "library/picture_list.h"
#include "library/picture_loader.h"
#include "platform/sound/sound.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

namespace quillo {

WordShow wordShowOf(Form& form)
{
    return {*form.esempio, *form.esempiopix, form.File1, *form.platform().sound, form.media()};
}

void ShowWord(const WordShow& show, const QString& fileName)
{
    if (fileName.size() < 4)
        throw Failure(QStringLiteral("no picture to show (\"%1\")").arg(fileName));
    show.esempio.setText(wordOfPicture(fileName));

    // From whichever library holds the picture.
    const QString path = show.File1.pathOf(fileName);
    const qreal ratio = show.esempiopix.devicePixelRatioF();
    PictureTrouble trouble;
    const QImage picture = loadPicture(path, show.esempiopix.size() * ratio, &trouble);
    if (picture.isNull())
        throw PictureNotShown(trouble);
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(ratio);
    show.esempiopix.setPixmap(pixmap);

    const QString recording = show.esempio.text() + QStringLiteral(".wav");
    show.sound.play(show.media.pathOf(LibraryFolder::Words, recording));
}

}  // namespace quillo
