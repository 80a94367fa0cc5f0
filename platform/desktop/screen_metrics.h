#pragma once

class QScreen;

namespace quillo {

// The screen in twips, 1440 to the inch.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    virtual double widthTwips() const = 0;
    virtual double heightTwips() const = 0;
};

// The real screen: the primary one.
class QtScreenMetrics final : public ScreenMetrics {
public:
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    double widthTwips() const override;
    double heightTwips() const override;

private:
    static QScreen* screen();
};

}  // namespace quillo
