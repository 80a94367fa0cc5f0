#include "support/stored_settings.h"

#include "form/form.h"
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

Appearance appearanceOf(const Form& form)
{
    return {form.scrivo->fontName(), form.scrivo->fontSize(), form.scrivo->backColor(),
            form.scrivo->foreColor(), form.CornerRadius, form.Parolasi->value()};
}

bool outlinesFollow(const Form& form, int corner)
{
    return form.scrivo->mask() == outline(form.scrivo, corner) && form.esempio->mask() == outline(form.esempio, corner);
}

void verifyAppearance(const Form& form, const Appearance& expected)
{
    const Appearance got = appearanceOf(form);
    QCOMPARE(got.font, expected.font);
    QCOMPARE(got.size, expected.size);
    QCOMPARE(got.back, expected.back);
    QCOMPARE(got.fore, expected.fore);
    QCOMPARE(got.corner, expected.corner);
    QCOMPARE(got.wordMode, expected.wordMode);
    QCOMPARE(form.scrivo->mask(), outline(form.scrivo, expected.corner));
    QCOMPARE(form.esempio->mask(), outline(form.esempio, expected.corner));
}

}  // namespace quillo::test
