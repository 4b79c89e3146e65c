#pragma once
// A rectangle as the program's drawing helpers and controls take it: four 32-bit coordinates
// whose right and bottom are inside the rectangle (inclusive), unless an operation says
// otherwise. The drawing context's DcRect leaves them out; ExtendRectRightBottom turns one
// into the other.
#include <cstdint>

struct UiRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const UiRect&, const UiRect&) = default;
};
