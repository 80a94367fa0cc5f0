#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillo {
class Form;
}

namespace quillo::test {

// The settings file of the per-user store, as the tests read and write it
// (point the store at a temporary folder first: TemporaryConfigHome).

// The colours a sheet starts with: references to the system's window colours.
inline constexpr qint32 kSystemBack = -2147483643;  // 0x80000005
inline constexpr qint32 kSystemText = -2147483640;  // 0x80000008

QString iniPath();
QString configFolder();
QByteArray readIni();
void writeIni(const QByteArray& text);
// The lines of the stored file, for exact comparisons of stored texts.
QStringList iniLines();
// Removes the settings folder (or whatever stands in its place).
void removeConfigFolder();

// The six keys of the stored appearance, as section/key.
inline const QStringList kLookKeys{QStringLiteral("Screen/Fontname"), QStringLiteral("Screen/Fontsize"),
                                   QStringLiteral("Screen/Backcolor"), QStringLiteral("Screen/Forecolor"),
                                   QStringLiteral("Screen/Circ"), QStringLiteral("App/Parolasi")};

// The stored appearance as the window shows it.
struct Appearance {
    QString font;
    double size;
    qint32 back;
    qint32 fore;
    qint16 corner;
    int wordMode;
};
inline const Appearance kDefaults{QStringLiteral("Arial"), 48, 16777215, 0, 0, 1};

Appearance appearanceOf(const Form& form);
// The outlines of both controls follow the corner too.
bool outlinesFollow(const Form& form, int corner);
// Compares each value, failing the running test at the first that differs.
void verifyAppearance(const Form& form, const Appearance& expected);

}  // namespace quillo::test
