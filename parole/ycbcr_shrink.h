#pragma once

#include <QImage>

namespace quillo::parole {

// A decoded picture in its own planes, as a HEIF or AVIF file holds it:
// luma and two chroma planes (or luma alone), 8 to 16 bits a sample.
struct YCbCrPlanes {
    const quint8* planes[3] = {};  // Y, Cb, Cr; Cb and Cr null for a grey picture
    int strides[3] = {};
    int width = 0;
    int height = 0;
    int bits = 8;
    int chromaShiftX = 1;  // 4:2:0 and 4:2:2 halve the chroma across
    int chromaShiftY = 1;  // 4:2:0 halves it down
    int matrix = 6;        // the H.273 matrix coefficients
    bool fullRange = true;
};

// Each `factor` × `factor` block of the picture averaged into one RGB
// pixel: the full-size picture is never turned into RGB, which would hold
// three bytes a pixel beside the planes.
QImage shrunkToRgb(const YCbCrPlanes& picture, int factor);

}  // namespace quillo::parole
