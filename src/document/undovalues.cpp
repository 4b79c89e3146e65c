// The journal's table of item values: for each property kind, how the record keeps the item's
// value and how the item is given a kept value back. Recording and replay both go through it.
#include <array>
#include <type_traits>
#include <utility>

#include "document/undo.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/hatch.h"
#include "support/fontspec.h"

namespace {

template <typename T>
T Narrow(std::int64_t v) {
  return static_cast<T>(v);
}

// The type a one-argument setter takes.
template <typename>
struct SetterArgument;
template <typename R, typename A>
struct SetterArgument<R (CDrawItem::*)(A)> {
  using Type = A;
};
// The part type of a getter of two parts (a point, a pair of doubles).
template <typename>
struct PairPart;
template <typename T>
struct PairPart<void (CDrawItem::*)(T&, T&) const> {
  using Type = T;
};

// A value of one part, kept in a (integers) or d1 (doubles).
template <auto Get, auto Set>
constexpr UndoValueAccess Single(UndoKind kind) {
  using T = typename SetterArgument<decltype(Set)>::Type;
  if constexpr (std::is_floating_point_v<T>) {
    return {kind,
            [](const CDrawItem& item, UndoRecord& r) {
              r.d1 = (item.*Get)();
              return true;
            },
            [](CDrawItem& item, UndoRecord& r) { (item.*Set)(r.d1); }, nullptr};
  } else {
    return {kind,
            [](const CDrawItem& item, UndoRecord& r) {
              r.a = (item.*Get)();
              return true;
            },
            [](CDrawItem& item, UndoRecord& r) { (item.*Set)(Narrow<T>(r.a)); }, nullptr};
  }
}

// A value of two parts, kept in a, b (integers) or d1, d2 (doubles).
template <auto Get, auto Set>
constexpr UndoValueAccess Pair(UndoKind kind) {
  using T = typename PairPart<decltype(Get)>::Type;
  if constexpr (std::is_floating_point_v<T>) {
    return {kind,
            [](const CDrawItem& item, UndoRecord& r) {
              (item.*Get)(r.d1, r.d2);
              return true;
            },
            [](CDrawItem& item, UndoRecord& r) { (item.*Set)(r.d1, r.d2); }, nullptr};
  } else {
    return {kind,
            [](const CDrawItem& item, UndoRecord& r) {
              T x = 0;
              T y = 0;
              (item.*Get)(x, y);
              r.a = x;
              r.b = y;
              return true;
            },
            [](CDrawItem& item, UndoRecord& r) { (item.*Set)(Narrow<T>(r.a), Narrow<T>(r.b)); },
            nullptr};
  }
}

// A Bezier control point, by its index.
template <int I>
constexpr UndoValueAccess ControlPoint(UndoKind kind) {
  return {kind,
          [](const CDrawItem& item, UndoRecord& r) {
            item.GetControlPoint(I, r.d1, r.d2);
            return true;
          },
          [](CDrawItem& item, UndoRecord& r) { item.SetControlPoint(I, r.d1, r.d2); }, nullptr};
}

using D = CDrawItem;

constexpr std::array kRows = {
    Single<&D::GetAngle, &D::SetAngle>(UndoKind::kArcAngle),
    Single<&D::GetTextTag, &D::SetTextTag>(UndoKind::kTextTag),
    Pair<&D::GetStart, &D::SetStart>(UndoKind::kStart),
    ControlPoint<0>(UndoKind::kControlPoint0),
    ControlPoint<1>(UndoKind::kControlPoint1),
    Pair<&D::GetCentre, &D::SetCentre>(UndoKind::kCentre),
    Pair<&D::GetCentreExact, &D::SetCentreExact>(UndoKind::kCentreExact),
    Single<&D::GetColour, &D::SetColour>(UndoKind::kColour),
    Single<&D::GetDimensionType, &D::SetDimensionType>(UndoKind::kDimensionType),
    Single<&D::GetDecimals, &D::SetDecimals>(UndoKind::kDecimals),
    Single<&D::GetArrowSize, &D::SetArrowSize>(UndoKind::kArrowSize),
    Single<&D::GetLineEnds, &D::SetLineEnds>(UndoKind::kLineEnds),
    Single<&D::GetExtension, &D::SetExtension>(UndoKind::kExtension),
    Single<&D::GetExtensionGap, &D::SetExtensionGap>(UndoKind::kExtensionGap),
    Single<&D::GetOffset, &D::SetOffset>(UndoKind::kOffset),
    Single<&D::GetTextAngleMode, &D::SetTextAngleMode>(UndoKind::kTextAngleMode),
    Single<&D::GetTextPosition, &D::SetTextPosition>(UndoKind::kTextPosition),
    Single<&D::GetUnits, &D::SetUnits>(UndoKind::kUnits),
    Single<&D::GetObjectNumber, &D::SetObjectNumber>(UndoKind::kObjectNumber),
    Pair<&D::GetEnd, &D::SetEnd>(UndoKind::kEnd),
    // The pattern is taken by the recorder once the record is written (the fill lets go of
    // it on that answer only), and exchanged in place.
    UndoValueAccess{UndoKind::kHatchPattern, [](const CDrawItem&, UndoRecord&) { return true; },
                    nullptr,
                    [](CDrawItem& item, UndoRecord& r) {
                      if (item.GetType() != kItemFill) return;
                      auto& fill = static_cast<CFillItem&>(item);
                      std::unique_ptr<CHatchPattern> current = fill.DetachHatchPattern();
                      fill.AttachHatchPattern(std::move(r.hatch));
                      r.hatch = std::move(current);
                    }},
    Single<&D::GetFillStyle, &D::SetFillStyle>(UndoKind::kFillStyle),
    Single<&D::GetLineStyle, &D::SetLineStyle>(UndoKind::kLineStyle),
    // The whole geometry of an elliptic arc, captured when recorded and swapped in place.
    UndoValueAccess{UndoKind::kEllipseArcGeometry,
                    [](const CDrawItem& item, UndoRecord& r) {
                      r.arcState = std::make_unique<CEllipseArcUndoState>();
                      return r.arcState->Capture(&item) != 0;
                    },
                    nullptr,
                    [](CDrawItem& item, UndoRecord& r) {
                      if (r.arcState) r.arcState->Swap(&item);
                    }},
    Pair<&D::GetRadii, &D::SetRadii>(UndoKind::kRadii),
    Pair<&D::GetSemiAxes, &D::SetSemiAxes>(UndoKind::kSemiAxes),
    Single<&D::GetRadius, &D::SetRadius>(UndoKind::kRadius),
    Single<&D::GetGroupNumber, &D::SetGroupNumber>(UndoKind::kGroupNumber),
    Single<&D::GetTextParameter, &D::SetTextParameter>(UndoKind::kTextParameter),
    Single<&D::GetRotation, &D::SetRotation>(UndoKind::kRotation),
    Single<&D::GetTextAngle, &D::SetTextAngle>(UndoKind::kTextAngle),
    UndoValueAccess{
        UndoKind::kTextString,
        [](const CDrawItem& item, UndoRecord& r) {
          r.text = item.GetText();
          return true;
        },
        [](CDrawItem& item, UndoRecord& r) { item.AttachText(r.text.value_or(QString())); },
        nullptr},
    Single<&D::GetPenWidth, &D::SetPenWidth>(UndoKind::kPenWidth),
    Pair<&D::GetPosition, &D::SetPosition>(UndoKind::kPosition),
    // A copy of the item's font and its width, exchanged in place.
    UndoValueAccess{UndoKind::kFont,
                    [](const CDrawItem& item, UndoRecord& r) {
                      r.font = std::make_unique<CFontSpec>();
                      if (const CFontSpec* font = item.GetFont(); font != nullptr) *r.font = *font;
                      return true;
                    },
                    nullptr,
                    [](CDrawItem& item, UndoRecord& r) {
                      if (!r.font) return;
                      CFontSpec current;
                      if (const CFontSpec* font = item.GetFont(); font != nullptr) current = *font;
                      item.SetFont(*r.font);
                      *r.font = current;
                    }},
};

constexpr std::array<const UndoValueAccess*, kUndoKindCount> kRowOfKind = [] {
  std::array<const UndoValueAccess*, kUndoKindCount> rows{};
  for (const UndoValueAccess& row : kRows) rows[static_cast<std::size_t>(row.kind)] = &row;
  return rows;
}();

}  // namespace

const UndoValueAccess* FindUndoValueAccess(UndoKind kind) {
  const int number = UndoKindNumber(kind);
  return number < kUndoKindCount ? kRowOfKind[static_cast<std::size_t>(number)] : nullptr;
}

int IsItemValueKind(UndoKind kind) { return FindUndoValueAccess(kind) != nullptr ? 1 : 0; }

void ExchangeUndoValue(UndoRecord& r) {
  const UndoValueAccess* row = FindUndoValueAccess(r.Kind());
  if (row == nullptr || r.item == nullptr) return;
  if (row->exchange != nullptr) {
    row->exchange(*r.item, r);
    return;
  }
  UndoRecord kept;
  kept.a = r.a;
  kept.b = r.b;
  kept.d1 = r.d1;
  kept.d2 = r.d2;
  kept.text = std::move(r.text);
  row->keep(*r.item, r);
  row->give(*r.item, kept);
}
