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

// Field ids (the values bar fixes their labels).
inline constexpr std::int32_t kFieldColourObject = 23;     // "Colour:" "Object:"
inline constexpr std::int32_t kFieldLineStyle = 24;        // "Style:"
inline constexpr std::int32_t kFieldArcAngle = 27;         // "Angle:"
inline constexpr std::int32_t kFieldCircleRadius = 28;     // "Radius:"
inline constexpr std::int32_t kFieldArcCentre = 54;        // "Centre x:" "y:"
inline constexpr std::int32_t kFieldArcStart = 55;         // "Start x:" "y:"
inline constexpr std::int32_t kFieldArcEnd = 56;           // "End x:" "y:"
inline constexpr std::int32_t kFieldArcRadiusLength = 57;  // "Radius:" "Length:"
inline constexpr std::int32_t kFieldCircleCentre = 58;     // "Centre x:" "y:"
inline constexpr std::int32_t kFieldRadius = 59;           // "Radius:"
inline constexpr std::int32_t kFieldStart = 64;            // "Start x:" "y:"
inline constexpr std::int32_t kFieldEnd = 65;              // "End x:" "y:"
inline constexpr std::int32_t kFieldLengthAngle = 66;      // "Length:" "Angle:"

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
