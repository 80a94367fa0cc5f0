// Re-reading the picture list over a folder of 10,000 pictures
// (QUILLO_BENCH_FILES sets another number, e.g. 100000).
#include "library/media_library.h"
#include "library/picture_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

int fileCount()
{
    const int wanted = qEnvironmentVariableIntValue("QUILLO_BENCH_FILES");
    return wanted > 0 ? wanted : 10000;
}

// One library for the whole run: its folder of pictures holds empty files
// with names like the media's, mixed case, some accented initials, numbers
// inside.
quillo::MediaLibrary& pictureLibrary()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static quillo::MediaLibrary library;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QDir(dir->path()).mkdir(QStringLiteral("immagini"));
        const QStringList initials = QString::fromUtf8("abcdefghilmnopqrstuvzàèìòùABCDEGMPSTZ").split(QString(), Qt::SkipEmptyParts);
        for (int i = 0, files = fileCount(); i < files; ++i) {
            const QString name = initials.at(i % initials.size()) + QStringLiteral("parola%1.png").arg(i);
            QFile file(dir->filePath(QStringLiteral("immagini/") + name));
            if (!file.open(QIODevice::WriteOnly))
                std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
        }
        library.setLibraries(dir->path(), {});
    }
    return library;
}

// Each iteration sets a pattern different from the one held, so the list
// re-reads the folder; the two patterns select the same files.
void rereadFolder(benchmark::State& state, const QString& first, const QString& second)
{
    quillo::PictureList list;
    list.setLibrary(pictureLibrary());
    bool flip = false;
    for (auto _ : state) {
        list.setPattern(flip ? first : second);
        flip = !flip;
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["files"] = list.count();
}

// A folder the list has not read yet (or that changed since): the full
// listing and sort. Re-reads of an unchanged folder reuse its listing.
void BM_ReadChangedFolder(benchmark::State& state)
{
    for (auto _ : state) {
        quillo::PictureList list;
        list.setLibrary(pictureLibrary());
        benchmark::DoNotOptimize(list.count());
    }
}

void BM_RereadAll(benchmark::State& state) { rereadFolder(state, QStringLiteral("*.*"), QStringLiteral("*")); }
void BM_RereadInitialC(benchmark::State& state) { rereadFolder(state, QStringLiteral("c*.*"), QStringLiteral("C*.*")); }

}  // namespace

BENCHMARK(BM_ReadChangedFolder)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RereadAll)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RereadInitialC)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    pictureLibrary();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
