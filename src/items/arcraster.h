#pragma once
// Pixel rasterisers for the curved items. The drawing context draws whole axis-aligned
// ellipses well, but arcs between given end points and rotated ellipses would not meet the
// items' exact end pixels, so the items set those pixels themselves, in device pixels:
// - CArcPlotter draws an arc of an axis-aligned ellipse (a circular arc as the view mapping
//   scales it in x and y) from a device start point to a device end point.
// - CEllipsePlotter draws a whole ellipse, or an arc of it, given its centre and two half-axis
//   vectors, so that rotated ellipses can be drawn.
//
// Both set single pixels with SetPixel in one colour and never use the pen: the caller
// prepares the raster operation. Each pixel is set at most once per call (thick pens become
// runs of pixels across the curve, overlaps removed), so XOR feedback drawn twice restores the
// picture. Only the part of the curve inside the context's clip box is traced: a huge circle
// seen at a high zoom costs no more than its visible part, and the pixels set are exactly
// those of the unclipped curve that fall inside the clip box.
//
// Each pixel lies within half a pixel of the true curve along the axis it is stepped across
// (across columns where the curve is flatter than 45 degrees, across rows where it is
// steeper), and the pixels of a curve are 8-connected.
#include <cstdint>

#include "platform/drawcontext.h"

inline constexpr int kArcPlotterLogCode = 22303;
inline constexpr int kEllipsePlotterLogCode = 22403;
inline constexpr int kGlitchArcMarkerSelector = 22301;
inline constexpr int kGlitchArcQuadrant = 22302;

// Centres must lie within -999,999..999,999; radii and half-axis components below 1,000,000.
inline constexpr int kPlotterCentreLimit = 999999;
inline constexpr int kPlotterRadiusLimit = 1000000;
// Pen widths are kept within 1..this (a run of pixels per curve pixel).
inline constexpr int kPlotterMaxPenWidth = 255;

// Device quadrants of an offset from the centre (device y grows downwards); increasing numbers
// follow the counter-clockwise sense of the drawing (y upwards).
inline constexpr int kQuadrantLowerRight = 0;
inline constexpr int kQuadrantUpperRight = 1;
inline constexpr int kQuadrantUpperLeft = 2;
inline constexpr int kQuadrantLowerLeft = 3;

class CArcPlotter {
 public:
  CArcPlotter() = default;

  // Widths below 1 draw as 1, above kPlotterMaxPenWidth as that.
  void SetPenWidth(int width);
  int GetPenWidth() const { return m_penWidth; }

  // The arc of the ellipse with centre (cx, cy) and radii rx, ry, from the start point
  // counter-clockwise (as the drawing sees it, y upwards) to the end point; all device
  // pixels. The ends are expected on or next to the ellipse; an arc whose start and end are
  // the same point draws the one pixel there. Refused (logged, nothing drawn): a centre
  // outside the limits (step 1), a radius negative or too large (step 2), an end at the
  // centre (step 3).
  void Draw(zeph::CDrawContext& dc, int cx, int cy, int rx, int ry, int startX, int startY,
            int endX, int endY, zeph::ColourRef colour);

  // The device quadrant of (dx, dy): 0 lower right (dx > 0, dy >= 0), 1 upper right (dx > 0,
  // dy < 0), 2 upper left (dx < 0, dy <= 0), 3 lower left (dx < 0, dy > 0); for dx = 0, 3
  // below the centre and 1 above. onAxis is set when dx or dy is 0. (0, 0) reports glitch
  // 22302 and gives 1.
  static int ClassifyQuadrant(std::int64_t dx, std::int64_t dy, bool& onAxis);

 private:
  static constexpr int kMarkerStart = 0;
  static constexpr int kMarkerEnd = 1;

  // Sets the start or end marker from its offset: +(q + 1) for the start, -(q + 1) for the
  // end, 0 on an axis. Another selector reports glitch 22301. Answers the quadrant.
  int SetMarker(int which);
  // The markers and the quadrants on at the start of the trace.
  void SetUpMarkers();

  int m_penWidth = 1;
  std::int16_t m_startMarker = 0;
  std::int64_t m_startOffsetX = 0;
  std::int64_t m_startOffsetY = 0;
  std::int16_t m_endMarker = 0;
  std::int64_t m_endOffsetX = 0;
  std::int64_t m_endOffsetY = 0;
  bool m_quadrantOn[4] = {false, false, false, false};
};

class CEllipsePlotter {
 public:
  CEllipsePlotter() = default;

  // Widths below 1 draw as 1, above kPlotterMaxPenWidth as that.
  void SetPenWidth(int width);
  int GetPenWidth() const { return m_penWidth; }

  // Later draws give only the arc from the start counter-clockwise (as the drawing sees it,
  // y upwards) to the end; both points relative to the centre, in device pixels. A pixel of
  // the ellipse belongs to the arc when its direction from the centre lies within the
  // directions of the two ends, both included; ends in the same direction give just the
  // pixels in that direction.
  void SetArcEnds(int startX, int startY, int endX, int endY);
  bool IsArcMode() const { return m_arcMode != 0; }

  // The ellipse with centre (cx, cy) through the ends of the half-axes u = (ux, uy) and
  // v = (vx, vy) and their opposites (u and v conjugate, as perpendicular half-axes are), or
  // its arc. Refused (logged, nothing drawn): half-axes along one line (step 1), a centre or
  // a component outside the limits (step 3), an arc end at the centre (step 4).
  void Draw(zeph::CDrawContext& dc, int cx, int cy, int ux, int uy, int vx, int vy,
            zeph::ColourRef colour);

 private:
  int m_penWidth = 1;
  std::int32_t m_arcMode = 0;
  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
};
