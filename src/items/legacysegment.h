#pragma once
// One straight segment of the oldest drawing formats, which stored segments rather than
// items. The document's reader keeps one record per segment and its conversion turns chains
// of them into line items and fill hatches, following each end's link and state.
#include <cstdint>

class CLegacySegment {
 public:
  void SetStart(int x, int y) {
    m_startX = x;
    m_startY = y;
  }
  void SetEnd(int x, int y) {
    m_endX = x;
    m_endY = y;
  }
  // End 0: the start; end 1: the end; another value leaves x and y untouched.
  void GetEndPoint(std::int16_t end, int& x, int& y) const;

  int GetCode() const { return m_code; }
  void SetCode(int code) { m_code = code; }
  // 0..4; the conversion treats 3 and 4 as lines of an old hatch.
  int GetState() const { return m_state; }
  void SetState(int state) { m_state = state; }
  int GetColour() const { return m_colour; }
  void SetColour(int colour) { m_colour = colour; }
  std::int16_t GetGroupNumber() const { return m_groupNumber; }
  void SetGroupNumber(std::int16_t group) { m_groupNumber = group; }

  // Per-end working values of the conversion; ends other than 0 and 1 answer 0 (link) or 2
  // (state) and store nothing.
  int GetLink(std::int16_t end) const;
  void SetLink(std::int16_t end, int value);
  int GetEndState(std::int16_t end) const;
  void SetEndState(std::int16_t end, int value);

  // The conversion's own values: the segment's direction (radians) and its line's distance
  // from the origin.
  double GetDirection() const { return m_direction; }
  void SetDirection(double direction) { m_direction = direction; }
  double GetOffset() const { return m_offset; }
  void SetOffset(double offset) { m_offset = offset; }

  // Both ends inside the coordinate limits and apart, state at most 4; with the option
  // SuspiciousHatchIgnored on, group numbers 10000..19999 are refused.
  int IsValid() const;

 private:
  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  std::int32_t m_code = 0;
  std::int32_t m_state = 0;
  std::int32_t m_colour = 0;
  std::int16_t m_groupNumber = 0;
  std::int32_t m_links[2] = {0, 0};
  double m_direction = 0.0;
  double m_offset = 0.0;
  std::int32_t m_endStates[2] = {0, 0};
};
