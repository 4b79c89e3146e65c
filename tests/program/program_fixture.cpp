#include "program/program_fixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/frontview.h"
#include "app/valuedialogs.h"
#include "common/golden.h"
#include "controls/frontbutton.h"
#include "controls/viewcontrols.h"
#include "document/wholedrawing.h"
#include "editor/editorstate.h"
#include "editor/flyouttools.h"
#include "editor/showdrawing.h"
#include "editor/toolparams.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/intersect.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "program/xserver.h"
#include "spell/spell.h"
#include "support/appservices.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace zeph::testing {

bool Near(DrawingPoint a, DrawingPoint b, int tolerance) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

void ProgramTest::SetUp() {
  if (!NoDisplayReason().isEmpty()) GTEST_SKIP() << NoDisplayReason().toStdString();
  // A run of several tests in one process starts each program afresh.
  ResetLogState();
  ResetScreenState();
  ResetOptionsState();
  ResetUiUtilState();
  ResetAppGlobals();
  ResetViewGlobals();
  ResetGeometryGlobals();
  ResetIntersectionState();
  ResetSharedFonts();
  ResetEditingViewGlobals();
  ResetEditorState();
  ResetToolParameters();
}

void ProgramTest::TearDown() {
  if (!NoDisplayReason().isEmpty()) return;
  if (m_app && m_app->GetActiveViewCode() == kViewEditing && !HasFailure() && !IsSkipped()) {
    CheckGoldens();
  }
  EXPECT_EQ(m_person.Waiting(), 0) << "windows the test expected never opened";
  // Every message box says something, and every button of every window has its words.
  for (const CPerson::Seen& seen : m_person.SeenWindows()) {
    if (seen.kind == QLatin1String("QMessageBox")) {
      EXPECT_FALSE(seen.text.trimmed().isEmpty())
          << "a message box without words: " << seen.title.toStdString();
    }
    for (const QString& button : seen.buttons) {
      EXPECT_FALSE(QString(button).remove(u'&').trimmed().isEmpty())
          << "a button without words in " << seen.kind.toStdString() << " \""
          << seen.title.toStdString() << "\"";
    }
  }
  if (!m_glitchExpected) {
    EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
  }
  m_app.reset();
  DeleteAuxiliaryDocuments();
  g_spellChecker.reset();
  ResetEditorState();
  ResetUiUtilState();
  ResetOptionsState();
  ResetScreenState();
  ResetLogState();
  ResetAppGlobals();
}

void ProgramTest::StartProgram() {
  PrepareProgram();
  m_person.Expect(QStringLiteral("the user's name"), [](QWidget& window) {
    CPerson::TypeInto(window, 0, QStringLiteral("Tester"));
    CPerson::Press(window, QStringLiteral("OK"));
  });
  m_app = std::make_unique<CZephApp>();
  m_app->InitInstance(QString());
  ASSERT_TRUE(m_app->HasMainWindow());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
  EXPECT_TRUE(QTest::qWaitForWindowActive(&Frame())) << "the main window never became active";
  Settle(50);
  ASSERT_EQ(m_person.Waiting(), 0) << "the name was not asked for";
  ASSERT_EQ(m_app->GetActiveViewCode(), kViewFront);
}

void ProgramTest::CreateDrawing() {
  auto* front = qobject_cast<CFrontView*>(m_app->GetFrontView());
  ASSERT_NE(front, nullptr);
  zeph::CFrontButton* create = nullptr;
  for (int i = 0; i < front->GetButtonCount(); ++i) {
    if (front->GetButton(i) != nullptr && front->GetButton(i)->GetId() == kIdFrontCreate) {
      create = front->GetButton(i);
    }
  }
  ASSERT_NE(create, nullptr);
  ClickAt(create, create->rect().center());
  Settle(50);
  ASSERT_EQ(m_app->GetActiveViewCode(), kViewEditing);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window().window()));
  Settle(50);
}

void ProgramTest::CheckGoldens(const QString& part) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  QString folder =
      QStringLiteral("program/%1.%2")
          .arg(QString::fromLatin1(test->test_suite_name()), QString::fromLatin1(test->name()));
  if (!part.isEmpty()) folder += u'/' + part;
  const auto key = [](Qt::Key k) {
    return [k] {
      KeyOnFocus(k, Qt::ControlModifier);
      Settle();
    };
  };
  CheckUndoHistory(folder, Doc(), key(Qt::Key_Z), key(Qt::Key_Y));
}

QPoint ProgramTest::ToolRow(int tool) {
  CEditingView& view = View();
  return {view.GetPaletteLeft() + view.GetPaletteWidth() / 2,
          view.m_toolTops[static_cast<std::size_t>(tool)] + view.GetLineHeight() / 2};
}

void ProgramTest::PickTool(int tool, int subMode) {
  CEditingView& view = View();
  const int snapMode = g_snapMode;
  ClickAt(&view, ToolRow(tool));
  Settle();
  if (subMode >= 0) {
    ASSERT_NE(view.GetFlyout(), nullptr) << "no list of sub-modes opened for tool " << tool;
    const QRect box = view.GetFlyout()->geometry();
    const int pitch = view.GetLineHeight() + view.m_flyoutSpacing;
    const QPoint entry(box.left() + 8, box.top() + subMode * pitch + 4 + view.GetLineHeight() / 2);
    ClickAt(&view, entry);
    Settle();
  }
  if (tool == kToolHunt || tool == kToolGrid) {
    EXPECT_NE(g_snapMode, snapMode) << "the palette's click did not switch the snap mode";
    return;
  }
  ASSERT_EQ(g_currentTool, tool) << "the palette's click did not choose the tool";
  if (subMode >= 0) {
    ASSERT_EQ(g_currentSubMode, subMode);
  }
}

void ProgramTest::Click(QPoint p) {
  ClickAt(&Window(), p);
  Settle();
}

void ProgramTest::Drag(QPoint from, QPoint to) {
  MoveTo(&Window(), from);
  PressAt(&Window(), from);
  const QPoint half = (from + to) / 2;
  MoveTo(&Window(), half);
  MoveTo(&Window(), to);
  ReleaseAt(&Window(), to);
  Settle();
}

DrawingPoint ProgramTest::At(QPoint p) {
  const CViewMapping& m = Window().GetMapping();
  return {m.DeviceToDrawingX(p.x()), m.DeviceToDrawingY(p.y(), 0)};
}

QPoint ProgramTest::PixelOf(DrawingPoint p) {
  const CViewMapping& m = Window().GetMapping();
  return {m.DrawingToDeviceX(p.x), m.DrawingToDeviceY(p.y)};
}

void ProgramTest::PressPromptButton(int id) {
  zeph::CViewButton* button = View().GetPromptButton(id);
  ASSERT_NE(button, nullptr) << "no prompt button " << id;
  EXPECT_FALSE(button->text().remove(u'&').trimmed().isEmpty())
      << "prompt button " << id << " has no words";
  ClickAt(button, button->rect().center());
  Settle();
}

void ProgramTest::ClickField(int fieldId, int line) {
  CEditingView& view = View();
  const auto shownAt = [&view, fieldId] {
    for (int slot = view.GetFirstField(); slot < view.GetEndField(); ++slot) {
      if (g_valueFieldIds[static_cast<std::size_t>(slot)] == fieldId) return slot;
    }
    return -1;
  };
  // The bar is laid out as it is painted.
  if (!QTest::qWaitFor([&] { return shownAt() >= 0; }, 1000)) {
    std::string shown;
    for (int slot = view.GetFirstField(); slot < view.GetEndField(); ++slot) {
      shown += " " + std::to_string(g_valueFieldIds[static_cast<std::size_t>(slot)]);
    }
    ADD_FAILURE() << "field " << fieldId << " is not on the values bar; it shows" << shown;
    return;
  }
  const DcRect& box = view.GetFieldBox(shownAt());
  const int y = line == 0 ? box.top + view.GetLineHeight() / 2 + 3
                          : box.top + view.GetLineHeight() * 3 / 2 + 3;
  ClickAt(&view, QPoint((box.left + box.right) / 2, y));
  Settle();
}

void ProgramTest::TypeValue(const QString& text) {
  KeyOnFocus(Qt::Key_A, Qt::ControlModifier);
  TypeOnFocus(text);
  KeyOnFocus(Qt::Key_Return);
  Settle();
}

void ProgramTest::ChooseInList(int fieldId, const QString& text) {
  ClickField(fieldId);
  zeph::CViewList* list = View().GetValueList();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(list->isVisible()) << "field " << fieldId << " opened no list";
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << text.toStdString();
  ClickAt(list->viewport(), list->visualItemRect(found.front()).center());
  KeyOnFocus(Qt::Key_Return);
  Settle();
  EXPECT_FALSE(list->isVisible()) << "the list stayed open";
}

CDrawItem* ProgramTest::DrawLine(QPoint from, QPoint to) {
  PickTool(kToolNewLine);
  const int before = Count();
  Click(from);
  Click(to);
  EXPECT_EQ(Count(), before + 1) << "a line from " << from.x() << "," << from.y();
  return Count() > before ? Last() : nullptr;
}

void ProgramTest::DrawRectangle(QPoint a, QPoint b) {
  PickTool(kToolShape, 1);
  const int before = Count();
  Click(a);
  Click(b);
  EXPECT_EQ(Count(), before + 4) << "a rectangle";
}

std::vector<ProgramTest::Placed> ProgramTest::DrawEveryKind(int hatchSample) {
  std::vector<Placed> placed;
  const auto last = [this](int type) -> CDrawItem* {
    const std::vector<CDrawItem*> items = ItemsOfKind(type);
    return items.empty() ? nullptr : items.back();
  };
  placed.push_back({"line", kItemLine, {150, 100}, DrawLine({60, 100}, {240, 100})});
  PickTool(kToolDimension);
  Click({150, 102});
  Click({150, 60});
  placed.push_back({"dimension", kItemDimension, {150, 60}, last(kItemDimension)});
  PickTool(kToolArc);
  Click({300, 140});
  Click({400, 140});
  Click({350, 100});
  placed.push_back({"arc", kItemArc, {350, 100}, last(kItemArc)});
  PickTool(kToolCircle);
  Click({500, 120});
  Click({540, 120});
  placed.push_back({"circle", kItemCircle, {540, 120}, last(kItemCircle)});
  PickTool(kToolEllipse);
  Click({680, 120});
  Click({620, 90});
  placed.push_back({"ellipse", kItemEllipse, {680, 120}, last(kItemEllipse)});
  // An elliptic arc: an ellipse broken where an upright line crosses it, one half kept.
  PickTool(kToolEllipse);
  Click({880, 120});
  Click({820, 90});
  DrawLine({820, 60}, {820, 180});
  PickTool(kToolBreak);
  Click({880, 120});
  if (Window().IsBreakOffered() != 0) {
    PressPromptButton(kIdPromptYes);
    PressPromptButton(kIdPromptNo);
  }
  CDrawItem* half = last(kItemEllipseArc);
  QPoint halfClick(880, 120);
  if (half != nullptr) {
    const DrawingPoint right = At({880, 120});
    const DrawingPoint left = At({760, 120});
    if (half->GetDistanceTo(left.x, left.y) < half->GetDistanceTo(right.x, right.y)) {
      halfClick = {760, 120};
    }
  }
  placed.push_back({"elliptic arc", kItemEllipseArc, halfClick, half});
  PickTool(kToolCurve);
  Click({960, 220});
  Click({1100, 220});
  Drag({980, 180}, {990, 170});
  Drag({1080, 180}, {1070, 170});
  placed.push_back({"curve", kItemBezier, {962, 220}, last(kItemBezier)});
  DrawRectangle({300, 260}, {420, 340});
  PickTool(kToolFill);
  Click({360, 300});
  placed.push_back({"solid fill", kItemFill, {360, 300}, last(kItemFill)});
  DrawRectangle({480, 260}, {600, 340});
  PickTool(kToolFill);
  ChooseInList(10, QStringLiteral("Hatch"));
  m_person.Expect(QStringLiteral("the hatch"),
                  [hatchSample](QWidget& window) { ChooseHatchSample(window, hatchSample); });
  const int fills = static_cast<int>(ItemsOfKind(kItemFill).size());
  Click({540, 300});
  if (m_person.Waiting() != 0) {
    ADD_FAILURE() << "the hatch chooser did not open";
    m_person.ForgetAnswers();
  }
  placed.push_back(
      {"hatched fill",
       kItemFill,
       {540, 300},
       static_cast<int>(ItemsOfKind(kItemFill).size()) > fills ? last(kItemFill) : nullptr});
  ChooseInList(10, QStringLiteral("Solid colour"));
  PickTool(kToolText);
  Click({80, 300});
  TypeOnFocus(QStringLiteral("Words"));
  KeyOnFocus(Qt::Key_Return);
  Settle();
  placed.push_back({"text", kItemText, {95, 296}, last(kItemText)});
  for (const Placed& p : placed) EXPECT_NE(p.item, nullptr) << "no " << p.kind << " was drawn";
  return placed;
}

int ProgramTest::ChooseHatchSample(QWidget& window, int index) {
  auto* dialog = qobject_cast<CChooseHatchDialog*>(&window);
  if (dialog == nullptr || dialog->GetPreview() == nullptr) {
    ADD_FAILURE() << "not the hatch chooser: " << window.windowTitle().toStdString();
    return -1;
  }
  CShowDrawing* preview = dialog->GetPreview();
  const int number = g_hatchDefinitions[static_cast<std::size_t>(index)].GetNumber();
  // The sample's frame: the lines of its object.
  CZephDoc* samples = preview->GetDocument();
  int left = INT_MAX;
  int top = INT_MIN;
  for (int i = 0; i < samples->GetItemCount(); ++i) {
    const CDrawItem* item = samples->GetItem(i);
    if (item->GetType() != kItemLine || item->GetObjectNumber() != number) continue;
    left = std::min({left, StartOf(item).x, EndOf(item).x});
    top = std::max({top, StartOf(item).y, EndOf(item).y});
  }
  if (left == INT_MAX) {
    ADD_FAILURE() << "no sample of pattern " << number;
    return -1;
  }
  // Just inside the frame's top left corner, the preview scrolled down until it shows.
  const auto point = [&] {
    const CViewMapping& m = preview->GetMapping();
    return QPoint(m.DrawingToDeviceX(left) + 12, m.DrawingToDeviceY(top) + 12);
  };
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : preview->findChildren<QScrollBar*>()) {
    if (b->orientation() == Qt::Vertical) bar = b;
  }
  for (int i = 0; i < 40 && !preview->rect().adjusted(0, 0, -20, -20).contains(point()); ++i) {
    if (bar == nullptr || !bar->isVisible()) break;
    ClickAt(bar, {bar->width() / 2, bar->height() - bar->width() - 3});
    Settle();
  }
  ClickAt(preview, point());
  Settle();
  CPerson::Press(window, QStringLiteral("OK"));
  return number;
}

void ProgramTest::ChooseFile(QWidget& window, const QString& path) {
  auto* name = window.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (name == nullptr) {
    ADD_FAILURE() << "\"" << window.windowTitle().toStdString() << "\" has no file name box";
    return;
  }
  ClickAt(name, name->rect().center());
  KeyOnFocus(Qt::Key_A, Qt::ControlModifier);
  TypeOnFocus(path);
  KeyOnFocus(Qt::Key_Return);
}

void ProgramTest::ChooseColour(QWidget& window, const QString& html) {
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
    if (!edit->isVisible() || !edit->text().startsWith(u'#')) continue;
    ClickAt(edit, edit->rect().center());
    KeyOnFocus(Qt::Key_A, Qt::ControlModifier);
    TypeOnFocus(html);
    CPerson::Press(window, QStringLiteral("OK"));
    return;
  }
  ADD_FAILURE() << "the colour dialog has no HTML box";
}

DrawingPoint ProgramTest::StartOf(const CDrawItem* item) {
  DrawingPoint p;
  item->GetStart(p.x, p.y);
  return p;
}

DrawingPoint ProgramTest::EndOf(const CDrawItem* item) {
  DrawingPoint p;
  item->GetEnd(p.x, p.y);
  return p;
}

CDrawItem* ProgramTest::FindLine(DrawingPoint a, DrawingPoint b, int tolerance) {
  for (int i = 0; i < Count(); ++i) {
    CDrawItem* item = Item(i);
    if (item->GetType() != kItemLine) continue;
    const DrawingPoint s = StartOf(item);
    const DrawingPoint e = EndOf(item);
    if ((Near(s, a, tolerance) && Near(e, b, tolerance)) ||
        (Near(s, b, tolerance) && Near(e, a, tolerance))) {
      return item;
    }
  }
  return nullptr;
}

std::vector<CDrawItem*> ProgramTest::ItemsOfKind(int type) {
  std::vector<CDrawItem*> items;
  for (int i = 0; i < Count(); ++i) {
    if (Item(i)->GetType() == type) items.push_back(Item(i));
  }
  return items;
}

void ProgramTest::SaveShot(QWidget& widget, const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  widget.grab().save(QDir(QStringLiteral(ZEPH_RENDER_DIR)).filePath(name));
}

QImage ProgramTest::DrawingScreen() { return Window().grab().toImage(); }

void ProgramTest::ExpectMessage(const QString& what, const QString& button,
                                const QString& wantedText) {
  m_person.Expect(what, [what, button, wantedText](QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    EXPECT_NE(box, nullptr) << what.toStdString() << ": not a message box";
    if (box != nullptr && !wantedText.isEmpty()) {
      EXPECT_EQ(box->text(), wantedText) << what.toStdString();
    }
    CPerson::Press(window, button);
  });
}

}  // namespace zeph::testing
