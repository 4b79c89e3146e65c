#include "items/lineitem.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <cmath>

#include "fakedocument.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/item_fixture.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/sysinfo.h"

static void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

struct Ends {
  int x1;
  int y1;
  int x2;
  int y2;
};

std::unique_ptr<CLineItem> MakeLine(const Ends& e, std::uint8_t style = 1, int pen = 1) {
  auto line = std::make_unique<CLineItem>();
  line->SetStart(e.x1, e.y1);
  line->SetEnd(e.x2, e.y2);
  line->SetLineStyle(style);
  line->SetPenWidth(pen);
  return line;
}

Ends EndsOf(const CLineItem& line) {
  Ends e{};
  line.GetStart(e.x1, e.y1);
  line.GetEnd(e.x2, e.y2);
  return e;
}

void ExpectEnds(const CLineItem& line, const Ends& expected, const char* name = "") {
  const Ends e = EndsOf(line);
  EXPECT_EQ(e.x1, expected.x1) << name;
  EXPECT_EQ(e.y1, expected.y1) << name;
  EXPECT_EQ(e.x2, expected.x2) << name;
  EXPECT_EQ(e.y2, expected.y2) << name;
}

class LineItemTest : public ItemFixture {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetIntersectionState();
    ResetItemGlobals();
    ResetGeometryGlobals();
    ResetViewGlobals();
    ResetScreenState();
    ResetPrinterState();
  }
};

// ---- Shape and validity ----

TEST_F(LineItemTest, Validity) {
  const struct {
    const char* name;
    Ends ends;
    int style;
    int valid;
  } cases[] = {
      {"ordinary", {0, 0, 100, 50}, 1, 1},
      {"every style", {0, 0, 100, 50}, 6, 1},
      {"style 0", {0, 0, 100, 50}, 0, 0},
      {"style 7", {0, 0, 100, 50}, 7, 0},
      {"a single point", {5, 5, 5, 5}, 1, 0},
      {"at the limits", {-50000000, -30000000, 50000000, 30000000}, 1, 1},
      {"x past the limit", {-50000001, 0, 0, 0}, 1, 0},
      {"y past the limit", {0, 0, 10, 30000001}, 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeLine(c.ends, static_cast<std::uint8_t>(c.style))->IsValid(), c.valid) << c.name;
  }
}

TEST_F(LineItemTest, TangentPointsIntoAVerticalLineAtItsEnd) {
  auto line = MakeLine({0, 0, 0, 1000});
  CSlope slope;
  double dy = 0;
  double dx = 0;
  line->GetTangentAt(slope, 0, 1000).Get(dy, dx);
  EXPECT_EQ(dy, -1000.0);
  EXPECT_EQ(dx, 0.0);
  line->GetTangentAt(slope, 0, 500).Get(dy, dx);
  EXPECT_EQ(dy, 1000.0);
  MakeLine({100, 0, 0, 50})->GetTangentAt(slope, 0, 0).Get(dy, dx);
  EXPECT_EQ(dy, -50.0);  // kept with dx >= 0
  EXPECT_EQ(dx, 100.0);
}

TEST_F(LineItemTest, ParameterAlongTheLine) {
  auto line = MakeLine({0, 0, 1000, 0});
  EXPECT_EQ(line->GetParameterAt(0, 0), 0.0);
  EXPECT_EQ(line->GetParameterAt(1000, 0), 1.0);
  EXPECT_EQ(line->GetParameterAt(250, 999), 0.25);  // only x counts
  EXPECT_EQ(line->GetParameterAt(2000, 0), 2.0);
  EXPECT_EQ(MakeLine({0, 100, 0, 300})->GetParameterAt(7, 150), 0.25);
  EXPECT_EQ(MakeLine({5, 5, 5, 5})->GetParameterAt(1, 1), -1.0);
}

TEST_F(LineItemTest, DirectionsAlongTheLine) {
  auto line = MakeLine({0, 0, 100, 100});
  EXPECT_EQ(line->GetDirectionCode(0, 0, 10, 10), kDirectionUp);
  EXPECT_EQ(line->GetDirectionCode(10, 10, 0, 0), kDirectionDown);
  EXPECT_EQ(line->GetDirectionCode(0, 5, 10, 5), kDirectionRight);
  EXPECT_EQ(line->GetDirectionCode(10, 5, 0, 5), kDirectionLeft);

  const struct {
    Ends ends;
    int end0;
    int end1;
  } cases[] = {
      {{0, 0, 10, 10}, kDirectionUp, kDirectionDown},
      {{0, 10, 10, 0}, kDirectionDown, kDirectionUp},
      {{0, 0, 10, 0}, kDirectionRight, kDirectionLeft},
      {{10, 0, 0, 0}, kDirectionLeft, kDirectionRight},
  };
  for (const auto& c : cases) {
    auto l = MakeLine(c.ends);
    EXPECT_EQ(l->GetEndDirection(0), c.end0);
    EXPECT_EQ(l->GetEndDirection(1), c.end1);
  }
  EXPECT_EQ(line->GetEndDirection(2), 0);
  ExpectGlitch(1891, 1);
}

TEST_F(LineItemTest, TravelAlongALinearDirection) {
  auto line = MakeLine({0, 0, 100, 0});
  const struct {
    int toX, toY, fromX, fromY, direction;
    double travel;
  } cases[] = {
      {0, 10, 0, 0, kDirectionUp, 10.0},    {0, -10, 0, 0, kDirectionUp, -1.0},
      {0, -10, 0, 0, kDirectionDown, 10.0}, {0, 0, 0, 0, kDirectionDown, 0.0},
      {-3, 4, 0, 0, kDirectionLeft, 5.0},   {3, 4, 0, 0, kDirectionLeft, -1.0},
      {3, 4, 0, 0, kDirectionRight, 5.0},   {-3, 0, 0, 0, kDirectionRight, -1.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line->GetTravel(c.toX, c.toY, c.fromX, c.fromY, c.direction), c.travel);
  }
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(line->GetTravel(1, 1, 0, 0, kDirectionClockwise), -1.0);
  ExpectGlitch(1883, 1);
}

TEST_F(LineItemTest, EndReachedGoing) {
  auto line = MakeLine({0, 0, 100, 50});
  EXPECT_EQ(line->IsEndReachedGoing(100, 50, kDirectionUp), 1);
  EXPECT_EQ(line->IsEndReachedGoing(100, 50, kDirectionRight), 1);
  EXPECT_EQ(line->IsEndReachedGoing(100, 50, kDirectionDown), 0);
  EXPECT_EQ(line->IsEndReachedGoing(0, 0, kDirectionDown), 1);
  EXPECT_EQ(line->IsEndReachedGoing(0, 0, kDirectionLeft), 1);
  EXPECT_EQ(line->IsEndReachedGoing(0, 0, kDirectionRight), 0);
  EXPECT_EQ(line->IsEndReachedGoing(50, 25, kDirectionUp), 0);  // not an end
  EXPECT_EQ(g_glitchCount, 0);

  // A line has no rotational sense: the base glitch, then the bad direction.
  EXPECT_EQ(line->IsEndReachedGoing(0, 0, kDirectionClockwise), 0);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(g_firstGlitchCode, 10312);
  ResetLogState();
  EXPECT_EQ(line->IsEndReachedGoing(0, 0, kDirectionAlongCurve), 0);
  ExpectGlitch(1886, 1);
}

TEST_F(LineItemTest, ProjectsPointsOntoTheInfiniteLine) {
  int x = 100;
  int y = 0;
  MakeLine({0, 0, 100, 100})->ProjectPoint(x, y);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 50);
  x = 300;
  y = 7;
  MakeLine({0, 0, 100, 0})->ProjectPoint(x, y);  // beyond the end
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 0);
  x = 3;
  y = 4;
  MakeLine({5, 5, 5, 5})->ProjectPoint(x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
}

// ---- Picking and grips ----

TEST_F(LineItemTest, PickingMeasuresFromTheCursorToTheSegment) {
  auto line = MakeLine({0, 0, 1000, 0});
  g_cursorPoint = {500, 30};
  EXPECT_EQ(line->GetPickDistance(nullptr), 30.0);
  g_cursorPoint = {1003, 4};
  EXPECT_EQ(line->GetPickDistance(nullptr), 5.0);  // past the end: to the end
  EXPECT_EQ(line->GetDistanceTo(-6, -8), 10.0);
}

TEST_F(LineItemTest, EndAtTolerancePrefersTheStart) {
  auto line = MakeLine({0, 0, 10, 0});
  EXPECT_EQ(line->GetEndAt(5, 0, 5), 0);  // equally near both, within both
  EXPECT_EQ(line->GetEndAt(1, 1, 2), 0);
  EXPECT_EQ(line->GetEndAt(9, 1, 2), 1);
  EXPECT_EQ(line->GetEndAt(8, 1, 2), -1);
  EXPECT_EQ(line->GetEndAt(10, 0, 0), 1);
  EXPECT_EQ(MakeLine({-50000000, 0, 50000000, 0})->GetEndAt(50000000, -30000000, 32767), -1);
}

TEST_F(LineItemTest, GripsAreTheTwoEnds) {
  auto line = MakeLine({1, 2, 3, 4});
  EXPECT_EQ(line->GetHandleCount(), 2);
  EXPECT_EQ(line->GetHandleX(0), 1);
  EXPECT_EQ(line->GetHandleY(0), 2);
  EXPECT_EQ(line->GetHandleX(1), 3);
  EXPECT_EQ(line->GetHandleY(1), 4);

  line->MoveHandle(1, 10, -4);
  ExpectEnds(*line, {1, 2, 13, 0});
  line->SetHandle(0, -7, -8);
  ExpectEnds(*line, {-7, -8, 13, 0});
  line->MoveHandle(0x10000, 1, 1);  // handles are 16-bit: this is the start
  ExpectEnds(*line, {-6, -7, 13, 0});
  EXPECT_EQ(g_glitchCount, 0);

  const struct {
    const char* name;
    int glitch;
    void (*call)(CLineItem& line);
  } bad[] = {
      {"GetHandleX", 1892, [](CLineItem& l) { EXPECT_EQ(l.GetHandleX(2), 0); }},
      {"GetHandleY", 1893, [](CLineItem& l) { EXPECT_EQ(l.GetHandleY(-1), 0); }},
      {"SetHandle", 1890, [](CLineItem& l) { l.SetHandle(2, 0, 0); }},
  };
  for (const auto& c : bad) {
    ResetLogState();
    c.call(*line);
    ExpectGlitch(c.glitch, 1, c.name);
  }
  ExpectEnds(*line, {-6, -7, 13, 0});
}

TEST_F(LineItemTest, RightmostPointStepsBackPastUsedPieces) {
  int x = 0;
  int y = 0;
  MakeLine({0, 0, 10, 5})->GetRightmostPoint(x, y);
  EXPECT_EQ(x, 10);
  MakeLine({10, 5, 0, 0})->GetRightmostPoint(x, y);
  EXPECT_EQ(x, 10);
  MakeLine({3, 9, 3, 1})->GetRightmostPoint(x, y);
  EXPECT_EQ(y, 9);

  auto line = MakeLine({0, 0, 10, 0});
  line->MarkUsed(6, 0, 10, 0, 101);
  line->MarkUsed(2, 0, 6, 0, 100);
  line->GetRightmostPoint(x, y);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 0);
}

TEST_F(LineItemTest, BoundingBoxAndScanLine) {
  auto line = MakeLine({100, -50, -20, 70});
  line->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, -20);
  EXPECT_EQ(g_itemBounds.minY, -50);
  EXPECT_EQ(g_itemBounds.maxX, 100);
  EXPECT_EQ(g_itemBounds.maxY, 70);

  EXPECT_EQ(MakeLine({0, 0, 100, 100})->IntersectScanLine(25), 1);
  EXPECT_EQ(g_intersectX[0], 25);
  EXPECT_EQ(MakeLine({0, 0, 100, 100})->IntersectScanLine(101), 0);
  auto flat = MakeLine({40, 7, 90, 7});
  EXPECT_EQ(flat->IntersectScanLine(7), 1);
  EXPECT_EQ(g_intersectX[0], 40);
  EXPECT_EQ(flat->IntersectScanLine(8), 0);
  EXPECT_EQ(MakeLine({0, 0, 3, 2})->IntersectScanLine(1), 1);
  EXPECT_EQ(g_intersectX[0], 2);  // 1.5 rounds away from zero
}

TEST_F(LineItemTest, SegmentCrossingsSnapToNearEnds) {
  auto line = MakeLine({0, 0, 10000, 0});
  const struct {
    const char* name;
    Ends other;
    int count;
    int x;
  } cases[] = {
      {"399 from the start snaps", {399, -5, 399, 5}, 1, 0},
      {"400 from the start stays", {400, -5, 400, 5}, 1, 400},
      {"399 from the end snaps", {9601, 5, 9601, 20}, 1, 10000},
      {"the other segment's extent plays no part", {5000, 100, 5000, 200}, 1, 5000},
      {"beyond the end", {10200, -5, 10200, 5}, 0, 0},
      {"parallel", {0, 5, 100, 5}, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line->IntersectSegment(c.other.x1, c.other.y1, c.other.x2, c.other.y2), c.count)
        << c.name;
    if (c.count == 1) {
      EXPECT_EQ(g_intersectX[0], c.x) << c.name;
      EXPECT_EQ(g_intersectY[0], 0) << c.name;
    }
  }
}

// ---- Duplicates and overlaps of the fill search ----

TEST_F(LineItemTest, CompareFindsDuplicatesAndOverlaps) {
  auto line = MakeLine({0, 0, 100, 0});
  const struct {
    const char* name;
    Ends other;
    int result;
  } cases[] = {
      {"touching only", {100, 0, 200, 0}, 0},
      {"partial overlap", {50, 0, 150, 0}, -1},
      {"other within", {20, 0, 80, 0}, 2},
      {"other covers", {-10, 0, 110, 0}, 3},
      {"reversed", {100, 0, 0, 0}, 1},
      {"from the start, not strictly inside", {0, 0, 60, 0}, -1},
      {"reaching back over it", {150, 0, -50, 0}, 3},
      {"beyond", {150, 0, 250, 0}, 0},
      {"parallel", {0, 1, 100, 1}, 0},
      {"crossing", {50, -50, 50, 50}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line->Compare(MakeLine(c.other).get()), c.result) << c.name;
  }
  auto vertical = MakeLine({0, 0, 0, 100});
  EXPECT_EQ(vertical->Compare(MakeLine({0, 20, 0, 80}).get()), 2);
  EXPECT_EQ(vertical->Compare(MakeLine({1, 20, 1, 80}).get()), 0);
  auto slanted = MakeLine({0, 0, 300, 100});
  EXPECT_EQ(slanted->Compare(MakeLine({30, 10, 150, 50}).get()), 2);
  EXPECT_EQ(slanted->Compare(MakeLine({30, 12, 150, 50}).get()), 0);
}

TEST_F(LineItemTest, SameRatioWithTolerance) {
  EXPECT_EQ(IsSameRatio(100, 50, 100, 50), 1);
  EXPECT_EQ(IsSameRatio(0, 5, 0, 7), 1);
  EXPECT_EQ(IsSameRatio(0, 5, 3, 7), 0);
  EXPECT_EQ(IsSameRatio(3, 5, 0, 7), 0);
  EXPECT_EQ(IsSameRatio(-100, -50, -100, -50), 1);
  EXPECT_EQ(IsSameRatio(100, -50, 100, 50), 0);  // opposite signs
  EXPECT_EQ(IsSameRatio(100, 50, 101, 50), 1);   // within half the largest operand
  EXPECT_EQ(IsSameRatio(100, 50, 103, 50), 0);
  EXPECT_EQ(IsSameRatio(2000000000, 2000000000, 2000000000, 2000000000), 1);
}

TEST_F(LineItemTest, TemporaryEndMovesComeBack) {
  CFakeDocument doc;
  auto line = MakeLine({0, 0, 100, 0});
  line->MergeOverlap(MakeLine({50, 0, 150, 0}).get());
  ExpectEnds(*line, {0, 0, 150, 0});
  EXPECT_EQ(line->GetTemporaryMoveFlags(), 2);
  line->RestoreEnds();
  ExpectEnds(*line, {0, 0, 100, 0});
  EXPECT_EQ(line->GetTemporaryMoveFlags(), 0);

  // The first saved value is kept over later moves of the same end.
  line->MoveEndTemporarily(0, 10, 0);
  line->MoveEndTemporarily(0, 20, 0);
  line->MoveEndTemporarily(5, 99, 99);  // no such end
  ExpectEnds(*line, {20, 0, 100, 0});
  line->RestoreEnds();
  ExpectEnds(*line, {0, 0, 100, 0});

  line->MoveEndTemporarily(1, 70, 0);
  line->CommitEndMoves();
  line->RestoreEnds();
  ExpectEnds(*line, {0, 0, 70, 0});

  // Moves record nothing with the document.
  line->SetDocument(&doc);
  line->MergeOverlap(MakeLine({-30, 0, 10, 0}).get());
  ExpectEnds(*line, {-30, 0, 70, 0});
  EXPECT_TRUE(doc.records.empty());
  EXPECT_EQ(doc.changedCount, 0);
  EXPECT_EQ(g_glitchCount, 0);

  line->MergeOverlap(nullptr);
  ExpectGlitch(1882, 1);
}

// ---- Copies and pieces ----

TEST_F(LineItemTest, CopyTakesGeometryAndAttributesWithoutUndo) {
  auto source = MakeLine({1, 2, 3, 4}, 5, 7);
  source->SetColour(0xABCDEF);
  source->SetObjectNumber(9);
  CFakeDocument doc;
  CLineItem copy;
  copy.SetDocument(&doc);
  copy.CopyFrom(source.get());
  ExpectEnds(copy, {1, 2, 3, 4});
  EXPECT_EQ(copy.GetLineStyle(), 5);
  EXPECT_EQ(copy.GetPenWidth(), 7);
  EXPECT_EQ(copy.GetColour(), 0xABCDEF);
  EXPECT_EQ(copy.GetObjectNumber(), 9);
  EXPECT_TRUE(doc.records.empty());
}

TEST_F(LineItemTest, PiecesBetweenSplitPoints) {
  ASSERT_EQ(ReserveSplitList(3), 1);
  const int xs[] = {0, 40, 100};
  for (int i = 0; i < 3; ++i) {
    g_splitX[i] = xs[i];
    g_splitY[i] = 0;
  }
  g_splitCount = 3;
  CFakeDocument doc;
  auto line = MakeLine({0, 0, 100, 0}, 3, 4);
  line->SetColour(0x00FF00);
  line->SetDocument(&doc);

  DrawItemPtr piece = line->CreatePiece(1);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->GetType(), kItemLine);
  EXPECT_EQ(piece->GetDocument(), nullptr);
  ExpectEnds(static_cast<CLineItem&>(*piece), {40, 0, 100, 0});
  EXPECT_EQ(piece->GetLineStyle(), 3);
  EXPECT_EQ(piece->GetPenWidth(), 4);
  EXPECT_EQ(piece->GetColour(), 0x00FF00);
  // Recording was switched off while the piece was built, then put back.
  EXPECT_EQ(doc.enableUndoCalls, (std::vector<int>{0, 1}));
  EXPECT_EQ(doc.undoOn, 1);

  EXPECT_EQ(line->CreatePiece(2), nullptr);  // the last split point starts no piece
  EXPECT_EQ(line->CreatePiece(-1), nullptr);
}

// ---- Transforms ----

TEST_F(LineItemTest, TransformsAndTheirInverses) {
  const Ends original{100, 200, 700, -300};
  struct Case {
    const char* name;
    void (*set)(CTransform& there, CTransform& back);
    Ends moved;
  };
  const Case cases[] = {
      {"rotation",
       [](CTransform& t, CTransform& b) {
         t.SetRotation(90.0, 100, 100);
         b.SetRotation(-90.0, 100, 100);
       },
       {0, 100, 500, 700}},
      {"reflection in x = 0",
       [](CTransform& t, CTransform& b) {
         t.SetReflection(1, 0);
         b.SetReflection(1, 0);
       },
       {-100, 200, -700, -300}},
      {"reflection in y = 50",
       [](CTransform& t, CTransform& b) {
         t.SetReflection(0, 50);
         b.SetReflection(0, 50);
       },
       {100, -100, 700, 400}},
      {"enlargement",
       [](CTransform& t, CTransform& b) {
         t.SetEnlargement(2.0, 100, 200);
         b.SetEnlargement(0.5, 100, 200);
       },
       {100, 200, 1300, -800}},
      {"stretch along x",
       [](CTransform& t, CTransform& b) {
         t.SetStretch(1, 3.0, 100);
         b.SetStretch(1, 1.0 / 3.0, 100);
       },
       {100, 200, 1900, -300}},
  };
  for (const Case& c : cases) {
    CFakeDocument doc;
    auto line = MakeLine(original);
    line->SetDocument(&doc);
    CTransform there;
    CTransform back;
    c.set(there, back);
    line->Transform(there);
    ExpectEnds(*line, c.moved, c.name);
    line->Transform(back);
    ExpectEnds(*line, original, c.name);
    EXPECT_TRUE(doc.records.empty()) << c.name;  // the document records whole transformations
    EXPECT_EQ(doc.DropsOf(*line), 2) << c.name;
  }
}

// ---- Values bar ----

TEST_F(LineItemTest, PublishesItsFields) {
  auto line = MakeLine({0, 0, 0, -200}, 4);
  line->SetColour(0x112233);
  line->SetObjectNumber(17);
  line->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], 23);
  EXPECT_EQ(g_valueFieldIds[1], 24);
  EXPECT_EQ(g_valueColour, 0x112233);
  EXPECT_EQ(g_valueObject, 17);
  EXPECT_EQ(g_valueLineStyle, 4);

  line->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 3);
  EXPECT_EQ(g_valueFieldIds[0], 64);
  EXPECT_EQ(g_valueFieldIds[1], 65);
  EXPECT_EQ(g_valueFieldIds[2], 66);
  EXPECT_EQ(g_valueEndY, -200);
  EXPECT_EQ(g_valueLength, 200.0);
  EXPECT_DOUBLE_EQ(g_valueAngle, 1.5 * kPi);
}

// ---- Drawing ----

class LineDrawTest : public LineItemTest {
 protected:
  void SetUp() override {
    LineItemTest::SetUp();
    g_osClass = 2;  // flat-ended pens
    mapping.originX = 0;
    mapping.originY = 1000;
    mapping.scaleX = 10;
    mapping.scaleY = 10;
    mapping.printScaleX = 5.0;
    mapping.printScaleY = 5.0;
  }
  void TearDown() override {
    ResetSystemInfo();
    LineItemTest::TearDown();
  }
  QList<QString> Draw(const CLineItem& line, int mode, int thin = 0) {
    dc.Clear();
    line.Draw(&dc, &mapping, mode, thin);
    return dc.Lines();
  }
  static QString Hex(std::uint32_t colour) {
    return QStringLiteral("0x") + QString::number(colour, 16).rightJustified(8, u'0');
  }

  CViewMapping mapping;
  zeph::CRecordingContext dc;
};

TEST_F(LineDrawTest, EachColourMode) {
  auto line = MakeLine({0, 0, 500, 1000}, 1, 2);
  line->SetColour(0x0000FF);
  const QString xorColour = Hex(0x0000FFu ^ g_backgroundColour);
  const struct {
    const char* name;
    int mode;
    QList<QString> calls;
  } cases[] = {
      {"own colour",
       kDrawOwnColour,
       {"SelectPen flat 2 0x000000ff", "MoveTo 0 100", "LineTo 50 0", "SetPixel 50 0 0x000000ff",
        "SelectPen solid 1 0x00000000"}},
      {"highlight",
       kDrawHighlight,
       {"SelectPen flat 2 " + Hex(g_highlightColour), "MoveTo 0 100", "LineTo 50 0",
        "SetPixel 50 0 " + Hex(g_highlightColour), "SelectPen solid 1 0x00000000"}},
      {"exclusive or",
       kDrawXor,
       {"SetRasterOp xor", "SelectPen flat 2 " + xorColour, "MoveTo 0 100", "LineTo 50 0",
        "SetPixel 50 0 " + xorColour, "SelectPen solid 1 0x00000000", "SetRasterOp copy"}},
      {"explicit colour (erasing)",
       0x00FFFFFF,
       {"SelectPen flat 2 0x00ffffff", "MoveTo 0 100", "LineTo 50 0", "SetPixel 50 0 0x00ffffff",
        "SelectPen solid 1 0x00000000"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Draw(*line, c.mode), c.calls) << c.name;

  g_osClass = 0;  // the oldest systems draw with a plain pen
  EXPECT_EQ(Draw(*line, kDrawOwnColour).first(), QStringLiteral("SelectPen solid 2 0x000000ff"));
}

TEST_F(LineDrawTest, DashedLinesHaveNoEndPixelButOnePixelLinesDo) {
  auto dashed = MakeLine({0, 0, 5000, 0}, 2);
  for (const QString& call : Draw(*dashed, kDrawOwnColour)) {
    EXPECT_FALSE(call.startsWith(QStringLiteral("SetPixel"))) << call.toStdString();
  }
  auto tiny = MakeLine({0, 0, 3, 3}, 2);  // both ends on one device pixel
  EXPECT_EQ(Draw(*tiny, kDrawOwnColour),
            (QList<QString>{"SelectPen flat 1 0x00000000", "SetPixel 0 100 0x00000000",
                            "SelectPen solid 1 0x00000000"}));
}

TEST_F(LineDrawTest, PrintingWidensThePenAndMonochromePrintersGetBlack) {
  g_printerCount = 1;
  g_currentPrinter = 0;
  g_printerLineThickness[0] = 3;
  g_printerIsColour[0] = 1;
  dc.SetPrinting(true);
  auto line = MakeLine({0, 0, 500, 1000}, 1, 2);
  line->SetColour(0x0000FF);
  // The print scale (5 units a pixel) places the ends.
  EXPECT_EQ(Draw(*line, kDrawOwnColour),
            (QList<QString>{"SelectPen flat 6 0x000000ff", "MoveTo 0 200", "LineTo 100 0",
                            "SetPixel 100 0 0x000000ff", "SelectPen solid 1 0x00000000"}));
  EXPECT_EQ(Draw(*line, kDrawOwnColour, 1).first(), QStringLiteral("SelectPen flat 2 0x000000ff"));

  g_printerIsColour[0] = 0;
  const QString black = Hex(g_colourTable[0]);
  EXPECT_EQ(Draw(*line, kDrawHighlight).first(), "SelectPen flat 6 " + black);
  // Even feedback drawing prints plainly in black.
  EXPECT_EQ(Draw(*line, kDrawXor).first(), "SelectPen flat 6 " + black);
}

}  // namespace
