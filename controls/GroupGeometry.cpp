#include "controls/GroupGeometry.h"

#include <algorithm>
#include <cmath>

const AttenuatorScaleRow AttenuatorScale[3] = {
    {{"0", "", "2", "", "4", "", "6", "", "8", "", "10", ""}},
    {{"0", "", "20", "", "40", "", "60", "", "80", "90", "", ""}},
    {{"0", "", "20", "", "40", "", "60", "70", "", "", "", ""}},
};

namespace {

constexpr double kFifteenth = 0.0666666666666666667;
constexpr double kSeventh = 0.142857142857142857;

int T(double v) {
    return static_cast<int>(v);
}

// Top of the contact rows with position 0 on top, as multiples of s and r (plus 2 pixels).
struct Row {
    double s, r;
};
constexpr Row kRows4[4] = {{1, 0}, {2, 2}, {3, 4}, {4, 6}};
constexpr Row kRows6[6] = {{0.3, 0}, {1.6, 1.2}, {2.9, 2.4}, {4.2, 3.6}, {5.5, 4.8}, {6.8, 6.0}};

// Where the dial positions sit: the angle from twelve o'clock, the side (+1 right, -1 left) and the
// upward offset of the circle, in units of r.
struct DialPlace {
    double angleSteps;
    int side;
    double offset;
};
constexpr DialPlace kDial[12] = {{1, +1, 0.5}, {2, +1, 0.5}, {3, +1, 1.0}, {4, +1, 1.0},
                                 {5, +1, 1.5}, {6, +1, 1.5}, {5, -1, 1.5}, {4, -1, 1.5},
                                 {3, -1, 1.0}, {2, -1, 1.0}, {1, -1, 0.5}, {0, -1, 0.5}};

} // namespace

PixelRect TruncatedRect(double left, double top, double right, double bottom) {
    const int l = T(left);
    const int t = T(top);
    return PixelRect{l, t, T(right) - l, T(bottom) - t};
}

SwitchGeometry LayoutSwitch(int count, const PixelSize& client, int pos, bool firstOnTop, bool hasPoleText,
                            const PixelSize& poleText, const PixelSize* labelText) {
    SwitchGeometry g;
    const int W = client.width;
    const int H = client.height;
    const double h = H - 4;
    const bool six = count == 6;
    if (six) {
        g.r = h * kFifteenth;
        g.s = (h - 8 * g.r) * kSeventh;
    } else {
        g.r = 0.1 * h;
        g.s = 0.2 * (h - 8 * g.r);
    }
    const double r = g.r;
    const double s = g.s;
    g.m = 0.025 * W;

    const double t = H / 2 - r;
    double x0 = g.m;
    if (hasPoleText) {
        g.poleLabel = PixelPoint{T(g.m), T(t - poleText.height / 2 + r)};
        x0 = g.m + poleText.width + 2;
    }
    g.pole = TruncatedRect(x0, t, x0 + 2 * r, t + 2 * r);
    g.poleCentre = PixelPoint{T(x0 + r), T(t + r)};

    int widest = 0;
    for (int i = 0; i < count; ++i) {
        widest = std::max(widest, labelText[i].width);
    }
    const double xc = W - g.m - widest - 2 - 2 * r;
    g.left = T(xc);
    g.band = TruncatedRect(x0 - 1, 3, g.left + 2 * r + 1, H - 3);

    const Row* rows = six ? kRows6 : kRows4;
    g.hasArm = pos >= 0 && pos < count;
    for (int i = 0; i < count; ++i) {
        const Row row = rows[firstOnTop ? i : count - 1 - i];
        const double y = 2 + row.s * s + row.r * r;
        g.contact[i] = TruncatedRect(g.left, y, xc + 2 * r, y + 2 * r);
        g.label[i] = PixelPoint{T(xc + 2 * r + 2), T(y + r - labelText[i].height / 2)};
        if (i == pos) {
            g.arm[0] = g.poleCentre;
            g.arm[1] = PixelPoint{T(x0 + r), T(y + r)};
            g.arm[2] = PixelPoint{g.left, T(y + r)};
        }
    }
    if (g.hasArm) {
        for (int k = 0; k < 3; ++k) {
            g.arm[3 + k] = PixelPoint{g.arm[k].x - 1, g.arm[k].y - 1};
            g.arm[6 + k] = PixelPoint{g.arm[k].x + 1, g.arm[k].y + 1};
        }
    }
    return g;
}

DialGeometry LayoutAttenuator(const PixelSize& client, int pos, const PixelSize* labelText,
                              const PixelSize& dBText) {
    DialGeometry g;
    const int W = client.width;
    const int H = client.height;
    const double h = H - 4;
    g.r = h * kFifteenth;
    g.s = (h - 8 * g.r) * kSeventh;
    const double r = g.r;
    g.cx = W / 2;
    g.cy = H / 2;
    g.rho = g.cy - r;
    const int cx = g.cx;
    const int cy = g.cy;

    g.fill = TruncatedRect(r, r, W - r, H - r);
    g.ring = TruncatedRect(cx - cy + r, r, cx + cy - r, H - r);
    g.hub = TruncatedRect(W * 0.5 - 2 * r, H / 2 - 2 * r, W * 0.5 + 2 * r, H / 2 + 2 * r);

    int wmax = 0;
    for (int k = 1; k <= 4; ++k) {
        wmax = std::max(wmax, labelText[k].width);
    }
    double y11 = 0;
    for (int k = 0; k < 12; ++k) {
        const DialPlace& p = kDial[k];
        const double a = p.angleSteps * kDialStep;
        const double x = cx + p.side * std::sin(a) * g.rho - r;
        const double y = cy - std::cos(a) * g.rho - p.offset * r;
        g.circle[k] = TruncatedRect(x, y, x + 2 * r, y + 2 * r);
        if (k == 11) {
            y11 = y;
        }
        const int w = labelText[k].width;
        const int hh = labelText[k].height / 2;
        double lx = 0;
        double ly = 0;
        switch (k) {
        case 0:
            lx = x + 2 * r + 2, ly = y + 0.5 * r - hh;
            break;
        case 1:
        case 2:
        case 3:
        case 5:
            lx = x + 2 * r + 2, ly = y + r - hh;
            break;
        case 4:
            lx = x + 2 * r, ly = y + 1.4 * r - hh;
            break;
        case 6:
            lx = x - w - 0.5 * r, ly = y + 1.4 * r - hh;
            break;
        case 7:
            lx = x - w - r, ly = y + r - hh;
            break;
        case 8:
        case 9:
            lx = x - w - 0.5 * r, ly = y + r - hh;
            break;
        case 10:
            lx = x - w - 0.5 * r, ly = y + 0.4 * r - hh;
            break;
        default:
            lx = x - wmax - r, ly = y + r - hh;
            break;
        }
        g.label[k] = PixelPoint{T(lx), T(ly)};
        if (k == pos) {
            // The base corners straddle the direction of the position, two steps apart; the tip lies
            // half-way between the dial centre and the circle's centre.
            const double b1 = k * kDialStep;
            const double b2 = (k + 2 == 12 ? 12 : (k + 2) % 12) * kDialStep;
            g.needle[0] = PixelPoint{T(cx + 2 * r * std::sin(b1)), T(cy - 2 * r * std::cos(b1))};
            g.needle[1] = PixelPoint{T(cx + 2 * r * std::sin(b2)), T(cy - 2 * r * std::cos(b2))};
            g.needle[2] = PixelPoint{T((cx + x + r) / 2), T((cy + y + r) / 2)};
            g.hasNeedle = true;
        }
    }
    g.dB = PixelPoint{T(W - dBText.width - r), T(y11)};
    g.digit = PixelPoint{T(g.s), T(H - dBText.height - 0.5 * r)};
    return g;
}
