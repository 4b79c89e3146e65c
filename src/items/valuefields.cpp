#include "items/valuefields.h"

std::int16_t g_valueFieldCount = 0;
std::array<std::int32_t, kValueFieldLimit> g_valueFieldIds{};

std::int32_t g_valueColour = 0;
std::int16_t g_valueObject = 0;
std::uint8_t g_valueLineStyle = 0;
double g_valueArcAngle = 0.0;
std::int32_t g_valueCircleRadius = 0;
std::int32_t g_valueCentreX = 0;
std::int32_t g_valueCentreY = 0;
std::int32_t g_valueStartX = 0;
std::int32_t g_valueStartY = 0;
std::int32_t g_valueEndX = 0;
std::int32_t g_valueEndY = 0;
double g_valueRadius = 0.0;
double g_valueLength = 0.0;
double g_valueAngle = 0.0;

void PublishFieldIds(std::initializer_list<std::int32_t> ids) {
  std::int16_t count = 0;
  for (std::int32_t id : ids) {
    if (count == kValueFieldLimit) break;
    g_valueFieldIds[count++] = id;
  }
  g_valueFieldCount = count;
}

void ResetValueFields() {
  g_valueFieldCount = 0;
  g_valueFieldIds.fill(0);
  g_valueColour = 0;
  g_valueObject = 0;
  g_valueLineStyle = 0;
  g_valueArcAngle = 0.0;
  g_valueCircleRadius = 0;
  g_valueCentreX = 0;
  g_valueCentreY = 0;
  g_valueStartX = 0;
  g_valueStartY = 0;
  g_valueEndX = 0;
  g_valueEndY = 0;
  g_valueRadius = 0.0;
  g_valueLength = 0.0;
  g_valueAngle = 0.0;
}
