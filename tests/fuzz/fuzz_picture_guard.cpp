// Pictures from a folder filled by hand: any bytes either load as a picture
// of the asked size or are refused, quickly and without a crash.
#include "library/picture_loader.h"

#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryFile* file = [] {
        auto* f = new QTemporaryFile;
        if (!f->open())
            std::abort();
        return f;
    }();
    file->resize(0);
    file->seek(0);
    file->write(reinterpret_cast<const char*>(data), qint64(size));
    file->flush();
    const QSize target(97, 97);
    const QImage image = quillo::loadPicture(file->fileName(), target);
    if (!image.isNull() && image.size() != target)
        std::abort();
    return 0;
}
