#include "feedback/word_display.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "library/media_library.h"
#include "platform/files/file_name.h"
#include "library/picture_list.h"
#include "library/picture_loader.h"
#include "platform/sound/sound.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QtConcurrent>

namespace quillo {

namespace {

struct Decoded {
    QImage image;
    PictureTrouble trouble;
};

// Decodes on a thread of its own: a large photograph takes the window's
// thread no time, and the window goes on painting (the word is already in
// its box) while keys wait in the window system, as they do while a sound
// plays.
QImage loadWhilePainting(const QString& path, QSize size, PictureTrouble* trouble)
{
    if (QCoreApplication::instance() == nullptr)
        return loadPicture(path, size, trouble);
    QFuture<Decoded> decoding = QtConcurrent::run([path, size] {
        Decoded decoded;
        decoded.image = loadPicture(path, size, &decoded.trouble);
        return decoded;
    });
    constexpr int kDone = 1;
    QFutureWatcher<Decoded> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, [&loop] { loop.exit(kDone); });
    watcher.setFuture(decoding);
    if (!decoding.isFinished() && loop.exec(QEventLoop::ExcludeUserInputEvents) != kDone) {
        // The program is ending: no picture now (the decoding ends on its own).
        *trouble = {PictureTrouble::Damaged, QStringLiteral("not shown, Quillo is ending"), {}, {}, {}};
        return {};
    }
    const Decoded decoded = decoding.result();
    *trouble = decoded.trouble;
    return decoded.image;
}

}  // namespace

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
    const QImage picture = loadWhilePainting(path, show.esempiopix.size() * ratio, &trouble);
    if (picture.isNull())
        throw PictureNotShown(trouble);
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(ratio);
    show.esempiopix.setPixmap(pixmap);

    const QString recording = show.esempio.text() + QStringLiteral(".wav");
    show.sound.play(show.media.pathOf(LibraryFolder::Words, recording));
}

}  // namespace quillo
