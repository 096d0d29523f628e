// Where the focus mark of an owner-drawn control lies: a one-pixel dotted rectangle just inside the
// control's two-pixel frame, computed without a window.
#pragma once

#include <vector>

#include "platform/Geometry.h"

// The pixels of the mark in a client area of the given size: every other pixel of the outline of the
// rectangle two pixels inside the edges, going round from its top-left corner. None when the area is
// too small to hold it.
std::vector<PixelPoint> FocusMarkDots(const PixelSize& client);
