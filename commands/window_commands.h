#pragma once

#include "form/look.h"

#include <QtGlobal>

#include <functional>

class QWidget;
class QPlainTextEdit;

namespace quillo {

class Form;
class QuitHold;
class SettingsStore;

// What Esc and Alt+F1 set afresh: the look on its parts, the typing sound
// (on), and the word box, picture and word-mode button (shown).
struct Appearance {
    LookParts look;
    qint16& SoundOff;
    QWidget& esempio;
    QWidget& esempiopix;
};
// The form's own.
Appearance appearanceOf(Form& form);

// Esc: the stored look, sound on, the word box, picture and word-mode button
// shown.
void applyStoredAppearance(const Appearance& appearance, const SettingsStore& store);
// Alt+F1: the built-in look (the corners left alone), sound on, the word
// box, picture and word-mode button shown.
void applyBaseAppearance(const Appearance& appearance);
// F4: the corner value steps by 10, back to 0 once above 180; both outlines follow.
void nextCornerStep(const Corners& corners);
// Alt+F4 and Alt+Q: the program ends (`endProgram`) at once or, when the
// hold is enabled (--hold-to-quit), once the key has been held down for two
// seconds.
void quit(QuitHold& hold, const std::function<void()>& endProgram);
// F11: typing sound off or on.
void toggleSound(qint16& SoundOff);
// F12: a clean sheet.
void clearSheet(QPlainTextEdit& sheet);

// The corner value after one F4 step from `corner`.
short nextCornerValue(short corner);

}  // namespace quillo
