#pragma once
// Clipping of a line to [0, w) x [0, h) by end-point outcodes. Internal to the library.

namespace ras_shape {

// Integer end points, computed wide so that no coordinate can wrap. Intercepts with the
// bottom and right edges are taken at h and w, then the point is put on the last row or
// column; each intercept is truncated.
bool ClipSegment(long long& x1, long long& y1, long long& x2, long long& y2, long long w,
                 long long h);
// The same on fractional end points; non-finite coordinates are rejected.
bool ClipSegmentF(double& x1, double& y1, double& x2, double& y2, double w, double h);

}  // namespace ras_shape
