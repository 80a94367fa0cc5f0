// Showing a word whose picture is a 4000x3000 photograph: read, crop to the
// picture box's shape, scale, show. Target for JPEG: under 40 ms. PNG has no
// reduced decoding and is reported for comparison.
//
// Run headless: QT_QPA_PLATFORM=offscreen ./bench_show_word

#include "app/parla.h"
#include "feedback/word_display.h"
#include "app/startup.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace quillo;

namespace {

test::MediaFolder& mediaFolder()
{
    static test::MediaFolder folder;
    static const bool made = [](test::MediaFolder& f) {
        // Something like a photograph: gradients and shapes, not a flat fill.
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(x * 255 / 4000, y * 255 / 3000, (x ^ y) & 0xff);
        }
        QPainter painter(&image);
        painter.setBrush(Qt::yellow);
        painter.drawEllipse(QPoint(2000, 1500), 900, 700);
        painter.end();
        image.save(f.pictures() + QStringLiteral("foto.jpg"), "JPEG", 90);
        image.save(f.pictures() + QStringLiteral("disegno.png"), "PNG");
        f.addWord(QStringLiteral("foto.wav"));
        f.addWord(QStringLiteral("disegno.wav"));
        return true;
    }(folder);
    Q_UNUSED(made);
    return folder;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void showWord(benchmark::State& state, const QString& fileName)
{
    test::FakePlatform fake(mediaFolder().path());
    Parla form(fake.platform);
    Form_Load(form);
    form.File1.setPattern(fileName);
    form.File1.setSelectedIndex(0);

    std::vector<double> ms;
    for (auto _ : state) {
        form.esempiopix->clear();
        const auto start = std::chrono::steady_clock::now();
        ShowWord(wordShowOf(form), fileName);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        ms.push_back(took.count() * 1000);
    }
    if (form.esempiopix->pixmap().isNull())
        state.SkipWithError("no picture shown");
    state.counters["median_ms"] = median(ms);
    fake.sound->played.clear();
}

}  // namespace

BENCHMARK_CAPTURE(showWord, jpeg_4000x3000, QStringLiteral("foto.jpg"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK_CAPTURE(showWord, png_4000x3000, QStringLiteral("disegno.png"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    mediaFolder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
