#pragma once
// The kinds of the undo journal's records. The number is the kind byte a record carries in the
// journal; the size is the record's size in the journal, kind byte included, by which the
// journal's limit is counted (undo.h). A new kind gets its line here, and, when it is a
// property of an item, its getter and setter in the journal's table of values (undo.h).
#include <array>
#include <cstdint>

// clang-format off
//  name,                  number, size   what the record keeps
#define ZEPH_UNDO_KINDS(X) \
  X(kItemAdded,              0,  9)  /* the list position of an item added */ \
  X(kNameAdded,              1,  7)  /* the number of an object name added */ \
  X(kNameRemoved,            2,  7)  /* an object name removed */ \
  X(kItemRemoved,            3,  9)  /* an item removed, and its list position */ \
  X(kArcAngle,               4, 13) \
  X(kTextTag,                5,  9) \
  X(kStart,                  6, 13) \
  X(kControlPoint0,          7, 21) \
  X(kControlPoint1,          8, 21) \
  X(kCentre,                 9, 13) \
  X(kCentreExact,           10, 21) \
  X(kColour,                11,  9) \
  X(kDimensionType,         12,  6) \
  X(kDecimals,              13,  6) \
  X(kArrowSize,             14,  9) \
  X(kLineEnds,              15,  6) \
  X(kExtension,             16,  9) \
  X(kInvalid,               17,  0)  /* never a record */ \
  X(kExtensionGap,          18,  9) \
  X(kOffset,                19,  9) \
  X(kTextAngleMode,         20,  6) \
  X(kTextPosition,          21,  6)  /* where a dimension puts its text */ \
  X(kUnits,                 22,  6) \
  X(kObjectNumber,          23,  7) \
  X(kNameReplaced,          24,  7)  /* an object name replaced */ \
  X(kEnd,                   25, 13) \
  X(kHatchPattern,          26,  9)  /* the journal keeps the replaced pattern */ \
  X(kFillStyle,             27,  9) \
  X(kLineStyle,             28,  6) \
  X(kEllipseArcGeometry,    29,  9) \
  X(kRadii,                 30, 21) \
  X(kSemiAxes,              31, 13) \
  X(kRadius,                32,  9) \
  X(kGroupNumber,           33,  9) \
  X(kTextParameter,         34, 13) \
  X(kRotation,              35, 13) \
  X(kTextAngle,             36, 13) \
  X(kTextString,            37,  9)  /* the journal takes over the replaced text */ \
  X(kPenWidth,              38,  6) \
  X(kPosition,              39, 13)  /* a text's anchor point */ \
  X(kFont,                  40,  9) \
  X(kMove,                  41, 13)  /* an item moved by dx, dy */ \
  X(kItemReplaced,          42,  9)  /* an item replaced at its list position */ \
  X(kListMove,              43,  9)  /* an item moved within the list */
// clang-format on

// One byte in the journal; a byte read back from a record may hold a number of no kind.
enum class UndoKind : std::uint8_t {
#define ZEPH_UNDO_KIND_ENUM(Name, Number, Size) Name = Number,
  ZEPH_UNDO_KINDS(ZEPH_UNDO_KIND_ENUM)
#undef ZEPH_UNDO_KIND_ENUM
};

inline constexpr int kUndoKindCount = 44;

constexpr int UndoKindNumber(UndoKind kind) { return static_cast<int>(kind); }

// The record sizes by kind number, 0 for a number of no record.
inline constexpr std::array<std::uint8_t, kUndoKindCount> kUndoRecordSizes = [] {
  std::array<std::uint8_t, kUndoKindCount> sizes{};
#define ZEPH_UNDO_KIND_SIZE(Name, Number, Size) sizes[Number] = Size;
  ZEPH_UNDO_KINDS(ZEPH_UNDO_KIND_SIZE)
#undef ZEPH_UNDO_KIND_SIZE
  return sizes;
}();

// The record's size in the journal, kind byte included; 0 for an invalid kind.
constexpr int UndoRecordSize(UndoKind kind) {
  const int number = UndoKindNumber(kind);
  return number < kUndoKindCount ? kUndoRecordSizes[static_cast<std::size_t>(number)] : 0;
}
