#include "form/rounded_region.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quillo {

namespace {

// For each row of an ellipse inscribed in an a x b pixel box, the column of
// its leftmost outline pixel. The outline is walked with integer error terms
// (Bresenham-style midpoint walk for ellipses in a rectangle), so it is exact
// and needs no floating point.
std::vector<int> ellipseInsets(int a, int b)
{
    std::vector<int> inset(std::size_t(b), a);
    auto mark = [&](long x, long y) {
        if (y >= 0 && y < b && x < inset[std::size_t(y)])
            inset[std::size_t(y)] = int(std::max(0L, x));
    };
    long x0 = 0, x1 = a - 1, y0 = 0, y1;
    long da = a - 1, db = b - 1, b1 = db & 1;
    long dx = 4 * (1 - da) * db * db, dy = 4 * (b1 + 1) * da * da;
    long err = dx + dy + b1 * da * da;
    y0 = (db + 1) / 2;
    y1 = y0 - b1;
    const long aa = 8 * da * da, bb = 8 * db * db;
    do {
        mark(x0, y0);
        mark(x0, y1);
        mark(x1, y0);
        mark(x1, y1);
        const long e2 = 2 * err;
        if (e2 <= dy) { ++y0; --y1; err += dy += aa; }
        if (e2 >= dx || 2 * err > dy) { ++x0; --x1; err += dx += bb; }
    } while (x0 <= x1);
    while (y0 - y1 < db) {  // very flat ellipses stop early: finish the tips
        mark(x0 - 1, y0++);
        mark(x0 - 1, y1--);
    }
    // A row the walk did not touch takes its neighbour's inset.
    for (int y = 1; y < b; ++y)
        if (inset[std::size_t(y)] == a)
            inset[std::size_t(y)] = inset[std::size_t(y - 1)];
    for (int y = b - 2; y >= 0; --y)
        if (inset[std::size_t(y)] == a)
            inset[std::size_t(y)] = inset[std::size_t(y + 1)];
    return inset;
}

}  // namespace

QRegion roundedRectRegion(int w, int h, int ellipseWidth, int ellipseHeight)
{
    w = std::max(0, w);
    h = std::max(0, h);
    const long ew0 = std::labs(long(ellipseWidth));
    const long eh0 = std::labs(long(ellipseHeight));
    if (ew0 < 2 || eh0 < 2)
        return QRegion(0, 0, w, h);

    const int right = w - 1;   // the right column and bottom row stay outside
    const int bottom = h - 1;
    const int ew = int(std::min<long>(right, ew0));
    const int eh = int(std::min<long>(bottom, eh0));
    if (ew < 2 || eh < 2)
        return QRegion(0, 0, std::max(0, right), std::max(0, bottom));

    const std::vector<int> inset = ellipseInsets(ew, eh);
    const int topRows = eh / 2;
    const int bottomRows = eh - eh / 2;
    std::vector<QRect> rects;
    rects.reserve(std::size_t(eh) + 1);
    auto addRow = [&](int y, int left) {
        const int width = right - 2 * left;
        if (width <= 0)
            return;
        if (!rects.empty() && rects.back().left() == left && rects.back().width() == width
            && rects.back().bottom() == y - 1) {
            rects.back().setBottom(y);  // same span as the row above: grow it
            return;
        }
        rects.emplace_back(left, y, width, 1);
    };
    for (int i = 0; i < topRows; ++i)
        addRow(i, inset[std::size_t(i)]);
    for (int y = topRows; y < bottom - bottomRows; ++y)
        addRow(y, 0);
    for (int i = eh - bottomRows; i < eh; ++i)
        addRow(bottom - eh + i, inset[std::size_t(i)]);
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

}  // namespace quillo
