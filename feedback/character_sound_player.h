#pragma once

#include <QString>

namespace quillo {

class MediaLibrary;
class Sound;

// Speaks one typed character: its own recording from the letters folder, or
// the fallback sound when it has none. Returns the play result (1) when the
// character's own recording was found and played, 0 otherwise.
qint32 PlayWav(Sound& sound, MediaLibrary& media, const QString& character);

}  // namespace quillo
