#pragma once

#include "platform/desktop/font_list.h"
#include "platform/desktop/message_box.h"
#include "platform/program_exit.h"
#include "platform/program_folder.h"
#include "platform/random_source.h"
#include "platform/desktop/screen_metrics.h"
#include "platform/settings_file/settings_store.h"
#include "platform/sound/sound.h"

#include <QString>

#include <memory>

namespace quillo {

// The outside services the window uses. Each can be replaced, as tests do.
struct Platform {
    std::unique_ptr<Sound> sound;
    std::unique_ptr<ScreenMetrics> screen;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RandomSource> random;
    std::unique_ptr<MessageBox> messages;
    std::unique_ptr<FontList> fonts;
    std::unique_ptr<ProgramFolder> programFolder;
    std::unique_ptr<ProgramExit> exit;
    // The family's own media library, looked in before the one beside the
    // program; empty for none. The program sets it from the installed pair
    // of libraries (library/installed_libraries.h).
    QString userMediaFolder;

    // The real services of this machine, the user's media library aside.
    static Platform real();
};

}  // namespace quillo
