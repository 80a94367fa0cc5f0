// 200 keys of a in word mode while a parent's pictures folder keeps changing
// (a writer takes pictures of a away and puts them back as fast as it can):
// how many keys lack their word, that is, end with no word recording played.
// A plain timing program: bench_changing_library [KEYS]

#include "feedback/typing_handler.h"
#include "support/log_capture.h"
#include "support/started_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <thread>

using namespace quillo;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int keys = argc > 1 ? std::atoi(argv[1]) : 200;
    test::StartedWindow rig(test::StartedWindow::Start::Later);
    rig.media.addBasics();
    test::MediaFolder user;
    for (int i = 0; i < 20; ++i)
        user.addPicture(QStringLiteral("a%1.png").arg(i), 16);
    rig.fake.platform.userMediaFolder = user.path();
    Parla& form = rig.start();
    form.Parolasi->setValue(1);

    // The parent's side: the oldest picture of a goes, a new one comes, one
    // every millisecond, so a list read a moment ago names pictures now gone.
    std::atomic<bool> stop{false};
    std::atomic<long> changes{0};
    std::thread writer([&] {
        const QString folder = user.pictures();
        for (int i = 0; !stop; ++i) {
            QFile::rename(folder + QStringLiteral("a%1.png").arg(i), folder + QStringLiteral("a%1.png").arg(i + 20));
            ++changes;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    test::LogCapture log;
    int lacking = 0;
    for (int k = 0; k < keys; ++k) {
        rig.fake.sound->paths.clear();
        scrivo_KeyPress(form, QStringLiteral("a"));
        bool word = false;
        for (const QString& path : std::as_const(rig.fake.sound->paths))
            word = word || path.contains(QStringLiteral("/parole/"));
        lacking += word ? 0 : 1;
    }
    stop = true;
    writer.join();
    const QString said = log.text();
    std::printf("%d of %d keys lacked their word; %ld folder changes meanwhile; %lld lines on stderr\n", lacking, keys,
                changes.load(), static_cast<long long>(said.count(u'\n')));
    return 0;
}
