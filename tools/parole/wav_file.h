#pragma once

#include "recording.h"

#include <QByteArray>
#include <QString>

namespace quillo::parole {

// A recording as a 16-bit PCM mono WAV file.
QByteArray encodeWav(const Recording& recording);

// Reads a WAV file given on the command line, under the limits Quillo plays
// by (its length and the memory it takes), in any format the audio library
// decodes, mixed down to mono. False, with an Italian message.
bool readWav(const QString& path, Recording* recording, QString* error);

}  // namespace quillo::parole
