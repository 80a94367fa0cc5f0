#pragma once

#include <QtGlobal>

class QFile;
struct SDL_RWops;

namespace quillo {

// An open WAV file as the audio library reads it: read as it is needed, so
// that chunks it does not want are skipped rather than read, and with the
// data chunk's length (the four bytes at `lengthAt`, when not -1) told as
// `dataBytes`, what the file really holds. `file` must outlive the result,
// which frees itself when the library closes it. Null when memory ran out.
SDL_RWops* wavFileReader(QFile& file, qint64 lengthAt, quint32 dataBytes);

}  // namespace quillo
