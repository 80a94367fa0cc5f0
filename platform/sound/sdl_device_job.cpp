#include "platform/sound/sdl_device_job.h"

#include "platform/sound/sound_server.h"

#include "platform/base/log.h"

#include <QByteArray>

#include <SDL.h>

#include <cstring>
#include <thread>

namespace quillo {

namespace {

using Clock = DeviceJob::Clock;

constexpr int kPollMs = 2;
constexpr std::chrono::milliseconds kLongestStart{3000};
// A period of about 5 ms: the device takes a new sound within one period and
// the server holds about one more, so a key is heard about 8 ms after it is
// queued. The drivers that time themselves with whole-millisecond sleeps
// (dummy, disk) keep a period that is nearly whole milliseconds.
constexpr int kPeriodsPerSecond = 200;
constexpr int kSleepingDriverFrames = 512;

void openDevice(DeviceJob& job, AskServer ask)
{
    // Quillo reads no SDL events: SDL must leave SIGINT and SIGTERM alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Quillo");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Quillo");
    job.asking = true;
    const bool mayStart = (ask != nullptr ? ask : &audioMayStart)(&job.error, &job.serverSilent);
    job.asking = false;
    if (!mayStart)
        return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        job.error = logText("audio could not start: %1").arg(QString::fromUtf8(SDL_GetError())).toStdString();
        return;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec server{};
    const bool known = SDL_GetDefaultAudioInfo(nullptr, &server, 0) == 0 && server.freq > 0 && server.channels > 0;
    if (known) {
        // The server's own format: no resampling on the way out, and a 48 kHz
        // recording keeps its top octave.
        want.freq = server.freq;
        want.channels = server.channels;
        want.format = server.format != 0 ? server.format : AUDIO_F32SYS;
    } else if (SDL_getenv("SDL_AUDIO_CHANNELS") == nullptr) {
        want.channels = 1;  // no server to ask: 22050 Hz mono 16-bit unless SDL's environment says otherwise
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool sleeps = driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
    want.samples = Uint16(sleeps || !known ? kSleepingDriverFrames
                                           : (server.freq + kPeriodsPerSecond - 1) / kPeriodsPerSecond);
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device == 0) {
        job.error = logText("no audio device: %1").arg(QString::fromUtf8(SDL_GetError())).toStdString();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);  // the next try picks its driver afresh
        return;
    }
    job.format = {have.format, have.freq, have.channels};
    job.periodFrames = have.samples;
    // The disk driver writes through a stdio buffer: held still, it would keep
    // the end of the last sound out of its file.
    job.holdWhenIdle = driver == nullptr || std::strcmp(driver, "disk") != 0;
    SDL_PauseAudioDevice(device, 0);
    // A server may take the first period at once and the next only when its
    // sink wakes up, which for a sink that idled can be a second or two later.
    // The device counts as open once sound flows: until then a key would
    // wait on it, and look like a device that hangs.
    const QByteArray silence(int(have.size) * 3, char(have.silence));
    SDL_QueueAudio(device, silence.constData(), Uint32(silence.size()));
    for (const Clock::time_point until = Clock::now() + kLongestStart;
         SDL_GetQueuedAudioSize(device) > 0 && Clock::now() < until;)
        SDL_Delay(kPollMs);
    job.device = device;
}

}  // namespace

bool DeviceJob::waitUntil(Clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    return finished_.wait_until(lock, deadline, [this] { return done_; });
}

void DeviceJob::finish()
{
    std::lock_guard lock(mutex_);
    done_ = true;
    finished_.notify_all();
}

std::shared_ptr<DeviceJob> startOpeningJob(AskServer ask)
{
    auto job = std::make_shared<DeviceJob>();
    job->opening = true;
    job->asking = true;
    std::thread([job, ask] {
        openDevice(*job, ask);
        job->finish();
    }).detach();
    return job;
}

std::shared_ptr<DeviceJob> startClosingJob(quint32 device, void (*closeDevice)(quint32))
{
    auto job = std::make_shared<DeviceJob>();
    std::thread([job, device, closeDevice] {
        closeDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        job->finish();
    }).detach();
    return job;
}

}  // namespace quillo
