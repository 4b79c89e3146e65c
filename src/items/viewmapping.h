#pragma once
// The mapping between drawing coordinates (signed 32-bit micrometres, y upwards) and the device
// pixels of one window or printed page (y downwards), and the editor's globals that the items
// read: the cursor point, the real-world scale and the display-unit factor.
//
// Pure arithmetic: a device context is passed only to say "printing"; a non-null printer
// selects the double print scales. Results go through RoundToInt (half away from zero), which
// clamps, so a huge or degenerate scale never gives an undefined conversion.
#include <cstdint>

namespace zeph {
class CDrawContext;
}

int RoundToInt(double x);  // support/numbers.h

// RoundToInt(double(n) / s) without the division, for 1 <= s <= 2147483647 and |n| <= 2^33,
// given halfReciprocal = 1.0 / (2.0 * s), worked out once per divisor. The rounded quotient is
// floor((2|n| + s) / 2s); the product with the reciprocal is within one of it and one integer
// remainder puts it right, and the result is clamped as RoundToInt clamps. The division rounds
// no differently: n / s is either exactly half-way or at least 1 / 2s from it, far beyond the
// rounding errors in doubles.
inline int RoundedQuotient(std::int64_t n, std::int64_t s, double halfReciprocal) {
  const std::int64_t sign = n >> 63;  // 0 or -1
  const std::int64_t m = 2 * ((n ^ sign) - sign) + s;
  const std::int64_t d = 2 * s;
  std::int64_t q = static_cast<std::int64_t>(static_cast<double>(m) * halfReciprocal);
  const std::int64_t rest = m - q * d;
  q += static_cast<std::int64_t>(rest >= d) - static_cast<std::int64_t>(rest < 0);
  q = (q ^ sign) - sign;
  constexpr std::int64_t kMax = 2147483647;  // never -2147483648, as RoundToInt
  return static_cast<int>(q > kMax ? kMax : (q < -kMax ? -kMax : q));
}

// A screen scale with the reciprocal RoundedQuotient needs, worked out when first used with
// that scale.
struct ScaleDivisor {
  std::int32_t scale = 0;  // 0: nothing worked out yet
  double halfReciprocal = 0.0;

  int Divide(std::int64_t n, std::int32_t s) {
    if (s != scale) {
      scale = s;
      halfReciprocal = 1.0 / (2.0 * s);
    }
    return RoundedQuotient(n, s, halfReciprocal);
  }
};

// A point in drawing units.
struct DrawingPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const DrawingPoint&, const DrawingPoint&) = default;
};

inline constexpr int kZoomLevelCount = 13;
inline constexpr int kScrollStepPixels = 10;

// Drawing units per screen pixel of zoom levels 1..13 (index level - 1).
int ZoomScaleOfLevel(int level);

// A plain record: the fields are read (and set by the editor's zoom and scroll code) directly.
struct CViewMapping {
  std::int32_t originX = 0;  // drawing x at device x 0 (the window's left edge)
  std::int32_t originY = 0;  // drawing y at device y 0 (the window's top edge)
  std::int32_t scaleX = 1;   // drawing units per screen pixel
  std::int32_t scaleY = 1;
  double printScaleX = 1.0;  // drawing units per device pixel when printing
  double printScaleY = 1.0;
  std::int16_t zoomLevel = 1;  // 1..13
  std::int32_t anchorX = 0;    // device x of the window's bottom-left corner
  std::int32_t anchorY = 0;    // device y of that corner: the client height at the last resize
  std::int32_t windowHeight = 0;
  std::int32_t windowWidth = 0;
  // The reciprocals of the screen scales, kept with the scale each belongs to: the scales are
  // set directly, so each conversion checks that its scale is still the one worked out. Drawing
  // happens on one thread.
  mutable ScaleDivisor divisorX;
  mutable ScaleDivisor divisorY;

  // RoundToInt((x - origin x) / scale), as in doubles. In line: every item's drawing calls
  // these. On the screen the division is a multiplication by the scale's reciprocal, with the
  // same results.
  int DrawingToDeviceX(int x, const zeph::CDrawContext* printer = nullptr) const {
    if (printer == nullptr && scaleX > 0) {
      return divisorX.Divide(static_cast<std::int64_t>(x) - originX, scaleX);
    }
    return DrawingToDeviceXReal(static_cast<double>(x), printer);
  }
  int DrawingToDeviceXReal(double x, const zeph::CDrawContext* printer = nullptr) const {
    return RoundToDevice((x - originX) / GetScaleX(printer));
  }
  // RoundToInt((origin y - y) / scale), in doubles.
  int DrawingToDeviceY(int y, const zeph::CDrawContext* printer = nullptr) const {
    if (printer == nullptr && scaleY > 0) {
      return divisorY.Divide(static_cast<std::int64_t>(originY) - y, scaleY);
    }
    return DrawingToDeviceYReal(static_cast<double>(y), printer);
  }
  int DrawingToDeviceYReal(double y, const zeph::CDrawContext* printer = nullptr) const {
    return RoundToDevice((originY - y) / GetScaleY(printer));
  }
  // x * scale x + origin x, in 64 bits and clamped to the int range.
  int DeviceToDrawingX(int x) const;
  // flag 0: origin y - y * scale y; otherwise origin y - RoundToInt(y * print scale y).
  int DeviceToDrawingY(int y, int flag) const;
  double GetScaleX(const zeph::CDrawContext* printer = nullptr) const {
    return printer != nullptr ? printScaleX : static_cast<double>(scaleX);
  }
  double GetScaleY(const zeph::CDrawContext* printer = nullptr) const {
    return printer != nullptr ? printScaleY : static_cast<double>(scaleY);
  }

  void GetOrigin(int& x, int& y) const;
  void SetOriginX(int x) { originX = x; }
  void SetOriginY(int y) { originY = y; }
  int GetZoomLevel() const { return zoomLevel; }
  // Stores level only when 1 <= level <= 13 (taken as a 16-bit value); others are ignored.
  void SetZoomLevel(int level);
  void SetClientSize(int x, int y);
  void SetWindowExtent(int width, int height);
  // Puts the drawing point under the window's bottom-left corner on a multiple of one scroll
  // step (10 pixels' worth of drawing units).
  void AlignOrigin();
  // Keeps the drawing point under the bottom edge fixed when the height changes; call before
  // the anchor is updated.
  void AdjustForHeight(int newHeight);

 private:
  // RoundToInt in line, the same arithmetic (half away from zero, then the truncation's
  // allowance); NaN and values that clamp go to RoundToInt itself.
  static int RoundToDevice(double v) {
    constexpr double kAllowance = 1e-14;
    constexpr double kLimit = 2147483647.0;
    const double t = v >= 0 ? (v + 0.5) + kAllowance : (v - 0.5) - kAllowance;
    if (t < kLimit + 1.0 && t > -(kLimit + 1.0)) return static_cast<int>(t);
    return RoundToInt(v);
  }
};

// The last mouse position in drawing units, stored by the editor.
extern DrawingPoint g_cursorPoint;
// The current drawing's real-world scale (1.0 by default).
extern double g_realWorldScale;
// Centimetres per display unit of the current drawing: 0.1 mm, 1.0 cm, 100.0 m, 100000.0 km.
extern double g_unitFactor;

// Back to the start values (cursor (0, 0), scale 1.0, factor 1.0). For tests.
void ResetViewGlobals();
