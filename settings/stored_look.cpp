#include "settings/stored_look.h"

#include "form/built_in_font.h"
#include "form/form.h"

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

// Applies `text` through `parse` and `set` when it converts.
template <typename Parse, typename Set>
TextFault applyParsed(const QString& text, Parse parse, Set set)
{
    TextFault fault = TextFault::None;
    const auto value = parse(text, &fault);
    if (!value)
        return fault == TextFault::None ? TextFault::Unreadable : fault;
    set(*value);
    return TextFault::None;
}

}  // namespace

std::span<const LookSetting> storedLook()
{
    // Built on first use, after the texts it is made from.
    static const std::array<LookSetting, 6> rows{{
        {kScreen, QStringLiteral("Fontname"), kBuiltInFontName, true,
         [](Form& form, const QString& text) {
             return applyParsed(text, parseFontName, [&](const QString& v) { form.scrivo->setFontName(v); });
         },
         [](Form& form) { return form.scrivo->fontName(); }},
        {kScreen, QStringLiteral("Fontsize"), formatFontSize(kBuiltInFontSize), true,
         [](Form& form, const QString& text) {
             return applyParsed(text, parseFontSize, [&](double v) { form.scrivo->setFontSize(v); });
         },
         [](Form& form) { return formatFontSize(form.scrivo->fontSize()); }},
        {kScreen, QStringLiteral("Backcolor"), QString::number(0xFFFFFF), true,  // white
         [](Form& form, const QString& text) {
             return applyParsed(text, parseInt32, [&](qint32 v) { form.scrivo->setBackColor(v); });
         },
         [](Form& form) { return QString::number(form.scrivo->backColor()); }},
        {kScreen, QStringLiteral("Forecolor"), QString::number(0), true,  // black
         [](Form& form, const QString& text) {
             return applyParsed(text, parseInt32, [&](qint32 v) { form.scrivo->setForeColor(v); });
         },
         [](Form& form) { return QString::number(form.scrivo->foreColor()); }},
        {kScreen, QStringLiteral("Circ"), QString::number(0), false,
         [](Form& form, const QString& text) {
             return applyParsed(text, parseInt16, [&](qint16 v) { form.CornerRadius = v; });
         },
         [](Form& form) { return QString::number(form.CornerRadius); }},
        {kApp, QStringLiteral("Parolasi"), QString::number(1), true,  // word mode on
         [](Form& form, const QString& text) {
             return applyParsed(text, parseCheckValue, [&](int v) { form.Parolasi->setValue(v); });
         },
         [](Form& form) { return QString::number(form.Parolasi->value()); }},
    }};
    return rows;
}

}  // namespace quillo
