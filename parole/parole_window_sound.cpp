// The window's sound: what is missing for it, recording with its level
// meter, and listening.

#include "parole_window.h"

#include "atomic_file.h"
#include "sound_levels.h"
#include "wav_file.h"

#include "platform/sound/sdl_sound.h"
#include "platform/sound/sound_server.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>

namespace quillo::parole {

void ParoleWindow::checkSound()
{
    bool microphone = recorder_.microphoneFound();
    // Waits for an opening under way (briefly), or tries again for a speaker
    // plugged in since.
    const bool speaker = player_ && (player_->hasDevice() || player_->open());
    QString missing;
    // The audio library starts only on a server that has speakers, for
    // recording too: a microphone without them is there, but of no use yet.
    bool onlyMicrophone = false;
    if (!microphone && sdlMayUsePulseAudio()) {
        const SoundServerState server = askSoundServer(std::chrono::milliseconds(500));
        if (server.answered() && server.output) {
            recorder_.lookAgain();
            microphone = recorder_.microphoneFound();
        }
        onlyMicrophone = server.microphoneWithoutSpeakers();
    }
    if (!microphone && !speaker && onlyMicrophone)
        missing = noSpeakers();
    else if (!microphone && !speaker)
        missing = QStringLiteral("Non trovo né un microfono né un altoparlante: puoi aggiungere le foto, e registrare "
                                 "e ascoltare le voci quando li colleghi.");
    else if (!microphone)
        missing = noMicrophone();
    else if (!speaker)
        missing = QStringLiteral("Non trovo nessun altoparlante: puoi registrare e salvare la tua voce, ma non "
                                 "ascoltarla.");
    sound_->setText(missing);
    sound_->setVisible(!missing.isEmpty());
    if (!recorder_.recording())
        updateButtons();
}

void ParoleWindow::toggleRecording()
{
    if (recorder_.recording()) {
        finishRecording();
        return;
    }
    QString error;
    if (!recorder_.start(&error)) {
        showMessage(error, true);
        updateButtons();
        return;
    }
    level_->setValue(0);
    seconds_->setText(QStringLiteral("0,0 s"));
    level_->show();
    seconds_->show();
    meter_.start();
    showMessage(QStringLiteral("Registro… parla ora, poi premi «Ferma»."), false);
    updateButtons();
}

void ParoleWindow::showRecordingLevel()
{
    const double peak = recorder_.recentPeak();  // dBFS
    level_->setValue(int(std::clamp((peak + 60) * 100 / 60, 0.0, 100.0)));
    seconds_->setText(QStringLiteral("%1 s").arg(QLocale(QLocale::Italian).toString(recorder_.seconds(), 'f', 1)));
}

void ParoleWindow::finishRecording()
{
    meter_.stop();
    level_->hide();
    seconds_->hide();
    Recording voice = recorder_.stop();
    QString error;
    if (!prepareRecording(&voice, &error)) {
        voice_ = {};
        showMessage(error, true);
    } else {
        voice_ = voice;
        showMessage(QStringLiteral("Registrata la voce (%1 s). Ascoltala, poi salva.")
                        .arg(QLocale(QLocale::Italian).toString(voice_.seconds(), 'f', 1)),
                    false);
    }
    updateButtons();
}

void ParoleWindow::listen()
{
    QString path = shownRecording_;
    if (!voice_.isEmpty()) {
        if (!scratch_)
            scratch_ = std::make_unique<QTemporaryDir>();
        path = scratch_->filePath(QStringLiteral("ascolta.wav"));
        QString error;
        if (!writeFileAtomically(path, encodeWav(voice_), &error)) {
            showMessage(error, true);
            return;
        }
    }
    play(path);
}

void ParoleWindow::listenLetter()
{
    play(letterEntry(libraries_, letter_->text()).recording);
}

void ParoleWindow::play(const QString& path)
{
    if (path.isEmpty())
        return;
    if (!player_->play(path))
        showMessage(QStringLiteral("Non riesco a farla sentire: l'altoparlante non risponde."), true);
    updateButtons();
}

}  // namespace quillo::parole
