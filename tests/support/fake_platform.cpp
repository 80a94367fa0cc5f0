#include "support/fake_platform.h"

#include "support/fixed_program_folder.h"

#include "platform/files/regular_file.h"

#include <memory>

namespace quillo::test {

bool RecordingSound::play(const QString& path)
{
    if (duringPlay)
        duringPlay();
    // Opened as the real player opens it: by the name's own bytes, and only a
    // regular file.
    const std::unique_ptr<QFile> file = openRegularFile(path);
    const bool there = file && file->size() > 0;
    if (keepLog)
        played.append(there ? path.mid(path.lastIndexOf(u'/') + 1) : QStringLiteral("<default>"));
    if (keepLog)
        paths.append(path);
    return there && deviceWorks;
}

QStringList RecordingSound::names() const
{
    return played;
}

double ScriptedRandom::next()
{
    ++draws;
    if (queued.empty())
        return 0.5;
    const double r = queued.front();
    queued.pop_front();
    return r;
}

FakePlatform::FakePlatform(const QString& programFolder)
{
    auto s = std::make_unique<RecordingSound>();
    auto r = std::make_unique<ScriptedRandom>();
    auto m = std::make_unique<RecordingMessageBox>();
    auto f = std::make_unique<FixedFontList>(QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif")});
    auto e = std::make_unique<RecordingExit>();
    sound = s.get();
    random = r.get();
    messages = m.get();
    fonts = f.get();
    exit = e.get();
    platform.sound = std::move(s);
    platform.screen = std::make_unique<FakeScreen>(1024, 768);
    platform.settings = std::make_unique<SettingsStore>();
    platform.random = std::move(r);
    platform.messages = std::move(m);
    platform.fonts = std::move(f);
    platform.programFolder = std::make_unique<FixedProgramFolder>(programFolder);
    platform.exit = std::move(e);
}

}  // namespace quillo::test
