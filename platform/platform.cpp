#include "platform/platform.h"

#include "platform/sound/sdl_sound.h"

namespace quillo {

Platform Platform::real()
{
    Platform p;
    p.sound = std::make_unique<SdlSound>();
    p.screen = std::make_unique<QtScreenMetrics>();
    p.settings = std::make_unique<SettingsStore>();
    p.random = std::make_unique<StdRandomSource>();
    p.messages = std::make_unique<QtMessageBox>();
    p.fonts = std::make_unique<SystemFontList>();
    p.programFolder = std::make_unique<RunningProgramFolder>();
    p.exit = std::make_unique<QtProgramExit>();
    return p;
}

}  // namespace quillo
