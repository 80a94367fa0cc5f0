#include "platform/sound/wav_file_reader.h"

#include <QFile>
#include <QtEndian>

#include <SDL.h>

#include <memory>

namespace quillo {

namespace {

struct WavReader {
    QFile* file = nullptr;
    qint64 lengthAt = -1;
    char length[4] = {};
};

WavReader& readerOf(SDL_RWops* rw)
{
    return *static_cast<WavReader*>(rw->hidden.unknown.data1);
}

}  // namespace

SDL_RWops* wavFileReader(QFile& file, qint64 lengthAt, quint32 dataBytes)
{
    auto reader = std::make_unique<WavReader>(WavReader{&file, lengthAt, {}});
    qToLittleEndian(dataBytes, reader->length);
    SDL_RWops* rw = SDL_AllocRW();
    if (rw == nullptr)
        return nullptr;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = reader.release();
    rw->size = [](SDL_RWops* c) -> Sint64 { return readerOf(c).file->size(); };
    rw->seek = [](SDL_RWops* c, Sint64 offset, int whence) -> Sint64 {
        QFile* f = readerOf(c).file;
        const qint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? f->pos() : f->size();
        return base + offset >= 0 && f->seek(base + offset) ? f->pos() : -1;
    };
    rw->read = [](SDL_RWops* c, void* to, size_t size, size_t count) -> size_t {
        WavReader& r = readerOf(c);
        if (size == 0 || count > size_t(INT64_MAX) / size)
            return 0;
        const qint64 from = r.file->pos();
        const qint64 got = r.file->read(static_cast<char*>(to), qint64(size * count));
        if (got <= 0)
            return 0;
        for (qint64 i = qMax(from, r.lengthAt); r.lengthAt >= 0 && i < qMin(from + got, r.lengthAt + 4); ++i)
            static_cast<char*>(to)[i - from] = r.length[i - r.lengthAt];
        return size_t(got) / size;
    };
    rw->write = [](SDL_RWops*, const void*, size_t, size_t) -> size_t { return 0; };
    rw->close = [](SDL_RWops* c) -> int {
        delete &readerOf(c);
        SDL_FreeRW(c);
        return 0;
    };
    return rw;
}

}  // namespace quillo
