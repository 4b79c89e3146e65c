#include "items/legacysegment.h"

#include "items/geometry.h"
#include "support/options.h"

namespace {

constexpr std::int16_t kFirstSuspiciousGroup = 10000;
constexpr std::int16_t kLastSuspiciousGroup = 19999;
constexpr int kLastState = 4;

bool IsEndIndex(std::int16_t end) { return end == 0 || end == 1; }

}  // namespace

void CLegacySegment::GetEndPoint(std::int16_t end, int& x, int& y) const {
  if (end == 0) {
    x = m_startX;
    y = m_startY;
  } else if (end == 1) {
    x = m_endX;
    y = m_endY;
  }
}

int CLegacySegment::GetLink(std::int16_t end) const { return IsEndIndex(end) ? m_links[end] : 0; }

void CLegacySegment::SetLink(std::int16_t end, int value) {
  if (IsEndIndex(end)) m_links[end] = value;
}

int CLegacySegment::GetEndState(std::int16_t end) const {
  return IsEndIndex(end) ? m_endStates[end] : 2;
}

void CLegacySegment::SetEndState(std::int16_t end, int value) {
  if (IsEndIndex(end)) m_endStates[end] = value;
}

int CLegacySegment::IsValid() const {
  // Old files carried stray hatch lines in this group range.
  if (GetOptionFlag(kOptionSuspiciousHatchIgnored) != 0 && m_groupNumber >= kFirstSuspiciousGroup &&
      m_groupNumber <= kLastSuspiciousGroup) {
    return 0;
  }
  if (!IsValidX(m_startX) || !IsValidX(m_endX)) return 0;
  if (!IsValidY(m_startY) || !IsValidY(m_endY)) return 0;
  if (m_startX == m_endX && m_startY == m_endY) return 0;
  return m_state <= kLastState ? 1 : 0;
}
