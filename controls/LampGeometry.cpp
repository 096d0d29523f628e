#include "controls/LampGeometry.h"

PixelRect LampSquare(const PixelRect& rect) {
    if (rect.width > rect.height) {
        return PixelRect{rect.x + (rect.width - rect.height) / 2, rect.y, rect.height, rect.height};
    }
    return PixelRect{rect.x, rect.y + (rect.height - rect.width) / 2, rect.width, rect.width};
}

PixelRect LampDisc(const PixelRect& square) {
    const int inset = static_cast<int>(0.2 * square.width);
    return PixelRect{square.x + inset, square.y + inset, square.width - 2 * inset, square.height - 2 * inset};
}
