#pragma once

#include "app/parla.h"
#include "commands/key_dispatcher.h"
#include "app/startup.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QStringList>

namespace quillo::test {

// A window on fake services over a temporary media folder. By default the
// folder gets the usual media (MediaFolder::addBasics) and the window is
// started up (Form_Load) in the constructor. With Start::Later the folder
// stays empty and nothing is started: fill it, then call start().
struct StartedWindow {
    enum class Start { Now, Later };

    explicit StartedWindow(Start when = Start::Now)
    {
        if (when == Start::Now) {
            media.addBasics();
            start();
        }
    }
    StartedWindow(const StartedWindow&) = delete;
    StartedWindow& operator=(const StartedWindow&) = delete;

    MediaFolder media;
    FakePlatform fake{media.path()};
    Parla form{fake.platform};

    Parla& start()
    {
        Form_Load(form);
        return form;
    }
    // A command key on the writing sheet, with its modifier mask.
    void key(qint16 code, qint16 mask = 0) { scrivo_KeyDown(form, code, mask); }
    // What the sound was asked to play: file names, "<default>" for the
    // default sound.
    QStringList& played() { return fake.sound->played; }
    const QStringList& played() const { return fake.sound->played; }
};

}  // namespace quillo::test
