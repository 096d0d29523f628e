// The geometry of the lamp control: where its bezel and its disc lie in the control's rectangle.
#pragma once

#include "platform/Geometry.h"

// The square the lamp is drawn in: the largest square of the rectangle, centred on its longer side.
PixelRect LampSquare(const PixelRect& rect);
// The lamp disc's box: the square shrunk on every side by a fifth of its side (truncated).
PixelRect LampDisc(const PixelRect& square);
