#include "feedback/character_sound_player.h"

#include "form/form.h"
#include "feedback/media_paths.h"
#include "platform/files/file_search.h"

namespace quillo {

qint32 PlayWav(Form& form, const QString& character)
{
    const QString letters = media::lettersFolder(form.mediaFolder());
    // '*' and '?' in the character act as wildcards.
    QString name = findFirstFile(letters, character + QStringLiteral(".wav"));
    qint16 found = -1;
    if (name.isEmpty()) {
        name = findFirstFile(letters, media::kFallbackSound);
        found = 0;
    }
    // With neither file the player gets the folder itself, which it cannot
    // play: the default sound is heard.
    const qint32 played = form.platform().sound->play(letters + name) ? 1 : 0;
    return qint32(found) & played;
}

}  // namespace quillo
