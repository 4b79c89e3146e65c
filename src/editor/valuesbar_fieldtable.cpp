// The values bar's field table (see valuesbar_fieldtable.h).
#include "editor/valuesbar_fieldtable.h"

#include <cmath>
#include <type_traits>

#include "document/wholedrawing.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "items/bezieritem.h"
#include "items/dimensionitem.h"
#include "items/drawitem.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/textitem.h"
#include "items/valuefields.h"

namespace {

using S = FieldShow;
using E = FieldEditor;
using P = FieldParse;

template <auto& G>
double Get() {
  return static_cast<double>(G);
}

template <auto& G>
void Put(double value) {
  G = static_cast<std::remove_cvref_t<decltype(G)>>(value);
}

int Rounded(double value) { return static_cast<int>(std::lround(value)); }

const char16_t* const kLineStyleTexts[] = {u"Unbroken",   u"Small dash", u"Dot/dash",
                                           u"Large dash", u"Dots",       u"Close dots"};
const char16_t* const kDimensionTypeTexts[] = {u"Parallel", u"Horizontal", u"Vertical"};
const char16_t* const kLineEndTexts[] = {u"Normal", u"Arrows", u"Dashes", u"Lines", u"None"};
const char16_t* const kTextAngleTexts[] = {u"Line angle", u"Horizontal"};
const char16_t* const kPositionTexts[] = {u"In line", u"Outside", u"Inside"};
// A fill read from a file may have a blend or an image; the list offers the first two.
const char16_t* const kFillTypeTexts[] = {u"Solid colour", u"Hatch", u"Colour blend", u"Image"};
const char16_t* const kUnitTexts[] = {u"Automatic", u"mm", u"cm", u"m", u"km", u"Preference"};
const char16_t* const kDirectionTexts[] = {u"Vertical", u"Horizontal"};

// ---- Line makers ----

constexpr ValueFieldLine Show(S show, double (*value)() = nullptr, std::int32_t* set = nullptr) {
  return {.show = show, .value = value, .set = set};
}

constexpr ValueFieldLine Opens(S show, E editor, double (*value)() = nullptr) {
  return {.show = show, .editor = editor, .value = value};
}

constexpr ValueFieldLine Font(CFontSpec& font) {
  return {.show = S::kFont, .editor = E::kFont, .font = &font};
}

// A list whose choice is kept as value listBase + row; an item's is handed to the selected item.
template <std::size_t N>
constexpr ValueFieldLine List(S show, double (*value)(), void (*store)(double),
                              const char16_t* const (&names)[N],
                              void (*setItem)(CDrawItem&, double) = nullptr,
                              int choices = static_cast<int>(N), int base = 0,
                              FieldAfter after = FieldAfter::kNothing) {
  return {.show = show,
          .editor = E::kList,
          .value = value,
          .names = names,
          .nameCount = static_cast<int>(N),
          .choiceCount = choices,
          .listBase = base,
          .store = store,
          .setItem = setItem,
          .after = after};
}

template <std::size_t N>
constexpr ValueFieldLine Toggle(double (*value)(), void (*store)(double),
                                const char16_t* const (&names)[N]) {
  return {.show = S::kList,
          .editor = E::kToggle,
          .value = value,
          .names = names,
          .nameCount = static_cast<int>(N),
          .store = store};
}

constexpr ValueFieldLine YesNo(double (*value)(), void (*store)(double)) {
  return {.show = S::kYesNo, .editor = E::kToggle, .value = value, .store = store};
}

// An edit box.
constexpr ValueFieldLine Edit(S show, double (*value)(), std::int32_t* set, int unit, P parse,
                              int message, void (*store)(double),
                              void (*setItem)(CDrawItem&, double) = nullptr,
                              FieldAfter after = FieldAfter::kNothing) {
  return {.show = show,
          .editor = E::kEdit,
          .value = value,
          .set = set,
          .unit = unit,
          .parse = parse,
          .message = message,
          .store = store,
          .setItem = setItem,
          .after = after};
}

constexpr ValueFieldLine Whole(S show, double (*value)(), std::int32_t* set, int unit, int low,
                               int high, int message, void (*store)(double),
                               void (*setItem)(CDrawItem&, double) = nullptr,
                               FieldAfter after = FieldAfter::kNothing) {
  ValueFieldLine line = Edit(show, value, set, unit, P::kWhole, message, store, setItem, after);
  line.low = low;
  line.high = high;
  return line;
}

// A tool's length or angle, counting only while its set flag is 1.
template <auto& G, auto& F>
constexpr ValueFieldLine SetLength(int message) {
  return Edit(S::kSetLength, Get<G>, &F, kValueUnitLength, P::kLength, message, Put<G>);
}
template <auto& G, auto& F>
constexpr ValueFieldLine SetAngle(P parse = P::kAngle, S show = S::kSetAngle) {
  return Edit(show, Get<G>, &F, kValueUnitAngle, parse, kMsgAngle, Put<G>);
}
// A tool's angle that always counts.
template <auto& G>
constexpr ValueFieldLine Angle(P parse = P::kAngle) {
  return Edit(S::kAngle, Get<G>, nullptr, kValueUnitAngle, parse, kMsgAngle, Put<G>);
}

// The number of actions, remembered for the tool it belongs to.
template <int Tool>
void StoreCount(double value) {
  const auto count = static_cast<std::uint8_t>(value);
  g_actionCount = count;
  g_toolActionCounts[Tool] = count;
}
template <int Tool>
constexpr ValueFieldLine Count() {
  return Edit(S::kNumber, Get<g_actionCount>, nullptr, kValueUnitNumber, P::kByte, kMsgActions,
              StoreCount<Tool>);
}

constexpr ValueFieldLine PointX(double (*value)()) { return Show(S::kPointX, value); }
constexpr ValueFieldLine PointY(double (*value)()) { return Show(S::kPointY, value); }

constexpr ValueFieldLine kNone{};

// ---- The stores and item setters with more to them than one assignment ----

void StoreArcRadius(double value) {
  g_arcRadius = value;
  g_arcAngleSet = 0;  // radius and angle exclude each other
}
void StoreArcAngle(double value) {
  g_arcAngle = value;
  g_arcRadiusSet = 0;
}
void StoreCircleRadius(double value) { g_valueCircleRadius = Rounded(value); }
// The arrow size and extension of the selected dimension become the tool's too.
void StoreArrowSize(double value) {
  g_valueArrowSize = Rounded(value);
  g_dimensionArrowSize = Rounded(value);
}
void StoreExtension(double value) {
  g_valueExtension = Rounded(value);
  g_dimensionExtension = Rounded(value);
}

void ItemFontWidth(CDrawItem& item, double value) { item.SetFontSize(static_cast<int>(value)); }
void ItemTextAngle(CDrawItem& item, double value) { item.SetTextAngle(value); }
void ItemArcAngle(CDrawItem& item, double value) { item.SetAngle(value); }
void ItemRadius(CDrawItem& item, double value) { item.SetRadius(Rounded(value)); }
void ItemRotation(CDrawItem& item, double value) { item.SetRotation(value); }
void ItemHatchAngle(CDrawItem& item, double value) { item.SetHatchAngle(value); }
void ItemHatchScale(CDrawItem& item, double value) { item.SetHatchSpacing(value); }
void ItemDecimals(CDrawItem& item, double value) {
  item.SetDecimals(static_cast<std::uint8_t>(value));
}
void ItemArrowSize(CDrawItem& item, double value) { item.SetArrowSize(Rounded(value)); }
void ItemExtension(CDrawItem& item, double value) { item.SetExtension(Rounded(value)); }
void ItemLineStyle(CDrawItem& item, double value) {
  item.SetLineStyle(static_cast<std::uint8_t>(value));
}
void ItemFillStyle(CDrawItem& item, double value) { item.SetFillStyle(static_cast<int>(value)); }
void ItemDimensionType(CDrawItem& item, double value) {
  item.SetDimensionType(static_cast<std::uint8_t>(value));
}
void ItemLineEnds(CDrawItem& item, double value) {
  item.SetLineEnds(static_cast<std::uint8_t>(value));
}
void ItemTextAngleMode(CDrawItem& item, double value) {
  item.SetTextAngleMode(static_cast<std::uint8_t>(value));
}
void ItemTextPosition(CDrawItem& item, double value) {
  item.SetTextPosition(static_cast<std::uint8_t>(value));
}
void ItemUnits(CDrawItem& item, double value) { item.SetUnits(static_cast<std::uint8_t>(value)); }
template <int I>
void ItemControlLength(CDrawItem& item, double value) {
  item.SetControlLength(I, value);
}
template <int I>
void ItemControlAngle(CDrawItem& item, double value) {
  item.SetControlAngle(I, value);
}

// An item's length, angle or number, handed to the selected item.
constexpr ValueFieldLine ItemEdit(S show, double (*value)(), int unit, P parse, int message,
                                  void (*store)(double), void (*setItem)(CDrawItem&, double),
                                  FieldAfter after = FieldAfter::kNothing) {
  return Edit(show, value, nullptr, unit, parse, message, store, setItem, after);
}

constexpr ValueFieldLine kCentreX = PointX(Get<g_valueCentreX>);
constexpr ValueFieldLine kCentreY = PointY(Get<g_valueCentreY>);
constexpr ValueFieldLine kStartX = PointX(Get<g_valueStartX>);
constexpr ValueFieldLine kStartY = PointY(Get<g_valueStartY>);
constexpr ValueFieldLine kEndX = PointX(Get<g_valueEndX>);
constexpr ValueFieldLine kEndY = PointY(Get<g_valueEndY>);

// Units, short for the table.
constexpr int kLen = kValueUnitLength;
constexpr int kAng = kValueUnitAngle;
constexpr int kNum = kValueUnitNumber;
constexpr int kPct = kValueUnitPercent;

const ValueFieldRow kRows[kValueFieldIdCount] = {
    // ---- The drawing tools' settings ----
    {kFieldToolColourObject,
     {u"Colour:", u"Object:", 100},
     {Opens(S::kColour, E::kColour, Get<g_drawingColour>),
      Opens(S::kObjectName, E::kObjectChooser, Get<g_currentObject>)}},
    {kFieldToolLineStyle,
     {u"Style:", nullptr, 70},
     {List(S::kSampleLine, Get<g_lineStyle>, Put<g_lineStyle>, kLineStyleTexts, nullptr, 6, 1),
      kNone}},
    {kFieldToolLengthAngle,
     {u"Length:", u"Angle:", 100},
     {SetLength<g_lineLength, g_lineLengthSet>(kMsgLength),
      SetAngle<g_lineAngle, g_lineAngleSet>(P::kAngle, S::kLineAngle)}},
    {kFieldToolArcRadiusAngle,
     {u"Radius:", u"Angle:", 80},
     {Edit(S::kSetLength, Get<g_arcRadius>, &g_arcRadiusSet, kLen, P::kLength, kMsgLength,
           StoreArcRadius, nullptr, FieldAfter::kRedrawBar),
      Edit(S::kSetAngle, Get<g_arcAngle>, &g_arcAngleSet, kAng, P::kAngle, kMsgAngle, StoreArcAngle,
           nullptr, FieldAfter::kRedrawBar)}},
    {kFieldToolCircleRadius,
     {u"Radius:", nullptr, 80},
     {SetLength<g_circleRadius, g_circleRadiusSet>(kMsgRadius), kNone}},
    {kFieldToolEllipseSlope,
     {u"Slope:", nullptr, 80},
     {Angle<g_ellipseSlope>(P::kHalfTurn), kNone}},
    {kFieldToolFilletRadius,
     {u"Radius:", nullptr, 80},
     {SetLength<g_filletRadius, g_filletRadiusSet>(kMsgRadius), kNone}},
    {kFieldToolChamferLength,
     {u"Length:", nullptr, 80},
     {SetLength<g_chamferLength, g_chamferLengthSet>(kMsgLength), kNone}},
    {kFieldToolTextFont, {u"Font:", nullptr, 160}, {Font(g_textFont), kNone}},
    {kFieldToolTextWidthAngle,
     {u"Width:", u"Angle:", 70},
     {Whole(S::kPercent, Get<g_textWidth>, nullptr, kPct, 10, 1000, kMsgFontWidth,
            Put<g_textWidth>),
      Angle<g_textAngle>()}},
    {kFieldToolFillType,
     {u"Fill type:", nullptr, 90},
     {List(S::kList, Get<g_fillType>, Put<g_fillType>, kFillTypeTexts, nullptr, 2, 0,
           FieldAfter::kFillTypeChange),
      kNone}},
    {kFieldToolHatch,
     {u"Hatch:", nullptr, 130},
     {Opens(S::kHatch, E::kHatch, Get<g_hatchPattern>), kNone}},
    {kFieldToolHatchAngleScale,
     {u"Angle:", u"Scale:", 70},
     {Angle<g_hatchAngle>(), Edit(S::kNumber, Get<g_hatchScale>, nullptr, kNum, P::kPositive,
                                  kMsgScale, Put<g_hatchScale>)}},
    {kFieldToolDimensionColourFont,
     {u"Colour:", u"Font:", 120},
     {Opens(S::kColour, E::kColour, Get<g_drawingColour>), Font(g_dimensionFont)}},
    {kFieldToolDimensionTypeEnds,
     {u"Type:", u"Line ends:", 80},
     {List(S::kList, Get<g_dimensionType>, Put<g_dimensionType>, kDimensionTypeTexts),
      List(S::kList, Get<g_dimensionLineEnds>, Put<g_dimensionLineEnds>, kLineEndTexts)}},
    {kFieldToolDimensionText,
     {u"Text angle:", u"Position:", 80},
     {List(S::kList, Get<g_dimensionTextAngle>, Put<g_dimensionTextAngle>, kTextAngleTexts),
      List(S::kList, Get<g_dimensionTextPosition>, Put<g_dimensionTextPosition>, kPositionTexts)}},
    {kFieldToolMoveAngle,
     {u"Move angle:", nullptr, 70},
     {SetAngle<g_moveAngle, g_moveAngleSet>(P::kHalfTurn), kNone}},
    {kFieldToolObject,
     {u"Object:", nullptr, 100},
     {Opens(S::kObjectName, E::kObjectChooser, Get<g_currentObject>), kNone}},
    {kFieldToolPolygonSides,
     {u"Number of sides:", nullptr, 50},
     {Whole(S::kSetNumber, Get<g_polygonSides>, &g_polygonSidesSet, kNum, 3, 1000, kMsgSides,
            Put<g_polygonSides>),
      kNone}},
    {kFieldToolSideLengthRotation,
     {u"Side length:", u"Angle of rotation:", 70},
     {SetLength<g_sideLength, g_sideLengthSet>(kMsgLength),
      SetAngle<g_polygonRotation, g_polygonRotationSet>()}},
    {kFieldToolRectangleSize,
     {u"Length:", u"Width:", 70},
     {SetLength<g_rectangleLength, g_rectangleLengthSet>(kMsgLength),
      SetLength<g_rectangleWidth, g_rectangleWidthSet>(kMsgLength)}},
    {kFieldToolShapeRotation,
     {u"Angle of rotation:", nullptr, 70},
     {Angle<g_shapeRotation>(), kNone}},
    {kFieldToolArcPoints,
     {u"Points:", nullptr, 150},
     {{.show = S::kArcPoints,
       .editor = E::kToggle,
       .value = Get<g_arcPointChoice>,
       .store = Put<g_arcPointChoice>},
      kNone}},
    // ---- The selected item's properties ----
    {kFieldColourObject,
     {u"Colour:", u"Object:", 80},
     {Opens(S::kColour, E::kColour, Get<g_valueColour>),
      Opens(S::kObjectName, E::kObjectChooser, Get<g_valueObject>)}},
    {kFieldLineStyle,
     {u"Style:", nullptr, 80},
     {List(S::kSampleLine, Get<g_valueLineStyle>, Put<g_valueLineStyle>, kLineStyleTexts,
           ItemLineStyle, 6, 1),
      kNone}},
    {kFieldTextFont, {u"Font:", nullptr, 140}, {Font(g_valueTextFont), kNone}},
    {kFieldTextWidthAngle,
     {u"Width:", u"Angle:", 70},
     {Whole(S::kPercent, Get<g_valueFontWidth>, nullptr, kPct, 10, 1000, kMsgFontWidth,
            Put<g_valueFontWidth>, ItemFontWidth, FieldAfter::kFocusDrawing),
      ItemEdit(S::kAngle, Get<g_valueTextAngle>, kAng, P::kAngle, kMsgAngle, Put<g_valueTextAngle>,
               ItemTextAngle, FieldAfter::kFocusDrawing)}},
    {kFieldArcAngle,
     {u"Angle:", nullptr, 80},
     {ItemEdit(S::kAngle, Get<g_valueArcAngle>, kAng, P::kAngle, kMsgAngle, Put<g_valueArcAngle>,
               ItemArcAngle, FieldAfter::kArcAngleCheck),
      kNone}},
    {kFieldCircleRadius,
     {u"Radius:", nullptr, 80},
     {ItemEdit(S::kLength, Get<g_valueCircleRadius>, kLen, P::kLength, kMsgRadius,
               StoreCircleRadius, ItemRadius),
      kNone}},
    {kFieldRotation,
     {u"Slope:", nullptr, 80},
     {ItemEdit(S::kAngle, Get<g_valueRotation>, kAng, P::kHalfTurn, kMsgAngle, Put<g_valueRotation>,
               ItemRotation),
      kNone}},
    {kFieldFillType,
     {u"Fill type:", nullptr, 90},
     {List(S::kList, Get<g_valueFillStyle>, Put<g_valueFillStyle>, kFillTypeTexts, ItemFillStyle, 2,
           0, FieldAfter::kFillTypeChange),
      kNone}},
    {kFieldHatch,
     {u"Hatch:", nullptr, 130},
     {Opens(S::kHatch, E::kHatch, Get<g_valueHatchIndex>), kNone}},
    {kFieldHatchAngleScale,
     {u"Angle:", u"Scale:", 70},
     {ItemEdit(S::kAngle, Get<g_valueHatchAngle>, kAng, P::kAngle, kMsgAngle,
               Put<g_valueHatchAngle>, ItemHatchAngle),
      ItemEdit(S::kNumber, Get<g_valueHatchScale>, kNum, P::kPositive, kMsgScale,
               Put<g_valueHatchScale>, ItemHatchScale)}},
    {kFieldDimensionColourFont,
     {u"Colour:", u"Font:", 120},
     {Opens(S::kColour, E::kColour, Get<g_valueColour>), Font(g_valueDimensionFont)}},
    {kFieldDimensionTypeEnds,
     {u"Type:", u"Line ends:", 70},
     {List(S::kList, Get<g_valueDimensionType>, Put<g_valueDimensionType>, kDimensionTypeTexts,
           ItemDimensionType),
      List(S::kList, Get<g_valueLineEnds>, Put<g_valueLineEnds>, kLineEndTexts, ItemLineEnds)}},
    {kFieldDimensionText,
     {u"Text angle:", u"Position:", 80},
     {List(S::kList, Get<g_valueTextAngleMode>, Put<g_valueTextAngleMode>, kTextAngleTexts,
           ItemTextAngleMode),
      List(S::kList, Get<g_valueTextPosition>, Put<g_valueTextPosition>, kPositionTexts,
           ItemTextPosition)}},
    {kFieldDimensionUnits,
     {u"Units:", u"Decimal:", 80},
     {List(S::kList, Get<g_valueUnits>, Put<g_valueUnits>, kUnitTexts, ItemUnits),
      ItemEdit(S::kNumber, Get<g_valueDecimals>, kNum, P::kByte, kMsgDecimals, Put<g_valueDecimals>,
               ItemDecimals)}},
    {kFieldDimensionSizes,
     {u"Arrow/dash:", u"Extension:", 70},
     {ItemEdit(S::kLength, Get<g_valueArrowSize>, kLen, P::kLength, kMsgLength, StoreArrowSize,
               ItemArrowSize),
      ItemEdit(S::kLength, Get<g_valueExtension>, kLen, P::kLengthOrZero, kMsgLength,
               StoreExtension, ItemExtension)}},
    {kFieldControl0,
     {u"Control length:", u"angle:", 80},
     {ItemEdit(S::kLength, Get<g_valueControlLength0>, kLen, P::kLength, kMsgLength,
               Put<g_valueControlLength0>, ItemControlLength<0>),
      ItemEdit(S::kAngle, Get<g_valueControlAngle0>, kAng, P::kAngle, kMsgAngle,
               Put<g_valueControlAngle0>, ItemControlAngle<0>)}},
    {kFieldControl1,
     {u"Control length:", u"angle:", 80},
     {ItemEdit(S::kLength, Get<g_valueControlLength1>, kLen, P::kLength, kMsgLength,
               Put<g_valueControlLength1>, ItemControlLength<1>),
      ItemEdit(S::kAngle, Get<g_valueControlAngle1>, kAng, P::kAngle, kMsgAngle,
               Put<g_valueControlAngle1>, ItemControlAngle<1>)}},
    // ---- Live read-outs: the gesture writes them, the field shows nothing of its own ----
    {kFieldCoordinates, {u"x:", u"y:", 70}, {kNone, kNone}},
    {kFieldLiveMove, {u"x move:", u"y move:", 70}, {kNone, kNone}},
    {kFieldLiveLengthAngle, {u"Length:", u"Angle:", 70}, {kNone, kNone}},
    {kFieldLiveDistanceAngle, {u"Distance:", u"Angle:", 70}, {kNone, kNone}},
    {kFieldLiveRadius, {u"Radius:", nullptr, 70}, {kNone, kNone}},
    {kFieldLiveLength, {u"Length:", nullptr, 70}, {kNone, kNone}},
    {kFieldLiveRadiusAngle, {u"Radius:", u"Angle:", 70}, {kNone, kNone}},
    {kFieldLiveCentre, {u"Centre x:", u"y:", 70}, {kNone, kNone}},
    {kFieldLiveRadii, {u"Radii:", nullptr, 70}, {kNone, kNone}},
    {kFieldLiveStart, {u"Start x:", u"y:", 70}, {kNone, kNone}},
    {kFieldLiveEnd, {u"End x:", u"y:", 70}, {kNone, kNone}},
    {kFieldLiveSideLengthRotation, {u"Side length:", u"Angle of rotation:", 70}, {kNone, kNone}},
    {kFieldLiveRectangleSize, {u"Length:", u"Width:", 70}, {kNone, kNone}},
    {kFieldLiveControl, {u"Control length:", u"angle:", 80}, {kNone, kNone}},
    // ---- The selected item's information ----
    {kFieldArcCentre, {u"Centre x:", u"y:", 70}, {kCentreX, kCentreY}},
    {kFieldArcStart, {u"Start x:", u"y:", 70}, {kStartX, kStartY}},
    {kFieldArcEnd, {u"End x:", u"y:", 70}, {kEndX, kEndY}},
    {kFieldArcRadiusLength,
     {u"Radius:", u"Length:", 80},
     {Show(S::kLength, Get<g_valueRadius>), Show(S::kLength, Get<g_valueLength>)}},
    {kFieldCircleCentre, {u"Centre x:", u"y:", 70}, {kCentreX, kCentreY}},
    {kFieldRadius, {u"Radius:", nullptr, 80}, {Show(S::kLength, Get<g_valueRadius>), kNone}},
    {kFieldEllipseCentre, {u"Centre x:", u"y:", 70}, {kCentreX, kCentreY}},
    {kFieldRadii, {u"Radii:", nullptr, 80}, {Show(S::kRadii), kNone}},
    {kFieldFillEdges,
     {u"Number of outer edges:", u"Number of islands", 60},
     {Show(S::kNumber, Get<g_valueEdgeCount>), Show(S::kNumber, Get<g_valueHoleCount>)}},
    {kFieldPlottingOrder, {u"Plotting order:", nullptr, 110}, {Show(S::kPlottingOrder), kNone}},
    {kFieldStart, {u"Start x:", u"y:", 70}, {kStartX, kStartY}},
    {kFieldEnd, {u"End x:", u"y:", 70}, {kEndX, kEndY}},
    {kFieldLengthAngle,
     {u"Length:", u"Angle:", 80},
     {Show(S::kLength, Get<g_valueLength>), Show(S::kAngle, Get<g_valueAngle>)}},
    {kFieldSidesLength,
     {u"Number of sides:", u"Side length:", 70},
     {Show(S::kNumber, Get<g_shapeSideCount>), Show(S::kLength, Get<g_shapeSideLength>)}},
    {kFieldRectangle,
     {u"Length:", u"Width:", 70},
     {Show(S::kLength, Get<g_shapeSideLength>), Show(S::kLength, Get<g_shapeWidth>)}},
    {kFieldShapeRotation,
     {u"Angle of rotation:", nullptr, 70},
     {Show(S::kAngle, Get<g_shapeRotation>), kNone}},
    // ---- The transform, copy, object and recolour tools ----
    {kFieldKeepOriginalsNewObject,
     {u"Keep originals:", u"New object(s):", 50},
     {YesNo(Get<g_keepOriginals>, Put<g_keepOriginals>),
      YesNo(Get<g_makeNewObject>, Put<g_makeNewObject>)}},
    {kFieldRotateAngleCount,
     {u"Angle of rotation:", u"Number of actions:", 70},
     {SetAngle<g_rotateAngle, g_rotateAngleSet>(P::kDegrees), Count<1>()}},
    {kFieldReflectDirection,
     {u"Mirror direction", nullptr, 70},
     {Toggle(Get<g_reflectDirection>, Put<g_reflectDirection>, kDirectionTexts), kNone}},
    {kFieldEnlargeFactorCount,
     {u"Scale factor:", u"Number of actions:", 50},
     {Edit(S::kSetNumber, Get<g_enlargeFactor>, &g_enlargeFactorSet, kNum, P::kPositive, kMsgScale,
           Put<g_enlargeFactor>),
      Count<2>()}},
    {kFieldStretchDirection,
     {u"Stretch direction:", nullptr, 70},
     {Toggle(Get<g_stretchDirection>, Put<g_stretchDirection>, kDirectionTexts), kNone}},
    {kFieldStretchFactorCount,
     {u"Stretch factor:", u"Number of actions:", 50},
     {Edit(S::kSetNumber, Get<g_stretchFactor>, &g_stretchFactorSet, kNum, P::kPositive, kMsgScale,
           Put<g_stretchFactor>),
      Count<3>()}},
    {kFieldCopyCountNewObject,
     {u"Number of copies:", u"New object(s):", 50},
     {Count<0>(), YesNo(Get<g_makeNewObject>, Put<g_makeNewObject>)}},
    {kFieldCopyAngleDistance,
     {u"Move angle:", u"Move distance:", 80},
     {SetAngle<g_copyAngle, g_copyAngleSet>(),
      SetLength<g_copyDistance, g_copyDistanceSet>(kMsgLength)}},
    {kFieldObjectIdentified,
     {u"Object", nullptr, 130},
     {Show(S::kChosenObjectName, Get<g_currentObject>), kNone}},
    {kFieldObjectNumber,
     {u"Number", nullptr, 60},
     {Show(S::kChosenObjectNumber, Get<g_currentObject>), kNone}},
    {kFieldObjectName,
     {u"Name", nullptr, 130},
     {Opens(S::kChosenObjectLongName, E::kObjectName, Get<g_currentObject>), kNone}},
    {kFieldObjectNew,
     {u"New object", nullptr, 130},
     {Opens(S::kChosenObjectName, E::kObjectChooser, Get<g_currentObject>), kNone}},
    {kFieldRecolourColours,
     {u"Colour", nullptr, 100},
     {Opens(S::kRecolourBoxes, E::kRecolour), kNone}},
};

}  // namespace

const ValueFieldRow* GetValueFieldRow(int id) {
  if (id < 0 || id >= kValueFieldIdCount) return nullptr;
  return &kRows[id];
}

const ValueFieldLine* GetValueFieldLine(int id) {
  const int second = id >= kSecondLine ? 1 : 0;
  const ValueFieldRow* row = GetValueFieldRow(id - second * kSecondLine);
  return row != nullptr ? &row->lines[second] : nullptr;
}

const ValueFieldInfo* GetValueFieldInfo(int id) {
  const ValueFieldRow* row = GetValueFieldRow(id);
  return row != nullptr ? &row->info : nullptr;
}

bool ChangesSelectedItem(const ValueFieldLine& line) {
  return (line.editor == FieldEditor::kEdit || line.editor == FieldEditor::kList) &&
         line.setItem != nullptr;
}
