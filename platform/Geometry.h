// Points, sizes and rectangles in pixels, for the drawing rules that are computed without windows (the
// group pictures, the lamp). Rectangles are half-open: from (x, y) to (x + width, y + height), the right
// and bottom edges excluded. The window layer converts them to the toolkit's types in
// platform/wx/Drawing.h.
#pragma once

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};
