#pragma once

#include "platform/sound/sdl_capture.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

namespace quillo::parole {

// A recorded sound: mono samples in [-1, 1] at `rate` Hz.
struct Recording {
    std::vector<float> samples;
    int rate = 0;
    bool isEmpty() const { return samples.empty() || rate <= 0; }
    double seconds() const { return rate > 0 ? double(samples.size()) / rate : 0; }
};

// Records from the default microphone while the window runs: start(), then
// stop() gives the recording. What the device captured is collected from
// the event loop.
class Recorder : public QObject {
    Q_OBJECT
public:
    explicit Recorder(QObject* parent = nullptr);

    // False, with an Italian message in *error, when there is no microphone
    // or the capture device fails. A sound server with no microphone may
    // still offer to record what its speakers play (a monitor): that is
    // never taken for a microphone.
    bool start(QString* error);
    Recording stop();
    bool recording() const { return capture_.running(); }
    bool microphoneFound() const { return capture_.deviceCount() > 0; }
    // Starts the audio library if it could not start before (no speakers
    // then, or no server): a microphone is seen from then on.
    void lookAgain() { capture_.startAgain(); }
    // While recording: the loudest of the last tenth of a second, in dBFS,
    // and the seconds recorded so far.
    double recentPeak() const;
    double seconds() const;

    // The longest recording; it stops on its own then.
    static constexpr int kLongestSeconds = 30;

signals:
    void stoppedByItself();

private:
    SdlCapture capture_;
    QTimer collect_;
    int ticks_ = 0;
};

// Records for `seconds` without an event loop (the command line). `started`
// is called once the device is capturing. False, with an Italian message.
bool recordFor(double seconds, Recording* recording, QString* error, const std::function<void()>& started = {});

// The message for a microphone that is there but does not record; the
// system's own words go to stderr.
QString microphoneProblem(const QString& why);
// The message for no microphone at all.
QString noMicrophone();
// The same for a microphone on a sound server without speakers, where the
// audio library does not start: nothing can be recorded until some are there.
QString noSpeakers();
// Why nothing can be recorded when no microphone is seen: one of the two.
QString noMicrophoneSeen();

}  // namespace quillo::parole
