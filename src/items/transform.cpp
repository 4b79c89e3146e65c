#include "items/transform.h"

#include <algorithm>
#include <cmath>

#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// The rounded result of a transform plus its target, kept within the int range. RoundToInt
// itself clamps, so a value beyond the range is rounded in 64 bits before the target is added.
int AddTarget(double value, std::int32_t target) {
  if (std::isnan(value)) return target;
  std::int64_t rounded = 0;
  if (std::fabs(value) <= kIntRangeMax) {
    rounded = RoundToInt(value);
  } else {
    rounded = static_cast<std::int64_t>(std::clamp(RoundToWhole(value), -1e18, 1e18));
  }
  return ClampInt64ToInt(rounded + target);
}

}  // namespace

void CSlope::Set(double dy, double dx) {
  if (!std::isfinite(dy) || !std::isfinite(dx)) {
    // No direction can be taken from a value that is not a number.
    m_dy = 0.0;
    m_dx = 0.0;
    m_state = kSlopeZero;
    return;
  }
  m_state = (dy != 0.0 || dx != 0.0) ? kSlopeValid : kSlopeZero;
  if (dx < 0.0) {
    dy = -dy;
    dx = -dx;
  }
  m_dy = dy;
  m_dx = dx;
}

bool CSlope::CheckValid(int glitch) const {
  if (m_state == kSlopeValid) return true;
  SetGlitchValue(m_state);
  ReportGlitch(glitch, 1);
  return false;
}

bool CSlope::CheckOperands(const CSlope& other, int glitch) const {
  if (!CheckValid(glitch)) return false;
  if (other.m_state == kSlopeValid) return true;
  SetGlitchValue(other.m_state);
  ReportGlitch(glitch, 2);
  return false;
}

std::int16_t CSlope::operator==(const CSlope& other) const {
  if (!CheckOperands(other, kGlitchSlopeEqual)) return 0;
  return m_dy * other.m_dx == other.m_dy * m_dx ? 1 : 0;
}

std::int16_t CSlope::operator<(const CSlope& other) const {
  if (!CheckOperands(other, kGlitchSlopeLess)) return 0;
  return m_dy * other.m_dx < other.m_dy * m_dx ? 1 : 0;
}

std::int16_t CSlope::operator>(const CSlope& other) const {
  if (!CheckOperands(other, kGlitchSlopeGreater)) return 0;
  return m_dy * other.m_dx > other.m_dy * m_dx ? 1 : 0;
}

std::int16_t CSlope::operator>=(const CSlope& other) const {
  if (!CheckOperands(other, kGlitchSlopeGreaterEqual)) return 0;
  return m_dy * other.m_dx >= other.m_dy * m_dx ? 1 : 0;
}

std::int16_t CSlope::IsHorizontal() const {
  if (!CheckValid(kGlitchSlopeIsHorizontal)) return 0;
  return m_dy == 0.0 ? 1 : 0;
}

std::int16_t CSlope::IsNegative() const {
  if (!CheckValid(kGlitchSlopeIsNegative)) return 0;
  return m_dy < 0.0 ? 1 : 0;
}

std::int16_t CSlope::IsPositive() const {
  if (!CheckValid(kGlitchSlopeIsPositive)) return 0;
  return m_dy > 0.0 ? 1 : 0;
}

std::int16_t CSlope::IsVertical() const {
  if (!CheckValid(kGlitchSlopeIsVertical)) return 0;
  return m_dx == 0.0 ? 1 : 0;
}

std::int16_t CSlope::IsVerticalUp() const {
  if (!CheckValid(kGlitchSlopeIsVerticalUp)) return 0;
  return (m_dx == 0.0 && m_dy > 0.0) ? 1 : 0;
}

void CTransform::SetReflection(int flag, int position) {
  m_kind = kTransformReflection;
  m_directionFlag = flag;
  m_b = 0.0;
  m_c = 0.0;
  if (flag != 0) {
    m_a = -1.0;
    m_d = 1.0;
    m_centreX = position;
    m_centreY = 0;
  } else {
    m_a = 1.0;
    m_d = -1.0;
    m_centreX = 0;
    m_centreY = position;
  }
  m_targetX = m_centreX;
  m_targetY = m_centreY;
}

void CTransform::SetRotation(double degrees, int cx, int cy) {
  m_kind = kTransformRotation;
  m_parameter = degrees * g_radiansPerDegree;
  const double cosine = std::cos(m_parameter);
  const double sine = std::sin(m_parameter);
  m_a = cosine;
  m_d = cosine;
  m_c = sine;
  m_b = -sine;
  m_centreX = cx;
  m_centreY = cy;
  m_targetX = cx;
  m_targetY = cy;
}

void CTransform::SetEnlargement(double factor, int cx, int cy) {
  m_kind = kTransformEnlargement;
  m_parameter = factor;
  m_a = factor;
  m_d = factor;
  m_b = 0.0;
  m_c = 0.0;
  m_centreX = cx;
  m_centreY = cy;
  m_targetX = cx;
  m_targetY = cy;
}

void CTransform::SetStretch(int flag, double factor, int position) {
  m_kind = kTransformStretch;
  m_parameter = factor;
  m_directionFlag = flag;
  m_b = 0.0;
  m_c = 0.0;
  if (flag != 0) {
    m_a = factor;
    m_d = 1.0;
    m_centreX = position;
    m_centreY = 0;
  } else {
    m_a = 1.0;
    m_d = factor;
    m_centreX = 0;
    m_centreY = position;
  }
  m_targetX = m_centreX;
  m_targetY = m_centreY;
}

int CTransform::TransformX(int x, int y) const {
  const double rx = static_cast<double>(x) - m_centreX;
  const double ry = static_cast<double>(y) - m_centreY;
  return AddTarget(m_a * rx + m_b * ry, m_targetX);
}

int CTransform::TransformY(int x, int y) const {
  const double rx = static_cast<double>(x) - m_centreX;
  const double ry = static_cast<double>(y) - m_centreY;
  return AddTarget(m_c * rx + m_d * ry, m_targetY);
}

void CTransform::TransformPoint(std::int32_t& x, std::int32_t& y) const {
  const int newX = TransformX(x, y);
  y = TransformY(x, y);
  x = newX;
}

void CTransform::TransformPointExact(double& x, double& y) const {
  const double newX = TransformXExact(x, y);
  y = TransformYExact(x, y);
  x = newX;
}

double CTransform::TransformXExact(double x, double y) const {
  return m_a * (x - m_centreX) + m_b * (y - m_centreY) + m_targetX;
}

double CTransform::TransformYExact(double x, double y) const {
  return m_c * (x - m_centreX) + m_d * (y - m_centreY) + m_targetY;
}
