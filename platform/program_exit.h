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

}  // namespace quillo
