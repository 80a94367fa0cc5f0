#pragma once

#include <QString>

#include <stdexcept>

namespace quillo {

// A step that failed. The procedures that stop at a failing step throw it;
// whoever handles the event decides whether to skip it or report it.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& what) : std::runtime_error(what.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

}  // namespace quillo
