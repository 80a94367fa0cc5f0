#pragma once

#include "platform/files/wildcard.h"

namespace quillo {

// Whether `name` matches the wildcard `pattern`, in one call.
inline bool wildcardMatches(const QString& pattern, const QString& name)
{
    return wildcardExpression(pattern).match(name).hasMatch();
}

}  // namespace quillo
