// The journal's table of item values against the items: every property kind, recorded by its
// setter, comes back with Undo and goes again with Redo, and every kind of the table has a
// record size.
#include <functional>
#include <set>
#include <string>

#include "document/undo.h"
#include "drawingfile_fixture.h"

namespace {

class UndoValuesTest : public DrawingFileTest {};

struct ValueCase {
  UndoKind kind;
  int itemType;
  std::function<void(CDrawItem&)> change;  // changes the property through its setter
};

std::vector<ValueCase> Cases() {
  auto font = [](CDrawItem& item) {
    CFontSpec changed = *item.GetFont();
    changed.SetSize(static_cast<std::int16_t>(changed.GetSize() + 3));
    changed.SetWidthPercent(static_cast<std::int16_t>(changed.GetWidthPercent() + 7));
    item.SetFont(changed);
  };
  auto u8 = [](int v) { return static_cast<std::uint8_t>(v); };
  return {
      {UndoKind::kArcAngle, kItemArc, [](CDrawItem& i) { i.SetAngle(i.GetAngle() + 0.25); }},
      {UndoKind::kTextTag, kItemText, [](CDrawItem& i) { i.SetTextTag(i.GetTextTag() + 2); }},
      {UndoKind::kStart, kItemLine,
       [](CDrawItem& i) {
         int x = 0;
         int y = 0;
         i.GetStart(x, y);
         i.SetStart(x - 3, y + 4);
       }},
      {UndoKind::kControlPoint0, kItemBezier,
       [](CDrawItem& i) {
         double x = 0;
         double y = 0;
         i.GetControlPoint(0, x, y);
         i.SetControlPoint(0, x + 1.5, y - 2.25);
       }},
      {UndoKind::kControlPoint1, kItemBezier,
       [](CDrawItem& i) {
         double x = 0;
         double y = 0;
         i.GetControlPoint(1, x, y);
         i.SetControlPoint(1, x - 4.5, y + 0.75);
       }},
      {UndoKind::kCentre, kItemCircle,
       [](CDrawItem& i) {
         int x = 0;
         int y = 0;
         i.GetCentre(x, y);
         i.SetCentre(x + 10, y - 20);
       }},
      {UndoKind::kCentreExact, kItemEllipseArc,
       [](CDrawItem& i) {
         double x = 0;
         double y = 0;
         i.GetCentreExact(x, y);
         i.SetCentreExact(x + 0.5, y + 1.25);
       }},
      {UndoKind::kColour, kItemLine, [](CDrawItem& i) { i.SetColour(i.GetColour() + 1); }},
      {UndoKind::kDimensionType, kItemDimension,
       [u8](CDrawItem& i) { i.SetDimensionType(u8((i.GetDimensionType() + 1) % 3)); }},
      {UndoKind::kDecimals, kItemDimension,
       [u8](CDrawItem& i) { i.SetDecimals(u8((i.GetDecimals() + 1) % 6)); }},
      {UndoKind::kArrowSize, kItemDimension,
       [](CDrawItem& i) { i.SetArrowSize(i.GetArrowSize() + 7); }},
      {UndoKind::kLineEnds, kItemDimension,
       [u8](CDrawItem& i) { i.SetLineEnds(u8((i.GetLineEnds() + 1) % 5)); }},
      {UndoKind::kExtension, kItemDimension,
       [](CDrawItem& i) { i.SetExtension(i.GetExtension() + 7); }},
      {UndoKind::kExtensionGap, kItemDimension,
       [](CDrawItem& i) { i.SetExtensionGap(i.GetExtensionGap() + 7); }},
      {UndoKind::kOffset, kItemDimension, [](CDrawItem& i) { i.SetOffset(i.GetOffset() + 7); }},
      {UndoKind::kTextAngleMode, kItemDimension,
       [u8](CDrawItem& i) { i.SetTextAngleMode(u8((i.GetTextAngleMode() + 1) % 2)); }},
      {UndoKind::kTextPosition, kItemDimension,
       [u8](CDrawItem& i) { i.SetTextPosition(u8((i.GetTextPosition() + 1) % 3)); }},
      {UndoKind::kUnits, kItemDimension,
       [u8](CDrawItem& i) { i.SetUnits(u8((i.GetUnits() + 1) % 6)); }},
      {UndoKind::kObjectNumber, kItemLine,
       [](CDrawItem& i) {
         i.SetObjectNumber(static_cast<std::int16_t>(i.GetObjectNumber() % 30000 + 1));
       }},
      {UndoKind::kEnd, kItemLine,
       [](CDrawItem& i) {
         int x = 0;
         int y = 0;
         i.GetEnd(x, y);
         i.SetEnd(x + 5, y + 6);
       }},
      {UndoKind::kHatchPattern, kItemFill, [](CDrawItem& i) { i.SetHatch(2, 0.5, 1.5); }},
      {UndoKind::kFillStyle, kItemFill,
       [](CDrawItem& i) { i.SetFillStyle((i.GetFillStyle() + 1) % 3); }},
      {UndoKind::kLineStyle, kItemLine,
       [u8](CDrawItem& i) { i.SetLineStyle(u8(i.GetLineStyle() % 6 + 1)); }},
      {UndoKind::kEllipseArcGeometry, kItemEllipseArc,
       [](CDrawItem& i) { i.MoveHandle(0, 100, 50); }},
      {UndoKind::kRadii, kItemEllipseArc,
       [](CDrawItem& i) {
         double rx = 0;
         double ry = 0;
         i.GetRadii(rx, ry);
         i.SetRadii(rx + 10.5, ry + 20.25);
       }},
      {UndoKind::kSemiAxes, kItemEllipse,
       [](CDrawItem& i) {
         int a = 0;
         int b = 0;
         i.GetSemiAxes(a, b);
         i.SetSemiAxes(a + 11, b + 12);
       }},
      {UndoKind::kRadius, kItemCircle, [](CDrawItem& i) { i.SetRadius(i.GetRadius() + 9); }},
      {UndoKind::kGroupNumber, kItemLine,
       [](CDrawItem& i) { i.SetGroupNumber(i.GetGroupNumber() + 1); }},
      {UndoKind::kTextParameter, kItemText,
       [](CDrawItem& i) { i.SetTextParameter(i.GetTextParameter() + 1.5); }},
      {UndoKind::kRotation, kItemEllipse,
       [](CDrawItem& i) { i.SetRotation(i.GetRotation() + 0.125); }},
      {UndoKind::kTextAngle, kItemText,
       [](CDrawItem& i) { i.SetTextAngle(i.GetTextAngle() + 0.5); }},
      {UndoKind::kTextString, kItemText,
       [](CDrawItem& i) { i.SetText(i.GetText() + QStringLiteral("x")); }},
      {UndoKind::kPenWidth, kItemLine,
       [](CDrawItem& i) { i.SetPenWidth(i.GetPenWidth() % 9 + 1); }},
      {UndoKind::kPosition, kItemText,
       [](CDrawItem& i) {
         int x = 0;
         int y = 0;
         i.GetPosition(x, y);
         i.SetPosition(x + 1, y + 2);
       }},
      {UndoKind::kFont, kItemText, font},
  };
}

// The plain value the kind's row keeps of the item, as the record would hold it.
std::string KeptValue(const UndoValueAccess& row, const CDrawItem& item) {
  UndoRecord probe;
  if (!row.keep(item, probe)) return "not kept";
  return std::to_string(probe.a) + " " + std::to_string(probe.b) + " " + Number(probe.d1) + " " +
         Number(probe.d2) + " " + probe.text.value_or(QStringLiteral("-")).toStdString();
}

TEST_F(UndoValuesTest, EveryKindOfTheTableComesBackWithUndoAndGoesAgainWithRedo) {
  std::set<int> covered;
  for (const ValueCase& c : Cases()) {
    SCOPED_TRACE(UndoKindNumber(c.kind));
    covered.insert(UndoKindNumber(c.kind));
    const UndoValueAccess* row = FindUndoValueAccess(c.kind);
    ASSERT_NE(row, nullptr);
    CZephDoc doc;
    CDrawItem* item = nullptr;
    // The first random item of the type that the drawing takes.
    for (unsigned seed = 1; item == nullptr && seed < 100; ++seed) {
      CRandomDrawing random(seed);
      DrawItemPtr made = random.Item(c.itemType);
      CDrawItem* raw = made.get();
      if (doc.AddItem(made) == 1) item = raw;
    }
    ASSERT_NE(item, nullptr);
    doc.FreeJournalRecords(0);
    const std::string before = DumpItem(item);
    const std::string keptBefore = KeptValue(*row, *item);

    c.change(*item);
    const std::string after = DumpItem(item);
    ASSERT_NE(after, before);
    const CUndoJournal& j = doc.GetJournal();
    ASSERT_EQ(j.undoCount, 1);
    EXPECT_EQ(j.records[0].Kind(), c.kind);
    EXPECT_EQ(j.top, UndoRecordSize(c.kind));

    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(DumpItem(item), before);
    if (row->exchange == nullptr) {
      EXPECT_EQ(KeptValue(*row, *item), keptBefore);
    }
    doc.Redo(nullptr, nullptr);
    EXPECT_EQ(DumpItem(item), after);
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(DumpItem(item), before);
  }
  // Every kind of the table has its case above and a record size, and no other kind is in
  // the table.
  for (int number = 0; number < 256; ++number) {
    const UndoKind kind = static_cast<UndoKind>(number);
    SCOPED_TRACE(number);
    const bool inTable = FindUndoValueAccess(kind) != nullptr;
    EXPECT_EQ(inTable, covered.count(number) == 1);
    EXPECT_EQ(IsItemValueKind(kind), inTable ? 1 : 0);
    if (inTable) {
      EXPECT_EQ(FindUndoValueAccess(kind)->kind, kind);
      EXPECT_GT(UndoRecordSize(kind), 5);
    }
  }
}

}  // namespace
