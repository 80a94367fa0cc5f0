// One keystroke's own work in word mode, sound left out: find the letter's
// recording among 200, the cue, list the pictures for the letter among
// 10,000, pick one, load and show it, find the word's recording. Target:
// under 2 ms a keystroke. The same on the bundled media, and on the 10,000
// beside a library of the user's with 200 pictures of its own (20 of them in
// place of bundled words) and its own recordings.
//
// Run headless: QT_QPA_PLATFORM=offscreen ./bench_keystroke

#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "app/startup.h"
#include "support/sample_files.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

using namespace quillo;

namespace {

struct Library {
    test::MediaFolder media;
    int pictures = 0;

    Library()
    {
        const QByteArray png = test::pictureFile(160, 160, QColor(30, 120, 200));
        const QByteArray wav = test::MediaFolder::tinyWav(2000);

        const QString letters = QStringLiteral("abcdefghilmnopqrstuvz");
        // 10,000 pictures spread over the letters, each with its word's recording.
        for (int i = 0; i < 10000; ++i) {
            const QString word = letters.at(i % letters.size()) + QStringLiteral("parola%1").arg(i);
            media.addFile(QStringLiteral("immagini/") + word + QStringLiteral(".png"), png);
            media.addFile(QStringLiteral("parole/") + word + QStringLiteral(".wav"), wav);
        }
        // 200 recordings in the letters folder.
        for (QChar c : letters + QStringLiteral("jkwxy0123456789"))
            media.addFile(QStringLiteral("alfabeto/") + c + QStringLiteral(".wav"), wav);
        for (const char* name : {"boh.wav", "d.wav"})
            media.addFile(QStringLiteral("alfabeto/") + QString::fromLatin1(name), wav);
        for (int i = 0; QDir(media.letters()).entryList(QDir::Files).size() < 200; ++i)
            media.addFile(QStringLiteral("alfabeto/simbolo%1.wav").arg(i), wav);
        pictures = 10000;
    }
};

Library& library()
{
    static Library instance;
    return instance;
}

// The user's library beside the large one.
struct OwnLibrary {
    test::MediaFolder folder;
    OwnLibrary()
    {
        const QByteArray png = test::pictureFile(160, 160, QColor(200, 60, 30));
        const QByteArray wav = test::MediaFolder::tinyWav(2000);
        const QString letters = QStringLiteral("abcdefghilmnopqrstuvz");
        for (int i = 0; i < 200; ++i) {
            // The first 20 have the words of bundled pictures.
            const QString word = i < 20 ? letters.at(i % letters.size()) + QStringLiteral("parola%1").arg(i)
                                        : letters.at(i % letters.size()) + QStringLiteral("nostra%1").arg(i);
            folder.addFile(QStringLiteral("immagini/") + word + QStringLiteral(".jpg"), png);
            folder.addFile(QStringLiteral("parole/") + word + QStringLiteral(".wav"), wav);
        }
        for (QChar c : letters)
            folder.addFile(QStringLiteral("alfabeto/") + c + QStringLiteral(".wav"), wav);
    }
};

test::MediaFolder& ownLibrary()
{
    static OwnLibrary own;
    return own.folder;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// `letters`: the keys typed in turn. One letter again and again keeps the
// picture list's pattern; changing letters makes it read the folder again.
// `fewest`: the pictures a letter must at least have had, to show the run
// measured what it meant to.
void keystroke(benchmark::State& state, const QString& mediaFolder, const QString& letters, int fewest,
               const QString& userFolder = {})
{
    test::FakePlatform fake(mediaFolder);
    fake.platform.userMediaFolder = userFolder;
    fake.platform.sound = std::make_unique<test::NullSound>();
    fake.sound = nullptr;
    Parla form(fake.platform);
    Form_Load(form);
    form.Parolasi->setValue(1);

    std::vector<double> ms;
    qsizetype i = 0;
    for (auto _ : state) {
        const QString key = letters.at(i++ % letters.size());
        const auto start = std::chrono::steady_clock::now();
        scrivo_KeyPress(form, key);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        ms.push_back(took.count() * 1000);
    }
    if (form.esempio->text().isEmpty() || form.File1.count() < fewest)
        state.SkipWithError("no word was shown");
    state.counters["median_ms"] = median(ms);
    state.counters["pictures_for_letter"] = form.File1.count();
}

void large(benchmark::State& state, const QString& letters) { keystroke(state, library().media.path(), letters, 400); }

void largeWithOwn(benchmark::State& state, const QString& letters)
{
    keystroke(state, library().media.path(), letters, 400, ownLibrary().path());
}

// The media that come with Quillo: 79 pictures.
void bundled(benchmark::State& state, const QString& letters)
{
    keystroke(state, QStringLiteral(QUILLO_SOURCE_DIR "/media"), letters, 1);
}

}  // namespace

BENCHMARK_CAPTURE(large, same_letter, QStringLiteral("a"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(large, changing_letters, QStringLiteral("casabelo"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(largeWithOwn, same_letter, QStringLiteral("a"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(largeWithOwn, changing_letters, QStringLiteral("casabelo"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(bundled, same_letter, QStringLiteral("a"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(bundled, changing_letters, QStringLiteral("casabelo"))->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    library();
    ownLibrary();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
