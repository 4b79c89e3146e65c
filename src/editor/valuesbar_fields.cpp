// The values bar's data: the parameters' storage and defaults, and which fields each tool
// shows at each click step (the field table is valuesbar_fieldtable.cpp).
#include <cmath>

#include "document/dochost.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "items/valuefields.h"

double g_filletRadius = 0.0;
std::int32_t g_filletRadiusSet = 0;
double g_chamferLength = 0.0;
std::int32_t g_chamferLengthSet = 0;
double g_moveAngle = 0.0;
std::int32_t g_moveAngleSet = 0;
double g_rotateAngle = 0.0;
std::int32_t g_rotateAngleSet = 0;
std::uint8_t g_reflectDirection = 0;
double g_enlargeFactor = 0.0;
std::int32_t g_enlargeFactorSet = 0;
std::uint8_t g_stretchDirection = 0;
double g_stretchFactor = 0.0;
std::int32_t g_stretchFactorSet = 0;
std::array<std::int32_t, 5> g_valueFieldEditable{1, 1, 1, 1, 1};

void ResetValuesBarParametersForNewDrawing() {
  ResetToolParametersForNewDrawing();
  g_drawingColour = 0;
  g_currentObject = 1;
  g_lineStyle = 1;
  g_lineLengthSet = 0;
  g_lineAngleSet = 0;
  g_arcPointChoice = 0;
  g_filletRadiusSet = 0;
  g_chamferLengthSet = 0;
  g_moveAngleSet = 0;
  g_rotateAngleSet = 0;
  g_reflectDirection = 0;
  g_enlargeFactorSet = 0;
  g_stretchDirection = 0;
  g_stretchFactorSet = 0;
  g_toolActionCounts.fill(0);
  g_readoutOrigin = {};
  g_lineStartSet = 0;
  g_transformOptionsRead = 0;
  g_copyOptionRead = 0;
}

void ResetValuesBarParameters() {
  g_filletRadius = 0.0;
  g_chamferLength = 0.0;
  g_moveAngle = 0.0;
  g_rotateAngle = 0.0;
  g_enlargeFactor = 0.0;
  g_stretchFactor = 0.0;
  g_valueFieldEditable.fill(1);
  ResetValuesBarParametersForNewDrawing();
}

namespace {

// Object's sub-modes.
constexpr int kObjectIdentify = 0;
constexpr int kObjectName = 1;
constexpr int kObjectTransfer = 2;

// Shape's and Corner's.
constexpr int kShapeSquare = 0;
constexpr int kShapeRectangle = 1;
constexpr int kCornerFillet = 0;

// The Modify tool's state while it offers no item fields.
constexpr int kModifyStateNoFields = 7;

ValueFieldChoice Fields(std::initializer_list<int> ids, int drawValues, bool coordinates = true) {
  ValueFieldChoice choice;
  if (coordinates) choice.ids[static_cast<std::size_t>(choice.count++)] = kFieldCoordinates;
  for (const int id : ids) {
    if (choice.count >= 5) break;
    choice.ids[static_cast<std::size_t>(choice.count++)] = id;
  }
  if (coordinates) choice.editable[0] = 0;
  choice.drawValues = drawValues;
  return choice;
}

ValueFieldChoice None() { return {}; }

ValueFieldChoice ChooseMove(int s) {
  switch (g_toolSubMode) {
    case kMoveItems:
    case kMovePoints:
      return g_moveDragging != 0 ? Fields({kFieldLiveMove, kFieldLiveDistanceAngle}, 0)
                                 : Fields({kFieldToolMoveAngle}, 1);
    case kMoveItem:
    case kMovePoint:
    case kSplitPoint:
      return s != 0 ? Fields({kFieldLiveMove, kFieldLiveDistanceAngle}, 0)
                    : Fields({kFieldToolMoveAngle}, 1);
    case kDragOutLine:
      return s != 0 ? Fields({kFieldLiveMove, kFieldLiveDistanceAngle}, 0) : Fields({}, 1);
    default:
      return Fields({}, 0);
  }
}

ValueFieldChoice ChooseObject() {
  ValueFieldChoice choice;
  switch (g_objectSubMode) {
    case kObjectIdentify:
      choice = Fields({kFieldObjectIdentified}, 1);
      choice.editable[0] = 1;
      choice.editable[1] = 0;
      return choice;
    case kObjectName:
      choice = Fields({kFieldObjectNumber, kFieldObjectName}, 1, false);
      choice.editable[0] = 0;
      return choice;
    case kObjectTransfer:
      choice = Fields({kFieldObjectNew}, 1);
      choice.editable[1] = 0;
      return choice;
    default:
      return Fields({}, 1);
  }
}

}  // namespace

ValueFieldChoice ChooseValueFieldsFor(int tool, int s, int pickCount, int breakOffered) {
  switch (tool) {
    case kToolNewLine:
      return s == 0
                 ? Fields({kFieldToolColourObject, kFieldToolLineStyle, kFieldToolLengthAngle}, 1)
                 : Fields({}, 0);
    case kToolLine:
      return s == 0
                 ? Fields({kFieldToolColourObject, kFieldToolLineStyle, kFieldToolLengthAngle}, 1)
                 : Fields({kFieldLiveMove, kFieldLiveLengthAngle}, 0);
    case kToolArc:
      if (s == 0)
        return Fields({kFieldToolColourObject, kFieldToolArcRadiusAngle, kFieldToolArcPoints}, 1);
      if (s > 5 || (s > 2 && g_arcAngleSet != 0) ||
          (s > 2 && g_arcRadiusSet != 0 && g_arcPointChoice == 0)) {
        return Fields({kFieldLiveCentre, kFieldLiveRadiusAngle, kFieldLiveLength}, 0);
      }
      return Fields({}, 0);
    case kToolCircle:
      if (s == 0) return Fields({kFieldToolColourObject, kFieldToolCircleRadius}, 1);
      return s > 2 ? Fields({kFieldLiveRadius}, 0) : Fields({}, 0);
    case kToolEllipse:
      return s == 0 ? Fields({kFieldToolColourObject, kFieldToolEllipseSlope}, 1) : Fields({}, 0);
    case kToolCurve:
      if (s == 0) return Fields({kFieldToolColourObject}, 1);
      return s >= 6 ? Fields({kFieldLiveControl}, 1) : Fields({}, 0);
    case kToolFill:
      return g_fillType == kFillHatch ? Fields({kFieldToolColourObject, kFieldToolFillType,
                                                kFieldToolHatch, kFieldToolHatchAngleScale},
                                               1)
                                      : Fields({kFieldToolColourObject, kFieldToolFillType}, 1);
    case kToolText:
      return s == 0
                 ? Fields({kFieldToolColourObject, kFieldToolTextFont, kFieldToolTextWidthAngle}, 1)
                 : Fields({}, 0);
    case kToolShape:
      if (s == 0) {
        if (g_shapeSubMode == kShapeSquare)
          return Fields({kFieldToolColourObject, kFieldToolSideLengthRotation}, 1);
        if (g_shapeSubMode == kShapeRectangle)
          return Fields({kFieldToolColourObject, kFieldToolRectangleSize, kFieldToolShapeRotation},
                        1);
        return Fields(
            {kFieldToolColourObject, kFieldToolPolygonSides, kFieldToolSideLengthRotation}, 1);
      }
      if (s > 2)
        return Fields({g_shapeSubMode == kShapeRectangle ? kFieldLiveRectangleSize
                                                         : kFieldLiveSideLengthRotation},
                      0);
      return Fields({}, 0);
    case kToolDimension:
      return s == 0 ? Fields({kFieldToolDimensionColourFont, kFieldToolDimensionTypeEnds,
                              kFieldToolDimensionText},
                             1)
                    : Fields({}, 0);
    case kToolCorner:
      if (s == 0)
        return Fields(
            {g_cornerSubMode == kCornerFillet ? kFieldToolFilletRadius : kFieldToolChamferLength},
            1);
      if (s > 2)
        return Fields({g_cornerSubMode == kCornerFillet ? kFieldLiveRadius : kFieldLiveLength}, 0,
                      false);
      return Fields({}, 0);
    case kToolInsert:
      return s == 0 ? Fields({kFieldToolObject}, 1) : Fields({}, 0);
    case kToolMove:
      return ChooseMove(s);
    case kToolCopy:
      return g_copyPlacing != 0 ? Fields({kFieldLiveMove, kFieldLiveDistanceAngle}, 0)
                                : Fields({kFieldCopyCountNewObject, kFieldCopyAngleDistance}, 1);
    case kToolRotate:
      return Fields({kFieldRotateAngleCount, kFieldKeepOriginalsNewObject}, 1);
    case kToolReflect:
      return Fields({kFieldReflectDirection, kFieldKeepOriginalsNewObject}, 1);
    case kToolEnlarge:
      return Fields({kFieldEnlargeFactorCount, kFieldKeepOriginalsNewObject}, 1);
    case kToolStretch:
      return Fields(
          {kFieldStretchDirection, kFieldStretchFactorCount, kFieldKeepOriginalsNewObject}, 1);
    case kToolObject:
      return ChooseObject();
    case kToolDelete:
    case kToolOrigin:
      return Fields({}, 0);
    case kToolModify:
    case kToolValues:
      if (g_toolState != kModifyStateNoFields && pickCount > 0) {
        ValueFieldChoice choice;
        choice.count = std::max<int>(0, std::min<int>(g_valueFieldCount, 5));
        for (int i = 0; i < choice.count; ++i) {
          choice.ids[static_cast<std::size_t>(i)] = g_valueFieldIds[static_cast<std::size_t>(i)];
        }
        choice.drawValues = 1;
        return choice;
      }
      return Fields({}, 0);
    case kToolColour:
      return Fields({kFieldRecolourColours}, 1);
    case kToolBreak:
      return breakOffered != 0 ? None() : Fields({}, 0);
    case kToolExtend:
      return Fields({}, 1);
    default:
      return None();
  }
}
