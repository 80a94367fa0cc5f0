#include "settings/stored_look.h"

#include "form/built_in_font.h"

#include <array>

namespace quillo {

namespace {

const QString kScreen = QStringLiteral("Screen");
const QString kApp = QStringLiteral("App");

std::optional<QString> parseFontName(const QString& text, TextFault* fault)
{
    const QString name = text.trimmed();
    if (name.isEmpty() || name.size() > 256) {
        *fault = TextFault::Unreadable;
        return std::nullopt;
    }
    return name;
}

// Puts `text` through `parse` into `field` when it converts.
template <typename Parse, typename Field>
TextFault applyParsed(const QString& text, Parse parse, Field& field)
{
    TextFault fault = TextFault::None;
    const auto value = parse(text, &fault);
    if (!value)
        return fault == TextFault::None ? TextFault::Unreadable : fault;
    field = *value;
    return TextFault::None;
}

}  // namespace

const Look& builtInLook()
{
    static const Look look{kBuiltInFontName, kBuiltInFontSize, 0xFFFFFF /* white */, 0 /* black */, 0, 1};
    return look;
}

std::span<const LookSetting> storedLook()
{
    // Built on first use, after the texts it is made from.
    static const std::array<LookSetting, 6> rows{{
        {kScreen, QStringLiteral("Fontname"),
         [](Look& look, const QString& text) { return applyParsed(text, parseFontName, look.fontName); },
         [](const Look& look) { return look.fontName; }},
        {kScreen, QStringLiteral("Fontsize"),
         [](Look& look, const QString& text) { return applyParsed(text, parseFontSize, look.fontSize); },
         [](const Look& look) { return formatFontSize(look.fontSize); }},
        {kScreen, QStringLiteral("Backcolor"),
         [](Look& look, const QString& text) { return applyParsed(text, parseInt32, look.backColor); },
         [](const Look& look) { return QString::number(look.backColor); }},
        {kScreen, QStringLiteral("Forecolor"),
         [](Look& look, const QString& text) { return applyParsed(text, parseInt32, look.foreColor); },
         [](const Look& look) { return QString::number(look.foreColor); }},
        {kScreen, QStringLiteral("Circ"),
         [](Look& look, const QString& text) { return applyParsed(text, parseInt16, look.corner); },
         [](const Look& look) { return QString::number(look.corner); }},
        {kApp, QStringLiteral("Parolasi"),
         [](Look& look, const QString& text) { return applyParsed(text, parseCheckValue, look.wordMode); },
         [](const Look& look) { return QString::number(look.wordMode); }},
    }};
    return rows;
}

}  // namespace quillo
