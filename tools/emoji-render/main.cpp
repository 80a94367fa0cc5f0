// emoji-render: draws one emoji with the "Noto Color Emoji" font into a
// square PNG with a transparent background, centred and filling most of it.
//
//   emoji-render [--size N] [--font FILE] CODEPOINTS OUT.png
//   emoji-render [--size N] --image IN.png OUT.png
//
// With --image, a drawing already rendered to a PNG with a transparent
// background (a clip-art SVG, say) is cropped, scaled and placed the same
// way, so that it sits among the emoji at the same size.
//
// CODEPOINTS are hexadecimal, separated by '+', ' ' or ',' (e.g. "1F41D",
// "2708+FE0F"). Needs no display: it uses Qt's offscreen platform.
//
// Noto Color Emoji is a bitmap (CBDT) font whose glyphs exist at one size
// only (109 ppem, about 136 px). Drawing it at other sizes is unreliable, so
// the glyph is drawn at its native size, cropped to its visible pixels and
// scaled smoothly to the requested size.

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int nativePixelSize = 109;
constexpr double fillRatio = 0.92; // share of the square the emoji's longer side takes

int fail(const QString &message)
{
    std::fprintf(stderr, "emoji-render: %s\n", qPrintable(message));
    return 1;
}

bool parseCodepoints(const QString &text, QString &out)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[+ ,]+")),
                                         Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    for (QString part : parts) {
        if (part.startsWith(QLatin1String("U+"), Qt::CaseInsensitive))
            part = part.mid(2);
        bool ok = false;
        const uint cp = part.toUInt(&ok, 16);
        if (!ok || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        const char32_t c = cp;
        out += QString::fromUcs4(&c, 1);
    }
    return true;
}

// Smallest rectangle holding every pixel that is not fully transparent.
QRect visibleRect(const QImage &image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Draws the emoji at the font's native size on a generous canvas, so that
// nothing is clipped whatever the metrics say. Returns 0, or the exit status
// after saying what failed.
int drawGlyph(const QString &codepoints, const QString &fontFile, QImage &glyph)
{
    QString text;
    if (!parseCodepoints(codepoints, text))
        return fail(QStringLiteral("bad code points: ") + codepoints);

    QString family = QStringLiteral("Noto Color Emoji");
    if (!fontFile.isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(fontFile);
        if (id < 0)
            return fail(QStringLiteral("cannot load font ") + fontFile);
        family = QFontDatabase::applicationFontFamilies(id).value(0, family);
    }
    if (!QFontDatabase::families().contains(family))
        return fail(QStringLiteral("font family not installed: ") + family
                    + QStringLiteral(" (Debian package fonts-noto-color-emoji)"));

    QFont font(family);
    font.setPixelSize(nativePixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);

    const QFontMetrics metrics(font);
    const int canvas = 3 * nativePixelSize;
    glyph = QImage(canvas, canvas, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        const int width = metrics.horizontalAdvance(text);
        p.drawText(QPointF((canvas - width) / 2.0, (canvas + metrics.ascent() - metrics.descent()) / 2.0),
                   text);
    }
    glyph = glyph.convertToFormat(QImage::Format_ARGB32);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // No window is ever shown; do not depend on a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    int size = 256;
    QString fontFile;
    QString imageFile;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--size") && i + 1 < args.size()) {
            bool ok = false;
            size = args.at(++i).toInt(&ok);
            if (!ok || size < 16 || size > 2048)
                return fail(QStringLiteral("bad --size"));
        } else if (a == QLatin1String("--font") && i + 1 < args.size()) {
            fontFile = args.at(++i);
        } else if (a == QLatin1String("--image") && i + 1 < args.size()) {
            imageFile = args.at(++i);
        } else {
            positional << a;
        }
    }
    if (positional.size() != (imageFile.isEmpty() ? 2 : 1))
        return fail(QStringLiteral("usage: emoji-render [--size N] [--font FILE] CODEPOINTS OUT.png\n"
                                   "       emoji-render [--size N] --image IN.png OUT.png"));
    const QString outFile = positional.last();

    QImage glyph;
    if (!imageFile.isEmpty()) {
        glyph = QImage(imageFile).convertToFormat(QImage::Format_ARGB32);
        if (glyph.isNull())
            return fail(QStringLiteral("cannot read ") + imageFile);
    } else if (const int status = drawGlyph(positional.at(0), fontFile, glyph); status != 0) {
        return status;
    }

    // Font merging is off and the font's "missing glyph" is empty, so a code
    // point the font lacks draws nothing at all instead of a box.
    const QRect box = visibleRect(glyph);
    if (box.isEmpty())
        return fail(imageFile.isEmpty()
                        ? QStringLiteral("nothing drawn for ") + positional.at(0) + QStringLiteral(" (not in the font?)")
                        : QStringLiteral("nothing to see in ") + imageFile);

    const QImage cropped = glyph.copy(box);
    const int target = int(size * fillRatio);
    const QImage scaled = cropped.scaled(target, target, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    QImage out(size, size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        p.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    }

    // Quality 0 asks for the strongest zlib compression.
    if (!out.save(outFile, "PNG", 0))
        return fail(QStringLiteral("cannot write ") + outFile);
    return 0;
}
