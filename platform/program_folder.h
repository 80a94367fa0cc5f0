#pragma once

#include <QString>

namespace quillo {

// The folder that holds the running program, links resolved, without a
// trailing separator.
class ProgramFolder {
public:
    virtual ~ProgramFolder() = default;
    virtual QString path() const = 0;
};

class RunningProgramFolder final : public ProgramFolder {
public:
    QString path() const override;
};

}  // namespace quillo
