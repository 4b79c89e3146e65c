// The values bar: which fields each tool shows at each click step, how many fit a narrow
// window with their arrows, values drawn only while their set flags are on, the live
// read-outs, the defaults of a new drawing, and pictures of the bar for three tools.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>
#include <vector>

#include "document/dochost.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

// ---- The field-choice table ----

struct ChoiceRow {
  const char* what;
  int tool;
  int step;
  int subMode;  // of Shape, Corner, Move or Object, by the tool
  int flags;    // kFlag... below
  std::vector<int> ids;
  std::vector<int> editable;
  int values;
};

constexpr int kArcAngle = 1;
constexpr int kArcRadius = 2;
constexpr int kCentreFirst = 4;
constexpr int kHatch = 8;
constexpr int kDragging = 16;
constexpr int kPlacing = 32;
constexpr int kPicked = 64;
constexpr int kBreak = 128;
constexpr int kState7 = 256;

const std::vector<ChoiceRow>& ChoiceRows() {
  static const std::vector<ChoiceRow> rows = {
      {"new line ready", kToolNewLine, 0, 0, 0, {40, 0, 1, 2}, {0, 1, 1, 1}, 1},
      {"new line drawing", kToolNewLine, 1, 0, 0, {40}, {0}, 0},
      {"line ready", kToolLine, 0, 0, 0, {40, 0, 1, 2}, {0, 1, 1, 1}, 1},
      {"line drawing", kToolLine, 2, 0, 0, {40, 41, 42}, {0, 1, 1}, 0},
      {"arc ready", kToolArc, 0, 0, 0, {40, 0, 3, 22}, {0, 1, 1, 1}, 1},
      {"arc third point", kToolArc, 3, 0, 0, {40}, {0}, 0},
      {"arc late step", kToolArc, 6, 0, 0, {40, 47, 46, 45}, {0, 1, 1, 1}, 0},
      {"arc angle typed", kToolArc, 3, 0, kArcAngle, {40, 47, 46, 45}, {0, 1, 1, 1}, 0},
      {"arc radius typed", kToolArc, 3, 0, kArcRadius, {40, 47, 46, 45}, {0, 1, 1, 1}, 0},
      {"arc radius typed, centre first", kToolArc, 3, 0, kArcRadius | kCentreFirst, {40}, {0}, 0},
      {"arc second point", kToolArc, 2, 0, kArcAngle, {40}, {0}, 0},
      {"circle ready", kToolCircle, 0, 0, 0, {40, 0, 4}, {0, 1, 1}, 1},
      {"circle dragging", kToolCircle, 3, 0, 0, {40, 44}, {0, 1}, 0},
      {"circle first step", kToolCircle, 1, 0, 0, {40}, {0}, 0},
      {"ellipse ready", kToolEllipse, 0, 0, 0, {40, 0, 5}, {0, 1, 1}, 1},
      {"ellipse drawing", kToolEllipse, 2, 0, 0, {40}, {0}, 0},
      {"curve ready", kToolCurve, 0, 0, 0, {40, 0}, {0, 1}, 1},
      {"curve points", kToolCurve, 3, 0, 0, {40}, {0}, 0},
      {"curve handles", kToolCurve, 6, 0, 0, {40, 53}, {0, 1}, 1},
      {"fill solid", kToolFill, 4, 0, 0, {40, 0, 10}, {0, 1, 1}, 1},
      {"fill hatched", kToolFill, 0, 0, kHatch, {40, 0, 10, 11, 12}, {0, 1, 1, 1, 1}, 1},
      {"text ready", kToolText, 0, 0, 0, {40, 0, 8, 9}, {0, 1, 1, 1}, 1},
      {"text typing", kToolText, 1, 0, 0, {40}, {0}, 0},
      {"square ready", kToolShape, 0, 0, 0, {40, 0, 19}, {0, 1, 1}, 1},
      {"rectangle ready", kToolShape, 0, 1, 0, {40, 0, 20, 21}, {0, 1, 1, 1}, 1},
      {"polygon ready", kToolShape, 0, 2, 0, {40, 0, 18, 19}, {0, 1, 1, 1}, 1},
      {"square dragging", kToolShape, 3, 0, 0, {40, 51}, {0, 1}, 0},
      {"rectangle dragging", kToolShape, 3, 1, 0, {40, 52}, {0, 1}, 0},
      {"polygon first step", kToolShape, 1, 2, 0, {40}, {0}, 0},
      {"dimension ready", kToolDimension, 0, 0, 0, {40, 13, 14, 15}, {0, 1, 1, 1}, 1},
      {"dimension placing", kToolDimension, 2, 0, 0, {40}, {0}, 0},
      {"fillet ready", kToolCorner, 0, 0, 0, {40, 6}, {0, 1}, 1},
      {"chamfer ready", kToolCorner, 0, 1, 0, {40, 7}, {0, 1}, 1},
      {"fillet dragging", kToolCorner, 3, 0, 0, {44}, {1}, 0},
      {"chamfer dragging", kToolCorner, 3, 1, 0, {45}, {1}, 0},
      {"corner chosen", kToolCorner, 1, 0, 0, {40}, {0}, 0},
      {"insert ready", kToolInsert, 0, 0, 0, {40, 17}, {0, 1}, 1},
      {"insert placing", kToolInsert, 1, 0, 0, {40}, {0}, 0},
      {"move items choosing", kToolMove, 2, 1, 0, {40, 16}, {0, 1}, 1},
      {"move items dragging", kToolMove, 0, 1, kDragging, {40, 41, 43}, {0, 1, 1}, 0},
      {"move an item ready", kToolMove, 0, 0, 0, {40, 16}, {0, 1}, 1},
      {"move a point dragging", kToolMove, 1, 2, 0, {40, 41, 43}, {0, 1, 1}, 0},
      {"drag out a line ready", kToolMove, 0, 4, 0, {40}, {0}, 1},
      {"copy choosing", kToolCopy, 0, 0, 0, {40, 76, 77}, {0, 1, 1}, 1},
      {"copy placing", kToolCopy, 1, 0, kPlacing, {40, 41, 43}, {0, 1, 1}, 0},
      {"rotate", kToolRotate, 2, 0, 0, {40, 71, 70}, {0, 1, 1}, 1},
      {"reflect", kToolReflect, 0, 0, 0, {40, 72, 70}, {0, 1, 1}, 1},
      {"enlarge", kToolEnlarge, 0, 0, 0, {40, 73, 70}, {0, 1, 1}, 1},
      {"stretch", kToolStretch, 0, 0, 0, {40, 74, 75, 70}, {0, 1, 1, 1}, 1},
      {"object identify", kToolObject, 0, 0, 0, {40, 78}, {1, 0}, 1},
      {"object name", kToolObject, 0, 1, 0, {79, 80}, {0, 1}, 1},
      {"object transfer", kToolObject, 0, 2, 0, {40, 81}, {0, 0}, 1},
      {"object hide", kToolObject, 0, 3, 0, {40}, {0}, 1},
      {"delete", kToolDelete, 0, 0, 0, {40}, {0}, 0},
      {"origin", kToolOrigin, 0, 0, 0, {40}, {0}, 0},
      {"modify with a pick", kToolModify, 0, 0, kPicked, {23, 24, 66}, {1, 1, 1}, 1},
      {"modify in state 7", kToolModify, 0, 0, kPicked | kState7, {40}, {0}, 0},
      {"values without a pick", kToolValues, 0, 0, 0, {40}, {0}, 0},
      {"colour", kToolColour, 0, 0, 0, {40, 82}, {0, 1}, 1},
      {"break offered", kToolBreak, 0, 0, kBreak, {}, {}, 0},
      {"break", kToolBreak, 0, 0, 0, {40}, {0}, 0},
      {"extend", kToolExtend, 0, 0, 0, {40}, {0}, 1},
      {"no tool", -1, 0, 0, 0, {}, {}, 0},
  };
  return rows;
}

TEST(ValuesBarChoice, EachToolShowsItsFieldsForItsStep) {
  for (const ChoiceRow& row : ChoiceRows()) {
    SCOPED_TRACE(row.what);
    ResetEditorState();
    ResetToolParameters();
    ResetValuesBarParameters();
    g_shapeSubMode = row.subMode;
    g_cornerSubMode = row.subMode;
    g_toolSubMode = row.subMode;
    g_objectSubMode = row.subMode;
    g_arcAngleSet = (row.flags & kArcAngle) != 0 ? 1 : 0;
    g_arcRadiusSet = (row.flags & kArcRadius) != 0 ? 1 : 0;
    g_arcPointChoice = (row.flags & kCentreFirst) != 0 ? 1 : 0;
    g_fillType = (row.flags & kHatch) != 0 ? kFillHatch : kFillSolid;
    g_moveDragging = (row.flags & kDragging) != 0 ? 1 : 0;
    g_copyPlacing = (row.flags & kPlacing) != 0 ? 1 : 0;
    g_toolState = (row.flags & kState7) != 0 ? 7 : 0;
    // What a picked line publishes.
    PublishFieldIds({23, 24, 66});
    const ValueFieldChoice choice = ChooseValueFieldsFor(
        row.tool, row.step, (row.flags & kPicked) != 0 ? 1 : 0, (row.flags & kBreak) != 0);
    std::vector<int> ids(choice.ids.begin(), choice.ids.begin() + choice.count);
    std::vector<int> editable(choice.editable.begin(), choice.editable.begin() + choice.count);
    EXPECT_EQ(ids, row.ids);
    EXPECT_EQ(editable, row.editable);
    EXPECT_EQ(choice.drawValues, row.values);
  }
  ResetEditorState();
  ResetValueFields();
}

TEST(ValuesBarTable, EveryFieldHasALabelAndABox) {
  for (int id = 0; id < kValueFieldIdCount; ++id) {
    const ValueFieldInfo* info = GetValueFieldInfo(id);
    ASSERT_NE(info, nullptr) << id;
    EXPECT_NE(info->label1, nullptr) << id;
    EXPECT_GE(info->width, 50) << id;
  }
  EXPECT_EQ(GetValueFieldInfo(-1), nullptr);
  EXPECT_EQ(GetValueFieldInfo(kValueFieldIdCount), nullptr);
  EXPECT_EQ(QString::fromUtf16(GetValueFieldInfo(18)->label1), QStringLiteral("Number of sides:"));
  EXPECT_EQ(GetValueFieldInfo(18)->label2, nullptr);
}

// ---- The bar in a view ----

class ValuesBarTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    ResetToolParameters();
    ResetValuesBarParameters();
  }
  void TearDown() override {
    ResetToolParameters();
    ResetValuesBarParameters();
    ResetValueFields();
    ViewTest::TearDown();
  }
  void UseTool(int tool, int subMode = 0) {
    g_currentTool = tool;
    g_shapeSubMode = subMode;
    g_cornerSubMode = subMode;
    m_view->UpdateView();
  }
  // Whether any pixel of the box's first text line differs from the box's fill.
  bool LineHasInk(int slot, int line) const {
    const DcRect& box = m_view->GetFieldBox(slot);
    const int h = m_view->GetLineHeight();
    const QImage& screen = m_view->BackBuffer();
    const QRgb fill = screen.pixel(box.right - 3, box.top + 2);
    for (int y = box.top + 3 + line * h; y < box.top + 3 + (line + 1) * h - 1; ++y) {
      for (int x = box.left + 5; x < box.right - 5; ++x) {
        if (screen.pixel(x, y) != fill) return true;
      }
    }
    return false;
  }
};

TEST_F(ValuesBarTest, AWideBarShowsEveryFieldInOrderWithoutArrows) {
  UseTool(kToolShape, 1);  // rectangle: coordinates, colour, length/width, rotation
  ASSERT_EQ(g_valueFieldCount, 4);
  EXPECT_EQ(m_view->GetEndField(), 4);
  EXPECT_EQ(m_view->GetValuesBarFlags() & (kArrowForwardShown | kArrowBackShown), 0);
  int right = 0;
  for (int slot = 0; slot < 4; ++slot) {
    const DcRect& box = m_view->GetFieldBox(slot);
    EXPECT_EQ(box.right - box.left, GetValueFieldInfo(g_valueFieldIds[slot])->width);
    EXPECT_GT(box.left, right + 5) << slot;  // a gap and the label before each box
    EXPECT_GT(box.top, m_view->GetDrawingAreaHeight());
    EXPECT_LE(box.bottom, kHeight);
    right = box.right;
  }
  EXPECT_LT(right, kWidth);
}

TEST_F(ValuesBarTest, ANarrowBarShowsTheFieldsThatFitAndScrollsToTheRest) {
  g_currentTool = kToolShape;
  g_shapeSubMode = 1;
  const int width = 300;
  m_view->resize(width, kHeight);
  QApplication::sendPostedEvents();
  m_view->UpdateView();
  const int end = m_view->GetEndField();
  ASSERT_GT(end, 0);
  ASSERT_LT(end, 4);
  EXPECT_NE(m_view->GetValuesBarFlags() & kArrowForwardShown, 0);
  EXPECT_EQ(m_view->GetValuesBarFlags() & kArrowBackShown, 0);
  // The fitted fields with the arrow, and the gaps of at least 5, stay inside the width.
  FontMeasure small(SmallBoldArial());
  const int h = small.LineHeight();
  const DcRect& last = m_view->GetFieldBox(end - 1);
  EXPECT_LE(last.right + 5, m_view->GetFieldsEnd() - h);
  EXPECT_LE(m_view->GetFieldsEnd(), width);
  EXPECT_TRUE(m_view->GetFieldBox(end).IsEmpty());
  // The next field would not have fitted.
  const ValueFieldInfo* next = GetValueFieldInfo(g_valueFieldIds[end]);
  const int nextWidth =
      std::max(small.Width(QString::fromUtf16(next->label1)),
               next->label2 != nullptr ? small.Width(QString::fromUtf16(next->label2)) : 0) +
      next->width + 5;
  EXPECT_GT(last.right + 5 + nextWidth + h + 5, width - 5 * (end + 2));

  // The right arrow scrolls by one field; then the left arrow shows too.
  const DcRect arrow{m_view->GetFieldsEnd() - h, kHeight - 3 - h, m_view->GetFieldsEnd(),
                     kHeight - 3};
  m_view->OnLButtonDown(0, QPoint((arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2));
  m_view->OnLButtonUp(0, QPoint((arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2));
  EXPECT_EQ(m_view->GetFirstField(), 1);
  m_view->UpdateView();
  EXPECT_NE(m_view->GetValuesBarFlags() & kArrowBackShown, 0);
  EXPECT_TRUE(m_view->GetFieldBox(0).IsEmpty());
  EXPECT_FALSE(m_view->GetFieldBox(1).IsEmpty());
  m_view->ResetValuesBarScroll();
  EXPECT_EQ(m_view->GetFirstField(), 0);
}

TEST_F(ValuesBarTest, AValueIsDrawnOnlyWhileItsFlagIsSet) {
  g_lineLength = 25000.0;
  g_lineAngle = 0.5;
  UseTool(kToolLine);
  ASSERT_EQ(g_valueFieldIds[3], 2);
  EXPECT_FALSE(LineHasInk(3, 0));
  EXPECT_FALSE(LineHasInk(3, 1));
  g_lineLengthSet = 1;
  m_view->UpdateView();
  EXPECT_TRUE(LineHasInk(3, 0));
  EXPECT_FALSE(LineHasInk(3, 1));
  g_lineAngleSet = 1;
  m_view->UpdateView();
  EXPECT_TRUE(LineHasInk(3, 1));
  // Values that have no flag are always drawn: the line style's sample.
  EXPECT_TRUE(LineHasInk(2, 0));
}

TEST_F(ValuesBarTest, ReadOutsShowTheGestureRelativeToTheOrigin) {
  g_realWorldScale = 1.0;
  UseTool(kToolLine);
  g_readoutOrigin = {10000, 0};
  m_view->ShowPointValues(30000, 20000, 0);
  EXPECT_EQ(m_view->GetLiveText(0, 0), QStringLiteral("20mm"));
  EXPECT_EQ(m_view->GetLiveText(0, 1), QStringLiteral("20mm"));
  m_view->ShowPointValues(50000, 90000, 1);  // x only
  EXPECT_EQ(m_view->GetLiveText(0, 0), QStringLiteral("40mm"));
  EXPECT_EQ(m_view->GetLiveText(0, 1), QStringLiteral("20mm"));
  m_view->ClearCoordinateField();
  EXPECT_TRUE(m_view->GetLiveText(0, 0).isEmpty());

  // A line in progress: moves, length and angle, and no set values.
  Drawing().SetClickStep(2);
  m_view->UpdateView();
  ASSERT_EQ(g_valueFieldCount, 3);
  EXPECT_EQ(m_view->AreFieldValuesDrawn(), 0);
  g_snapPoint = {10000, 30000};
  g_readoutMove = {30000, 40000};
  g_readoutLength = 50000.0;
  g_readoutAngle = 0.25 * 3.141592653589793;
  m_view->ShowMoveValues();
  EXPECT_EQ(m_view->GetLiveText(0, 1), QStringLiteral("30mm"));
  EXPECT_EQ(m_view->GetLiveText(1, 0), QStringLiteral("30mm"));
  EXPECT_EQ(m_view->GetLiveText(1, 1), QStringLiteral("40mm"));
  EXPECT_EQ(m_view->GetLiveText(2, 0), QStringLiteral("50mm"));
  EXPECT_EQ(m_view->GetLiveText(2, 1), QStringLiteral("45\u00B0"));
  m_view->UpdateView();
  EXPECT_TRUE(LineHasInk(2, 0));
  // A read-out of a control point outside 0..1 is a glitch and shows zeros in slot 1.
  m_view->ShowControlPointValues(2);
  EXPECT_EQ(m_view->GetLiveText(1, 0), QStringLiteral("0mm"));
  ExpectGlitch(2833, 1);
}

// While a segment is dragged with Line the read-outs show its end, its move from the start,
// its length and its angle; New line shows the point alone.
TEST_F(ValuesBarTest, ALineBeingDraggedShowsItsEndMoveLengthAndAngle) {
  g_realWorldScale = 1.0;
  g_appActive = 1;
  SetZoom(8, 20, 200);  // 500 drawing units (0.5 mm) a pixel
  g_snapMode = kSnapNone;
  ASSERT_EQ(Drawing().SetTool(kToolNewLine, -1), 1);
  QTest::mouseMove(&Drawing(), {20, 200});
  QTest::mousePress(&Drawing(), Qt::LeftButton, {}, {20, 200});
  QTest::mouseMove(&Drawing(), {30, 190});
  EXPECT_EQ(m_view->GetLiveText(0, 0), QStringLiteral("5mm"));
  EXPECT_EQ(m_view->GetLiveText(0, 1), QStringLiteral("5mm"));
  EXPECT_TRUE(m_view->GetLiveText(1, 0).isEmpty());
  QTest::mouseMove(&Drawing(), {20, 200});
  QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {20, 200});
  ASSERT_EQ(g_currentTool, kToolLine);
  ASSERT_EQ(g_lineStartSet, 1);

  QTest::mousePress(&Drawing(), Qt::LeftButton, {}, {20, 200});
  QTest::mouseMove(&Drawing(), {80, 120});
  EXPECT_EQ(m_view->GetLiveText(0, 0), QStringLiteral("30mm"));
  EXPECT_EQ(m_view->GetLiveText(0, 1), QStringLiteral("40mm"));
  EXPECT_EQ(m_view->GetLiveText(1, 0), QStringLiteral("30mm"));
  EXPECT_EQ(m_view->GetLiveText(1, 1), QStringLiteral("40mm"));
  EXPECT_EQ(m_view->GetLiveText(2, 0), QStringLiteral("50mm"));
  EXPECT_EQ(m_view->GetLiveText(2, 1), QStringLiteral("53.1\u00B0"));
  QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {80, 120});
  EXPECT_EQ(m_doc.GetItemCount(), 1);
}

TEST_F(ValuesBarTest, ANewDrawingTakesTheDefaultsAndKeepsWhatIsKept) {
  g_lineLengthSet = 1;
  g_arcRadiusSet = 1;
  g_filletRadiusSet = 1;
  g_textWidth = 250;
  g_fillType = kFillHatch;
  g_hatchScale = 3.0;
  g_currentObject = 7;
  g_lineStyle = 4;
  g_rotateAngleSet = 1;
  g_reflectDirection = 1;
  g_toolActionCounts = {3, 4, 5, 6};
  g_ellipseSlope = 1.0;
  g_polygonSides = 12;
  g_polygonSidesSet = 1;
  g_keepOriginals = 1;
  m_view->ResetForNewDrawing();
  EXPECT_EQ(g_lineLengthSet, 0);
  EXPECT_EQ(g_arcRadiusSet, 0);
  EXPECT_EQ(g_filletRadiusSet, 0);
  EXPECT_EQ(g_textWidth, 100);
  EXPECT_EQ(g_fillType, kFillSolid);
  EXPECT_EQ(g_hatchScale, 1.0);
  EXPECT_EQ(g_currentObject, 1);
  EXPECT_EQ(g_lineStyle, 1);
  EXPECT_EQ(g_rotateAngleSet, 0);
  EXPECT_EQ(g_reflectDirection, 0);
  EXPECT_EQ(g_toolActionCounts, (std::array<std::int16_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(g_polygonSidesSet, 0);
  // Kept from drawing to drawing.
  EXPECT_EQ(g_ellipseSlope, 1.0);
  EXPECT_EQ(g_polygonSides, 12);
  EXPECT_EQ(g_keepOriginals, 1);
}

TEST_F(ValuesBarTest, TheIBeamShowsOverEditableFieldsOnly) {
  UseTool(kToolLine);
  const DcRect coordinates = m_view->GetFieldBox(0);
  const DcRect length = m_view->GetFieldBox(3);
  m_view->OnMouseMove(0, QPoint(length.left + 3, length.top + 3));
  EXPECT_EQ(m_view->IsIBeamShown(), 1);
  m_view->OnMouseMove(0, QPoint(coordinates.left + 3, coordinates.top + 3));
  EXPECT_EQ(m_view->IsIBeamShown(), 0);
}

TEST_F(ValuesBarTest, PicturesOfTheBarForThreeTools) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  g_realWorldScale = 1.0;
  g_lineLength = 25000.0;
  g_lineLengthSet = 1;
  g_lineAngle = 0.25 * 3.141592653589793;
  g_lineAngleSet = 1;
  g_polygonSides = 6;
  g_polygonSidesSet = 1;
  g_drawingColour = 0x020000FF;
  const struct {
    int tool;
    int subMode;
    const char* name;
  } shots[] = {{kToolLine, 0, "values_line"},
               {kToolShape, 2, "values_polygon"},
               {kToolDimension, 0, "values_dimension"}};
  for (const auto& shot : shots) {
    UseTool(shot.tool, shot.subMode);
    const int top = m_view->GetDrawingAreaHeight();
    const QImage bar = m_view->BackBuffer().copy(0, top, kWidth, kHeight - top);
    EXPECT_TRUE(bar.save(QStringLiteral(ZEPH_RENDER_DIR "/%1.png").arg(shot.name)));
  }
}

}  // namespace
}  // namespace zeph::testing
