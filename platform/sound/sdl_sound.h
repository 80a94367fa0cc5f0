#pragma once

#include "platform/sound/sound.h"

#include <QByteArray>
#include <SDL.h>

#include <chrono>
#include <memory>

namespace quillo {

struct AudioJob;

// Sound on SDL2 audio. The device opens at the format the sound server runs
// at, on a thread of its own as soon as this object exists, so it is ready by
// the time the window shows. Each recording is converted once to that format.
// While a sound plays, the calling thread waits in a local event loop that
// leaves user input queued, so the window keeps painting and keys keep order.
//
// Between sounds the device's thread is held still (its mixer lock is kept),
// so an idle program wakes no one; the next sound goes out the moment it is
// queued. A sound server keeps kServerBufferMs of a playing sound queued, so
// that a machine busy with other work does not break the sound up; a play
// ends when the server has the whole sound, up to that much before its last
// sample is heard. A device that is lost, or never opened, is opened again by
// a later sound, at most once every kRetryInterval.
class SdlSound final : public Sound {
public:
    using CloseDevice = void (*)(SDL_AudioDeviceID);
    // Sets up what the sound server's client library reads from the
    // environment. Call it first in main(), before any thread starts; the
    // constructor calls it too, for programs that do not.
    static void prepareProcess();
    explicit SdlSound(CloseDevice closeDevice = &SDL_CloseAudioDevice);
    // Closes the device, waiting for it at most kCloseWait.
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Waits for the opening under way (at most the stall guard), or starts a
    // new one when the device is missing and the last try is old enough.
    bool open();
    bool play(const QString& path) override;
    void playDefault() override;
    bool hasDevice() const { return device_ != 0; }
    // The format the device runs at; meaningful while hasDevice().
    const SDL_AudioSpec& deviceSpec() const { return spec_; }
    // Lets go of the device at once, waiting for it to close at most
    // kCloseWait; a device that does not close by then is left behind.
    void close();

    // Beyond these a recording is refused and the default sound plays.
    static constexpr int kLongestRecordingSeconds = 10 * 60;
    static constexpr qint64 kMostLoadingBytes = 64LL * 1024 * 1024;
    static constexpr std::chrono::milliseconds kRetryInterval{2000};
    static constexpr std::chrono::milliseconds kCloseWait{500};
    // How much longer than its own length a sound may take before the device
    // counts as stuck; also the longest wait for a device being opened.
    static constexpr int kStallMarginMs = 750;
    // The sound queued at the server while one plays (PULSE_LATENCY_MSEC,
    // unless the user set it). SDL would ask for one 5 ms period, which
    // underran several times a second with a build running. It costs nothing
    // at a sound's start: the server's queue is empty then, since the device
    // is held between sounds, and SDL fills it at once.
    static constexpr int kServerBufferMs = 40;

private:
    enum class Outcome { Played, Failed, Lost, Stalled };

    bool adoptFinishedJob();
    void startOpening();
    void loseDevice(const char* why);
    void hold();
    void release();
    QByteArray load(const QString& path) const;
    QByteArray convert(SDL_RWops* rw, const char* name) const;
    bool playBuffer(const QByteArray& pcm);
    Outcome queueAndWait(const QByteArray& pcm);

    CloseDevice closeDevice_;
    std::shared_ptr<AudioJob> job_;  // the opening or closing under way, if any
    std::chrono::steady_clock::time_point lastTry_{};
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    bool held_ = false;
    bool holdWhenIdle_ = true;
    bool playing_ = false;
    bool everOpened_ = false;
    bool saidSilent_ = false;
    QByteArray chimeWav_;
    QByteArray chime_;  // at the device's format
};

}  // namespace quillo
