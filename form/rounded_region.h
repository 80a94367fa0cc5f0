#pragma once

#include <QRegion>

namespace quillo {

// The classic rounded-rectangle region from (0, 0) to (w, h) whose corners
// are cut by an ellipse `ellipseWidth` by `ellipseHeight` pixels across.
// Like the classic one it leaves out the right column and the bottom row.
// A corner ellipse under 2 pixels gives the full w x h rectangle, and one
// larger than the rectangle is limited to it.
QRegion roundedRectRegion(int w, int h, int ellipseWidth, int ellipseHeight);

}  // namespace quillo
