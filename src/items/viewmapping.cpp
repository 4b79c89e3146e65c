#include "items/viewmapping.h"

#include "support/constants.h"
#include "support/numbers.h"

DrawingPoint g_cursorPoint;
double g_realWorldScale = 1.0;
double g_unitFactor = 1.0;

void ResetViewGlobals() {
  g_cursorPoint = DrawingPoint{};
  g_realWorldScale = 1.0;
  g_unitFactor = 1.0;
}

int ZoomScaleOfLevel(int level) {
  if (level < 1 || level > kZoomLevelCount) return 0;
  return g_programConstants.zoomSteps[static_cast<std::size_t>(level - 1)];
}

int CViewMapping::DeviceToDrawingX(int x) const {
  return ClampInt64ToInt(static_cast<std::int64_t>(x) * scaleX + originX);
}

int CViewMapping::DeviceToDrawingY(int y, int flag) const {
  if (flag != 0) {
    return ClampInt64ToInt(static_cast<std::int64_t>(originY) - RoundToInt(y * printScaleY));
  }
  return ClampInt64ToInt(static_cast<std::int64_t>(originY) -
                         static_cast<std::int64_t>(y) * scaleY);
}

void CViewMapping::GetOrigin(int& x, int& y) const {
  x = originX;
  y = originY;
}

void CViewMapping::SetZoomLevel(int level) {
  const auto value = static_cast<std::int16_t>(level);
  if (value >= 1 && value <= kZoomLevelCount) zoomLevel = value;
}

void CViewMapping::SetClientSize(int x, int y) {
  anchorX = x;
  anchorY = y;
}

void CViewMapping::SetWindowExtent(int width, int height) {
  windowWidth = width;
  windowHeight = height;
}

namespace {

// anchor x scale + step x trunc((origin - anchor x scale) / step), step = 10 pixels' worth.
std::int32_t Aligned(std::int32_t origin, std::int32_t anchor, std::int32_t scale) {
  const std::int64_t step = static_cast<std::int64_t>(kScrollStepPixels) * scale;
  if (step == 0) return origin;  // no scale, nothing to align to
  const std::int64_t base = static_cast<std::int64_t>(anchor) * scale;
  return ClampInt64ToInt(base + step * ((origin - base) / step));
}

}  // namespace

void CViewMapping::AlignOrigin() {
  originX = Aligned(originX, anchorX, scaleX);
  originY = Aligned(originY, anchorY, scaleY);
}

void CViewMapping::AdjustForHeight(int newHeight) {
  originY = ClampInt64ToInt(static_cast<std::int64_t>(originY) +
                            (static_cast<std::int64_t>(newHeight) - anchorY) * scaleY);
}
