#include "platform/base/log.h"

namespace quillo {

Q_LOGGING_CATEGORY(lcQuillo, "quillo")

}  // namespace quillo
