// How long after play() is called the audio device takes the first samples
// of the sound. Target: under 20 ms (median).
//
// SdlSound owns its device and its queue, so the pull cannot be seen from
// inside. It can from outside: SdlSound plays by queueing the whole sound
// with SDL_QueueAudio, and the device's own thread takes it off the queue a
// buffer (512 frames) at a time. A watcher thread polls the device's queued
// size every 50 µs; the moment it first falls below the sound's size is the
// first pull. The time counted includes reading the WAV file, as a key press
// would. The poll adds up to 50 µs; the dummy driver pulls on its own clock,
// like a real device, so the figure is the wait for the device's next period
// (0 to 23 ms, uniform) plus SdlSound's own work.
// Each sound plays 60 ms; the benchmark takes about 8 s.
//
// Runs with SDL_AUDIODRIVER=dummy (set here unless given).

#include "platform/sound/sdl_sound.h"
#include "support/sample_files.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

using namespace quillo;
using test::toneWav;
using Clock = std::chrono::steady_clock;

namespace {

// SdlSound's device: the one output device that is playing.
SDL_AudioDeviceID playingDevice()
{
    for (SDL_AudioDeviceID id = 1; id < 64; ++id) {
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING)
            return id;
    }
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void firstPull(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    constexpr int kSoundMs = 60;
    constexpr Uint32 kSoundBytes = 22050 * kSoundMs / 1000 * 2;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the sound");
            return;
        }
        file.write(toneWav(kSoundMs));
    }
    SdlSound sound;
    for (int i = 0; i < 100 && !sound.open(); ++i)
        QThread::msleep(50);  // the device opens on its own thread
    if (!sound.open()) {
        state.SkipWithError("no audio device");
        return;
    }
    const SDL_AudioDeviceID device = playingDevice();
    if (device == 0) {
        state.SkipWithError("cannot find the device");
        return;
    }

    std::vector<double> ms;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pauseUs(0, 30000);
    for (auto _ : state) {
        // play() returns a fixed time after the device's last pull, which
        // would lock every call to the same point of the device's period. A
        // key comes at any moment: wait a random 0-30 ms first (not counted).
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        std::atomic<bool> stop{false};
        Clock::time_point pulled{};
        std::thread watcher([&] {
            bool queued = false;
            while (!stop.load()) {
                const Uint32 size = SDL_GetQueuedAudioSize(device);
                if (size == kSoundBytes)
                    queued = true;
                else if (queued || (size > 0 && size < kSoundBytes)) {
                    pulled = Clock::now();
                    return;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
        const Clock::time_point called = Clock::now();
        const bool ok = sound.play(path);
        stop = true;
        watcher.join();
        if (!ok || pulled == Clock::time_point{}) {
            state.SkipWithError("the sound was not taken");
            return;
        }
        const std::chrono::duration<double> latency = pulled - called;
        state.SetIterationTime(latency.count());
        ms.push_back(latency.count() * 1000);
    }
    state.counters["median_ms"] = median(ms);
    state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
}

}  // namespace

BENCHMARK(firstPull)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
