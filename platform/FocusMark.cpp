#include "platform/FocusMark.h"

#include <cstddef>

std::vector<PixelPoint> FocusMarkDots(const PixelSize& client) {
    const int left = 2;
    const int top = 2;
    const int right = client.width - 3;
    const int bottom = client.height - 3;
    std::vector<PixelPoint> dots;
    if (right <= left || bottom <= top) {
        return dots;
    }
    std::vector<PixelPoint> outline;
    for (int x = left; x < right; ++x) {
        outline.push_back({x, top});
    }
    for (int y = top; y < bottom; ++y) {
        outline.push_back({right, y});
    }
    for (int x = right; x > left; --x) {
        outline.push_back({x, bottom});
    }
    for (int y = bottom; y > top; --y) {
        outline.push_back({left, y});
    }
    for (std::size_t i = 0; i < outline.size(); i += 2) {
        dots.push_back(outline[i]);
    }
    return dots;
}
