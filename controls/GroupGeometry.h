// The geometry of the three group pictures: the four- and six-position switch and the attenuator dial.
// Everything is proportional to the control's client size, computed in double precision and truncated
// towards zero when a point or rectangle is formed. Rectangles are half-open, as hit tests need them:
// a rectangle from (l, t) to (r, b) holds the points with l <= x < r and t <= y < b.
#pragma once

#include "platform/Geometry.h"

// The angle between two dial positions, in radians (a twelfth of 6.28).
constexpr double kDialStep = 3.14 / 6.0;

// One row of the attenuator scale: the labels of the twelve dial positions (empty where the dial shows
// no label).
struct AttenuatorScaleRow {
    const char* labels[12];
};
// The scale of the attenuator types 0, 1 and 2.
extern const AttenuatorScaleRow AttenuatorScale[3];

// The rectangle from (left, top) to (right, bottom), each coordinate truncated.
PixelRect TruncatedRect(double left, double top, double right, double bottom);

struct SwitchGeometry {
    double r = 0;         // the unit: radius of a contact
    double s = 0;         // the spacing unit of the contact rows
    double m = 0;         // the left and right margin
    PixelPoint poleLabel; // where the pole label is drawn
    PixelRect pole;       // the pole circle, also its hit rectangle
    PixelPoint poleCentre;
    int left = 0;         // left edge of the contact column
    PixelRect contact[6]; // contact circles, also their hit rectangles
    PixelPoint label[6];  // where the channel labels are drawn
    PixelRect band;       // what a partial drawing fills: pole, arm and contacts, not the labels
    bool hasArm = false;  // a valid position is selected
    PixelPoint arm[9];    // pole centre, corner, end; the same shifted by (-1, -1), then by (+1, +1)
};

// A switch of 4 or 6 positions in a client area of the given size, at position pos (-1: none), with
// position 0 on top or at the bottom. poleText is the extent of the pole label (hasPoleText false when
// it is empty); labelText holds the extents of the channel labels 0 .. count-1.
SwitchGeometry LayoutSwitch(int count, const PixelSize& client, int pos, bool firstOnTop, bool hasPoleText,
                            const PixelSize& poleText, const PixelSize* labelText);

struct DialGeometry {
    double r = 0;         // the unit: radius of a position circle
    double s = 0;         // the margin of the group digit
    int cx = 0, cy = 0;   // the dial centre
    double rho = 0;       // distance from the centre to the position circles
    PixelRect fill;       // what a partial drawing fills: the inside of the frame
    PixelRect ring;       // the ring around the dial
    PixelRect hub;        // the hub, also the hit rectangle of the common element
    PixelRect circle[12]; // the position circles, also their hit rectangles
    PixelPoint label[12]; // where the step labels are drawn
    bool hasNeedle = false;
    PixelPoint needle[3]; // the pointer: two base corners and the tip
    PixelPoint dB;        // where "dB" is drawn
    PixelPoint digit;     // where the group digit is drawn
};

// The dial in a client area of the given size, at position pos (-1 or out of 0..11: no pointer).
// labelText holds the extents of the twelve labels, dBText that of "dB" in the dial's font.
DialGeometry LayoutAttenuator(const PixelSize& client, int pos, const PixelSize* labelText,
                              const PixelSize& dBText);
