#pragma once
// The values bar's parameters that the drawing tools (Arc, Circle, Ellipse, Curve, Fill, Text,
// Shape, Dimension) read for the next item, and the read-outs those tools write while a
// gesture runs. A value with a set flag counts only while its flag is 1. The values bar edits
// the parameters; a new drawing gives them their defaults (ResetToolParametersForNewDrawing).
// The font of new texts is g_textFont (items/drawitem.h); the colour, object, line and copy
// settings are in editor/editorstate.h.
#include <cstdint>

#include "document/wholedrawing.h"  // g_shapeRotation
#include "items/dimensionitem.h"    // the dimension types
#include "items/fillitem.h"         // the fill types
#include "items/viewmapping.h"
#include "support/fontspec.h"

// ---- Arc and circle ----
extern double g_arcRadius;  // drawing units
extern std::int32_t g_arcRadiusSet;
extern double g_arcAngle;  // radians, the included angle, in [0, 2 pi)
extern std::int32_t g_arcAngleSet;
extern double g_circleRadius;  // drawing units
extern std::int32_t g_circleRadiusSet;

// ---- Ellipse: the slope of its first axis, in [0, pi); kept from drawing to drawing ----
extern double g_ellipseSlope;

// ---- Text: width percent (10..1000) and angle (radians) of new texts ----
extern std::uint16_t g_textWidth;
extern double g_textAngle;

// ---- Fill (the fill types are items/fillitem.h's kFillSolid and kFillHatch) ----
extern std::int16_t g_fillType;
extern std::int16_t g_hatchPattern;  // hatch definition index, -1 none chosen yet
extern double g_hatchAngle;          // radians
extern double g_hatchScale;          // greater than 0
// Runs the hatch chooser: the pattern picked, as the definition index a fill takes (the
// chooser answers the pattern's number); -1 when cancelled or no definition has the number.
int ChooseHatchDefinition();

// ---- Dimension ----
extern CFontSpec g_dimensionFont;
extern std::uint8_t g_dimensionType;       // items/dimensionitem.h: parallel, horizontal, vertical
extern std::uint8_t g_dimensionLineEnds;   // 0 normal .. 4 none
extern std::uint8_t g_dimensionTextAngle;  // 0 line angle, 1 horizontal
extern std::uint8_t g_dimensionTextPosition;  // 0 in line, 1 outside, 2 inside
extern std::int32_t g_dimensionArrowSize;     // drawing units
extern std::int32_t g_dimensionExtensionGap;
extern std::int32_t g_dimensionExtension;

// ---- Shape ----
extern std::uint16_t g_polygonSides;  // 3..1000; kept from drawing to drawing
extern std::int32_t g_polygonSidesSet;
extern double g_sideLength;  // side of squares and polygons, drawing units
extern std::int32_t g_sideLengthSet;
extern double g_polygonRotation;  // radians, in [0, 2 pi)
extern std::int32_t g_polygonRotationSet;
extern double g_rectangleLength;
extern std::int32_t g_rectangleLengthSet;
extern double g_rectangleWidth;
extern std::int32_t g_rectangleWidthSet;
// The rotation of rectangles, always applied, is g_shapeRotation (document/wholedrawing.h),
// which the document also sets when it publishes a shape's values.

// ---- Read-outs of the gesture in progress ----
extern double g_readoutRadius;  // drawing units
extern double g_readoutWidth;
extern DrawingPoint g_readoutCentre;

// Every parameter above takes its default for a new drawing; the ellipse slope and the number
// of polygon sides are kept. The fonts come from the options FontDrawingText and
// FontDimensionText.
void ResetToolParametersForNewDrawing();
// Back to the start values, the kept ones included. For tests.
void ResetToolParameters();
