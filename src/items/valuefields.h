#pragma once
// The values bar's view of the selected item: PublishProperties (editable fields) and
// PublishInformation (read-only fields) of each kind set the field count, the field ids in
// display order and the values, which the editing view's values bar reads. One set for the
// program; a caller reads it before the next item publishes.
//
// The values of the line, arc and circle are here; every other kind keeps its own values
// beside its class.
#include <array>
#include <cstdint>
#include <initializer_list>

inline constexpr int kValueFieldLimit = 5;

// Field ids: what a slot of the values bar shows. The values bar fixes each field's labels and
// width (its field table); a click in a field's second line addresses its id plus
// kSecondLine.
inline constexpr int kValueFieldIdCount = 83;
inline constexpr int kSecondLine = 100;

// The settings the drawing tools use for their next item.
inline constexpr std::int32_t kFieldToolColourObject = 0;          // "Colour:" "Object:"
inline constexpr std::int32_t kFieldToolLineStyle = 1;             // "Style:"
inline constexpr std::int32_t kFieldToolLengthAngle = 2;           // "Length:" "Angle:"
inline constexpr std::int32_t kFieldToolArcRadiusAngle = 3;        // "Radius:" "Angle:"
inline constexpr std::int32_t kFieldToolCircleRadius = 4;          // "Radius:"
inline constexpr std::int32_t kFieldToolEllipseSlope = 5;          // "Slope:"
inline constexpr std::int32_t kFieldToolFilletRadius = 6;          // "Radius:"
inline constexpr std::int32_t kFieldToolChamferLength = 7;         // "Length:"
inline constexpr std::int32_t kFieldToolTextFont = 8;              // "Font:"
inline constexpr std::int32_t kFieldToolTextWidthAngle = 9;        // "Width:" "Angle:"
inline constexpr std::int32_t kFieldToolFillType = 10;             // "Fill type:"
inline constexpr std::int32_t kFieldToolHatch = 11;                // "Hatch:"
inline constexpr std::int32_t kFieldToolHatchAngleScale = 12;      // "Angle:" "Scale:"
inline constexpr std::int32_t kFieldToolDimensionColourFont = 13;  // "Colour:" "Font:"
inline constexpr std::int32_t kFieldToolDimensionTypeEnds = 14;    // "Type:" "Line ends:"
inline constexpr std::int32_t kFieldToolDimensionText = 15;        // "Text angle:" "Position:"
inline constexpr std::int32_t kFieldToolMoveAngle = 16;            // "Move angle:"
inline constexpr std::int32_t kFieldToolObject = 17;               // "Object:"
inline constexpr std::int32_t kFieldToolPolygonSides = 18;         // "Number of sides:"
inline constexpr std::int32_t kFieldToolSideLengthRotation =
    19;                                                      // "Side length:" "Angle of rotation:"
inline constexpr std::int32_t kFieldToolRectangleSize = 20;  // "Length:" "Width:"
inline constexpr std::int32_t kFieldToolShapeRotation = 21;  // "Angle of rotation:"
inline constexpr std::int32_t kFieldToolArcPoints = 22;      // "Points:"

// The selected item's properties (PublishProperties).
inline constexpr std::int32_t kFieldColourObject = 23;         // "Colour:" "Object:"
inline constexpr std::int32_t kFieldLineStyle = 24;            // "Style:"
inline constexpr std::int32_t kFieldTextFont = 25;             // "Font:"
inline constexpr std::int32_t kFieldTextWidthAngle = 26;       // "Width:" "Angle:"
inline constexpr std::int32_t kFieldArcAngle = 27;             // "Angle:"
inline constexpr std::int32_t kFieldCircleRadius = 28;         // "Radius:"
inline constexpr std::int32_t kFieldRotation = 29;             // "Slope:"
inline constexpr std::int32_t kFieldFillType = 30;             // "Fill type:"
inline constexpr std::int32_t kFieldHatch = 31;                // "Hatch:"
inline constexpr std::int32_t kFieldHatchAngleScale = 32;      // "Angle:" "Scale:"
inline constexpr std::int32_t kFieldDimensionColourFont = 33;  // "Colour:" "Font:"
inline constexpr std::int32_t kFieldDimensionTypeEnds = 34;    // "Type:" "Line ends:"
inline constexpr std::int32_t kFieldDimensionText = 35;        // "Text angle:" "Position:"
inline constexpr std::int32_t kFieldDimensionUnits = 36;       // "Units:" "Decimal:"
inline constexpr std::int32_t kFieldDimensionSizes = 37;       // "Arrow/dash:" "Extension:"
inline constexpr std::int32_t kFieldControl0 = 38;  // "Control length:" "angle:" of C1 - S
inline constexpr std::int32_t kFieldControl1 = 39;  // "Control length:" "angle:" of C2 - E

// Live read-outs while a gesture runs.
inline constexpr std::int32_t kFieldCoordinates = 40;        // "x:" "y:"
inline constexpr std::int32_t kFieldLiveMove = 41;           // "x move:" "y move:"
inline constexpr std::int32_t kFieldLiveLengthAngle = 42;    // "Length:" "Angle:"
inline constexpr std::int32_t kFieldLiveDistanceAngle = 43;  // "Distance:" "Angle:"
inline constexpr std::int32_t kFieldLiveRadius = 44;         // "Radius:"
inline constexpr std::int32_t kFieldLiveLength = 45;         // "Length:"
inline constexpr std::int32_t kFieldLiveRadiusAngle = 46;    // "Radius:" "Angle:"
inline constexpr std::int32_t kFieldLiveCentre = 47;         // "Centre x:" "y:"
inline constexpr std::int32_t kFieldLiveRadii = 48;          // "Radii:"
inline constexpr std::int32_t kFieldLiveStart = 49;          // "Start x:" "y:"
inline constexpr std::int32_t kFieldLiveEnd = 50;            // "End x:" "y:"
inline constexpr std::int32_t kFieldLiveSideLengthRotation =
    51;                                                      // "Side length:" "Angle of rotation:"
inline constexpr std::int32_t kFieldLiveRectangleSize = 52;  // "Length:" "Width:"
inline constexpr std::int32_t kFieldLiveControl = 53;        // "Control length:" "angle:"

// The selected item's information (PublishInformation, and a shape group's).
inline constexpr std::int32_t kFieldArcCentre = 54;        // "Centre x:" "y:"
inline constexpr std::int32_t kFieldArcStart = 55;         // "Start x:" "y:"
inline constexpr std::int32_t kFieldArcEnd = 56;           // "End x:" "y:"
inline constexpr std::int32_t kFieldArcRadiusLength = 57;  // "Radius:" "Length:"
inline constexpr std::int32_t kFieldCircleCentre = 58;     // "Centre x:" "y:"
inline constexpr std::int32_t kFieldRadius = 59;           // "Radius:"
inline constexpr std::int32_t kFieldEllipseCentre = 60;    // "Centre x:" "y:"
inline constexpr std::int32_t kFieldRadii = 61;            // "Radii:"
inline constexpr std::int32_t kFieldFillEdges = 62;  // "Number of outer edges:" "Number of islands"
inline constexpr std::int32_t kFieldPlottingOrder = 63;    // "Plotting order:"
inline constexpr std::int32_t kFieldStart = 64;            // "Start x:" "y:"
inline constexpr std::int32_t kFieldEnd = 65;              // "End x:" "y:"
inline constexpr std::int32_t kFieldLengthAngle = 66;      // "Length:" "Angle:"
inline constexpr std::int32_t kFieldSidesLength = 67;      // "Number of sides:" "Side length:"
inline constexpr std::int32_t kFieldRectangle = 68;        // "Length:" "Width:"
inline constexpr std::int32_t kFieldShapeRotation = 69;    // "Angle of rotation:"

// The settings of the transform, copy, object and recolour tools.
inline constexpr std::int32_t kFieldKeepOriginalsNewObject =
    70;  // "Keep originals:" "New object(s):"
inline constexpr std::int32_t kFieldRotateAngleCount =
    71;  // "Angle of rotation:" "Number of actions:"
inline constexpr std::int32_t kFieldReflectDirection = 72;  // "Mirror direction"
inline constexpr std::int32_t kFieldEnlargeFactorCount =
    73;                                                     // "Scale factor:" "Number of actions:"
inline constexpr std::int32_t kFieldStretchDirection = 74;  // "Stretch direction:"
inline constexpr std::int32_t kFieldStretchFactorCount =
    75;  // "Stretch factor:" "Number of actions:"
inline constexpr std::int32_t kFieldCopyCountNewObject =
    76;                                                      // "Number of copies:" "New object(s):"
inline constexpr std::int32_t kFieldCopyAngleDistance = 77;  // "Move angle:" "Move distance:"
inline constexpr std::int32_t kFieldObjectIdentified = 78;   // "Object"
inline constexpr std::int32_t kFieldObjectNumber = 79;       // "Number"
inline constexpr std::int32_t kFieldObjectName = 80;         // "Name"
inline constexpr std::int32_t kFieldObjectNew = 81;          // "New object"
inline constexpr std::int32_t kFieldRecolourColours = 82;    // "Colour"

extern std::int16_t g_valueFieldCount;
extern std::array<std::int32_t, kValueFieldLimit> g_valueFieldIds;

extern std::int32_t g_valueColour;
extern std::int16_t g_valueObject;
extern std::uint8_t g_valueLineStyle;
extern double g_valueArcAngle;  // radians
extern std::int32_t g_valueCircleRadius;
extern std::int32_t g_valueCentreX;
extern std::int32_t g_valueCentreY;
extern std::int32_t g_valueStartX;
extern std::int32_t g_valueStartY;
extern std::int32_t g_valueEndX;
extern std::int32_t g_valueEndY;
extern double g_valueRadius;
extern double g_valueLength;
extern double g_valueAngle;  // radians

// Sets the count and the ids in display order (at most kValueFieldLimit are kept).
void PublishFieldIds(std::initializer_list<std::int32_t> ids);

// Back to no fields and zero values. For tests.
void ResetValueFields();
