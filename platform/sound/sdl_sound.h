#pragma once

#include "platform/sound/sdl_device.h"
#include "platform/sound/sound.h"
#include "platform/sound/wav_decoder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

namespace quillo {

// Sound on SDL2 audio. The device (SdlDevice) opens at the format the sound
// server runs at, on a thread of its own as soon as this object exists, so it
// is ready by the time the window shows. Each recording is decoded and
// converted once to that format (decodeWavFile). While a sound plays, the
// calling thread waits in a local event loop that leaves user input queued,
// so the window keeps painting and keys keep order.
//
// A sound server keeps kServerBufferMs of a playing sound queued, so that a
// machine busy with other work does not break the sound up; a play ends when
// the server has the whole sound, up to that much before its last sample is
// heard.
//
// A sound asked for while the device is still being opened (a server that
// came back, or is slow to answer) does not hold the caller up: play() gives
// false at once, and the latest such sound plays as soon as the device is
// open. When the opening fails, or takes longer than kLongestLaterMs, it is
// dropped: the child has gone on by then.
class SdlSound final : public Sound {
public:
    // Sets up what the sound server's client library reads from the
    // environment. Call it first in main(), before any thread starts; the
    // constructor calls it too, for programs that do not.
    static void prepareProcess();
    explicit SdlSound(SdlDevice::CloseDevice closeDevice = nullptr, AskServer askServer = nullptr);
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    bool open() { return device_.open(); }
    bool play(const QString& path) override;
    void playDefault() override;
    bool hasDevice() const { return device_.isOpen(); }
    // The format the device runs at; meaningful while hasDevice().
    const PcmFormat& deviceFormat() const { return device_.format(); }
    // Lets go of the device at once, waiting for it to close at most
    // SdlDevice::kCloseWait (the destructor does the same).
    void close() { device_.close(); }
    // How many sounds have been heard whole, those played late included.
    int soundsPlayed() const { return played_; }

    // The sound queued at the server while one plays (PULSE_LATENCY_MSEC,
    // unless the user set it). SDL would ask for one 5 ms period, which
    // underran several times a second with a build running. It costs nothing
    // at a sound's start: the server's queue is empty then, since the device
    // is held between sounds, and SDL fills it at once.
    static constexpr int kServerBufferMs = 40;
    static constexpr int kLongestLaterMs = 3000;

private:
    bool playBuffer(const QByteArray& pcm);
    void playWhenOpen(const QString& path);
    void lookForDevice();

    SdlDevice device_;
    bool playing_ = false;
    QByteArray chimeWav_;
    QByteArray chime_;  // at chimeFormat_
    PcmFormat chimeFormat_;
    QString later_;  // played once the opening under way ends well
    QTimer laterCheck_;
    QElapsedTimer laterSince_;
    int played_ = 0;
};

}  // namespace quillo
