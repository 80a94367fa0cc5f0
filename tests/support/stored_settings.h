#pragma once

#include "commands/window_commands.h"
#include "form/look.h"
#include "form/word_mode_button.h"
#include "form/writing_sheet.h"
#include "library/media_library.h"
#include "platform/settings_file/settings_store.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>

namespace quillo::test {

using quillo::Appearance;
using quillo::Look;

// The settings file of the per-user store, as the tests read and write it
// (point the store at a temporary folder first: TemporaryConfigHome).

// The colours a sheet starts with: references to the system's window colours.
inline constexpr qint32 kSystemBack = -2147483643;  // 0x80000005
inline constexpr qint32 kSystemText = -2147483640;  // 0x80000008

QString iniPath();
QString configFolder();
QByteArray readIni();
void writeIni(const QByteArray& text);
// The lines of the stored file, for exact comparisons of stored texts.
QStringList iniLines();
// Removes the settings folder (or whatever stands in its place).
void removeConfigFolder();

// The six keys of the stored appearance, as section/key.
inline const QStringList kLookKeys{QStringLiteral("Screen/Fontname"), QStringLiteral("Screen/Fontsize"),
                                   QStringLiteral("Screen/Backcolor"), QStringLiteral("Screen/Forecolor"),
                                   QStringLiteral("Screen/Circ"), QStringLiteral("App/Parolasi")};

// The default look every key falls back to.
inline const Look kDefaults{QStringLiteral("Arial"), 48, 16777215, 0, 0, 1};

// The parts a look is shown on and the services Esc and Alt+F2 use, without
// a window: the sheet and the word box at the sizes start-up gives them on a
// 1024x768 screen, the word-mode button and the corner value as start-up
// leaves them, the real settings store, and a recording sound over a
// temporary media folder with the usual media.
struct LookRig {
    LookRig();
    LookRig(const LookRig&) = delete;
    LookRig& operator=(const LookRig&) = delete;

    MediaFolder media;
    RecordingSound sound;
    MediaLibrary library;
    SettingsStore store;
    QWidget box;  // what the controls sit in; never shown
    WritingSheet sheet{&box};
    WordModeButton wordMode{&box};
    QLineEdit word{&box};
    QLabel picture{&box};
    qint16 corner = 40;
    qint16 SoundOff = 0;

    LookParts parts();
    // The look with the typing sound and the word controls, as Esc and
    // Alt+F1 set them.
    Appearance appearance() { return {parts(), SoundOff, word, picture}; }
    Look look() { return lookOf(parts()); }
    // Esc's look: the stored one, the outlines cut afresh.
    void load();
    // Alt+F2: the look stored, confirmed by o and k.
    void save();
};

// Both outlines follow `corner`.
bool outlinesFollow(const LookRig& rig, int corner);
// Compares each value and both outlines, failing the running test at the
// first that differs.
void verifyLook(LookRig& rig, const Look& expected);

}  // namespace quillo::test
