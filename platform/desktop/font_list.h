#pragma once

#include <QStringList>

namespace quillo {

// The font families that can write what a child types.
class FontList {
public:
    virtual ~FontList() = default;
    virtual QStringList families() = 0;
};

// The system's families that write Latin letters, leaving out symbol, emoji
// and private families.
class SystemFontList final : public FontList {
public:
    QStringList families() override;
};

}  // namespace quillo
