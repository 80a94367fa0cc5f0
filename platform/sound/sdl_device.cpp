#include "platform/sound/sdl_device.h"

#include "platform/base/log.h"
#include "platform/sound/sdl_device_job.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <SDL.h>

#include <atomic>

namespace quillo {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kPollMs = 2;
// An opening takes at most 3 s for sound to flow, and well under a second
// more to reach the server: one still under way after this never answers.
constexpr milliseconds kLongestOpening{4000};
const char* const kWentAway = "the audio device went away";
std::atomic<bool> devicesLeftBehind{false};

void closeWithSdl(quint32 device)
{
    SDL_CloseAudioDevice(device);
}

}  // namespace

SdlDevice::SdlDevice(CloseDevice closeDevice, AskServer askServer)
    : closeDevice_(closeDevice != nullptr ? closeDevice : &closeWithSdl), askServer_(askServer)
{
    move(Event::Start);  // the first sound waits only for what is left of the opening
}

SdlDevice::~SdlDevice()
{
    close();
}

bool SdlDevice::leftBehind()
{
    return devicesLeftBehind;
}

void SdlDevice::startJob(bool opening)
{
    job_ = opening ? startOpeningJob(askServer_) : startClosingJob(device_, closeDevice_);
    if (opening)
        lastTry_ = job_->started;
}

// Every move between states is made here. An event either finds the device
// open and is done, or walks it through a closing and an opening, waiting
// for each no longer than the event allows.
bool SdlDevice::move(Event event, const char* why)
{
    using enum State;
    const Clock::time_point start = Clock::now();
    // One call never waits longer than this; the opening begun with the
    // program, until kStallMarginMs after it began (for all keys, not each).
    Clock::time_point deadline = start + (event == Event::End ? kCloseWait : event == Event::Need ? kKeyWait : milliseconds(0));
    if (event == Event::Need && firstOpening_ && job_)
        deadline = qMax(deadline, job_->started + milliseconds(kStallMarginMs));
    for (int step = 0; step < 6; ++step) {  // at most a closing, then an opening
        switch (state_) {
        case Absent:
            if (event != Event::Start && (event != Event::Need || start - lastTry_ < kRetryInterval))
                return false;
            startJob(true);
            firstOpening_ = event == Event::Start;
            state_ = Opening;
            // A server that said nothing last time is not waited on again:
            // a later sound finds what this opening came to.
            if (event == Event::Start || serverSilent_)
                return false;
            break;

        case Open:
        case Held: {
            const bool gone = event == Event::Need && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
            if (event == Event::Lost || event == Event::End || gone) {
                if (state_ == Held)
                    SDL_UnlockAudioDevice(device_);
                if (event != Event::End && !saidSilent_)
                    qCWarning(lcQuillo).noquote() << logText("sound lost (%1); trying again from the next sound")
                                                                     .arg(gone ? logText(kWentAway) : logText(why));
                saidSilent_ = saidSilent_ || event != Event::End;
                SDL_ClearQueuedAudio(device_);
                startJob(false);
                device_ = 0;
                state_ = Closing;
                if (event == Event::Lost)
                    return false;
                break;  // the program's end waits for the closing; a sound for it, then an opening
            }
            if (event == Event::Play && state_ == Held) {
                SDL_UnlockAudioDevice(device_);
                state_ = Open;
            } else if (event == Event::Idle && state_ == Open && holdWhenIdle_) {
                SDL_LockAudioDevice(device_);
                state_ = Held;
            }
            return true;
        }

        case Opening:
        case Closing:
        case GivenUp: {
            if (event != Event::Need && event != Event::End && event != Event::Look)
                return false;
            Clock::time_point until = deadline;
            if (state_ == GivenUp && event == Event::Need)
                until = Clock::now();  // looked at, never waited on again
            // A server that is slow to say whether it has an output is not
            // waited on for long: the opening goes on without the sound.
            const bool answered = event != Event::Need || !job_->opening ||
                                  job_->waitUntil(qMin(until, start + kAskWait)) || !job_->asking;
            if (!answered || !job_->waitUntil(until)) {
                if (event == Event::End) {
                    devicesLeftBehind = true;
                } else if (job_->opening && !saidSilent_ && Clock::now() - job_->started > kLongestOpening) {
                    qCWarning(lcQuillo).noquote() << logText("no sound (%1)").arg(logText("the sound server does not answer"));
                    saidSilent_ = true;
                }
                state_ = GivenUp;
                return false;
            }
            if (!job_->opening) {
                job_.reset();  // the old device is closed: a new one may open
                state_ = Absent;
                if (event == Event::End)
                    return false;
                break;
            }
            if (event == Event::End) {  // opened just in time to be closed: no word about it
                device_ = job_->device;
                job_.reset();
                state_ = device_ != 0 ? Open : Absent;
                break;
            }
            if (!adoptOpened()) {
                state_ = Absent;
                return false;
            }
            if (holdWhenIdle_) {
                SDL_LockAudioDevice(device_);
                state_ = Held;
            } else {
                state_ = Open;
            }
            return true;
        }
        }
    }
    return isOpen();
}

// Takes what the finished opening left; true when it opened a device.
bool SdlDevice::adoptOpened()
{
    const std::shared_ptr<DeviceJob> job = std::move(job_);
    serverSilent_ = job->serverSilent;
    firstOpening_ = false;
    if (job->device == 0) {
        if (!saidSilent_)
            qCWarning(lcQuillo).noquote() << logText("no sound (%1)").arg(QString::fromStdString(job->error));
        saidSilent_ = true;
        return false;
    }
    device_ = job->device;
    format_ = job->format;
    periodFrames_ = job->periodFrames;
    holdWhenIdle_ = job->holdWhenIdle;
    if (saidSilent_ && everOpened_)
        qCWarning(lcQuillo).noquote() << logText("sound is back");
    else if (saidSilent_)
        qCWarning(lcQuillo).noquote() << logText("sound works now");
    saidSilent_ = false;
    everOpened_ = true;
    return true;
}

SdlDevice::Outcome SdlDevice::play(const QByteArray& pcm)
{
    if (!isOpen())
        return Outcome::Failed;
    const int frame = format_.bytesPerFrame();
    if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED)
        return Outcome::Lost;
    if (SDL_QueueAudio(device_, pcm.constData(), Uint32(pcm.size())) != 0)
        return Outcome::Failed;
    move(Event::Play);  // the device's thread takes the sound at once
    const qint64 lengthMs = qint64(pcm.size()) / frame * 1000 / format_.rate;
    // The last period the device pulled still has to be heard.
    const int tailMs = periodFrames_ * 1000 / format_.rate + 1;
    const QDeadlineTimer deadline(lengthMs + tailMs + kStallMarginMs);

    auto stopped = [this] { return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; };
    auto drained = [this] { return SDL_GetQueuedAudioSize(device_) == 0; };
    // A server that hangs takes nothing more: the sound ends there, and does
    // not hold up the key for the rest of its length.
    Uint32 queued = SDL_GetQueuedAudioSize(device_);
    Clock::time_point taken = Clock::now();
    auto stuck = [&] {
        const Uint32 now = SDL_GetQueuedAudioSize(device_);
        if (now != queued) {
            queued = now;
            taken = Clock::now();
        }
        return Clock::now() - taken > kNoProgress;
    };
    auto over = [&] { return drained() || stopped() || stuck() || deadline.hasExpired(); };
    constexpr int kDone = 1;
    if (QCoreApplication::instance() == nullptr) {
        while (!over())
            SDL_Delay(kPollMs);
    } else if (!over()) {
        QEventLoop loop;
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        poll.callOnTimeout([&] {
            if (over())
                loop.exit(kDone);
        });
        poll.start(kPollMs);
        if (loop.exec(QEventLoop::ExcludeUserInputEvents) != kDone) {
            // The program is ending (QCoreApplication::exit ends every loop,
            // and no new one runs): drop the rest at once.
            SDL_ClearQueuedAudio(device_);
            move(Event::Idle);
            return Outcome::Failed;
        }
    }
    if (stopped())
        return Outcome::Lost;
    if (!drained())
        return Outcome::Stalled;
    SDL_Delay(Uint32(tailMs));
    move(Event::Idle);
    return Outcome::Played;
}

}  // namespace quillo
