#include "editor/toolparams.h"

#include "document/wholedrawing.h"
#include "editor/editordialogs.h"
#include "items/dimensionitem.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/hatch.h"
#include "support/options.h"

double g_arcRadius = 0.0;
std::int32_t g_arcRadiusSet = 0;
double g_arcAngle = 0.0;
std::int32_t g_arcAngleSet = 0;
double g_circleRadius = 0.0;
std::int32_t g_circleRadiusSet = 0;
double g_ellipseSlope = 0.0;
std::uint16_t g_textWidth = 100;
double g_textAngle = 0.0;
std::int16_t g_fillType = kFillSolid;
std::int16_t g_hatchPattern = -1;
double g_hatchAngle = 0.0;
double g_hatchScale = 1.0;
CFontSpec g_dimensionFont;
std::uint8_t g_dimensionType = kDimensionParallel;
std::uint8_t g_dimensionLineEnds = 0;
std::uint8_t g_dimensionTextAngle = 0;
std::uint8_t g_dimensionTextPosition = 1;
std::int32_t g_dimensionArrowSize = 2000;
std::int32_t g_dimensionExtensionGap = 1000;
std::int32_t g_dimensionExtension = 3000;
std::uint16_t g_polygonSides = 0;
std::int32_t g_polygonSidesSet = 0;
double g_sideLength = 0.0;
std::int32_t g_sideLengthSet = 0;
double g_polygonRotation = 0.0;
std::int32_t g_polygonRotationSet = 0;
double g_rectangleLength = 0.0;
std::int32_t g_rectangleLengthSet = 0;
double g_rectangleWidth = 0.0;
std::int32_t g_rectangleWidthSet = 0;
double g_readoutRadius = 0.0;
double g_readoutWidth = 0.0;
DrawingPoint g_readoutCentre;

void ResetToolParametersForNewDrawing() {
  // A value whose flag is cleared keeps its number: the values bar shows nothing for it and
  // the tools take the mouse instead.
  g_arcRadiusSet = 0;
  g_arcAngleSet = 0;
  g_circleRadiusSet = 0;
  if (const CFontSpec* font = GetOptionFont(kOptionFontDrawingText)) g_textFont = *font;
  g_textWidth = 100;
  g_textAngle = 0.0;
  g_fillType = kFillSolid;
  g_hatchPattern = -1;
  g_hatchAngle = 0.0;
  g_hatchScale = 1.0;
  if (const CFontSpec* font = GetOptionFont(kOptionFontDimensionText)) {
    g_dimensionFont = *font;
  }
  g_dimensionType = kDimensionParallel;
  g_dimensionLineEnds = 0;
  g_dimensionTextAngle = 0;
  g_dimensionTextPosition = 1;
  g_dimensionArrowSize = 2000;
  g_dimensionExtensionGap = 1000;
  g_dimensionExtension = 3000;
  g_polygonSidesSet = 0;
  g_sideLengthSet = 0;
  g_polygonRotationSet = 0;
  g_rectangleLengthSet = 0;
  g_rectangleWidthSet = 0;
  g_shapeRotation = 0.0;
}

void ResetToolParameters() {
  g_arcRadius = 0.0;
  g_arcAngle = 0.0;
  g_circleRadius = 0.0;
  g_ellipseSlope = 0.0;
  g_textFont = CFontSpec();
  g_dimensionFont = CFontSpec();
  g_polygonSides = 0;
  g_sideLength = 0.0;
  g_polygonRotation = 0.0;
  g_rectangleLength = 0.0;
  g_rectangleWidth = 0.0;
  g_readoutRadius = 0.0;
  g_readoutWidth = 0.0;
  g_readoutCentre = {};
  ResetToolParametersForNewDrawing();
}

int ChooseHatchDefinition() {
  std::int32_t pattern = -1;
  if (GetEditorDialogs().ChooseHatch(pattern) == 0 || pattern < 0 || pattern > INT16_MAX) {
    return -1;
  }
  return FindHatchDefinition(static_cast<std::int16_t>(pattern));
}
