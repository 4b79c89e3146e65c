#pragma once
// Values every subsystem shares without owning them: mathematical constants, the program's
// version identity, the start time and one read-only block of small constants and vocabulary.
#include <array>
#include <cstdint>

#include "support/timevalue.h"

inline constexpr double kPi = 3.141592653589793;
// Constant-initialised, so no static object can see them unset.
inline constexpr double g_degreesPerRadian = 180.0 / kPi;
inline constexpr double g_radiansPerDegree = kPi / 180.0;
inline constexpr double g_halfPi = kPi / 2;
inline constexpr double g_twoPi = 2 * kPi;
inline constexpr double g_sqrt3 = 1.7320508075688772;  // the double nearest to the square root of 3

inline constexpr const char16_t* kProductName = u"Zephorin";
inline constexpr int kVersionNumber = 336;
inline constexpr const char16_t* kVersionText = u"Zephorin version 3.36";
inline constexpr const char16_t* kVersionTag = u"ZP336";
inline constexpr int kBuildNumber = 1278;
inline constexpr const char16_t* kLogFileName = u"Zeph.log";
inline constexpr const char16_t* kGlitchFileName = u"Zeph.err";

// Zero until the application sets it at the start of its initialisation.
extern CTime g_startTime;

struct ProgramConstants {
  const char16_t* productName;
  std::array<std::int16_t, 12> monthLengths;
  int hundred;
  double oneThird;
  double twoSixtyFour;
  int one;
  int three;
  std::array<const char16_t*, 6> lineStyleNames;
  std::array<const char16_t*, 4> pointChoiceTexts;
  std::array<const char16_t*, 3> dimensionTypes;
  std::array<const char16_t*, 5> lineEndNames;
  std::array<const char16_t*, 2> textAngles;
  std::array<const char16_t*, 3> textPositions;
  std::array<const char16_t*, 4> fillTypes;
  std::array<const char16_t*, 3> blendDirections;
  std::array<const char16_t*, 5> units;
  std::int32_t limitX;
  std::int32_t limitY;
  std::array<std::int32_t, 13> zoomSteps;
  std::array<std::int32_t, 7> gridSpacingsMm;
  int count62;
  std::array<const char16_t*, 28> toolNames;
};

extern const ProgramConstants g_programConstants;

inline constexpr int kToolCount = 28;
inline constexpr std::int32_t kLimitX = 50000000;
inline constexpr std::int32_t kLimitY = 30000000;
