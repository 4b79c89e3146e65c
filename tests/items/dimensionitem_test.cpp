#include "items/dimensionitem.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <cmath>
#include <vector>

#include "items/geometry.h"
#include "items/item_fixture.h"
#include "items/itemservices.h"
#include "items/measure.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/screen.h"
#include "textfakes.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcCall;
using zeph::DcOp;

// A 12-point value text at kPointScale: 22 pixels (5808 units) high, digits and most letters
// 8 pixels wide, '.' 4 and 'm' 12.
constexpr int kTextHeight = 22 * kPointScale;

struct Ends {
  int x1;
  int y1;
  int x2;
  int y2;
};

std::unique_ptr<CDimensionItem> MakeDimension(const Ends& e, std::uint8_t type = kDimensionParallel,
                                              int offset = 0) {
  auto item = std::make_unique<CDimensionItem>();
  item->SetStart(e.x1, e.y1);
  item->SetEnd(e.x2, e.y2);
  item->SetDimensionType(type);
  item->SetOffset(offset);
  item->SetUnits(kUnitsCm);
  item->SetDecimals(2);
  CFontSpec font;
  font.Set(QStringLiteral("Arial"), 12, false, false);
  item->SetFont(font);
  item->SetColour(0x008000);
  return item;
}

// The pen's moves and lines, as "MoveTo x y" and "LineTo x y".
QList<QString> Strokes(const CRecordingContext& dc) {
  QList<QString> out;
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kMoveTo || call.op == DcOp::kLineTo) out.push_back(call.description);
  }
  return out;
}

std::vector<DcCall> TextsOf(const CRecordingContext& dc) {
  std::vector<DcCall> out;
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kTextOut) out.push_back(call);
  }
  return out;
}

class DimensionItemTest : public ItemFixture {
 protected:
  void SetUp() override {
    ResetAll();
    SetEditingView(&m_view);
  }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetItemGlobals();
    ResetGeometryGlobals();
    ResetViewGlobals();
    ResetScreenState();
    ResetPrinterState();
    ResetOptionsState();
    ResetItemServices();
    ResetDimensionValueFields();
  }
  // Lays the dimension out at kPointScale in the document.
  void LayOut(const CDimensionItem& item) {
    item.NormalisePoints();
    item.Layout(&m_mapping);
  }

  CMeasuringView m_view;
  CScaledDocument m_document;
  // Device x = 100 + x / 264, device y = 300 - y / 264.
  CViewMapping m_mapping = MakeMapping(kPointScale, 100, 300);
};

// ---- The value text ----

TEST_F(DimensionItemTest, ValueTextInRealWorldUnits) {
  const struct {
    const char* name;
    std::uint8_t type;
    Ends ends;
    double scale;
    std::uint8_t units;
    std::uint8_t decimals;
    const char* text;
  } cases[] = {
      {"aligned in mm", kDimensionParallel, {0, 0, 30000, 40000}, 1.0, kUnitsMm, 2, "50mm"},
      {"aligned in cm", kDimensionParallel, {0, 0, 30000, 40000}, 1.0, kUnitsCm, 2, "5cm"},
      {"aligned in m", kDimensionParallel, {0, 0, 30000, 40000}, 1.0, kUnitsM, 2, "0.05m"},
      {"aligned in km at 1 to 100000",
       kDimensionParallel,
       {0, 0, 30000, 40000},
       100000.0,
       kUnitsKm,
       2,
       "5km"},
      {"aligned, automatic, at 1 to 20",
       kDimensionParallel,
       {0, 0, 30000, 40000},
       20.0,
       kUnitsAutomatic,
       2,
       "1m"},
      {"horizontal measures across",
       kDimensionHorizontal,
       {0, 0, 100000, 50000},
       1.0,
       kUnitsCm,
       2,
       "10cm"},
      {"horizontal in mm at 1 to 2.5",
       kDimensionHorizontal,
       {100000, 50000, 0, 0},
       2.5,
       kUnitsMm,
       2,
       "250mm"},
      {"horizontal, automatic, at 1 to 50",
       kDimensionHorizontal,
       {0, 0, 100000, 50000},
       50.0,
       kUnitsAutomatic,
       2,
       "5m"},
      {"vertical measures up", kDimensionVertical, {0, 0, 30000, 100000}, 1.0, kUnitsCm, 2, "10cm"},
      {"vertical in m at 1 to 1000",
       kDimensionVertical,
       {0, 0, 30000, 100000},
       1000.0,
       kUnitsM,
       2,
       "100m"},
      {"vertical in km at 1 to 1000",
       kDimensionVertical,
       {0, 0, 30000, 100000},
       1000.0,
       kUnitsKm,
       2,
       "0.1km"},
      {"decimals", kDimensionParallel, {0, 0, 12345, 0}, 1.0, kUnitsCm, 2, "1.23cm"},
      {"no decimals", kDimensionParallel, {0, 0, 12345, 0}, 10.0, kUnitsCm, 0, "12cm"},
      {"automatic below a centimetre",
       kDimensionParallel,
       {0, 0, 5000, 0},
       1.0,
       kUnitsAutomatic,
       2,
       "5mm"},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension(c.ends, c.type);
    item->SetUnits(c.units);
    item->SetDecimals(c.decimals);
    m_document.realWorldScale = c.scale;
    item->SetDocument(&m_document);
    LayOut(*item);
    EXPECT_EQ(item->GetValueText(), QString::fromLatin1(c.text)) << c.name;
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(DimensionItemTest, PreferenceUnitsFollowTheOption) {
  auto item = MakeDimension({0, 0, 30000, 40000});
  item->SetDocument(&m_document);
  item->SetUnits(kUnitsPreference);
  SetOptionShort(kOptionDisplayUnits, kUnitsMm);
  LayOut(*item);
  EXPECT_EQ(item->GetValueText(), QStringLiteral("50mm"));
  SetOptionShort(kOptionDisplayUnits, kUnitsM);
  LayOut(*item);
  EXPECT_EQ(item->GetValueText(), QStringLiteral("0.05m"));
}

TEST_F(DimensionItemTest, WithoutADocumentTheScaleIsOne) {
  auto item = MakeDimension({0, 0, 30000, 40000});
  LayOut(*item);
  EXPECT_EQ(item->GetValueText(), QStringLiteral("5cm"));
  ExpectGlitch(1761, 1);
}

// ---- Points ----

TEST_F(DimensionItemTest, PointsAreOrderedAndAdjustedForTheType) {
  const struct {
    const char* name;
    std::uint8_t type;
    Ends ends;
    Ends adjusted;
    int extras[4];
  } cases[] = {
      {"horizontal raises the lower point",
       kDimensionHorizontal,
       {0, 0, 100000, 50000},
       {0, 50000, 100000, 50000},
       {0, -50000, 0, 0}},
      {"horizontal, the second lower",
       kDimensionHorizontal,
       {0, 50000, 100000, 0},
       {0, 50000, 100000, 50000},
       {0, 0, 0, -50000}},
      {"vertical moves the first point",
       kDimensionVertical,
       {0, 0, 30000, 100000},
       {30000, 0, 30000, 100000},
       {-30000, 0, 0, 0}},
      {"vertical, given the other way round",
       kDimensionVertical,
       {30000, 100000, 0, 0},
       {30000, 0, 30000, 100000},
       {-30000, 0, 0, 0}},
      {"parallel only orders",
       kDimensionParallel,
       {500, 9, 100, 7},
       {100, 7, 500, 9},
       {0, 0, 0, 0}},
      {"same x: the smaller y first",
       kDimensionParallel,
       {100, 9, 100, 7},
       {100, 7, 100, 9},
       {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension(c.ends, c.type);
    item->NormalisePoints();
    Ends got{};
    item->GetFirstPoint(got.x1, got.y1);
    item->GetSecondPoint(got.x2, got.y2);
    EXPECT_EQ(got.x1, c.adjusted.x1) << c.name;
    EXPECT_EQ(got.y1, c.adjusted.y1) << c.name;
    EXPECT_EQ(got.x2, c.adjusted.x2) << c.name;
    EXPECT_EQ(got.y2, c.adjusted.y2) << c.name;
    int extras[4] = {7, 7, 7, 7};
    item->GetExtensionExtras(extras);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(extras[i], c.extras[i]) << c.name << " extra " << i;
  }
}

TEST_F(DimensionItemTest, ExchangingTheEndsDrawsTheSame) {
  for (std::uint8_t type : {kDimensionParallel, kDimensionHorizontal, kDimensionVertical}) {
    for (std::uint8_t mode : {kTextAngleLine, kTextAngleHorizontal}) {
      auto a = MakeDimension({1000, 2000, 90000, 60000}, type, 13200);
      auto b = MakeDimension({90000, 60000, 1000, 2000}, type, 13200);
      for (CDimensionItem* item : {a.get(), b.get()}) {
        item->SetDocument(&m_document);
        item->SetTextAngleMode(mode);
        item->SetTextPosition(kTextOutside);
        item->SetArrowSize(2640);
        item->SetExtension(2640);
      }
      CRecordingContext da;
      CRecordingContext db;
      a->Draw(&da, &m_mapping, kDrawOwnColour, 0);
      b->Draw(&db, &m_mapping, kDrawOwnColour, 0);
      EXPECT_EQ(da.Lines(), db.Lines()) << int(type) << " " << int(mode);
    }
  }
}

// ---- Layout ----

TEST_F(DimensionItemTest, LineAngleTextPositions) {
  // 100000 units along x: "10cm" is 36 pixels (9504 units) wide.
  const int w = 36 * kPointScale;
  const int h5 = kTextHeight / 5;
  const struct {
    const char* name;
    int offset;
    std::uint8_t position;
    int anchorY;
    int gap;
  } cases[] = {
      {"in line: centred on the line", 10000, kTextInLine, 10000 + kTextHeight / 2,
       w + 2 * (kTextHeight / 3)},
      {"outside: above the line", 10000, kTextOutside, 10000 + kTextHeight + h5, 0},
      {"inside: below the line", 10000, kTextInside, 10000 - h5, 0},
      // Beyond a negative offset the far side from the points is below the line.
      {"outside, negative offset: the inside rule", -10000, kTextOutside, -10000 - h5, 0},
      {"inside, negative offset: the outside rule", -10000, kTextInside, -10000 + kTextHeight + h5,
       0},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension({0, 0, 100000, 0}, kDimensionParallel, c.offset);
    item->SetDocument(&m_document);
    item->SetTextPosition(c.position);
    LayOut(*item);
    EXPECT_EQ(item->GetTextHeight(), kTextHeight) << c.name;
    EXPECT_EQ(item->GetTextWidth(), w) << c.name;
    int x = 0;
    int y = 0;
    item->GetTextAnchor(x, y);
    EXPECT_EQ(x, 50000 - w / 2) << c.name;
    EXPECT_EQ(y, c.anchorY) << c.name;
    EXPECT_EQ(item->GetTextGap(), c.gap) << c.name;
    EXPECT_EQ(item->GetLayoutTextAngle(), 0.0) << c.name;
  }
  EXPECT_EQ(m_view.borrowed, m_view.released);
}

TEST_F(DimensionItemTest, LineAngleTextTurnsWithTheLine) {
  auto item = MakeDimension({0, 0, 0, 100000}, kDimensionParallel, 10000);
  item->SetDocument(&m_document);
  item->SetTextPosition(kTextOutside);
  LayOut(*item);
  EXPECT_NEAR(item->GetLayoutTextAngle(), g_halfPi, 1e-12);
  // Along the line (up) from its middle by half the text, across it (left) past the offset.
  const int w = 36 * kPointScale;
  int x = 0;
  int y = 0;
  item->GetTextAnchor(x, y);
  EXPECT_EQ(x, -(10000 + kTextHeight + kTextHeight / 5));
  EXPECT_EQ(y, 50000 - w / 2);
}

TEST_F(DimensionItemTest, HorizontalTextBesideAndAboveTheLine) {
  // "20cm" is 36 pixels (9504 units) wide. An offset of 1 keeps the line on the points but
  // makes the offset positive.
  const int h = kTextHeight;
  const int w = 36 * kPointScale;
  const struct {
    const char* name;
    Ends ends;
    std::uint8_t position;
    int anchorX;
    int anchorY;
  } cases[] = {
      // A steep line (tan a = 20): the text left of it, clear of it by ga = H / tan a / 2
      // (145) and a third of H.
      {"steep, outside",
       {0, 0, 10000, 200000},
       kTextOutside,
       5000 - 1 - (w + 145 + h / 3),
       100000 + h / 2},
      {"steep, inside", {0, 0, 10000, 200000}, kTextInside, 5000 - 1 + 145 + h / 3, 100000 + h / 2},
      // A flat line (tan a = 1/20): the text's bottom over it by gb = W tan a / 2 (238) and a
      // fifth of H, or its top under it by as much.
      {"flat, outside",
       {0, 0, 200000, 10000},
       kTextOutside,
       100000 - w / 2,
       5000 + 1 + 238 + h + h / 5},
      {"flat, inside",
       {0, 0, 200000, 10000},
       kTextInside,
       100000 - w / 2,
       5000 + 1 - (238 + h / 5)},
      {"in line", {0, 0, 200000, 0}, kTextInLine, 100000 - w / 2, 1 + h / 2},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension(c.ends, kDimensionParallel, 1);
    item->SetDocument(&m_document);
    item->SetDecimals(0);
    item->SetTextAngleMode(kTextAngleHorizontal);
    item->SetTextPosition(c.position);
    LayOut(*item);
    EXPECT_EQ(item->GetValueText(), QStringLiteral("20cm")) << c.name;
    EXPECT_EQ(item->GetLayoutTextAngle(), 0.0) << c.name;
    int x = 0;
    int y = 0;
    item->GetTextAnchor(x, y);
    EXPECT_EQ(x, c.anchorX) << c.name;
    EXPECT_EQ(y, c.anchorY) << c.name;
  }
  // Level text in line: the break is the text's width with its margins.
  auto level = MakeDimension({0, 0, 200000, 0}, kDimensionParallel, 1);
  level->SetDocument(&m_document);
  level->SetDecimals(0);
  level->SetTextAngleMode(kTextAngleHorizontal);
  LayOut(*level);
  EXPECT_EQ(level->GetTextGap(), w + 2 * (h / 3));
}

TEST_F(DimensionItemTest, HorizontalTextNearExactlyHorizontalAndVerticalLines) {
  // A short level line with a wide text is "steep": the text goes beside the line's end,
  // not an endless distance away.
  auto level = MakeDimension({0, 0, 2640, 0}, kDimensionParallel, 26400);
  level->SetDocument(&m_document);
  level->SetDecimals(1);
  level->SetTextAngleMode(kTextAngleHorizontal);
  level->SetTextPosition(kTextOutside);
  LayOut(*level);
  EXPECT_EQ(level->GetValueText(), QStringLiteral("0.3cm"));
  int x = 0;
  int y = 0;
  level->GetTextAnchor(x, y);
  EXPECT_EQ(x, 1320 + 1320 + kTextHeight / 3);  // past the right end by a third of H
  EXPECT_EQ(y, 26400 + kTextHeight / 2);

  // A tiny upright line with a narrow text is "flat": the text goes over the line's top.
  auto upright = MakeDimension({0, 0, 0, 100}, kDimensionParallel, 26400);
  upright->SetDocument(&m_document);
  upright->SetUnits(kUnitsMm);
  upright->SetDecimals(1);
  upright->SetFontSize(10);  // one-pixel characters
  upright->SetTextAngleMode(kTextAngleHorizontal);
  upright->SetTextPosition(kTextOutside);
  LayOut(*upright);
  const int w = upright->GetTextWidth();
  ASSERT_LT(w, kTextHeight - 100);
  upright->GetTextAnchor(x, y);
  EXPECT_EQ(x, -26400 - w / 2);
  EXPECT_EQ(y, 50 + 50 + kTextHeight + kTextHeight / 5);

  // Drawn, both stay on the page.
  for (CDimensionItem* item : {level.get(), upright.get()}) {
    CRecordingContext dc;
    item->Draw(&dc, &m_mapping, kDrawOwnColour, 0);
    const auto texts = TextsOf(dc);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_LT(std::abs(texts[0].points[0].x), 1000);
    EXPECT_LT(std::abs(texts[0].points[0].y), 1000);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Drawing ----

// A level dimension 500 pixels long, 100 pixels above its points, with arrows and dashes of
// 10 pixels, extension lines passing 10 pixels beyond the line and starting 5 from the points.
std::unique_ptr<CDimensionItem> MakeLevelDimension(std::uint8_t ends) {
  auto item = MakeDimension({0, 0, 132000, 0}, kDimensionParallel, 26400);
  item->SetDecimals(1);
  item->SetLineEnds(ends);
  item->SetArrowSize(2640);
  item->SetExtension(2640);
  item->SetExtensionGap(1320);
  return item;
}

TEST_F(DimensionItemTest, LineEnds) {
  // "13.2cm" is 48 pixels wide: the break is 48 + 2 x 7 = 62 pixels, centred at x 350.
  const QList<QString> line = {"MoveTo 100 200", "LineTo 319 200", "MoveTo 381 200",
                               "LineTo 600 200"};
  const QList<QString> extension1 = {"MoveTo 100 295", "LineTo 100 190"};
  const QList<QString> extension2 = {"MoveTo 600 295", "LineTo 600 190"};
  const QList<QString> arrow1 = {"MoveTo 107 193", "LineTo 100 200", "LineTo 107 207"};
  const QList<QString> arrow2 = {"MoveTo 593 207", "LineTo 600 200", "LineTo 593 193"};
  const QList<QString> dash1 = {"MoveTo 100 190", "LineTo 100 210"};
  const QList<QString> dash2 = {"MoveTo 600 190", "LineTo 600 210"};
  const struct {
    const char* name;
    std::uint8_t ends;
    QList<QString> strokes;
  } cases[] = {
      {"Normal", kLineEndsNormal, line + extension1 + arrow1 + extension2 + arrow2},
      {"Arrows", kLineEndsArrows, line + arrow1 + arrow2},
      {"Dashes", kLineEndsDashes, line + dash1 + dash2},
      {"Lines", kLineEndsLines, line + extension1 + extension2},
      {"None", kLineEndsNone, line},
  };
  for (const auto& c : cases) {
    auto item = MakeLevelDimension(c.ends);
    item->SetDocument(&m_document);
    CRecordingContext dc;
    item->Draw(&dc, &m_mapping, kDrawOwnColour, 0);
    EXPECT_EQ(Strokes(dc), c.strokes) << c.name;
    const auto texts = TextsOf(dc);
    ASSERT_EQ(texts.size(), 1u) << c.name;
    EXPECT_EQ(texts[0].text, QStringLiteral("13.2cm")) << c.name;
    // In the break: centred on x 350, its middle on the line.
    EXPECT_EQ(texts[0].points[0], (zeph::DcPoint{326, 189})) << c.name;
    EXPECT_EQ(texts[0].textColour, 0x008000u) << c.name;
    EXPECT_EQ(dc.GetPen(), zeph::DcPen()) << c.name;
  }
}

TEST_F(DimensionItemTest, TextPositionsDrawn) {
  const struct {
    const char* name;
    std::uint8_t mode;
    std::uint8_t position;
    zeph::DcPoint at;
    int escapement;
  } cases[] = {
      {"in line", kTextAngleLine, kTextInLine, {326, 189}, 0},
      {"outside", kTextAngleLine, kTextOutside, {326, 174}, 0},
      {"inside", kTextAngleLine, kTextInside, {326, 204}, 0},
      // On a level line level text goes where text along the line goes.
      {"horizontal, outside", kTextAngleHorizontal, kTextOutside, {326, 174}, 0},
      {"horizontal, inside", kTextAngleHorizontal, kTextInside, {326, 204}, 0},
  };
  for (const auto& c : cases) {
    auto item = MakeLevelDimension(kLineEndsNone);
    item->SetDocument(&m_document);
    item->SetTextAngleMode(c.mode);
    item->SetTextPosition(c.position);
    CRecordingContext dc;
    item->Draw(&dc, &m_mapping, kDrawOwnColour, 0);
    const auto texts = TextsOf(dc);
    ASSERT_EQ(texts.size(), 1u) << c.name;
    EXPECT_EQ(texts[0].points[0], c.at) << c.name;
    EXPECT_EQ(texts[0].font.escapement, c.escapement) << c.name;
    // Only text in line breaks the line.
    EXPECT_EQ(Strokes(dc).size(), c.position == kTextInLine ? 4 : 2) << c.name;
  }
}

TEST_F(DimensionItemTest, AnInLineTextLongerThanTheLineLeavesItsPiecesPastTheEnds) {
  // 5000 units (19 pixels) long; the break is 62 pixels.
  auto item = MakeDimension({0, 0, 5000, 0}, kDimensionParallel, 0);
  item->SetDocument(&m_document);
  item->SetLineEnds(kLineEndsNone);
  item->SetDecimals(1);
  CRecordingContext dc;
  item->Draw(&dc, &m_mapping, kDrawOwnColour, 0);
  // "0.5cm" with its margins makes a break of 55 pixels: the first piece runs left past
  // the start, the second comes back from right of the end.
  EXPECT_EQ(Strokes(dc), (QList<QString>{"MoveTo 100 300", "LineTo 82 300", "MoveTo 137 300",
                                         "LineTo 119 300"}));
}

TEST_F(DimensionItemTest, RubberBandIsExclusiveOrWithoutText) {
  auto item = MakeLevelDimension(kLineEndsNone);
  item->SetDocument(&m_document);
  CRecordingContext dc;
  item->Draw(&dc, &m_mapping, kDrawXor, 0);
  EXPECT_TRUE(TextsOf(dc).empty());
  EXPECT_EQ(Strokes(dc), (QList<QString>{"MoveTo 100 200", "LineTo 600 200"}));
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kLineTo) {
      EXPECT_EQ(call.rasterOp, zeph::RasterOp::kXor);
    }
  }
  EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy);
  EXPECT_EQ(m_view.borrowed, 0);  // nothing measured
}

TEST_F(DimensionItemTest, ExtensionLinesStartFromTheStoredPoints) {
  // Horizontal between (0, 0) and (132000, 66000): the first point is raised to 66000, its
  // extension line still starts at the gap above (0, 0).
  auto item = MakeDimension({0, 0, 132000, 66000}, kDimensionHorizontal, 26400);
  item->SetDocument(&m_document);
  item->SetLineEnds(kLineEndsLines);
  item->SetExtension(2640);
  item->SetExtensionGap(1320);
  CRecordingContext dc;
  item->Draw(&dc, &m_mapping, kDrawXor, 0);
  EXPECT_EQ(Strokes(dc), (QList<QString>{"MoveTo 100 -50", "LineTo 600 -50", "MoveTo 100 295",
                                         "LineTo 100 -60", "MoveTo 600 45", "LineTo 600 -60"}));
}

TEST_F(DimensionItemTest, PrintedInBlackOnAPrinterWithoutColour) {
  auto item = MakeLevelDimension(kLineEndsNone);
  m_document.printingScale = 1.0;
  item->SetDocument(&m_document);
  CRecordingContext printer;
  printer.SetPrinting(true);
  zeph::DeviceCaps caps;
  caps.colourBits = 1;
  printer.SetDeviceCaps(caps);
  CViewMapping mapping;
  mapping.printScaleX = mapping.printScaleY = 264.0;
  item->Draw(&printer, &mapping, kDrawOwnColour, 0);
  bool pen = false;
  for (const DcCall& call : printer.calls()) {
    if (call.op == DcOp::kLineTo) {
      EXPECT_EQ(call.pen.colour, g_colourTable[0]);
      pen = true;
    }
    if (call.op == DcOp::kTextOut) {
      EXPECT_EQ(call.textColour, g_colourTable[0]);
    }
  }
  EXPECT_TRUE(pen);
}

// ---- Measuring ----

TEST_F(DimensionItemTest, OnlyTheDimensionLineIsPicked) {
  auto item = MakeDimension({100000, 0, 0, 0}, kDimensionParallel, 10000);
  const struct {
    const char* name;
    int x;
    int y;
    double distance;
  } cases[] = {
      {"on the line", 50000, 10000, 0.0},           {"above it", 50000, 12000, 2000.0},
      {"at the measured point", 50000, 0, 10000.0}, {"before the start", -3000, 14000, 5000.0},
      {"beyond the end", 103000, 6000, 5000.0},
  };
  for (const auto& c : cases) {
    g_cursorPoint = {c.x, c.y};
    EXPECT_NEAR(item->GetPickDistance(&m_mapping), c.distance, 1e-9) << c.name;
  }
  // A horizontal dimension's line is level at the higher point.
  auto horizontal = MakeDimension({0, 0, 100000, 50000}, kDimensionHorizontal, 10000);
  g_cursorPoint = {50000, 60000};
  EXPECT_NEAR(horizontal->GetPickDistance(&m_mapping), 0.0, 1e-9);
  auto point = MakeDimension({7, 7, 7, 7});
  g_cursorPoint = {10, 11};
  EXPECT_NEAR(point->GetPickDistance(&m_mapping), 5.0, 1e-9);
}

TEST_F(DimensionItemTest, BoundsHoldEveryDrawnPiece) {
  // One drawing unit a pixel, y turned: a drawn point (x, y) is the drawing point (x, -y).
  const CViewMapping unit = MakeMapping(1);
  for (std::uint8_t ends :
       {kLineEndsNormal, kLineEndsArrows, kLineEndsDashes, kLineEndsLines, kLineEndsNone}) {
    for (double degrees : {0.0, 30.0, 100.0, -60.0}) {
      const double a = degrees * g_radiansPerDegree;
      auto item =
          MakeDimension({1000, 2000, 1000 + static_cast<int>(std::lround(50000 * std::cos(a))),
                         2000 + static_cast<int>(std::lround(50000 * std::sin(a)))},
                        kDimensionParallel, 8000);
      item->SetDocument(&m_document);
      item->SetLineEnds(ends);
      item->SetArrowSize(3000);
      item->SetExtension(2000);
      item->SetExtensionGap(1000);
      CRecordingContext dc;
      item->Draw(&dc, &unit, kDrawOwnColour, 0);
      item->CalcBoundingBox(&unit);
      const ItemBounds bounds = g_itemBounds;
      for (const DcCall& call : dc.calls()) {
        if (call.op != DcOp::kMoveTo && call.op != DcOp::kLineTo) continue;
        const int x = call.points.back().x;
        const int y = -call.points.back().y;
        EXPECT_TRUE(x >= bounds.minX && x <= bounds.maxX && y >= bounds.minY && y <= bounds.maxY)
            << int(ends) << " at " << degrees << ": " << call.description.toStdString();
      }
    }
  }
}

TEST_F(DimensionItemTest, BoundsOfTheTextBox) {
  auto item = MakeLevelDimension(kLineEndsNone);
  item->SetDocument(&m_document);
  item->SetTextPosition(kTextOutside);
  item->CalcBoundingBox(&m_mapping);
  int x = 0;
  int y = 0;
  item->GetTextAnchor(x, y);
  EXPECT_EQ(g_itemBounds.maxY, y);  // the text's top is highest
  EXPECT_EQ(g_itemBounds.minY, 26400);
  EXPECT_EQ(g_itemBounds.minX, 0);
  EXPECT_EQ(g_itemBounds.maxX, 132000);
}

// ---- Attributes ----

TEST_F(DimensionItemTest, ChooseTextPositionFromOlderFiles) {
  const struct {
    const char* name;
    int choice;
    Ends ends;
    int offset;
    std::uint8_t position;
  } cases[] = {
      {"0: in line", 0, {0, 0, 10, 10}, 5, kTextInLine},
      {"1, offset 0: inside", 1, {0, 0, 10, 10}, 0, kTextInside},
      {"1, positive: outside", 1, {0, 0, 10, 10}, 5, kTextOutside},
      {"2, offset 0: outside", 2, {0, 0, 10, 10}, 0, kTextOutside},
      {"2, positive: inside", 2, {0, 0, 10, 10}, 5, kTextInside},
      {"3, level", 3, {0, 0, 10, 0}, 5, kTextOutside},
      {"3, level, negative", 3, {0, 0, 10, 0}, -5, kTextInside},
      {"3, rising", 3, {0, 0, 10, 10}, 5, kTextOutside},
      {"3, falling", 3, {0, 0, 10, -10}, 5, kTextInside},
      {"3, falling, negative", 3, {0, 0, 10, -10}, -5, kTextOutside},
      {"4, upright", 4, {0, 0, 0, 10}, 5, kTextInside},
      {"4, upright, negative", 4, {0, 0, 0, 10}, -5, kTextOutside},
      {"4, rising backwards", 4, {10, 10, 0, 0}, 5, kTextInside},
      {"4, falling", 4, {0, 0, 10, -10}, 5, kTextOutside},
      {"unknown", 9, {0, 0, 10, 10}, 5, kTextInLine},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension(c.ends, kDimensionParallel, c.offset);
    item->SetTextPosition(kTextOutside == c.position ? kTextInLine : kTextOutside);
    item->SetDocument(&m_document);
    m_document.ClearLog();
    item->ChooseTextPosition(c.choice);
    EXPECT_EQ(item->GetTextPosition(), c.position) << c.name;
    ASSERT_EQ(m_document.records.size(), 1u) << c.name;
    EXPECT_EQ(m_document.records[0].kind, UndoKind::kTextPosition) << c.name;
  }
}

TEST_F(DimensionItemTest, Validity) {
  const struct {
    const char* name;
    void (*change)(CDimensionItem&);
    int valid;
  } cases[] = {
      {"ordinary", [](CDimensionItem&) {}, 1},
      {"preference units", [](CDimensionItem& d) { d.SetUnits(kUnitsPreference); }, 1},
      {"units 6", [](CDimensionItem& d) { d.SetUnits(6); }, 0},
      {"any decimals", [](CDimensionItem& d) { d.SetDecimals(255); }, 1},
      {"vertical", [](CDimensionItem& d) { d.SetDimensionType(kDimensionVertical); }, 1},
      {"type 3", [](CDimensionItem& d) { d.SetDimensionType(3); }, 0},
      {"no line ends", [](CDimensionItem& d) { d.SetLineEnds(kLineEndsNone); }, 1},
      {"line ends 5", [](CDimensionItem& d) { d.SetLineEnds(5); }, 0},
      {"text angle mode 2", [](CDimensionItem& d) { d.SetTextAngleMode(2); }, 0},
      {"text position 3", [](CDimensionItem& d) { d.SetTextPosition(3); }, 0},
      {"end past the limit", [](CDimensionItem& d) { d.SetEnd(0, 30000001); }, 0},
      {"start past the limit", [](CDimensionItem& d) { d.SetStart(-50000001, 0); }, 0},
  };
  for (const auto& c : cases) {
    auto item = MakeDimension({0, 0, 1000, 1000});
    c.change(*item);
    EXPECT_EQ(item->IsValid(), c.valid) << c.name;
  }
}

TEST_F(DimensionItemTest, SettersRecordTheirUndoKinds) {
  auto item = MakeDimension({0, 0, 1000, 1000});
  item->SetDocument(&m_document);
  CFontSpec bold;
  bold.Set(QStringLiteral("Arial"), 12, true, false);
  const struct {
    const char* name;
    void (*change)(CDimensionItem&, const CFontSpec&);
    UndoKind kind;
  } cases[] = {
      {"start", [](CDimensionItem& d, const CFontSpec&) { d.SetStart(1, 2); }, UndoKind::kStart},
      {"end", [](CDimensionItem& d, const CFontSpec&) { d.SetEnd(3, 4); }, UndoKind::kEnd},
      {"type", [](CDimensionItem& d, const CFontSpec&) { d.SetDimensionType(1); },
       UndoKind::kDimensionType},
      {"decimals", [](CDimensionItem& d, const CFontSpec&) { d.SetDecimals(3); },
       UndoKind::kDecimals},
      {"arrow", [](CDimensionItem& d, const CFontSpec&) { d.SetArrowSize(9); },
       UndoKind::kArrowSize},
      {"ends", [](CDimensionItem& d, const CFontSpec&) { d.SetLineEnds(2); }, UndoKind::kLineEnds},
      {"extension", [](CDimensionItem& d, const CFontSpec&) { d.SetExtension(9); },
       UndoKind::kExtension},
      {"gap", [](CDimensionItem& d, const CFontSpec&) { d.SetExtensionGap(9); },
       UndoKind::kExtensionGap},
      {"offset", [](CDimensionItem& d, const CFontSpec&) { d.SetOffset(9); }, UndoKind::kOffset},
      {"text angle", [](CDimensionItem& d, const CFontSpec&) { d.SetTextAngleMode(1); },
       UndoKind::kTextAngleMode},
      {"position", [](CDimensionItem& d, const CFontSpec&) { d.SetTextPosition(2); },
       UndoKind::kTextPosition},
      {"units", [](CDimensionItem& d, const CFontSpec&) { d.SetUnits(4); }, UndoKind::kUnits},
      {"font", [](CDimensionItem& d, const CFontSpec& f) { d.SetFont(f); }, UndoKind::kFont},
      {"width", [](CDimensionItem& d, const CFontSpec&) { d.SetFontSize(90); }, UndoKind::kFont},
      {"move", [](CDimensionItem& d, const CFontSpec&) { d.MoveBy(10, 10); }, UndoKind::kMove},
  };
  for (const auto& c : cases) {
    m_document.ClearLog();
    c.change(*item, bold);
    ASSERT_EQ(m_document.records.size(), 1u) << c.name;
    EXPECT_EQ(m_document.records[0].kind, c.kind) << c.name;
    EXPECT_EQ(m_document.drops, 0) << c.name;
    m_document.ClearLog();
    c.change(*item, bold);
    if (c.kind != UndoKind::kMove) {
      EXPECT_TRUE(m_document.records.empty()) << c.name;
    }
  }
  int x = 0;
  int y = 0;
  item->GetStart(x, y);
  EXPECT_EQ(x, 21);
  EXPECT_EQ(y, 22);
  // A refusal changes nothing.
  m_document.recordAnswer = kUndoRefused;
  item->SetOffset(77);
  EXPECT_EQ(item->GetOffset(), 9);
}

TEST_F(DimensionItemTest, HandlesCopiesAndTransforms) {
  auto item = MakeDimension({10, 20, 30, 40}, kDimensionVertical, 500);
  item->SetLineEnds(kLineEndsDashes);
  item->SetArrowSize(11);
  item->SetExtension(12);
  item->SetExtensionGap(13);
  item->SetTextAngleMode(kTextAngleHorizontal);
  item->SetTextPosition(kTextInside);
  EXPECT_EQ(item->GetHandleCount(), 2);
  EXPECT_EQ(item->GetHandleX(1), 30);
  EXPECT_EQ(item->GetHandleY(0), 20);
  item->MoveHandle(1, 5, 5);
  EXPECT_EQ(item->GetHandleY(1), 45);
  for (int glitch : {1762, 1763, 1764}) {
    ResetLogState();
    if (glitch == 1762) item->SetHandle(2, 0, 0);
    if (glitch == 1763) {
      EXPECT_EQ(item->GetHandleX(-1), 0);
    }
    if (glitch == 1764) {
      EXPECT_EQ(item->GetHandleY(7), 0);
    }
    ExpectGlitch(glitch, 1);
  }

  CDimensionItem copy;
  copy.CopyFrom(item.get());
  CRecordingContext da;
  CRecordingContext db;
  item->SetDocument(&m_document);
  copy.SetDocument(&m_document);
  item->Draw(&da, &m_mapping, kDrawOwnColour, 0);
  copy.Draw(&db, &m_mapping, kDrawOwnColour, 0);
  EXPECT_EQ(da.Lines(), db.Lines());
  EXPECT_EQ(copy.GetColour(), 0x008000);

  CTransform rotation;
  rotation.SetRotation(90.0, 0, 0);
  item->Transform(rotation);
  int x = 0;
  int y = 0;
  item->GetStart(x, y);
  EXPECT_EQ(x, -20);
  EXPECT_EQ(y, 10);
  EXPECT_EQ(item->GetOffset(), 500);
  EXPECT_EQ(item->GetArrowSize(), 11);
}

TEST_F(DimensionItemTest, ValuesBarFields) {
  auto item = MakeDimension({1, 2, 3, 4}, kDimensionHorizontal, 5);
  item->SetLineEnds(kLineEndsLines);
  item->SetTextAngleMode(kTextAngleHorizontal);
  item->SetTextPosition(kTextInside);
  item->SetUnits(kUnitsKm);
  item->SetDecimals(3);
  item->SetArrowSize(600);
  item->SetExtension(700);
  item->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 5);
  const std::int32_t ids[] = {33, 34, 35, 36, 37};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g_valueFieldIds[i], ids[i]);
  EXPECT_EQ(g_valueColour, 0x008000);
  EXPECT_EQ(g_valueDimensionFont.GetSize(), 12);
  EXPECT_EQ(g_valueDimensionType, 1);
  EXPECT_EQ(g_valueLineEnds, 3);
  EXPECT_EQ(g_valueTextAngleMode, 1);
  EXPECT_EQ(g_valueTextPosition, 2);
  EXPECT_EQ(g_valueUnits, 4);
  EXPECT_EQ(g_valueDecimals, 3);
  EXPECT_EQ(g_valueArrowSize, 600);
  EXPECT_EQ(g_valueExtension, 700);
  item->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], kFieldStart);
  EXPECT_EQ(g_valueFieldIds[1], kFieldEnd);
  EXPECT_EQ(g_valueStartX, 1);
  EXPECT_EQ(g_valueEndY, 4);
}

TEST_F(DimensionItemTest, MadeByTheFactoryCrossingNothing) {
  DrawItemPtr made = CreateItem(kItemDimension);
  ASSERT_NE(made, nullptr);
  EXPECT_NE(dynamic_cast<CDimensionItem*>(made.get()), nullptr);
  EXPECT_EQ(made->GetHandleCount(), 2);
  EXPECT_EQ(made->CanBound(), 0);
  EXPECT_EQ(made->IsClosed(), 0);
  EXPECT_EQ(made->IntersectWith(made.get()), 0);
  EXPECT_EQ(made->IntersectScanLine(0), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
