#pragma once
// Two small value classes of the geometry: CSlope, the direction of a tangent kept as a ratio
// so that vertical directions need no special value, and CTransform, one reflection, rotation,
// enlargement or stretch about a centre, applied by every item kind to its defining points.
#include <cstdint>

// Glitch numbers of the slope tests and comparisons (an operand that is not valid).
inline constexpr int kGlitchSlopeIsHorizontal = 3501;
inline constexpr int kGlitchSlopeIsNegative = 3502;
inline constexpr int kGlitchSlopeIsPositive = 3503;
inline constexpr int kGlitchSlopeIsVertical = 3504;
inline constexpr int kGlitchSlopeIsVerticalUp = 3505;
inline constexpr int kGlitchSlopeEqual = 3506;
inline constexpr int kGlitchSlopeGreater = 3507;
inline constexpr int kGlitchSlopeGreaterEqual = 3508;
inline constexpr int kGlitchSlopeLess = 3509;

inline constexpr std::int16_t kSlopeUnset = 0;
inline constexpr std::int16_t kSlopeValid = 1;
inline constexpr std::int16_t kSlopeZero = -1;  // both components zero: no direction

// A direction dy / dx up to sign, with dx >= 0 once set, so slopes order by angle from
// -90 degrees (vertical down) to +90 degrees (vertical up). Only a vertical slope keeps the
// sign of its dy; two vertical slopes compare equal whatever their signs.
// Every test and comparison needs valid operands: otherwise a glitch and 0.
class CSlope {
 public:
  CSlope() = default;
  CSlope(double dy, double dx) { Set(dy, dx); }

  // State 1 when either component is not 0, else -1; both negated when dx < 0. A component
  // that is not finite gives no direction (state -1, both 0).
  void Set(double dy, double dx);
  void Get(double& dy, double& dx) const {
    dy = m_dy;
    dx = m_dx;
  }
  std::int16_t GetState() const { return m_state; }

  // Cross-product comparisons: this dy x other dx against other dy x this dx.
  std::int16_t operator==(const CSlope& other) const;
  std::int16_t operator<(const CSlope& other) const;
  std::int16_t operator>(const CSlope& other) const;
  std::int16_t operator>=(const CSlope& other) const;

  std::int16_t IsHorizontal() const;
  std::int16_t IsNegative() const;
  std::int16_t IsPositive() const;
  std::int16_t IsVertical() const;
  std::int16_t IsVerticalUp() const;

 private:
  // 1 when both operands are valid; otherwise reports the glitch (number 1 for this operand,
  // 2 for the other) and answers 0.
  bool CheckOperands(const CSlope& other, int glitch) const;
  bool CheckValid(int glitch) const;

  double m_dy = 0.0;
  double m_dx = 0.0;
  std::int16_t m_state = kSlopeUnset;
};

inline constexpr int kTransformReflection = 1;
inline constexpr int kTransformRotation = 2;
inline constexpr int kTransformEnlargement = 3;
inline constexpr int kTransformStretch = 4;

// x' = a (x - centre x) + b (y - centre y) + target x; y' = c (...) + d (...) + target y.
// Every set-up makes the target equal to the centre.
class CTransform {
 public:
  // flag non-zero: mirror in the vertical line x = position; 0: in the line y = position.
  void SetReflection(int flag, int position);
  // Counter-clockwise about (cx, cy).
  void SetRotation(double degrees, int cx, int cy);
  void SetEnlargement(double factor, int cx, int cy);
  // flag non-zero: x distances from the line x = position scale by factor; 0: y distances
  // from y = position.
  void SetStretch(int flag, double factor, int position);

  // Rounded half away from zero; differences and sums are taken in doubles and 64 bits, and
  // the result is clamped to the int range, so far points never wrap round.
  int TransformX(int x, int y) const;
  int TransformY(int x, int y) const;
  double TransformXExact(double x, double y) const;
  double TransformYExact(double x, double y) const;
  // The point moved in place: both coordinates from the old ones.
  void TransformPoint(std::int32_t& x, std::int32_t& y) const;
  void TransformPointExact(double& x, double& y) const;

  int GetKind() const { return m_kind; }
  double GetParameter() const { return m_parameter; }
  int GetDirectionFlag() const { return m_directionFlag; }

 private:
  std::int32_t m_kind = 0;
  double m_parameter = 0.0;
  std::int32_t m_directionFlag = 0;
  double m_a = 1.0;
  double m_b = 0.0;
  double m_c = 0.0;
  double m_d = 1.0;
  std::int32_t m_centreX = 0;
  std::int32_t m_centreY = 0;
  std::int32_t m_targetX = 0;
  std::int32_t m_targetY = 0;
};
