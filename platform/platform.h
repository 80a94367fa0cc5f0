#pragma once

#include "platform/desktop/font_list.h"
#include "platform/desktop/message_box.h"
#include "platform/program_exit.h"
#include "platform/program_folder.h"
#include "platform/random_source.h"
#include "platform/desktop/screen_metrics.h"
#include "platform/files/settings_store.h"
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
    // program (userMediaFolder() on this machine); empty for none.
    QString userMediaFolder;

    // The real services of this machine.
    static Platform real();
};

}  // namespace quillo
