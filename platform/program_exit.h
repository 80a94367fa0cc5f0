#pragma once

namespace quillo {

// Ends the program from inside an event handler.
class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    virtual void quit() = 0;
};

class QtProgramExit final : public ProgramExit {
public:
    void quit() override;
};

// What main() returns, called once the window and everything else the
// program made are gone. When a sound device had to be left behind inside
// the audio library (its server hangs), the process ends right here with
// `code` (_exit), so that no thread still inside the library is cut off by
// the library's own teardown at exit.
int finishProcess(int code);

}  // namespace quillo
