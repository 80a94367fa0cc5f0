#include "platform/sound/sound_server.h"

#include "platform/base/log.h"

#include <SDL.h>
#include <pulse/pulseaudio.h>

#include <cctype>
#include <memory>

namespace quillo {

namespace {

using Clock = std::chrono::steady_clock;

// One conversation with the server on a main loop of its own, so that it
// can run on any thread and is given up at its deadline.
class Conversation {
public:
    explicit Conversation(Clock::time_point deadline)
        : deadline_(deadline), loop_(pa_mainloop_new(), &pa_mainloop_free)
    {
        if (loop_)
            context_ = pa_context_new(pa_mainloop_get_api(loop_.get()), "Quillo");
    }
    ~Conversation()
    {
        if (context_ != nullptr) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
    }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    // Connects the way the audio library does (the same server, autospawn
    // as the client's configuration says). The state it ended in.
    pa_context_state_t connect()
    {
        if (context_ == nullptr || pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            return PA_CONTEXT_FAILED;
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context_);
            if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state) || !step())
                return state;
        }
    }
    // Runs an operation to its end; false when the deadline came first.
    bool finish(pa_operation* operation)
    {
        if (operation == nullptr)
            return false;
        bool done = true;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
            if (!step()) {
                pa_operation_cancel(operation);
                done = false;
                break;
            }
        }
        pa_operation_unref(operation);
        return done;
    }
    pa_context* context() const { return context_; }

private:
    // One turn of the loop; false at the deadline or on an error.
    bool step()
    {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - Clock::now()).count();
        if (left <= 0)
            return false;
        return pa_mainloop_prepare(loop_.get(), int(left)) >= 0 && pa_mainloop_poll(loop_.get()) >= 0 &&
               pa_mainloop_dispatch(loop_.get()) >= 0;
    }

    Clock::time_point deadline_;
    std::unique_ptr<pa_mainloop, void (*)(pa_mainloop*)> loop_;
    pa_context* context_ = nullptr;
};

const char* const kSilent = "the sound server does not answer";

}  // namespace

bool sdlMayUsePulseAudio()
{
    const char* wanted = SDL_getenv("SDL_AUDIODRIVER");
    if (wanted == nullptr || *wanted == '\0')
        return true;
    std::string lower(wanted);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("pulse") != std::string::npos;
}

SoundServerState askSoundServer(std::chrono::milliseconds wait, bool listSources)
{
    SoundServerState state;
    Conversation talk(Clock::now() + wait);
    const pa_context_state_t connected = talk.connect();
    if (connected != PA_CONTEXT_READY) {
        // Refused or no socket at all: nobody there. Still on its way: a
        // server that took the connection and then said nothing.
        state.reach = PA_CONTEXT_IS_GOOD(connected) ? SoundServerState::Reach::Silent
                                                    : SoundServerState::Reach::NoServer;
        return state;
    }
    const auto onServer = [](pa_context*, const pa_server_info* info, void* data) {
        auto* s = static_cast<SoundServerState*>(data);
        const auto named = [](const char* name) { return name != nullptr && *name != '\0'; };
        s->output = info != nullptr && named(info->default_sink_name);
        s->defaultSource = info != nullptr && named(info->default_source_name);
    };
    const auto onSource = [](pa_context*, const pa_source_info* info, int end, void* data) {
        if (end == 0 && info != nullptr && info->monitor_of_sink == PA_INVALID_INDEX)
            static_cast<SoundServerState*>(data)->input = true;
    };
    if (!talk.finish(pa_context_get_server_info(talk.context(), onServer, &state)) ||
        (listSources && !talk.finish(pa_context_get_source_info_list(talk.context(), onSource, &state)))) {
        state = {};
        state.reach = SoundServerState::Reach::Silent;
        return state;
    }
    state.reach = SoundServerState::Reach::Answered;
    return state;
}

bool audioMayStart(std::string* why, bool* silent)
{
    if (silent)
        *silent = false;
    // Already running (for the microphone, say): a second start only counts.
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0 || !sdlMayUsePulseAudio())
        return true;
    // Whether there is a microphone is not SDL's question: the server's own
    // answer is enough, and the audio starts one round trip sooner.
    const SoundServerState server = askSoundServer(std::chrono::milliseconds(3000), false);
    if (server.reach == SoundServerState::Reach::Silent) {
        if (silent)
            *silent = true;
        if (why)
            *why = logText(kSilent).toStdString();
        return false;
    }
    // SDL reads the names of the default sink and source as it starts.
    if (server.answered() && (!server.output || !server.defaultSource)) {
        if (why)
            *why = logText(server.output ? "the sound server has no input device" : "the sound server has no output device")
                       .toStdString();
        return false;
    }
    return true;
}

}  // namespace quillo
