#pragma once

#include "form/look.h"

namespace quillo {

class MediaLibrary;
class SettingsStore;
class Sound;

// The stored look, read afresh key by key. A key that is absent, or whose
// text does not convert, takes the built-in look's value, and stderr names
// it (unless there is no file yet); the others are taken all the same.
Look readStoredLook(const SettingsStore& store);

// Esc: shows the stored look, both outlines cut afresh to its corner.
void LoadSavedSettings(const LookParts& parts, const SettingsStore& store);
// Alt+F2: stores `look` and confirms with the recordings of o and k. When
// the store cannot be written the old stored values stay, the default sound
// is heard instead, and stderr says why.
void SaveSettings(const Look& look, SettingsStore& store, Sound& sound, MediaLibrary& media);

}  // namespace quillo
