// Resident memory of the window on the bundled media: after start-up and
// after 200 keys in word mode (each showing a picture). Sounds take no time
// here; the audio device's own buffers are a few kilobytes. Target: under
// 60 MB after 200 keys.
//
// Run headless: QT_QPA_PLATFORM=offscreen ./bench_memory

#include "app/parla.h"
#include "app/startup.h"
#include "support/process_memory.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

#include <cstdio>

using namespace quillo;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    test::FakePlatform fake(QStringLiteral(QUILLO_SOURCE_DIR "/media"));
    fake.platform.sound = std::make_unique<test::NullSound>();
    fake.platform.random = std::make_unique<StdRandomSource>();
    Parla form(fake.platform);
    Form_Load(form);
    form.showCoveringScreen();
    QCoreApplication::processEvents();
    const double afterStart = double(test::residentBytes()) / (1024 * 1024);

    const QString letters = QStringLiteral("abcdefgilmnoprstuvz");
    for (int i = 0; i < 200; ++i) {
        const QChar c = letters.at(i % letters.size());
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c.unicode() - 'a'), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(form.scrivo, &press);
        QCoreApplication::processEvents();
    }
    const double afterKeys = double(test::residentBytes()) / (1024 * 1024);
    std::printf("resident after start: %.1f MB\nresident after 200 keys: %.1f MB (target under 60 MB)\n", afterStart,
                afterKeys);
    return afterKeys < 60 ? 0 : 1;
}
