#include "feedback/character_sound_player.h"

#include "form/form.h"
#include "feedback/media_paths.h"

namespace quillo {

qint32 PlayWav(Form& form, const QString& character)
{
    // The user's letters folder first, then the bundled one, for each search.
    const QStringList letters = media::lettersFolders(form);
    // '*' and '?' in the character act as wildcards.
    QString path = media::findIn(letters, character + QStringLiteral(".wav"));
    qint16 found = -1;
    if (path.isEmpty()) {
        path = media::findIn(letters, media::kFallbackSound);
        found = 0;
    }
    // With neither file the player gets the bundled letters folder itself,
    // which it cannot play: the default sound is heard.
    if (path.isEmpty())
        path = letters.last();
    const qint32 played = form.platform().sound->play(path) ? 1 : 0;
    return qint32(found) & played;
}

}  // namespace quillo
