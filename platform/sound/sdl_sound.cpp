#include "platform/sound/sdl_sound.h"
#include "platform/files/file_name.h"
#include "platform/base/log.h"
#include "platform/files/regular_file.h"
#include "platform/sound/wav_header.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtEndian>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>

static void initPlatformResources()
{
    Q_INIT_RESOURCE(platform);
}

namespace quillo {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// One opening or closing of the device. It runs on a thread of its own,
// because a sound server that is frozen can keep either call waiting for as
// long as it stays frozen; the program waits for it only as long as it chooses.
struct AudioJob {
    bool opening = false;
    bool waitedOut = false;  // the program gave up waiting once: it does not wait again
    Clock::time_point started = Clock::now();
    // Set by the job's thread before it says it is done.
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec spec{};
    bool holdWhenIdle = true;
    std::string error;

    bool waitUntil(Clock::time_point deadline)
    {
        std::unique_lock lock(mutex_);
        return finished_.wait_until(lock, deadline, [this] { return done_; });
    }
    void finish()
    {
        std::lock_guard lock(mutex_);
        done_ = true;
        finished_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
};

namespace {

constexpr int kPollMs = 2;
constexpr milliseconds kLongestStart{3000};
constexpr milliseconds kLongestClose{200};
// About ten minutes of CD-quality sound: anything larger is not a recording for a key.
constexpr qint64 kLargestFileBytes = 100LL * 1024 * 1024;
// A period of about 5 ms: the device takes a new sound within one period and
// the server holds about one more, so a key is heard about 8 ms after it is
// queued. The drivers that time themselves with whole-millisecond sleeps
// (dummy, disk) keep a period that is nearly whole milliseconds.
constexpr int kPeriodsPerSecond = 200;
constexpr int kSleepingDriverFrames = 512;

int bytesPerFrame(const SDL_AudioSpec& spec)
{
    return int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
}

void openDevice(AudioJob& job)
{
    // Quillo reads no SDL events: SDL must leave SIGINT and SIGTERM alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Quillo");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Quillo");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        job.error = std::string("audio could not start: ") + SDL_GetError();
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
    job.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (job.device == 0) {
        job.error = std::string("no audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);  // the next try picks its driver afresh
        return;
    }
    job.spec = have;
    // The disk driver writes through a stdio buffer: held still, it would keep
    // the end of the last sound out of its file.
    job.holdWhenIdle = driver == nullptr || std::strcmp(driver, "disk") != 0;
    SDL_PauseAudioDevice(job.device, 0);
    // A server may take the first period at once and the next only when its
    // sink wakes up, which for a sink that idled can be a second or two later.
    // The device counts as open once sound flows: until then a key would
    // wait on it, and look like a device that hangs.
    const QByteArray silence(int(have.size) * 3, char(have.silence));
    SDL_QueueAudio(job.device, silence.constData(), Uint32(silence.size()));
    for (const Clock::time_point until = Clock::now() + kLongestStart;
         SDL_GetQueuedAudioSize(job.device) > 0 && Clock::now() < until;)
        SDL_Delay(kPollMs);
}

std::shared_ptr<AudioJob> startJob(bool opening, SDL_AudioDeviceID device, SdlSound::CloseDevice closeDevice)
{
    auto job = std::make_shared<AudioJob>();
    job->opening = opening;
    std::thread([job, device, closeDevice] {
        if (job->opening) {
            openDevice(*job);
        } else {
            closeDevice(device);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        job->finish();
    }).detach();
    return job;
}

// An open file as the audio library reads it, with the data chunk's length
// told as what the file really holds.
struct WavReader {
    QFile* file = nullptr;
    qint64 lengthAt = -1;
    char length[4] = {};
};

WavReader& readerOf(SDL_RWops* rw)
{
    return *static_cast<WavReader*>(rw->hidden.unknown.data1);
}

// Lets the audio library read an open file as it needs it: chunks it does not
// want are skipped, not read. The reader must outlive the returned SDL_RWops.
SDL_RWops* rwopsFor(WavReader& reader)
{
    SDL_RWops* rw = SDL_AllocRW();
    if (rw == nullptr)
        return nullptr;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = &reader;
    rw->size = [](SDL_RWops* c) -> Sint64 { return readerOf(c).file->size(); };
    rw->seek = [](SDL_RWops* c, Sint64 offset, int whence) -> Sint64 {
        QFile* f = readerOf(c).file;
        const qint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? f->pos() : f->size();
        return base + offset >= 0 && f->seek(base + offset) ? f->pos() : -1;
    };
    rw->read = [](SDL_RWops* c, void* to, size_t size, size_t count) -> size_t {
        WavReader& r = readerOf(c);
        if (size == 0 || count > size_t(INT64_MAX) / size)
            return 0;
        const qint64 from = r.file->pos();
        const qint64 got = r.file->read(static_cast<char*>(to), qint64(size * count));
        if (got <= 0)
            return 0;
        for (qint64 i = qMax(from, r.lengthAt); r.lengthAt >= 0 && i < qMin(from + got, r.lengthAt + 4); ++i)
            static_cast<char*>(to)[i - from] = r.length[i - r.lengthAt];
        return size_t(got) / size;
    };
    rw->write = [](SDL_RWops*, const void*, size_t, size_t) -> size_t { return 0; };
    rw->close = [](SDL_RWops* c) -> int {
        SDL_FreeRW(c);
        return 0;
    };
    return rw;
}

// Moves what the stream has converted onto the end of `pcm`.
bool drain(SDL_AudioStream* stream, QByteArray& pcm)
{
    for (int available = SDL_AudioStreamAvailable(stream); available > 0;
         available = SDL_AudioStreamAvailable(stream)) {
        const qsizetype old = pcm.size();
        pcm.resize(old + available);
        const int got = SDL_AudioStreamGet(stream, pcm.data() + old, available);
        pcm.resize(old + qMax(got, 0));
        if (got <= 0)
            return got == 0;
    }
    return true;
}

}  // namespace

void SdlSound::prepareProcess()
{
    if (!qEnvironmentVariableIsSet("PULSE_LATENCY_MSEC"))
        qputenv("PULSE_LATENCY_MSEC", QByteArray::number(kServerBufferMs));
}

SdlSound::SdlSound(CloseDevice closeDevice) : closeDevice_(closeDevice)
{
    prepareProcess();
    initPlatformResources();
    QFile chime(QStringLiteral(":/quillo/chime.wav"));
    if (chime.open(QIODevice::ReadOnly))
        chimeWav_ = chime.readAll();
    startOpening();
}

SdlSound::~SdlSound()
{
    close();
}

void SdlSound::startOpening()
{
    job_ = startJob(true, 0, closeDevice_);
    lastTry_ = job_->started;
}

bool SdlSound::open()
{
    if (device_ != 0)
        return true;
    // One call never waits longer than the stall guard, whatever it waits for.
    const Clock::time_point deadline = Clock::now() + milliseconds(kStallMarginMs);
    for (int step = 0; step < 2; ++step) {  // at most a closing, then an opening
        if (!job_) {
            if (Clock::now() - lastTry_ < kRetryInterval)
                return false;
            startOpening();
        }
        // A device that went away closes at once; one that does not belongs
        // to a server that hangs, and a key does not wait for it.
        const Clock::time_point until =
            job_->waitedOut ? Clock::now() : job_->opening ? deadline : qMin(deadline, Clock::now() + kLongestClose);
        if (!job_->waitUntil(until)) {
            job_->waitedOut = true;
            return false;
        }
        if (job_->opening)
            return adoptFinishedJob();
        job_.reset();  // the old device is closed: a new one may open
    }
    return false;
}

bool SdlSound::adoptFinishedJob()
{
    const std::shared_ptr<AudioJob> job = std::move(job_);
    if (job->device == 0) {
        if (!saidSilent_)
            qCWarning(lcQuillo, "no sound (%s)", job->error.c_str());
        saidSilent_ = true;
        return false;
    }
    device_ = job->device;
    spec_ = job->spec;
    holdWhenIdle_ = job->holdWhenIdle;
    try {
        chime_ = convert(SDL_RWFromConstMem(chimeWav_.constData(), int(chimeWav_.size())), "the built-in chime");
    } catch (const std::bad_alloc&) {
        chime_.clear();
    }
    if (saidSilent_ && everOpened_)
        qCWarning(lcQuillo, "sound is back");
    else if (saidSilent_)
        qCWarning(lcQuillo, "sound works now");
    saidSilent_ = false;
    everOpened_ = true;
    hold();
    return true;
}

void SdlSound::loseDevice(const char* why)
{
    release();
    if (!saidSilent_)
        qCWarning(lcQuillo, "sound lost (%s); trying again from the next sound", why);
    saidSilent_ = true;
    SDL_ClearQueuedAudio(device_);
    job_ = startJob(false, device_, closeDevice_);
    device_ = 0;
}

void SdlSound::close()
{
    release();
    const Clock::time_point deadline = Clock::now() + kCloseWait;
    if (job_ && job_->opening) {
        // Still opening: wait for it, then close what it opened.
        if (!job_->waitUntil(deadline)) {
            job_.reset();
            return;
        }
        device_ = job_->device;
        job_.reset();
    }
    if (device_ != 0) {
        SDL_ClearQueuedAudio(device_);
        job_ = startJob(false, device_, closeDevice_);
        device_ = 0;
    }
    if (job_)
        job_->waitUntil(deadline);  // a device that does not close by then is left behind
    job_.reset();
}

void SdlSound::hold()
{
    if (device_ != 0 && !held_ && holdWhenIdle_) {
        SDL_LockAudioDevice(device_);
        held_ = true;
    }
}

void SdlSound::release()
{
    if (held_) {
        SDL_UnlockAudioDevice(device_);
        held_ = false;
    }
}

QByteArray SdlSound::convert(SDL_RWops* rw, const char* name) const
{
    if (rw == nullptr)
        return {};
    SDL_AudioSpec source{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(rw, 1, &source, &data, &length) == nullptr)
        return {};
    const std::unique_ptr<Uint8, void (*)(Uint8*)> owned(data, &SDL_FreeWAV);
    const int sourceFrame = bytesPerFrame(source);
    const int frame = bytesPerFrame(spec_);
    if (sourceFrame <= 0 || frame <= 0)
        return {};
    length -= length % Uint32(sourceFrame);
    QByteArray pcm;
    if (source.format == spec_.format && source.channels == spec_.channels && source.freq == spec_.freq) {
        pcm = QByteArray(reinterpret_cast<const char*>(data), qsizetype(length));
    } else {
        const std::unique_ptr<SDL_AudioStream, void (*)(SDL_AudioStream*)> stream(
            SDL_NewAudioStream(source.format, source.channels, source.freq, spec_.format, spec_.channels, spec_.freq),
            &SDL_FreeAudioStream);
        if (!stream) {
            qCWarning(lcQuillo, "cannot convert %s: %s", name, SDL_GetError());
            return {};
        }
        const qsizetype wanted = qsizetype(qint64(length / Uint32(sourceFrame)) * spec_.freq / source.freq) * frame;
        pcm.reserve(wanted + 64 * 1024);
        const Uint32 piece = Uint32(64 * 1024 / sourceFrame * sourceFrame);
        for (Uint32 at = 0; at < length; at += piece) {
            if (SDL_AudioStreamPut(stream.get(), data + at, int(qMin(piece, length - at))) != 0 ||
                !drain(stream.get(), pcm))
                return {};
        }
        // SDL 2.26's stream keeps the last few hundred frames back when it
        // resamples, even on a flush: feed it silence until the whole sound
        // is out, then cut the silence off.
        const QByteArray silence(piece, char(source.format == AUDIO_U8 ? 0x80 : 0));
        for (int more = 0; pcm.size() < wanted && more < 64; ++more) {
            if (SDL_AudioStreamPut(stream.get(), silence.constData(), int(silence.size())) != 0 ||
                !drain(stream.get(), pcm))
                return {};
        }
        if (SDL_AudioStreamFlush(stream.get()) != 0 || !drain(stream.get(), pcm))
            return {};
        pcm.truncate(qMin(pcm.size() - pcm.size() % frame, wanted));
    }
    if (pcm.isEmpty())
        pcm = QByteArray(frame, char(spec_.silence));  // a valid but empty recording: a moment of silence
    return pcm;
}

QByteArray SdlSound::load(const QString& path) const
{
    const QByteArray name = encodeFileName(path);
    QString why;
    const std::unique_ptr<QFile> file = openRegularFile(name, &why);
    if (!file) {
        const QFileInfo info(path);
        if (info.exists() && !info.isDir())
            qCWarning(lcQuillo, "cannot play %s: %s", name.constData(), qPrintable(why));
        return {};
    }
    if (file->size() > kLargestFileBytes) {
        qCWarning(lcQuillo, "%s is too large to play", name.constData());
        return {};
    }
    const WavLayout layout = readWavLayout(*file);
    if (!layout.valid)
        return {};
    const WavCost cost = wavCost(layout, spec_.freq, spec_.channels, SDL_AUDIO_BITSIZE(spec_.format) / 8);
    if (cost.seconds > kLongestRecordingSeconds) {
        qCWarning(lcQuillo, "%s would play for %.0f minutes: too long to play", name.constData(), cost.seconds / 60);
        return {};
    }
    if (cost.bytes > double(kMostLoadingBytes)) {
        qCWarning(lcQuillo, "%s would take %.0f MB to play: too large to play", name.constData(),
                  cost.bytes / (1024 * 1024));
        return {};
    }
    if (!file->seek(0))
        return {};
    WavReader reader{file.get(), layout.dataLengthAt, {}};
    qToLittleEndian(quint32(layout.dataBytes), reader.length);
    return convert(rwopsFor(reader), name.constData());
}

bool SdlSound::play(const QString& path)
{
    if (playing_)
        return false;  // entered again from a timer while a sound plays: skip it
    if (device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED)
        loseDevice("the audio device went away");
    if (!open())
        return false;
    QByteArray pcm;
    try {
        pcm = load(path);
    } catch (const std::bad_alloc&) {
        qCWarning(lcQuillo, "not enough memory to play %s", qPrintable(path));
        pcm.clear();
    }
    if (pcm.isEmpty()) {
        playDefault();
        return false;
    }
    return playBuffer(pcm);
}

void SdlSound::playDefault()
{
    if (!playing_ && open() && !chime_.isEmpty())
        playBuffer(chime_);
}

bool SdlSound::playBuffer(const QByteArray& pcm)
{
    playing_ = true;
    Outcome outcome = queueAndWait(pcm);
    if (outcome == Outcome::Lost) {
        // The server may have come back already (a restart): one fresh try.
        const SDL_AudioSpec was = spec_;
        loseDevice("the audio device went away");
        const bool same = open() && spec_.freq == was.freq && spec_.format == was.format && spec_.channels == was.channels;
        outcome = same ? queueAndWait(pcm) : Outcome::Failed;
    }
    // A device that stopped taking sound belongs to a server that hangs: no
    // fresh try now, which would only wait on it again.
    if (outcome == Outcome::Lost || outcome == Outcome::Stalled)
        loseDevice(outcome == Outcome::Lost ? "the audio device went away" : "the audio device stopped taking sound");
    playing_ = false;
    return outcome == Outcome::Played;
}

SdlSound::Outcome SdlSound::queueAndWait(const QByteArray& pcm)
{
    const int frame = bytesPerFrame(spec_);
    if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED)
        return Outcome::Lost;
    if (SDL_QueueAudio(device_, pcm.constData(), Uint32(pcm.size())) != 0)
        return Outcome::Failed;
    release();  // the device's thread takes the sound at once
    const qint64 lengthMs = qint64(pcm.size()) / frame * 1000 / spec_.freq;
    // The last period the device pulled still has to be heard.
    const int tailMs = spec_.samples * 1000 / spec_.freq + 1;
    const QDeadlineTimer deadline(lengthMs + tailMs + kStallMarginMs);

    auto stopped = [this] { return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; };
    auto drained = [this] { return SDL_GetQueuedAudioSize(device_) == 0; };
    auto over = [&] { return drained() || stopped() || deadline.hasExpired(); };
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
            hold();
            return Outcome::Failed;
        }
    }
    if (stopped())
        return Outcome::Lost;
    if (!drained())
        return Outcome::Stalled;
    SDL_Delay(Uint32(tailMs));
    hold();
    return Outcome::Played;
}

}  // namespace quillo
