#pragma once

#include "platform/sound/sdl_device_job.h"
#include "platform/sound/wav_decoder.h"

#include <QByteArray>

#include <chrono>
#include <memory>

namespace quillo {

struct DeviceJob;

// The SDL2 audio device and its lifecycle. Opening and closing run on a
// thread of their own, because a sound server that is frozen can keep either
// call waiting for as long as it stays frozen; the program waits for them
// only as long as it chooses: a sound at most kKeyWait, the end kCloseWait.
//
// The moves between states, all made in one function (move()):
//   Absent  -> Opening  when the object is made, and when a sound needs the
//                       device and the last try is kRetryInterval old
//   Opening -> Held     once open (Open for a driver that is never held);
//           -> Absent   when the opening failed;
//           -> GivenUp  when it outlasts its wait
//   Held   <-> Open     a sound is queued / is over
//   Held, Open -> Closing  when the device is lost, and at the end
//   Closing -> Absent   once closed; -> GivenUp when it outlasts its wait
//   GivenUp -> as from Opening or Closing, once its job has ended: each sound
//              looks at it without waiting; only the end waits, kCloseWait
//
// A device that is lost, or never opened, is opened again by a later sound,
// at most once every kRetryInterval. The sound server is asked first, on the
// opening's thread (audioMayStart): a server without a sink leaves the device
// Absent. A sound waits for an opening or closing under way at most kKeyWait
// in all (for the opening begun with the program, which a busy machine may
// make slow, until kStallMarginMs after it began), and for one still asking the server at most
// kAskWait, so that a missing or frozen server never holds a key's letter up. Between sounds the
// device's thread is held still (its mixer lock is kept), so an idle program
// wakes no one; the next sound goes out the moment it is queued.
class SdlDevice {
public:
    // How the device is closed (SDL_CloseAudioDevice unless a test says otherwise).
    using CloseDevice = void (*)(quint32);

    enum class State {
        Absent,   // no device and nothing under way
        Opening,  // being opened on its thread
        Open,     // open, its thread running: a sound plays (or the driver is never held)
        Held,     // open, its thread held still between sounds
        Closing,  // being closed on its thread
        GivenUp,  // an opening or closing that outlasted its wait: never waited on again
    };
    enum class Outcome { Played, Failed, Lost, Stalled };

    // Starts opening at once.
    explicit SdlDevice(CloseDevice closeDevice = nullptr, AskServer askServer = nullptr);
    ~SdlDevice();
    SdlDevice(const SdlDevice&) = delete;
    SdlDevice& operator=(const SdlDevice&) = delete;

    // True when the device is open: waits for the opening under way (at most
    // the stall guard), or starts a new one when the device is missing and
    // the last try is old enough.
    bool open() { return move(Event::Need); }
    // True when the device is open, without waiting and without a new try.
    bool look() { return move(Event::Look); }
    // An opening is under way (or was given up on and may still end well).
    bool opening() const { return job_ && job_->opening; }
    // Plays one sound and waits until the server has it all.
    Outcome play(const QByteArray& pcm);
    // The device went away or stopped taking sound: close it, and open a new
    // one from a later sound.
    void lose(const char* why) { move(Event::Lost, why); }
    // Lets go of the device, waiting for it to close at most kCloseWait; a
    // device that does not close by then is left behind (see leftBehind()).
    void close() { move(Event::End); }

    bool isOpen() const { return state_ == State::Open || state_ == State::Held; }
    // The format the device runs at; meaningful while isOpen().
    const PcmFormat& format() const { return format_; }
    // True once a device of this process was given up while its opening or
    // closing was still inside the audio library, on a thread of its own.
    static bool leftBehind();

    static constexpr std::chrono::milliseconds kRetryInterval{2000};
    static constexpr std::chrono::milliseconds kCloseWait{500};
    // The longest a sound waits for the device being opened or closed, and
    // for an opening that is still asking the sound server. An opening
    // waits for sound to flow, which PulseAudio may take a second to let
    // happen: a key does not wait for that, its sound plays once the device
    // is open (SdlSound::playWhenOpen).
    static constexpr std::chrono::milliseconds kKeyWait{50};
    static constexpr std::chrono::milliseconds kAskWait{50};
    // A device that takes nothing of a queued sound for this long belongs
    // to a server that hangs.
    static constexpr std::chrono::milliseconds kNoProgress{200};
    // How much longer than its own length a sound may take before the device
    // counts as stuck, even while it takes some of it.
    static constexpr int kStallMarginMs = 750;

private:
    enum class Event {
        Start,  // the device object is made: open it, without waiting
        Need,  // a sound wants the device
        Look,  // someone looks whether the device is open: no wait, no new try
        Play,  // a sound is queued: let the device's thread run
        Idle,  // the sound is over: hold the thread still
        Lost,  // the device went away or stopped taking sound
        End,   // the program lets go of the device
    };
    bool move(Event event, const char* why = nullptr);
    bool adoptOpened();
    void startJob(bool opening);

    CloseDevice closeDevice_;
    AskServer askServer_;
    State state_ = State::Absent;
    std::shared_ptr<DeviceJob> job_;  // the opening or closing under way, if any
    std::chrono::steady_clock::time_point lastTry_{};
    quint32 device_ = 0;
    PcmFormat format_;
    int periodFrames_ = 0;
    bool holdWhenIdle_ = true;
    bool everOpened_ = false;
    bool saidSilent_ = false;
    bool serverSilent_ = false;  // the last opening found a server that did not answer
    bool firstOpening_ = false;  // the opening under way is the one begun with the program
};

}  // namespace quillo
