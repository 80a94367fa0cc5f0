#pragma once

#include "system_root.h"

#include <QString>

namespace quillo::child {

// The display manager that shows the login screen: the unit that
// /etc/systemd/system/display-manager.service leads to, else the program
// named in /etc/X11/default-display-manager.
struct DisplayManager {
    enum class Kind { None, Gdm, LightDm, Sddm, Other };
    Kind kind = Kind::None;
    QString name;  // as found: "gdm", "lightdm", "sddm", or the other's own name
};

DisplayManager findDisplayManager(const SystemRoot& root);

// The name parents know it by, in the sentences: GDM, LightDM, SDDM.
QString displayManagerName(const DisplayManager& manager);

}  // namespace quillo::child
