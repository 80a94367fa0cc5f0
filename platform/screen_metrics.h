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

// The real screen: the primary one, or the one given.
class QtScreenMetrics final : public ScreenMetrics {
public:
    explicit QtScreenMetrics(QScreen* screen = nullptr) : screen_(screen) {}
    void setScreen(QScreen* screen) { screen_ = screen; }
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    double widthTwips() const override;
    double heightTwips() const override;

private:
    QScreen* screen() const;
    QScreen* screen_;
};

}  // namespace quillo
