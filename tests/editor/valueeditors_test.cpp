// The values bar's editors: typed values checked against their ranges with the refusal
// messages, empty boxes clearing set flags, the selected item's properties changed through
// its setters (an impossible arc angle taken back), object names, the hatch chosen before a
// fill becomes hatched, the editors' keys, and a line drawn at a length typed into the bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "controls/edits.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editordialogs.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "items/boundaryloop.h"
#include "items/dimensionitem.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/hatch.h"
#include "items/lineitem.h"
#include "items/textitem.h"
#include "items/valuefields.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

constexpr double kPi = std::numbers::pi;

const QString kMessage20 = QStringLiteral("Please type a proper value for this length.");
const QString kMessage21 = QStringLiteral("Please type a proper value for this angle.");
const QString kMessage22 = QStringLiteral("Please type a proper value for the scale factor.");
const QString kMessage25 =
    QStringLiteral("Please type a positive whole number\nfor the number of actions.");
const QString kMessage30 =
    QStringLiteral("An object name cannot contain\nmore than 16 characters.");
const QString kMessage31 = QStringLiteral("This angle is not possible for an  arc.");
const QString kMessage32 = QStringLiteral("Please type a proper value for the radius.");
const QString kMessage33 = QStringLiteral("This object name has already been used.");
const QString kMessage34 = QStringLiteral(
    "Please type a whole number between 3 and 1000\nfor the number of sides in the polygon.");
const QString kMessage36 = QStringLiteral(
    "Please type a whole number between 10 and 1000\nfor the percentage width of the font.");

class ValueEditorTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    ResetToolParameters();
    ResetValuesBarParameters();
    g_realWorldScale = 1.0;
    g_appActive = 1;
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    ResetToolParameters();
    ResetValuesBarParameters();
    ResetValueFields();
    ViewTest::TearDown();
  }
  // The edit box open on a field with a typed text; answers what applying it answered.
  int Type(int field, const QString& text) {
    m_view->SetOpenEditor(kValueEditorEdit, field);
    m_view->GetValueEdit()->SetWindowText(text);
    m_view->GetValueEdit()->show();
    return m_view->ApplyValueEdit();
  }
  QString LastMessage() const {
    return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
  }
  CDrawItem* AddPicked(DrawItemPtr item) {
    CDrawItem* raw = item.get();
    EXPECT_EQ(m_doc.AddItem(item), 1);
    Drawing().AddPicked(raw);
    return raw;
  }
};

struct EditRow {
  int field;
  const char* text;
  int accepted;
  QString message;
  std::function<bool()> holds;
};

TEST_F(ValueEditorTest, TypedValuesAreCheckedAndStored) {
  const std::vector<EditRow> rows = {
      {9, "9", 0, kMessage36, [] { return g_textWidth == 100; }},
      {9, "10", 1, {}, [] { return g_textWidth == 10; }},
      {9, "1000", 1, {}, [] { return g_textWidth == 1000; }},
      {9, "1001", 0, kMessage36, [] { return g_textWidth == 1000; }},
      {9, "55.5", 0, kMessage36, [] { return g_textWidth == 1000; }},
      {112, "0", 0, kMessage22, [] { return g_hatchScale == 1.0; }},
      {112, "2.5", 1, {}, [] { return g_hatchScale == 2.5; }},
      {18, "2", 0, kMessage34, [] { return g_polygonSidesSet == 0; }},
      {18, "3", 1, {}, [] { return g_polygonSides == 3 && g_polygonSidesSet == 1; }},
      {18, "1000", 1, {}, [] { return g_polygonSides == 1000; }},
      {18, "1001", 0, kMessage34, [] { return g_polygonSides == 1000; }},
      {18, "", 1, {}, [] { return g_polygonSidesSet == 0 && g_polygonSides == 1000; }},
      {2, "25mm", 1, {}, [] { return g_lineLength == 25000.0 && g_lineLengthSet == 1; }},
      {2, "-5", 0, kMessage20, [] { return g_lineLength == 25000.0; }},
      {2, "0", 0, kMessage20, [] { return g_lineLengthSet == 1; }},
      {2, "  ", 1, {}, [] { return g_lineLengthSet == 0; }},
      // No length beyond the drawing's width (50,000,000 units, 50 m at scale 1) is taken.
      {2, "99999999999999999999", 0, kMessage20, [] { return g_lineLengthSet == 0; }},
      {2, "50.001m", 0, kMessage20, [] { return g_lineLengthSet == 0; }},
      {2, "50m", 1, {}, [] { return g_lineLength == 50000000.0 && g_lineLengthSet == 1; }},
      {4, "100000m", 0, kMessage32, [] { return g_circleRadiusSet == 0; }},
      {6, "60m", 0, kMessage32, [] { return g_filletRadiusSet == 0; }},
      {177, "1000km", 0, kMessage20, [] { return g_copyDistanceSet == 0; }},
      {102, "400", 1, {}, [] { return std::abs(g_lineAngle - 40 * kPi / 180) < 1e-12; }},
      {5, "", 0, kMessage21, [] { return g_ellipseSlope == 0.0; }},
      {5, "200", 1, {}, [] { return std::abs(g_ellipseSlope - 20 * kPi / 180) < 1e-12; }},
      {109, "", 0, kMessage21, [] { return g_textAngle == 0.0; }},
      {109, "abc", 0, kMessage21, [] { return g_textAngle == 0.0; }},
      {16, "270", 1, {}, [] { return std::abs(g_moveAngle - kPi / 2) < 1e-12; }},
      {71, "720", 1, {}, [] { return std::abs(g_rotateAngle - 4 * kPi) < 1e-12; }},
      {73, "0", 0, kMessage22, [] { return g_enlargeFactorSet == 0; }},
      {73, "1.5", 1, {}, [] { return g_enlargeFactor == 1.5 && g_enlargeFactorSet == 1; }},
      {76, "300", 0, kMessage25, [] { return g_toolActionCounts[0] == 0; }},
      {76, "4", 1, {}, [] { return g_actionCount == 4 && g_toolActionCounts[0] == 4; }},
      {175, "6", 1, {}, [] { return g_actionCount == 6 && g_toolActionCounts[3] == 6; }},
      {120, "2cm", 1, {}, [] { return g_rectangleWidth == 20000.0 && g_rectangleWidthSet; }},
  };
  for (const EditRow& row : rows) {
    SCOPED_TRACE(QStringLiteral("field %1 text \"%2\"").arg(row.field).arg(row.text).toStdString());
    m_presenter.Clear();
    EXPECT_EQ(Type(row.field, QString::fromUtf8(row.text)), row.accepted);
    EXPECT_EQ(LastMessage(), row.message);
    EXPECT_TRUE(row.holds());
    // A refused value keeps the edit box open for another try; a taken one closes it.
    EXPECT_EQ(m_view->GetOpenEditor(), row.accepted != 0 ? kValueEditorNone : kValueEditorEdit);
    EXPECT_EQ(m_view->GetValueEdit()->isVisible(), row.accepted == 0);
  }
}

TEST_F(ValueEditorTest, ATypedArcRadiusClearsATypedAngleAndTheReverse) {
  g_arcAngleSet = 1;
  EXPECT_EQ(Type(3, QStringLiteral("10mm")), 1);
  EXPECT_EQ(g_arcRadiusSet, 1);
  EXPECT_EQ(g_arcAngleSet, 0);
  EXPECT_EQ(Type(103, QStringLiteral("90")), 1);
  EXPECT_EQ(g_arcAngleSet, 1);
  EXPECT_EQ(g_arcRadiusSet, 0);
  EXPECT_NEAR(g_arcAngle, kPi / 2, 1e-12);
  // The points field then offers the two-point choices.
  g_currentTool = kToolArc;
  m_view->UpdateView();
  m_presenter.Clear();
}

TEST_F(ValueEditorTest, AnArcAngleThatMakesTheArcImpossibleIsTakenBack) {
  m_doc.EnableUndo(1);
  DrawItemPtr made = CreateItem(kItemArc);
  made->SetStart(0, 0);
  made->SetEnd(20000, 0);
  made->SetAngle(kPi / 2);
  made->Recalculate();
  CDrawItem* arc = AddPicked(std::move(made));
  g_valueArcAngle = kPi / 2;
  EXPECT_EQ(Type(27, QStringLiteral("120")), 1);
  EXPECT_NEAR(arc->GetAngle(), 2 * kPi / 3, 1e-12);
  EXPECT_NEAR(g_valueArcAngle, 2 * kPi / 3, 1e-12);

  EXPECT_EQ(Type(27, QStringLiteral("0")), 0);
  EXPECT_EQ(LastMessage(), kMessage31);
  EXPECT_NEAR(arc->GetAngle(), 2 * kPi / 3, 1e-12);
  EXPECT_NEAR(g_valueArcAngle, 2 * kPi / 3, 1e-12);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorEdit);
}

TEST_F(ValueEditorTest, AnItemFieldWithoutASelectedItemChangesNothing) {
  EXPECT_EQ(Type(26, QStringLiteral("50")), 0);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  EXPECT_TRUE(m_presenter.shown().empty());
  ExpectGlitch(2824, 1);
}

TEST_F(ValueEditorTest, ObjectNamesOfSixteenCharactersAreTakenAndLongerOnesRefused) {
  const QString sixteen = QStringLiteral("abcdefghijklmnop");
  const QString seventeen = sixteen + QStringLiteral("q");
  // The chooser: a name not found makes a new object.
  m_view->SetOpenEditor(kValueEditorObjectChooser, 17);
  m_view->GetValueEdit()->SetWindowText(seventeen);
  EXPECT_EQ(m_view->ApplyObjectChooser(1), 0);
  EXPECT_EQ(LastMessage(), kMessage30);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorObjectChooser);
  m_view->GetValueEdit()->SetWindowText(sixteen);
  EXPECT_EQ(m_view->ApplyObjectChooser(1), 1);
  const int made = m_doc.FindObjectByName(sixteen);
  ASSERT_GT(made, 0);
  EXPECT_EQ(g_currentObject, made);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);

  // Renaming: another object's name is refused, as is a long one.
  g_currentObject = static_cast<std::int16_t>(made + 1);
  m_presenter.Clear();
  m_view->SetOpenEditor(kValueEditorName, 80);
  m_view->GetValueEdit()->SetWindowText(sixteen);
  EXPECT_EQ(m_view->ApplyObjectNameEdit(), 0);
  EXPECT_EQ(LastMessage(), kMessage33);
  m_view->GetValueEdit()->SetWindowText(QStringLiteral("bridge deck wall x"));
  EXPECT_EQ(m_view->ApplyObjectNameEdit(), 0);
  EXPECT_EQ(LastMessage(), kMessage30);
  m_view->GetValueEdit()->SetWindowText(QStringLiteral("  bridge deck  "));
  EXPECT_EQ(m_view->ApplyObjectNameEdit(), 1);
  EXPECT_EQ(m_doc.FindObjectByName(QStringLiteral("bridge deck")), g_currentObject);
}

// Dialogs answering the hatch chooser with a pattern number, or cancelling it.
class HatchDialogs : public IEditorDialogs {
 public:
  int ChooseHatch(std::int32_t& pattern) override {
    ++asked;
    if (answer < 0) return 0;
    pattern = answer;
    return 1;
  }
  int answer = -1;
  int asked = 0;
};

DrawItemPtr MakeSquareFill(int x, int y, int size) {
  auto loop = std::make_unique<CBoundaryLoop>();
  const int xs[] = {x, x + size, x + size, x};
  const int ys[] = {y, y, y + size, y + size};
  for (int i = 0; i < 4; ++i) {
    auto edge = std::make_unique<CLineEdge>();
    edge->SetStart(xs[i], ys[i]);
    edge->SetEnd(xs[(i + 1) % 4], ys[(i + 1) % 4]);
    loop->Append(std::move(edge));
  }
  auto fill = std::make_unique<CFillItem>();
  fill->AttachBoundary(std::move(loop));
  return fill;
}

TEST_F(ValueEditorTest, HatchForASolidFillAsksForAPatternAndCancellingKeepsItSolid) {
  m_doc.EnableUndo(1);
  CDrawItem* fill = AddPicked(MakeSquareFill(0, 0, 20000));
  fill->PublishProperties();
  ASSERT_EQ(g_valueFillStyle, kFillSolid);
  HatchDialogs dialogs;
  SetEditorDialogs(&dialogs);
  const char16_t* const texts[] = {u"Solid colour", u"Hatch"};

  m_view->SetOpenEditor(kValueEditorList, 30);
  m_view->OpenValueList(0, 2, texts);
  m_view->GetValueList()->setCurrentRow(1);
  EXPECT_EQ(m_view->ApplyValueList(), 1);
  EXPECT_EQ(dialogs.asked, 1);
  EXPECT_EQ(fill->GetFillStyle(), kFillSolid);
  EXPECT_EQ(g_valueFillStyle, kFillSolid);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);

  dialogs.answer = g_hatchDefinitions[2].GetNumber();
  m_view->SetOpenEditor(kValueEditorList, 30);
  m_view->OpenValueList(0, 2, texts);
  m_view->GetValueList()->setCurrentRow(1);
  EXPECT_EQ(m_view->ApplyValueList(), 1);
  EXPECT_EQ(fill->GetFillStyle(), kFillHatch);
  EXPECT_EQ(g_valueFillStyle, kFillHatch);
  EXPECT_EQ(g_valueHatchIndex, 2);
}

// A list's choice goes to the tool's parameter, or to the selected item and the shown value,
// the line style counting from 1.
TEST_F(ValueEditorTest, AListChoiceGoesToItsParameterOrToTheSelectedItem) {
  const char16_t* const texts[] = {u"a", u"b", u"c", u"d", u"e", u"f"};
  const auto choose = [&](int field, int row) {
    m_view->SetOpenEditor(kValueEditorList, field);
    m_view->OpenValueList(0, 6, texts);
    m_view->GetValueList()->setCurrentRow(row);
    return m_view->ApplyValueList();
  };
  struct ListRow {
    int field;
    int row;
    std::function<int()> parameter;
    int expected;
  };
  const ListRow tools[] = {
      {kFieldToolLineStyle, 2, [] { return int{g_lineStyle}; }, 3},
      {kFieldToolDimensionTypeEnds, 1, [] { return int{g_dimensionType}; }, 1},
      {kFieldToolDimensionTypeEnds + kSecondLine, 3, [] { return int{g_dimensionLineEnds}; }, 3},
      {kFieldToolDimensionText, 1, [] { return int{g_dimensionTextAngle}; }, 1},
      {kFieldToolDimensionText + kSecondLine, 2, [] { return int{g_dimensionTextPosition}; }, 2},
      {kFieldToolFillType, 1, [] { return int{g_fillType}; }, 1},
  };
  for (const ListRow& row : tools) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(choose(row.field, row.row), 1);
    EXPECT_EQ(row.parameter(), row.expected);
    EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  }

  auto newLine = std::make_unique<CLineItem>();
  newLine->SetStart(10000, 10000);
  newLine->SetEnd(30000, 10000);
  newLine->SetLineStyle(1);
  CDrawItem* line = AddPicked(std::move(newLine));
  EXPECT_EQ(choose(kFieldLineStyle, 4), 1);
  EXPECT_EQ(line->GetLineStyle(), 5);
  EXPECT_EQ(g_valueLineStyle, 5);
  Drawing().ClearPickList();

  auto newDimension = std::make_unique<CDimensionItem>();
  newDimension->SetStart(10000, 10000);
  newDimension->SetEnd(30000, 10000);
  CDrawItem* dimension = AddPicked(std::move(newDimension));
  const ListRow items[] = {
      {kFieldDimensionTypeEnds, 2, [&] { return int{dimension->GetDimensionType()}; }, 2},
      {kFieldDimensionTypeEnds + kSecondLine, 4, [&] { return int{dimension->GetLineEnds()}; }, 4},
      {kFieldDimensionText, 1, [&] { return int{dimension->GetTextAngleMode()}; }, 1},
      {kFieldDimensionText + kSecondLine, 2, [&] { return int{dimension->GetTextPosition()}; }, 2},
      {kFieldDimensionUnits, 3, [&] { return int{dimension->GetUnits()}; }, 3},
  };
  for (const ListRow& row : items) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(choose(row.field, row.row), 1);
    EXPECT_EQ(row.parameter(), row.expected);
  }
  EXPECT_EQ(g_valueDimensionType, 2);
  EXPECT_EQ(g_valueLineEnds, 4);
  EXPECT_EQ(g_valueTextAngleMode, 1);
  EXPECT_EQ(g_valueTextPosition, 2);
  EXPECT_EQ(g_valueUnits, 3);
}

TEST_F(ValueEditorTest, EscDiscardsTheTextAndAPressOnTheViewAppliesIt) {
  ASSERT_EQ(Drawing().SetTool(kToolNewLine, -1), 1);
  m_view->UpdateView();
  const DcRect box = m_view->GetFieldBox(3);  // length and angle
  ASSERT_FALSE(box.IsEmpty());
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(box.left + 10, box.top + 4));
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorEdit);
  EXPECT_EQ(m_view->GetOpenField(), 2);
  QTest::keyClicks(m_view->GetValueEdit(), QStringLiteral("40mm"));
  QTest::keyClick(m_view->GetValueEdit(), Qt::Key_Escape);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  EXPECT_EQ(g_lineLengthSet, 0);

  // The second line opens the angle; a press elsewhere on the view takes the text.
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {},
                    QPoint(box.left + 10, box.top + m_view->GetLineHeight() + 6));
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorEdit);
  EXPECT_EQ(m_view->GetOpenField(), 102);
  QTest::keyClicks(m_view->GetValueEdit(), QStringLiteral("30"));
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(5, kHeight - 5));
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  EXPECT_EQ(g_lineAngleSet, 1);
  EXPECT_NEAR(g_lineAngle, kPi / 6, 1e-12);
}

TEST_F(ValueEditorTest, ALineDrawnAtALengthTypedIntoTheBar) {
  ASSERT_EQ(Drawing().SetTool(kToolNewLine, -1), 1);
  m_view->UpdateView();
  const DcRect box = m_view->GetFieldBox(3);
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(box.left + 10, box.top + 4));
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorEdit);
  QTest::keyClicks(m_view->GetValueEdit(), QStringLiteral("30mm"));
  QTest::keyClick(m_view->GetValueEdit(), Qt::Key_Return);
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  ASSERT_EQ(g_lineLengthSet, 1);
  EXPECT_EQ(g_lineLength, 30000.0);

  const int before = m_doc.GetItemCount();
  const auto click = [this](QPoint point) {
    QTest::mouseMove(&Drawing(), point);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, point);
  };
  click({60, 120});
  click({200, 120});
  ASSERT_EQ(m_doc.GetItemCount(), before + 1);
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  m_doc.GetItem(before)->GetStart(sx, sy);
  m_doc.GetItem(before)->GetEnd(ex, ey);
  EXPECT_NEAR(std::hypot(ex - sx, ey - sy), 30000.0, 2.0);
  EXPECT_GT(ex, sx);  // towards the cursor
}

TEST_F(ValueEditorTest, EveryEntryOfAnOpenedListIsShownWhole) {
  // However tall the lists draw their rows, each entry offered can be clicked: the line
  // style's six (the most a value list shows) and the object chooser's seven.
  for (int i = 1; i <= 7; ++i) m_doc.SetObjectName(i, QStringLiteral("Named %1").arg(i));
  ASSERT_EQ(Drawing().SetTool(kToolNewLine, -1), 1);
  m_view->UpdateView();
  const auto allShown = [](QListWidget* list, int rows) {
    EXPECT_TRUE(list->isVisible());
    EXPECT_GE(list->count(), rows);
    for (int i = 0; i < rows && i < list->count(); ++i) {
      EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
          << "entry " << i;
    }
  };
  const DcRect style = m_view->GetFieldBox(2);  // the line style
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(style.left + 10, style.top + 8));
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorList);
  allShown(m_view->GetValueList(), 6);
  QTest::keyClick(m_view->GetValueList(), Qt::Key_Escape);

  const DcRect colour = m_view->GetFieldBox(1);  // the colour and, below, the object
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {},
                    QPoint(colour.left + 10, colour.top + m_view->GetLineHeight() + 6));
  ASSERT_EQ(m_view->GetOpenEditor(), kValueEditorObjectChooser);
  allShown(m_view->GetObjectListBox(), 7);
}

// ---- Edited texts and shown curves follow a change made on the values bar ----

// Dialogs whose font dialog doubles the height of the font it opens on.
class FontDialogs : public IEditorDialogs {
 public:
  int ChooseFont(DcFont& font) override {
    ++asked;
    opened = font;
    if (!confirm) return 0;
    font.height *= 2;
    return 1;
  }
  DcFont opened;
  int asked = 0;
  bool confirm = true;
};

class EditedItemTest : public ValueEditorTest {
 protected:
  void SetUp() override {
    ValueEditorTest::SetUp();
    m_doc.EnableUndo(1);
    SetEditorDialogs(&m_dialogs);
    SetZoom(8, 20, 200);
  }
  // A text picked by the Modify tool, as its click leaves it: edited, with its caret shown.
  CDrawItem* EditText(const QString& characters) {
    DrawItemPtr made = CreateItem(kItemText);
    made->SetPosition(Mapping().DeviceToDrawingX(40), Mapping().DeviceToDrawingY(60, 0));
    made->SetColour(0xFF);
    EXPECT_EQ(made->SetText(characters), 1);
    CDrawItem* text = made.get();
    EXPECT_EQ(m_doc.AddItem(made), 1);
    g_currentTool = kToolModify;
    Repaint();
    Drawing().AddPicked(text);
    text->PublishProperties();
    text->BeginEdit(-1);
    Drawing().SetTextState(kTextEditing);
    Drawing().StartTimer(kTimerCaret, 0);
    EXPECT_EQ(g_textCaretShown, 1);
    return text;
  }
  void Repaint() {
    Drawing().Invalidate();
    Drawing().UpdateWindow();
  }
  // The text's device box now.
  DcRect BoxOf(const CDrawItem* text) const {
    QImage scratch(8, 8, QImage::Format_RGB32);
    CImageContext dc(scratch);
    DcRect box;
    const auto* item = static_cast<const CTextItem*>(text);
    EXPECT_EQ(
        item->GetTextDeviceBox(&dc, Mapping().DrawingToDeviceX(text->GetHandleX(0)),
                               Mapping().DrawingToDeviceY(text->GetHandleY(0)), &Mapping(), box),
        1);
    return box;
  }
  // The caret is taken off: the columns it covered, and the screen must then be what a
  // repaint gives.
  std::pair<int, int> TakeOffCaret(CDrawItem* text) {
    const QImage with = Drawing().BackBuffer().copy();
    {
      CEditDrawing::CClientDC dc(Drawing());
      text->HideCaret(&dc.get(), &Mapping());
    }
    const QImage without = Drawing().BackBuffer().copy();
    int left = with.width();
    int right = -1;
    for (int y = 0; y < with.height(); ++y) {
      for (int x = 0; x < with.width(); ++x) {
        if (with.pixel(x, y) != without.pixel(x, y)) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    }
    Repaint();
    EXPECT_EQ(Drawing().BackBuffer(), without) << "the old caret or text is left on the screen";
    return {left, right};
  }

  FontDialogs m_dialogs;
};

TEST_F(EditedItemTest, AFontChosenForAnEditedTextLaysItOutAgainWithItsCaretAtTheEnd) {
  CDrawItem* text = EditText(QStringLiteral("Bridge"));
  const int oldRight = BoxOf(text).right;
  m_view->UpdateView();
  ASSERT_EQ(g_valueFieldIds[1], kFieldTextFont);
  const DcRect field = m_view->GetFieldBox(1);
  ASSERT_FALSE(field.IsEmpty());
  DcFont startFont;
  text->GetFont()->GetLogFont(startFont, nullptr, 100, 0);
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(field.left + 10, field.top + 4));

  ASSERT_EQ(m_dialogs.asked, 1);
  // The dialog opens on the font's logical form at 100 percent and angle 0.
  EXPECT_EQ(m_dialogs.opened, startFont);
  EXPECT_EQ(text->GetFont()->IsEqual(g_valueTextFont), 1);
  const DcRect box = BoxOf(text);
  ASSERT_GT(box.right, oldRight + 10) << "twice the height makes the text wider";
  const auto [left, right] = TakeOffCaret(text);
  EXPECT_GE(left, box.right - 4);
  EXPECT_LE(right, box.right + 4);
  EXPECT_EQ(m_doc.CanUndo(), 1);

  // Cancelled: nothing changes.
  m_dialogs.confirm = false;
  const CFontSpec kept = *text->GetFont();
  QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(field.left + 10, field.top + 4));
  EXPECT_EQ(m_dialogs.asked, 2);
  EXPECT_EQ(text->GetFont()->IsEqual(kept), 1);
}

TEST_F(EditedItemTest, AWidthTypedForAnEditedTextLaysItOutAgainWithItsCaretAtTheEnd) {
  CDrawItem* text = EditText(QStringLiteral("Bridge"));
  const int oldRight = BoxOf(text).right;
  EXPECT_EQ(Type(26, QStringLiteral("250")), 1);
  EXPECT_EQ(text->GetFontSize(), 250);
  EXPECT_EQ(Drawing().GetTextState(), kTextEditing);
  const DcRect box = BoxOf(text);
  ASSERT_GT(box.right, oldRight + 10);
  const auto [left, right] = TakeOffCaret(text);
  EXPECT_GE(left, box.right - 4);
  EXPECT_LE(right, box.right + 4);
}

TEST_F(EditedItemTest, AControlPointTypedForAShownCurveMovesItsMarks) {
  const int s = Mapping().scaleX;
  DrawItemPtr made = CreateItem(kItemBezier);
  made->SetStart(Mapping().DeviceToDrawingX(60), Mapping().DeviceToDrawingY(150, 0));
  made->SetEnd(Mapping().DeviceToDrawingX(260), Mapping().DeviceToDrawingY(150, 0));
  made->SetControlPoint(0, made->GetHandleX(0) + 40.0 * s, made->GetHandleY(0) + 60.0 * s);
  made->SetControlPoint(1, made->GetHandleX(1) - 40.0 * s, made->GetHandleY(1) + 60.0 * s);
  made->SetColour(0xFF);
  CDrawItem* curve = made.get();
  ASSERT_EQ(m_doc.AddItem(made), 1);
  g_currentTool = kToolModify;
  Repaint();
  g_toolState = 4;
  Drawing().AddToPickList(curve);
  Drawing().DrawCurveHandles(0, nullptr);
  curve->PublishProperties();

  struct Row {
    int field;
    const char* text;
  };
  const Row rows[] = {{38, "30mm"}, {139, "45"}, {39, "12mm"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(Type(row.field, QString::fromUtf8(row.text)), 1);
    ASSERT_EQ(Drawing().GetGripCount(), 2);
    for (int i = 0; i < 2; ++i) {
      double x = 0.0;
      double y = 0.0;
      curve->GetControlPoint(i, x, y);
      EXPECT_EQ(Drawing().GetGrip(i).x, static_cast<int>(std::lround(x))) << i;
      EXPECT_EQ(Drawing().GetGrip(i).y, static_cast<int>(std::lround(y))) << i;
    }
    const QImage shown = Drawing().BackBuffer().copy();
    Repaint();
    EXPECT_EQ(Drawing().BackBuffer(), shown) << "old control lines or grips left behind";
  }
  double x = 0.0;
  double y = 0.0;
  curve->GetControlPoint(0, x, y);
  EXPECT_NEAR(std::hypot(x - curve->GetHandleX(0), y - curve->GetHandleY(0)), 30000.0, 1.0);
}

}  // namespace
}  // namespace zeph::testing
