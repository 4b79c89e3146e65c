#pragma once
// The drawing tools driven with the mouse on a shown editor window: the editing view is a
// recording one, the dialogs a fake that answers as a test tells it, and the values bar's
// parameters start from their defaults.
#include <QTest>
#include <cmath>
#include <numbers>

#include "editor/editordialogs.h"
#include "editor/toolparams.h"
#include "editor_fixture.h"
#include "items/dimensionitem.h"
#include "items/fillitem.h"
#include "recording_view.h"

namespace zeph::testing {

inline constexpr double kDegree = std::numbers::pi / 180.0;

// Dialogs that answer with the values set here and count how often they were opened.
class CFakeToolDialogs final : public IEditorDialogs {
 public:
  int hatchCalls = 0;
  int hatchOk = 1;
  std::int32_t hatchAnswer = 3;
  int sidesCalls = 0;
  int sidesOk = 0;
  std::int16_t sidesAnswer = 5;

  int ChooseHatch(std::int32_t& pattern) override {
    ++hatchCalls;
    if (hatchOk == 0) return 0;
    pattern = hatchAnswer;
    return 1;
  }
  int ChoosePolygonSides(std::int16_t& sides) override {
    ++sidesCalls;
    if (sidesOk == 0) return 0;
    sides = sidesAnswer;
    return 1;
  }
};

class DrawToolTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ResetToolParameters();
    SetEditorDialogs(&m_dialogs);
    m_view.document = &m_doc;
    m_view.window = m_window.get();
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    g_appActive = 1;
    SetOptionShort(kOptionJoinDistance, 4);
    SetOptionShort(kOptionHuntDistance, 10);
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    EditorTest::TearDown();
    ResetToolParameters();
  }

  void Use(int tool, int subMode = -1) { ASSERT_EQ(m_window->SetTool(tool, subMode), 1); }

  void Click(QPoint point) {
    QTest::mouseMove(m_window.get(), point);
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, point);
  }
  // Press at from, drag to to, release there.
  void Drag(QPoint from, QPoint to) {
    QTest::mouseMove(m_window.get(), from);
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_window.get(), to);
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, to);
  }
  // The drawing point of a device pixel, and back.
  DrawingPoint At(QPoint point) const {
    return {m_window->GetMapping().DeviceToDrawingX(point.x()),
            m_window->GetMapping().DeviceToDrawingY(point.y(), 0)};
  }
  QPoint DeviceOf(const DrawingPoint& p) const {
    return {m_window->GetMapping().DrawingToDeviceX(p.x),
            m_window->GetMapping().DrawingToDeviceY(p.y)};
  }

  static DrawingPoint StartOf(const CDrawItem* item) {
    DrawingPoint p;
    item->GetStart(p.x, p.y);
    return p;
  }
  static DrawingPoint EndOf(const CDrawItem* item) {
    DrawingPoint p;
    item->GetEnd(p.x, p.y);
    return p;
  }
  static double Distance(const DrawingPoint& a, const DrawingPoint& b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
  }
  void UndoOnce() {
    QImage scratch(8, 8, QImage::Format_RGB32);
    CImageContext dc(scratch);
    m_doc.Undo(&dc, &m_window->GetMapping(), 1);
  }
  // The picture on the screen is what a full repaint gives: the tool left no feedback behind.
  void ExpectCleanScreen() {
    const QImage shown = m_window->BackBuffer().copy();
    Repaint();
    EXPECT_EQ(m_window->BackBuffer(), shown) << "feedback left on the screen";
  }

  CRecordingView m_view;
  CFakeToolDialogs m_dialogs;
};

}  // namespace zeph::testing
