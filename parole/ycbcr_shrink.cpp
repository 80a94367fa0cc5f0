#include "ycbcr_shrink.h"

#include <algorithm>
#include <vector>

namespace quillo::parole {

namespace {

// The red and blue weights of luma for an H.273 matrix; BT.601 for the
// ones not named.
void lumaWeights(int matrix, double* red, double* blue)
{
    switch (matrix) {
    case 1: *red = 0.2126; *blue = 0.0722; break;    // BT.709
    case 9: case 10: *red = 0.2627; *blue = 0.0593; break;  // BT.2020
    default: *red = 0.299; *blue = 0.114; break;     // BT.601
    }
}

int sampleAt(const YCbCrPlanes& picture, int plane, int x, int y)
{
    const quint8* line = picture.planes[plane] + qsizetype(y) * picture.strides[plane];
    if (picture.bits <= 8)
        return line[x];
    return reinterpret_cast<const quint16*>(line)[x];
}

}  // namespace

QImage shrunkToRgb(const YCbCrPlanes& picture, int factor)
{
    const int outWidth = (picture.width + factor - 1) / factor;
    const int outHeight = (picture.height + factor - 1) / factor;
    QImage out(outWidth, outHeight, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const bool grey = !picture.planes[1] || !picture.planes[2];
    double kr = 0;
    double kb = 0;
    lumaWeights(picture.matrix, &kr, &kb);
    const double top = double((1 << picture.bits) - 1);
    const double middle = double(1 << (picture.bits - 1));
    // Limited range: luma 16..235 and chroma 16..240, at 8 bits.
    const double scale = double(1 << (picture.bits - 8));
    const double lumaFloor = picture.fullRange ? 0 : 16 * scale;
    const double lumaSpan = picture.fullRange ? top : 219 * scale;
    const double chromaSpan = picture.fullRange ? top : 224 * scale;
    std::vector<double> sums(size_t(outWidth) * 3);
    std::vector<int> counts(static_cast<size_t>(outWidth));
    for (int y = 0; y < outHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0);
        std::fill(counts.begin(), counts.end(), 0);
        for (int row = y * factor; row < std::min(picture.height, (y + 1) * factor); ++row) {
            const int chromaRow = row >> picture.chromaShiftY;
            for (int x = 0; x < picture.width; ++x) {
                double* s = &sums[size_t(x / factor) * 3];
                s[0] += sampleAt(picture, 0, x, row);
                if (!grey) {
                    s[1] += sampleAt(picture, 1, x >> picture.chromaShiftX, chromaRow);
                    s[2] += sampleAt(picture, 2, x >> picture.chromaShiftX, chromaRow);
                }
                ++counts[size_t(x / factor)];
            }
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < outWidth; ++x) {
            const double n = std::max(1, counts[size_t(x)]);
            const double* s = &sums[size_t(x) * 3];
            const double luma = (s[0] / n - lumaFloor) / lumaSpan;
            const double cb = grey ? 0 : (s[1] / n - middle) / chromaSpan;
            const double cr = grey ? 0 : (s[2] / n - middle) / chromaSpan;
            const double r = luma + 2 * (1 - kr) * cr;
            const double b = luma + 2 * (1 - kb) * cb;
            const double g = (luma - kr * r - kb * b) / (1 - kr - kb);
            const auto byte = [](double v) { return std::clamp(int(v * 255 + 0.5), 0, 255); };
            line[x] = qRgb(byte(r), byte(g), byte(b));
        }
    }
    return out;
}

}  // namespace quillo::parole
