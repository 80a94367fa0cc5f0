#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace quillo::test {

// Logs every path it is asked to play and answers as a real player would:
// true for a file that exists and is not empty, false (the default sound)
// otherwise. Plays take no time.
class RecordingSound final : public Sound {
public:
    bool play(const QString& path) override;
    void playDefault() override
    {
        if (keepLog)
            played.append(QStringLiteral("<default>"));
    }
    // File names (without folder) of what was played, "<default>" where the
    // default sound was heard.
    QStringList names() const;
    QStringList played;
    QStringList paths;  // the same plays, each with the whole path it was given
    bool keepLog = true;  // false: answer as above but log nothing
    bool deviceWorks = true;
    std::function<void()> duringPlay;  // runs inside each play, e.g. to send a key
};

// Plays nothing, takes no time and says every play succeeded.
class NullSound final : public Sound {
public:
    bool play(const QString&) override { return true; }
    void playDefault() override {}
};

class FakeScreen final : public ScreenMetrics {
public:
    FakeScreen(double widthPx, double heightPx, double twipsPerPixel = 15)
        : w_(widthPx * twipsPerPixel), h_(heightPx * twipsPerPixel), tpp_(twipsPerPixel) {}
    double twipsPerPixelX() const override { return tpp_; }
    double twipsPerPixelY() const override { return tpp_; }
    double widthTwips() const override { return w_; }
    double heightTwips() const override { return h_; }

private:
    double w_, h_, tpp_;
};

// Gives the queued numbers first, then 0.5.
class ScriptedRandom final : public RandomSource {
public:
    void seedFromClock() override { ++seeds; }
    double next() override;
    std::deque<double> queued;
    int seeds = 0;
    int draws = 0;
};

class RecordingMessageBox final : public MessageBox {
public:
    void information(QWidget*, const QString& title, const QString& text) override { shown.append({title, text}); }
    struct Shown {
        QString title;
        QString text;
    };
    QList<Shown> shown;
};

class FixedFontList final : public FontList {
public:
    explicit FixedFontList(QStringList families) : families_(std::move(families)) {}
    QStringList families() override { return families_; }
    QStringList families_;
};

class RecordingExit final : public ProgramExit {
public:
    void quit() override { ++quits; }
    int quits = 0;
};

// A platform for tests: recording sound, a 1024x768 screen at 15 twips per
// pixel, the real settings store, scripted random numbers, a recording
// message box, two font families, a fixed program folder and a recording exit.
struct FakePlatform {
    explicit FakePlatform(const QString& programFolder);
    Platform platform;
    RecordingSound* sound;
    ScriptedRandom* random;
    RecordingMessageBox* messages;
    FixedFontList* fonts;
    RecordingExit* exit;
};

}  // namespace quillo::test
