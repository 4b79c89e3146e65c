#pragma once
// What the whole-drawing operations of the document share with the editor: the pick filters,
// the editor's snapping distance, and the values a shape group publishes to the values bar.
#include <cstdint>
#include "items/valuefields.h"

// Filters of CZephDoc::FindNearestItem.
inline constexpr int kPickAnyItem = 0;
inline constexpr int kPickNoTexts = 1;
inline constexpr int kPickCurves = 2;  // lines, arcs, circles, ellipses, curves, elliptic arcs
inline constexpr int kPickDimensions = 3;
inline constexpr int kPickLines = 4;

// Filters of CZephDoc::FindNearestPoint.
inline constexpr int kPointAnyItem = 0;
inline constexpr int kPointNoTextsOrDimensions = 1;
inline constexpr int kPointLinesOnly = 2;

// The copy index of a transformation that makes no numbered copies.
inline constexpr int kNoCopyIndex = 65535;

// Which items CZephDoc::TransformItems transforms.
inline constexpr int kTransformAllItems = 0;
inline constexpr int kTransformChosen = 1;
inline constexpr int kTransformChosenKeepOriginals = 2;

// The margin around the drawing's box in the extents.
inline constexpr int kExtentsMargin = 200;

// How near a handle must lie to a segment for CZephDoc::SnapToNearestHandle to take it.
inline constexpr double kSegmentHandleDistance = 400.0;

// The pick distance in pixels of hunt snapping; the tools set it from the option
// "HuntDistance" or "JoinDistance" before they snap.
extern std::int16_t g_snapDistance;

// The values-bar fields of a shape group.

// What CZephDoc::PublishShapeValues publishes: the number of sides, the length of the
// reference side, the width of a rectangle and the angle of the reference side (radians).
extern std::int32_t g_shapeSideCount;
extern double g_shapeSideLength;
extern double g_shapeWidth;
extern double g_shapeRotation;

// Back to the start values (snap distance 0, no shape values). For tests.
void ResetWholeDrawingGlobals();
