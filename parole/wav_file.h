#pragma once

#include "recording.h"

#include <QByteArray>
#include <QString>

namespace quillo::parole {

// A recording as a 16-bit PCM mono WAV file.
QByteArray encodeWav(const Recording& recording);

// Reads a WAV file given on the command line with Quillo's own decoder and
// its limits (length, memory, regular files only), in any format Quillo
// plays, as mono at SdlCapture::kRate. False, with an Italian message.
bool readWav(const QString& path, Recording* recording, QString* error);

}  // namespace quillo::parole
