#include "support/stored_settings.h"

#include "settings/settings_file.h"
#include "form/rounded_region.h"
#include "platform/settings_file/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace quillo::test {

namespace {

QRegion outline(const QWidget* control, int corner)
{
    return roundedRectRegion(control->width(), control->height(), corner, corner);
}

}  // namespace

QString iniPath() { return SettingsStore::filePath(); }
QString configFolder() { return QFileInfo(iniPath()).absolutePath(); }

QByteArray readIni()
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeIni(const QByteArray& text)
{
    QDir().mkpath(configFolder());
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the test settings file");
    file.write(text);
}

QStringList iniLines() { return QString::fromUtf8(readIni()).split(u'\n', Qt::SkipEmptyParts); }

void removeConfigFolder()
{
    const QFileInfo folder(configFolder());
    if (folder.isDir())
        QDir(folder.absoluteFilePath()).removeRecursively();
    else if (folder.exists())
        QFile::remove(folder.absoluteFilePath());
}

LookRig::LookRig()
{
    media.addBasics();
    library.setLibraries(media.path(), QString());
    sheet.resize(1009, 665);
    word.resize(617, 81);
}

LookParts LookRig::parts()
{
    return {sheet, wordMode, {corner, {sheet, sheet.size()}, {word, word.size()}}};
}

void LookRig::load()
{
    LoadSavedSettings(parts(), store);
}

void LookRig::save()
{
    SaveSettings(look(), store, sound, library);
}

bool outlinesFollow(const LookRig& rig, int corner)
{
    return rig.sheet.mask() == outline(&rig.sheet, corner) && rig.word.mask() == outline(&rig.word, corner);
}

void verifyLook(LookRig& rig, const Look& expected)
{
    const Look got = rig.look();
    QCOMPARE(got.fontName, expected.fontName);
    QCOMPARE(got.fontSize, expected.fontSize);
    QCOMPARE(got.backColor, expected.backColor);
    QCOMPARE(got.foreColor, expected.foreColor);
    QCOMPARE(got.corner, expected.corner);
    QCOMPARE(got.wordMode, expected.wordMode);
    QCOMPARE(rig.sheet.mask(), outline(&rig.sheet, expected.corner));
    QCOMPARE(rig.word.mask(), outline(&rig.word, expected.corner));
}

}  // namespace quillo::test
