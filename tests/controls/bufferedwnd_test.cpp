// The painted-window base: mouse and keys reach the handlers as the program's windows read
// them, capture decides what happens outside the window, drawing goes to the back buffer and
// timers run on the manual clock.
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <string>
#include <vector>

#include "controls/bufferedwnd.h"
#include "controls_fixture.h"
#include "support/uiutil.h"

namespace zeph::testing {
namespace {

// Records every handler call as one line.
class CRecordingWnd : public CBufferedWnd {
 public:
  explicit CRecordingWnd(QWidget* parent, bool doubleClicks = false) : CBufferedWnd(parent) {
    SetWantsDoubleClicks(doubleClicks);
  }
  std::vector<std::string> calls;
  bool captureOnPress = false;
  bool releaseCaptureOutside = false;
  int paints = 0;

  void OnLButtonDown(unsigned flags, QPoint p) override {
    Add("down", flags, p);
    if (captureOnPress) SetCapture();
  }
  void OnLButtonUp(unsigned flags, QPoint p) override {
    Add("up", flags, p);
    ReleaseCapture();
  }
  void OnLButtonDblClk(unsigned flags, QPoint p) override { Add("dbl", flags, p); }
  void OnRButtonDown(unsigned flags, QPoint p) override { Add("rdown", flags, p); }
  void OnMouseMove(unsigned flags, QPoint p) override {
    Add("move", flags, p);
    if (releaseCaptureOutside && !rect().contains(p)) ReleaseCapture();
  }
  void OnKeyDown(int key, int, unsigned flags) override {
    calls.push_back("key " + std::to_string(key) + ((flags & kKeyWasDown) ? " again" : ""));
  }
  void OnKeyUp(int key, int, unsigned) override { calls.push_back("keyup " + std::to_string(key)); }
  void OnChar(int c, int, unsigned) override { calls.push_back("char " + std::to_string(c)); }
  void OnSysChar(int c, int, unsigned) override { calls.push_back("sys " + std::to_string(c)); }
  void OnTimer(int id) override { calls.push_back("timer " + std::to_string(id)); }
  void OnPaint(CDrawContext& dc) override {
    ++paints;
    dc.FillRect({10, 10, 20, 20}, MakeColour(255, 0, 0));
  }

 private:
  void Add(const char* what, unsigned flags, QPoint p) {
    calls.push_back(std::string(what) + " " + std::to_string(flags) + " " + std::to_string(p.x()) +
                    "," + std::to_string(p.y()));
  }
};

// A parent that sees the keys its child lets through.
template <typename Base>
class CKeyParent : public Base {
 public:
  int keys = 0;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    ++keys;
    event->accept();
  }
};

using BufferedWndTest = ControlsTest;

void Move(QWidget* w, QPoint p, Qt::MouseButtons buttons) {
  QMouseEvent event(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

TEST_F(BufferedWndTest, PressMoveReleaseReachTheHandlersWithTheirFlags) {
  CRecordingWnd wnd(m_host.get());
  wnd.setGeometry(0, 0, 100, 80);
  ShowHost();
  QTest::mousePress(&wnd, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
  Move(&wnd, QPoint(7, 8), Qt::LeftButton);
  QTest::mouseRelease(&wnd, Qt::LeftButton, Qt::ControlModifier, QPoint(9, 10));
  QTest::mousePress(&wnd, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
  QTest::mouseRelease(&wnd, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
  const std::vector<std::string> expected = {"down 5 5,6", "move 1 7,8", "up 8 9,10",
                                             "rdown 2 1,1"};
  EXPECT_EQ(wnd.calls, expected);
}

// A double click is the second press; only a window that handles double clicks hears of it
// as well.
TEST_F(BufferedWndTest, DoubleClickIsTheSecondPressAndOnlyThenADoubleClick) {
  for (const bool wants : {false, true}) {
    CRecordingWnd wnd(m_host.get(), wants);
    wnd.setGeometry(0, 0, 100, 80);
    ShowHost();
    const QPoint p(4, 4);
    QTest::mousePress(&wnd, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(&wnd, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseDClick(&wnd, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(&wnd, Qt::LeftButton, Qt::NoModifier, p);
    std::vector<std::string> expected = {"down 1 4,4", "up 0 4,4", "down 1 4,4"};
    if (wants) expected.push_back("dbl 1 4,4");
    expected.push_back("up 0 4,4");
    EXPECT_EQ(wnd.calls, expected) << "wants double clicks " << wants;
  }
}

// Outside the window, moves and the release arrive only while the window holds the capture;
// a window that let the capture go on leaving loses the release.
TEST_F(BufferedWndTest, OutsideTheWindowOnlyTheCaptureHolderHears) {
  struct Case {
    bool captureOnPress;
    bool releaseOutside;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, false, {"down 1 5,5", "move 1 50,50"}},
      {true, false, {"down 1 5,5", "move 1 50,50", "move 1 150,50", "up 0 150,50"}},
      {true, true, {"down 1 5,5", "move 1 50,50", "move 1 150,50"}},
  };
  for (const Case& c : cases) {
    CRecordingWnd wnd(m_host.get());
    wnd.setGeometry(0, 0, 100, 80);
    wnd.captureOnPress = c.captureOnPress;
    wnd.releaseCaptureOutside = c.releaseOutside;
    ShowHost();
    QTest::mousePress(&wnd, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    Move(&wnd, QPoint(50, 50), Qt::LeftButton);
    Move(&wnd, QPoint(150, 50), Qt::LeftButton);
    QTest::mouseRelease(&wnd, Qt::LeftButton, Qt::NoModifier, QPoint(150, 50));
    EXPECT_EQ(wnd.calls, c.expected);
    EXPECT_EQ(GetCapture(), nullptr);
    ReleaseCapture();
  }
}

// Capture without a button: leaving the window is told as one move outside it.
TEST_F(BufferedWndTest, LeavingWhileCapturedGivesAMoveOutside) {
  CRecordingWnd wnd(m_host.get());
  wnd.setGeometry(0, 0, 100, 80);
  ShowHost();
  wnd.SetCapture();
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&wnd, &leave);
  ASSERT_EQ(wnd.calls.size(), 1u);
  EXPECT_EQ(wnd.calls[0].rfind("move 0 ", 0), 0u);
  wnd.ReleaseCapture();
  QApplication::sendEvent(&wnd, &leave);
  EXPECT_EQ(wnd.calls.size(), 1u);
}

TEST_F(BufferedWndTest, KeysGiveKeyDownThenTheCharacterTheSystemWouldGive) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), {"key 65", "char 97"}},
      {Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), {"key 13", "char 13"}},
      {Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), {"key 8", "char 8"}},
      {Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), {"key 27", "char 27"}},
      {Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)), {"key 46"}},
      {Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), {"key 9", "char 9"}},
      {Qt::Key_Backtab, Qt::ShiftModifier, QString(), {"key 9", "char 9"}},
      {Qt::Key_C, Qt::ControlModifier, QString(), {"key 67", "char 3"}},
      {Qt::Key_E, Qt::AltModifier, QString(), {"key 69", "sys 101"}},
      {Qt::Key_F3, Qt::NoModifier, QString(), {"key 114"}},
      {Qt::Key_Left, Qt::NoModifier, QString(), {"key 37"}},
      {Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"), {"key 101", "char 53"}},
  };
  CKeyParent<QWidget> parent;
  CRecordingWnd wnd(&parent);
  wnd.setGeometry(0, 0, 100, 80);
  parent.show();
  for (const Case& c : cases) {
    wnd.calls.clear();
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.text);
    QApplication::sendEvent(&wnd, &press);
    EXPECT_EQ(wnd.calls, c.expected) << "key " << c.key;
    EXPECT_TRUE(press.isAccepted());
  }
  // Keys left to the default handling stay with the window.
  EXPECT_EQ(parent.keys, 0);
}

TEST_F(BufferedWndTest, AutoRepeatedReleasesDoNotLetTheKeyUp) {
  CRecordingWnd wnd(m_host.get());
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
  QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  QApplication::sendEvent(&wnd, &press);
  QApplication::sendEvent(&wnd, &repeatRelease);
  QApplication::sendEvent(&wnd, &release);
  const std::vector<std::string> expected = {"key 16 again", "keyup 16"};
  EXPECT_EQ(wnd.calls, expected);
}

// Drawing outside a paint lands on the back buffer; XOR drawn twice leaves it as it was.
TEST_F(BufferedWndTest, XorOverlayDrawnTwiceLeavesTheBufferBitIdentical) {
  CRecordingWnd wnd(m_host.get());
  wnd.setGeometry(0, 0, 120, 90);
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);
  EXPECT_EQ(wnd.BackBuffer().pixel(15, 15), qRgb(255, 0, 0));
  EXPECT_EQ(wnd.BackBuffer().pixel(50, 50), qRgb(255, 255, 255));
  const QImage before = wnd.BackBuffer().copy();
  const auto overlay = [&wnd]() {
    CBufferedWnd::CClientDC dc(wnd);
    dc->SetRasterOp(RasterOp::kXor);
    dc->SelectPen({PenStyle::kSolid, 1, MakeColour(0, 255, 255)});
    dc->MoveTo(3, 40);
    dc->LineTo(110, 12);
    dc->SelectBrush({BrushStyle::kNull, 0});
    dc->Ellipse(5, 5, 60, 70);
  };
  overlay();
  EXPECT_NE(wnd.BackBuffer(), before);
  overlay();
  EXPECT_EQ(wnd.BackBuffer(), before);
  // Nothing invalid: the next paint event only copies.
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);
  wnd.InvalidateRect({0, 0, 30, 30});
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 2);
}

TEST_F(BufferedWndTest, TimersTickOnTheManualClockUntilKilled) {
  CRecordingWnd wnd(m_host.get());
  wnd.SetTimer(1, 200);
  wnd.SetTimer(2, 500);
  m_clock.Advance(450);
  std::vector<std::string> expected = {"timer 1", "timer 1"};
  EXPECT_EQ(wnd.calls, expected);
  wnd.calls.clear();
  wnd.SetTimer(1, 200);  // starts its interval again: next tick at 650
  m_clock.Advance(199);  // 649
  expected = {"timer 2"};
  EXPECT_EQ(wnd.calls, expected);
  EXPECT_TRUE(wnd.KillTimer(2));
  EXPECT_FALSE(wnd.KillTimer(2));
  m_clock.Advance(1);
  expected = {"timer 2", "timer 1"};
  EXPECT_EQ(wnd.calls, expected);
  EXPECT_EQ(m_clock.IntervalOf(wnd, 1), 200);
}

TEST_F(BufferedWndTest, ATimerOwnerTakesItsTimersWithIt) {
  auto wnd = std::make_unique<CRecordingWnd>(m_host.get());
  wnd->SetTimer(7, 100);
  const CTimerOwner* owner = wnd.get();
  wnd.reset();
  EXPECT_FALSE(m_clock.IsSet(*owner, 7));
  m_clock.Advance(1000);  // nothing left to tick
}

// Inside a dialog a window keeps the keys it asks for; Enter and Esc go to the dialog.
TEST_F(BufferedWndTest, InADialogTheArrowsStayAndEnterGoesToTheDialog) {
  CKeyParent<QDialog> dialog;
  CRecordingWnd wnd(&dialog);
  dialog.show();
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QApplication::sendEvent(&wnd, &down);
  QApplication::sendEvent(&wnd, &enter);
  const std::vector<std::string> expected = {"key 40"};
  EXPECT_EQ(wnd.calls, expected);
  EXPECT_EQ(dialog.keys, 1);
}

}  // namespace
}  // namespace zeph::testing
