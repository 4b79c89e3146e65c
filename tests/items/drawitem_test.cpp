#include "items/drawitem.h"

#include <gtest/gtest.h>

#include <QString>
#include <new>
#include <set>
#include <tuple>
#include <type_traits>
#include <vector>

#include "fakedocument.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/item_fixture.h"
#include "items/lineitem.h"
#include "items/transform.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/screen.h"

namespace {

// A kind with nothing of its own: every virtual operation is the base body.
class CBareItem final : public CDrawItem {
 public:
  explicit CBareItem(int type = kItemFill) : CDrawItem(type) {}
  using CDrawItem::CacheIntersectionsWith;
  using CDrawItem::FindCachedIntersectionsWith;
};

std::unique_ptr<CLineItem> MakeLine(int x1, int y1, int x2, int y2) {
  auto line = std::make_unique<CLineItem>();
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(1);
  line->SetPenWidth(1);
  return line;
}

class DrawItemTest : public ItemFixture {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetIntersectionState();
    ResetItemGlobals();
    ResetGeometryGlobals();
    ResetScreenState();
    ResetPrinterState();
  }
};

// ---- Factory ----

TEST_F(DrawItemTest, FactoryMakesEveryBuiltKindBareAndRefusesOtherCodes) {
  DrawItemPtr line = CreateItem(kItemLine);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(g_glitchCount, 0);

  // Kinds arrive one by one; each is either made as described or refused with the glitch.
  for (int type = 0; type < kItemTypeCount; ++type) {
    ResetLogState();
    DrawItemPtr item = CreateItem(type);
    if (item) {
      EXPECT_EQ(item->GetType(), type);
      EXPECT_EQ(item->GetDocument(), nullptr) << type;
      EXPECT_EQ(item->GetGroupNumber(), 0) << type;
      EXPECT_EQ(item->IsStateClear(), 1) << type;
      EXPECT_EQ(item->GetUsedSegmentList(), nullptr) << type;
      EXPECT_EQ(g_glitchCount, 0) << type;
    } else {
      ExpectGlitch(2051, 1);
      EXPECT_EQ(g_firstGlitchValues[0], type);
    }
  }
  for (int type : {9, -1, 1000}) {
    ResetLogState();
    EXPECT_EQ(CreateItem(type), nullptr);
    ExpectGlitch(2051, 1);
    ASSERT_EQ(g_firstGlitchValueCount, 1);
    EXPECT_EQ(g_firstGlitchValues[0], type);
  }
}

// ---- Operations a kind does not support ----

// A default value of T that is never destroyed, so that owned types only declared here (a
// loop, a pattern) need no deleter.
template <typename T>
struct DefaultArg {
  alignas(T) unsigned char storage[sizeof(T)];
  DefaultArg() { new (storage) T(); }
  T& Get() { return *std::launder(reinterpret_cast<T*>(storage)); }
};

template <typename R, typename Item, typename... P>
R CallWithDefaults(Item& item, R (CDrawItem::*fn)(P...)) {
  std::tuple<DefaultArg<std::remove_cvref_t<P>>...> args;
  return std::apply([&](auto&... a) -> R { return (item.*fn)(static_cast<P>(a.Get())...); }, args);
}
template <typename R, typename Item, typename... P>
R CallWithDefaults(Item& item, R (CDrawItem::*fn)(P...) const) {
  std::tuple<DefaultArg<std::remove_cvref_t<P>>...> args;
  return std::apply([&](auto&... a) -> R { return (item.*fn)(static_cast<P>(a.Get())...); }, args);
}

template <typename R, typename Call, typename... A>
bool ReturnsNeutral(Call call, A&&... neutral) {
  if constexpr (std::is_void_v<R>) {
    call();
    return true;
  } else {
    const R got = call();
    return got == NeutralValue<R>(std::forward<A>(neutral)...);
  }
}

struct UnsupportedCase {
  const char* name;
  int glitch;
  int n;
  bool (*call)(CDrawItem& item);  // true when the result is the neutral one
};

#define ZEPH_TEST_CASE_STD(R, Name, Params, Quals, Glitch, N, ...)                             \
  {#Name, Glitch, N, [](CDrawItem& item) {                                                     \
     return ReturnsNeutral<R>(                                                                 \
         [&] { return CallWithDefaults(item, &CDrawItem::Name); } __VA_OPT__(, ) __VA_ARGS__); \
   }},
#define ZEPH_TEST_CASE_OWN(...)
#define ZEPH_TEST_CASE(R, Name, Params, Quals, Glitch, N, Body, ...) \
  ZEPH_TEST_CASE_##Body(R, Name, Params, Quals, Glitch, N, __VA_ARGS__)
const UnsupportedCase kUnsupportedCases[] = {ZEPH_ITEM_OPERATIONS(ZEPH_TEST_CASE)};
#undef ZEPH_TEST_CASE
#undef ZEPH_TEST_CASE_OWN
#undef ZEPH_TEST_CASE_STD

TEST_F(DrawItemTest, EveryUnsupportedOperationReportsItsOwnGlitchAndAnswersNeutrally) {
  CBareItem item;
  for (const UnsupportedCase& c : kUnsupportedCases) {
    ResetLogState();
    EXPECT_TRUE(c.call(item)) << c.name;
    if (c.glitch == 0) {
      EXPECT_EQ(g_glitchCount, 0) << c.name;
    } else {
      EXPECT_EQ(g_glitchCount, 1) << c.name;
      EXPECT_EQ(g_firstGlitchCode, c.glitch) << c.name;
      EXPECT_EQ(g_firstGlitchNumber, c.n) << c.name;
    }
  }
  // Numbers name operations: no two share one, and all lie in the base-operation range.
  std::set<int> seen;
  for (const ItemOperationInfo& info : kItemOperations) {
    if (info.glitch == 0) continue;
    EXPECT_TRUE(seen.insert(info.glitch).second) << info.name;
    EXPECT_GE(info.glitch, 10101) << info.name;
    EXPECT_LE(info.glitch, 10599) << info.name;
  }
  EXPECT_EQ(kItemOperations.size(), 143u);
}

TEST_F(DrawItemTest, UnsupportedOperationsKeepOutputsAndGiveTheirNeutralValues) {
  CBareItem item;
  int x = 7;
  int y = 8;
  item.GetStart(x, y);
  item.GetCentre(x, y);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
  double cx = 1.5;
  double cy = 2.5;
  double r = 3.5;
  item.GetCircle(cx, cy, r);
  EXPECT_EQ(cx, 1.5);
  EXPECT_EQ(r, 3.5);

  EXPECT_EQ(item.GetUnits(), 1);
  EXPECT_EQ(item.GetPenWidth(), 1);
  EXPECT_EQ(item.GetTextTag(), -1);
  EXPECT_EQ(item.GetParameterAt(0, 0), -1.0);
  EXPECT_EQ(item.GetEndAt(0, 0, 5), -1);
  EXPECT_EQ(item.GetTravel(0, 0, 0, 0, 0), std::numeric_limits<double>::max());
  EXPECT_EQ(item.GetPickDistance(nullptr), std::numeric_limits<double>::max());
  EXPECT_EQ(item.IsEndReachedGoing(0, 0, 0), 1);
  EXPECT_EQ(item.GetFont(), &g_textFont);
  EXPECT_EQ(item.GetCharIndexAtCursor(nullptr), -1);
  EXPECT_TRUE(item.GetText().isEmpty());
  EXPECT_EQ(item.CreatePiece(0), nullptr);

  ResetLogState();
  EXPECT_EQ(item.FindSelfIntersection(x, y), 0);
  ExpectGlitch(10302, 0);

  // Operations every kind may meet quietly.
  ResetLogState();
  item.Recalculate();
  item.CommitEndMoves();
  item.RestoreEnds();
  item.Normalise();
  EXPECT_EQ(item.IsHatched(), 0);
  EXPECT_EQ(item.IsCurve(), 0);
  EXPECT_EQ(item.GetDistanceTo(0, 0), std::numeric_limits<double>::max());
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(DrawItemTest, UnsupportedOperationsThatAnswerWithTheirArgument) {
  CBareItem item;
  struct Case {
    const char* name;
    int glitch;
    int (*call)(CBareItem& item);
    int expected;
  };
  const Case cases[] = {
      {"GetCurveWayAt", 10105, [](CBareItem& i) { return i.GetCurveWayAt(1, 2, 3); }, 3},
      {"GetTurnAt", 10114, [](CBareItem& i) { return i.GetTurnAt(1, 2, 0); }, 0},
      {"GetDirectionAt", 10312, [](CBareItem& i) { return i.GetDirectionAt(1, 2, 5); }, 5},
      {"EditKey", 10123,
       [](CBareItem& i) {
         std::int16_t outcome = 9;
         const int used = i.EditKey(nullptr, nullptr, 13, 1, outcome);
         return used * 100 + outcome;
       },
       0},
  };
  for (const Case& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.call(item), c.expected) << c.name;
    ExpectGlitch(c.glitch, 1);
  }

  ResetLogState();
  CSlope slope(1.0, 2.0);
  EXPECT_EQ(&item.GetTangentAt(slope, 0, 0), &slope);
  EXPECT_EQ(slope.GetState(), kSlopeUnset);
  ExpectGlitch(10109, 1);
}

// ---- Serial numbers and the intersection cache ----

TEST_F(DrawItemTest, SerialNumbersAreNeverReused) {
  auto b = MakeLine(0, 0, 10, 10);
  CIntersectionCacheList cache;
  ASSERT_EQ(EnsureIntersectionCapacity(1), 1);
  g_intersectX[0] = 5;
  g_intersectY[0] = 5;
  ItemSerial last = b->GetSerial();
  for (int i = 0; i < 20; ++i) {
    // An answer kept for an item that is then deleted without telling anyone...
    auto a = std::make_unique<CBareItem>(kItemLine);
    EXPECT_GT(a->GetSerial(), last);
    last = a->GetSerial();
    cache.Add(1, a->GetSerial(), b->GetSerial());
    a.reset();
    // ...is never found for a new item, even one that gets the same address.
    auto fresh = std::make_unique<CBareItem>(kItemLine);
    EXPECT_EQ(cache.Find(fresh->GetSerial(), b->GetSerial()), -1);
    last = fresh->GetSerial();
  }
}

class CachedPairTest : public DrawItemTest {
 protected:
  void SetUp() override {
    DrawItemTest::SetUp();
    a = MakeLine(0, 0, 100, 100);
    b = MakeLine(0, 100, 100, 0);
    a->SetDocument(&doc);
    b->SetDocument(&doc);
    ASSERT_EQ(EnsureIntersectionCapacity(1), 1);
    g_intersectX[0] = 50;
    g_intersectY[0] = 50;
    doc.CacheIntersections(1, a.get(), b.get());
    ASSERT_EQ(doc.FindCachedIntersections(b.get(), a.get()), 1);
    doc.ClearLog();
  }
  bool IsCached() { return doc.FindCachedIntersections(a.get(), b.get()) >= 0; }

  CFakeDocument doc;
  std::unique_ptr<CLineItem> a;
  std::unique_ptr<CLineItem> b;
};

TEST_F(CachedPairTest, EveryChangeOfGeometryDropsTheCachedAnswers) {
  struct Case {
    const char* name;
    void (*change)(CLineItem& line, CLineItem& other);
  };
  const Case cases[] = {
      {"SetStart", [](CLineItem& l, CLineItem&) { l.SetStart(1, 0); }},
      {"SetEnd", [](CLineItem& l, CLineItem&) { l.SetEnd(100, 99); }},
      {"SetHandle", [](CLineItem& l, CLineItem&) { l.SetHandle(1, 90, 90); }},
      {"MoveBy", [](CLineItem& l, CLineItem&) { l.MoveBy(3, 0); }},
      {"MoveHandle", [](CLineItem& l, CLineItem&) { l.MoveHandle(0, 0, -5); }},
      {"Transform",
       [](CLineItem& l, CLineItem&) {
         CTransform t;
         t.SetRotation(90.0, 0, 0);
         l.Transform(t);
       }},
      {"MoveEndTemporarily", [](CLineItem& l, CLineItem&) { l.MoveEndTemporarily(1, 50, 50); }},
      {"MergeOverlap", [](CLineItem& l, CLineItem& o) { l.MergeOverlap(&o); }},
      {"CopyFrom", [](CLineItem& l, CLineItem& o) { l.CopyFrom(&o); }},
      {"SetDocument", [](CLineItem& l, CLineItem&) { l.SetDocument(nullptr); }},
  };
  for (const Case& c : cases) {
    SetUp();
    auto other = MakeLine(0, 0, 300, 300);
    c.change(*a, *other);
    EXPECT_FALSE(IsCached()) << c.name;
  }

  SetUp();
  a->MoveEndTemporarily(0, 10, 10);
  ASSERT_EQ(EnsureIntersectionCapacity(1), 1);
  doc.CacheIntersections(1, a.get(), b.get());
  ASSERT_TRUE(IsCached());
  a->RestoreEnds();
  EXPECT_FALSE(IsCached()) << "RestoreEnds";

  SetUp();
  a.reset();
  EXPECT_EQ(doc.cache.GetEntryCount(), 0) << "destructor";
}

TEST_F(CachedPairTest, ChangesOfOtherPropertiesKeepTheCachedAnswers) {
  a->SetColour(0x123456);
  a->SetObjectNumber(3);
  a->SetGroupNumber(4);
  a->SetLineStyle(2);
  a->SetPenWidth(5);
  a->CommitEndMoves();
  a->SetStart(0, 0);  // the same point: no change
  EXPECT_TRUE(IsCached());
  EXPECT_EQ(doc.drops.size(), 0u);

  doc.recordAnswer = kUndoRefused;
  a->SetStart(1, 1);
  a->MoveBy(5, 5);
  EXPECT_TRUE(IsCached());
}

TEST_F(DrawItemTest, OnlyPairsInsideOneDocumentAreCached) {
  CFakeDocument doc;
  CFakeDocument otherDoc;
  CBareItem a(kItemBezier);
  CBareItem b(kItemBezier);
  CBareItem outside(kItemBezier);
  CBareItem elsewhere(kItemBezier);
  a.SetDocument(&doc);
  b.SetDocument(&doc);
  elsewhere.SetDocument(&otherDoc);
  ASSERT_EQ(EnsureIntersectionCapacity(2), 1);
  g_intersectX[0] = 1;
  g_intersectY[0] = 2;

  a.CacheIntersectionsWith(1, &outside);
  a.CacheIntersectionsWith(1, &elsewhere);
  outside.CacheIntersectionsWith(1, &a);
  EXPECT_EQ(doc.cache.GetEntryCount(), 0);
  EXPECT_EQ(otherDoc.cache.GetEntryCount(), 0);
  EXPECT_EQ(a.FindCachedIntersectionsWith(&outside), -1);

  a.CacheIntersectionsWith(1, &b);
  EXPECT_EQ(doc.cache.GetEntryCount(), 1);
  g_intersectX[0] = 0;
  EXPECT_EQ(b.FindCachedIntersectionsWith(&a), 1);
  EXPECT_EQ(g_intersectX[0], 1);
  EXPECT_EQ(g_intersectY[0], 2);
}

// ---- The setter convention ----

struct SetterCase {
  const char* name;
  void (*change)(CLineItem& line);
  UndoKind kind;
  bool geometric;
  bool (*changed)(const CLineItem& line);
};

int StartX(const CLineItem& l) {
  int x = 0;
  int y = 0;
  l.GetStart(x, y);
  return x;
}
int EndY(const CLineItem& l) {
  int x = 0;
  int y = 0;
  l.GetEnd(x, y);
  return y;
}

const SetterCase kSetterCases[] = {
    {"SetColour", [](CLineItem& l) { l.SetColour(0xFF); }, UndoKind::kColour, false,
     [](const CLineItem& l) { return l.GetColour() == 0xFF; }},
    {"SetObjectNumber", [](CLineItem& l) { l.SetObjectNumber(12); }, UndoKind::kObjectNumber, false,
     [](const CLineItem& l) { return l.GetObjectNumber() == 12; }},
    {"SetGroupNumber", [](CLineItem& l) { l.SetGroupNumber(77); }, UndoKind::kGroupNumber, false,
     [](const CLineItem& l) { return l.GetGroupNumber() == 77; }},
    {"SetLineStyle", [](CLineItem& l) { l.SetLineStyle(4); }, UndoKind::kLineStyle, false,
     [](const CLineItem& l) { return l.GetLineStyle() == 4; }},
    {"SetPenWidth", [](CLineItem& l) { l.SetPenWidth(6); }, UndoKind::kPenWidth, false,
     [](const CLineItem& l) { return l.GetPenWidth() == 6; }},
    {"SetStart", [](CLineItem& l) { l.SetStart(-5, 0); }, UndoKind::kStart, true,
     [](const CLineItem& l) { return StartX(l) == -5; }},
    {"SetEnd", [](CLineItem& l) { l.SetEnd(100, 7); }, UndoKind::kEnd, true,
     [](const CLineItem& l) { return EndY(l) == 7; }},
    {"SetHandle 0", [](CLineItem& l) { l.SetHandle(0, -5, 0); }, UndoKind::kStart, true,
     [](const CLineItem& l) { return StartX(l) == -5; }},
    {"MoveHandle 1", [](CLineItem& l) { l.MoveHandle(1, 0, 7); }, UndoKind::kEnd, true,
     [](const CLineItem& l) { return EndY(l) == 7; }},
    {"MoveBy", [](CLineItem& l) { l.MoveBy(-5, 7); }, UndoKind::kMove, true,
     [](const CLineItem& l) { return StartX(l) == -5 && EndY(l) == 7; }},
};

TEST_F(DrawItemTest, SettersRecordUndoMarkTheDocumentAndDropGeometryOnly) {
  for (const SetterCase& c : kSetterCases) {
    CFakeDocument doc;
    auto line = MakeLine(0, 0, 100, 0);
    line->SetDocument(&doc);
    c.change(*line);
    EXPECT_TRUE(c.changed(*line)) << c.name;
    ASSERT_EQ(doc.records.size(), 1u) << c.name;
    EXPECT_EQ(doc.records[0].kind, c.kind) << c.name;
    EXPECT_EQ(doc.records[0].item, line.get()) << c.name;
    EXPECT_EQ(doc.changedCount, 1) << c.name;
    EXPECT_EQ(doc.DropsOf(*line), c.geometric ? 1 : 0) << c.name;
    if (c.kind == UndoKind::kMove) {
      EXPECT_EQ(doc.records[0].dx, -5);
      EXPECT_EQ(doc.records[0].dy, 7);
    }
  }
}

TEST_F(DrawItemTest, ARefusedUndoStepAbandonsTheChange) {
  for (const SetterCase& c : kSetterCases) {
    CFakeDocument doc;
    doc.recordAnswer = kUndoRefused;
    auto line = MakeLine(0, 0, 100, 0);
    line->SetDocument(&doc);
    c.change(*line);
    EXPECT_FALSE(c.changed(*line)) << c.name;
    EXPECT_EQ(doc.changedCount, 0) << c.name;
    EXPECT_EQ(doc.DropsOf(*line), 0) << c.name;
  }
  CFakeDocument doc;
  doc.recordAnswer = kUndoRefused;
  auto line = MakeLine(0, 0, 100, 0);
  line->SetDocument(&doc);
  EXPECT_EQ(line->SetObjectNumber(12), -1);
  EXPECT_EQ(line->SetLineStyle(3), -1);
  EXPECT_EQ(line->GetLineStyle(), 1);
}

TEST_F(DrawItemTest, UnrecordedChangesStillGoAhead) {
  // 0: recording off, or old records dropped to make room: the change is made unrecorded.
  for (const SetterCase& c : kSetterCases) {
    CFakeDocument doc;
    doc.recordAnswer = 0;
    auto line = MakeLine(0, 0, 100, 0);
    line->SetDocument(&doc);
    c.change(*line);
    EXPECT_TRUE(c.changed(*line)) << c.name;
    EXPECT_EQ(doc.changedCount, 1) << c.name;
  }
}

TEST_F(DrawItemTest, AnUnchangedValueDoesNothing) {
  CFakeDocument doc;
  auto line = MakeLine(0, 0, 100, 0);
  line->SetColour(0x00FF00);
  line->SetObjectNumber(4);
  line->SetDocument(&doc);
  line->SetColour(0x00FF00);
  EXPECT_EQ(line->SetObjectNumber(4), 4);
  line->SetGroupNumber(0);
  line->SetStart(0, 0);
  line->SetEnd(100, 0);
  line->SetLineStyle(1);
  line->SetPenWidth(1);
  line->MoveBy(0, 0);
  line->MoveHandle(1, 0, 0);
  EXPECT_TRUE(doc.records.empty());
  EXPECT_EQ(doc.changedCount, 0);
  EXPECT_TRUE(doc.drops.empty());
}

TEST_F(DrawItemTest, AnItemWithoutDocumentChangesWithoutTellingAnyone) {
  auto line = MakeLine(0, 0, 100, 0);
  line->SetColour(5);
  line->MoveBy(1, 1);
  EXPECT_EQ(line->GetColour(), 5);
  EXPECT_EQ(StartX(*line), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(DrawItemTest, PenWidthKeepsTheLowByteWithinOneToNine) {
  const struct {
    int given;
    int stored;
  } cases[] = {{0, 1}, {1, 1}, {9, 9}, {12, 9}, {256, 1}, {257, 1}, {-1, 9}, {0x105, 5}};
  for (const auto& c : cases) {
    auto line = MakeLine(0, 0, 1, 1);
    line->SetPenWidth(c.given);
    EXPECT_EQ(line->GetPenWidth(), c.stored) << c.given;
  }
}

// ---- State bits, selection by rectangle, attributes ----

TEST_F(DrawItemTest, StateBitsAreIndependent) {
  CBareItem item;
  item.SetHidden();
  item.Select();
  item.SetUndoMark();
  EXPECT_EQ(item.GetState(), 0x43);
  item.SetSelected(0);
  EXPECT_EQ(item.IsSelected(), 0);
  EXPECT_EQ(item.IsHidden(), 1);
  EXPECT_EQ(item.HasUndoMark(), 1);
  item.SetInvisible();
  EXPECT_EQ(item.IsInvisible(), 1);
  item.ClearUndoMark();
  item.ClearHidden();
  item.ClearInvisible();
  EXPECT_EQ(item.IsStateClear(), 1);
  item.SetSelected(5);
  EXPECT_EQ(item.GetState(), kStateSelected);
}

TEST_F(DrawItemTest, RectangleSelectionCountsTouchingEdgesAsInside) {
  CViewMapping mapping;
  mapping.originX = 0;
  mapping.originY = 1000;
  mapping.scaleX = 10;
  mapping.scaleY = 10;
  const zeph::DcRect rect{0, 0, 100, 100};  // drawing x 0..1000, y 0..1000
  EXPECT_EQ(MakeLine(0, 0, 1000, 1000)->IsInRect(rect, &mapping), 1);
  EXPECT_EQ(MakeLine(10, 10, 500, 20)->IsInRect(rect, &mapping), 1);
  EXPECT_EQ(MakeLine(-1, 0, 1000, 1000)->IsInRect(rect, &mapping), 0);
  EXPECT_EQ(MakeLine(0, 0, 1000, 1001)->IsInRect(rect, &mapping), 0);
  EXPECT_EQ(MakeLine(0, 0, 1000, 1000)->IsInRect(rect, nullptr), 0);
}

TEST_F(DrawItemTest, BaseAttributesCopyWithGroupsMappedByTheSourceDocument) {
  CFakeDocument doc;
  doc.remapGroups = true;
  auto source = MakeLine(0, 0, 1, 1);
  source->SetColour(0x0000FF);
  source->SetObjectNumber(30001);
  source->SetGroupNumber(12);
  source->Select();
  source->SetDocument(&doc);

  CBareItem copy;
  CBareItem again;
  copy.CopyBaseAttributes(source.get());
  again.CopyBaseAttributes(source.get());
  EXPECT_EQ(copy.GetColour(), 0x0000FF);
  EXPECT_EQ(copy.GetObjectNumber(), 30001);
  EXPECT_EQ(copy.GetGroupNumber(), 5000);
  EXPECT_EQ(again.GetGroupNumber(), 5000);  // the same fresh number for the same old one
  EXPECT_EQ(copy.IsStateClear(), 1);
  EXPECT_EQ(copy.GetDocument(), nullptr);
  EXPECT_TRUE(doc.records.empty());

  source->SetDocument(nullptr);
  CBareItem plain;
  plain.CopyBaseAttributes(source.get());
  EXPECT_EQ(plain.GetGroupNumber(), 12);
}

// ---- Colours and pens ----

TEST_F(DrawItemTest, DrawColourModes) {
  const int item = 0x00123456;
  EXPECT_EQ(ResolveDrawColour(kDrawOwnColour, item), item);
  EXPECT_EQ(ResolveDrawColour(kDrawHighlight, item), static_cast<int>(g_highlightColour));
  EXPECT_EQ(ResolveDrawColour(kDrawXor, item),
            static_cast<int>(static_cast<std::uint32_t>(item) ^ g_backgroundColour));
  EXPECT_EQ(ResolveDrawColour(0x00FF0000, item), 0x00FF0000);
  EXPECT_EQ(ResolveDrawColour(0, item), 0);
  EXPECT_EQ(ResolveDrawColour(-3, item), -3);
}

TEST_F(DrawItemTest, PrinterFactorsWidenPensOnlyWhenPrinting) {
  g_printerCount = 1;
  g_currentPrinter = 0;
  g_printerLineThickness[0] = 3;
  g_printerArcThickness[0] = 4;
  EXPECT_EQ(GetDevicePenWidth(2, 0), 2);
  EXPECT_EQ(GetDevicePenWidth(2, 1), 6);
  EXPECT_EQ(GetDeviceArcPenWidth(2, 0), 2);
  EXPECT_EQ(GetDeviceArcPenWidth(2, 1), 8);
}

// ---- Split points ----

TEST_F(DrawItemTest, SplitPointsCarryTheirParameterAlongTheItem) {
  auto line = MakeLine(0, 0, 100, 0);
  auto across = MakeLine(25, -10, 25, 10);
  auto apart = MakeLine(500, -10, 500, 10);
  EXPECT_EQ(line->AddSplitPoints(apart.get()), 1);
  EXPECT_EQ(g_splitCount, 0);
  EXPECT_EQ(line->AddSplitPoints(across.get()), 1);
  ASSERT_EQ(g_splitCount, 1);
  EXPECT_EQ(g_splitX[0], 25);
  EXPECT_EQ(g_splitY[0], 0);
  EXPECT_DOUBLE_EQ(g_splitParam[0], 0.25);
}

}  // namespace
