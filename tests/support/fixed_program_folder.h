#pragma once

#include "platform/program_folder.h"

#include <QString>

#include <utility>

namespace quillo::test {

// A program folder the test chooses, so the media can sit in a scratch folder.
class FixedProgramFolder final : public ProgramFolder {
public:
    explicit FixedProgramFolder(QString path) : path_(std::move(path)) {}
    QString path() const override { return path_; }

private:
    QString path_;
};

}  // namespace quillo::test
