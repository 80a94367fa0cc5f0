#include "feedback/character_sound_player.h"

#include "library/media_library.h"
#include "platform/sound/sound.h"

namespace quillo {

qint32 PlayWav(Sound& sound, MediaLibrary& media, const QString& character)
{
    // The user's letters folder first, then the bundled one, for each search.
    // '*' and '?' in the character act as wildcards.
    QString path = media.find(LibraryFolder::Letters, character + QStringLiteral(".wav"));
    qint16 found = -1;
    if (path.isEmpty()) {
        path = media.find(LibraryFolder::Letters, kFallbackSound);
        found = 0;
    }
    // With neither file the player gets the bundled letters folder itself,
    // which it cannot play: the default sound is heard.
    if (path.isEmpty())
        path = media.folders(LibraryFolder::Letters).last();
    const qint32 played = sound.play(path) ? 1 : 0;
    return qint32(found) & played;
}

}  // namespace quillo
