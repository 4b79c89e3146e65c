#pragma once
// What every editor test stands on: clean logs, options, screen and editor state, a manual
// clock, a drawing of our own, and a shown editor window whose back buffer the tests probe.
// Each test checks that no glitch was reported unless it expects one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <memory>

#include "controls/timers.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph::testing {

inline constexpr ColourRef kBlack = 0x00000000;
inline constexpr ColourRef kRed = 0x000000FF;
inline constexpr ColourRef kBlue = 0x00FF0000;

inline DrawItemPtr MakeLine(int x1, int y1, int x2, int y2, ColourRef colour = kRed) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetColour(static_cast<int>(colour));
  line->SetLineStyle(kLineStyleUnbroken);
  return line;
}

class EditorTest : public ::testing::Test {
 protected:
  // A Break offer a test left, or split lists it filled by hand, must not reach the next test:
  // the pieces made are freed and the lists emptied.
  static void ResetSplitState() {
    CZephDoc::FreeSplitPieces();
    ResetIntersectionState();
  }

  static constexpr int kWidth = 200;
  static constexpr int kHeight = 150;

  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetSplitState();
    SetTimerService(&m_clock);
    SetPresenter(&m_presenter);
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    ResetEditorState();
    m_window = std::make_unique<CEditDrawing>();
    m_window->resize(kWidth, kHeight);
    m_window->show();
    QApplication::sendPostedEvents();
    ASSERT_EQ(m_window->BackBuffer().width(), kWidth);
    SetZoom(8, 20, kHeight - 20);
    m_window->SetDocument(&m_doc);
  }

  void TearDown() override {
    m_window.reset();
    SetTimerService(nullptr);
    SetPresenter(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetSplitState();
    ResetEditorState();
    ResetOptionsState();
    ResetScreenState();
    ResetLogState();
  }

  // Zoom level with the drawing's origin at device pixel (u, v).
  void SetZoom(int level, int u, int v) {
    CViewMapping& m = m_window->GetMapping();
    const int scale = ZoomScaleOfLevel(level);
    m.SetZoomLevel(level);
    m.scaleX = scale;
    m.scaleY = scale;
    m.originX = -u * scale;
    m.originY = v * scale;
    m.SetWindowExtent(kWidth, kHeight);
    m.SetClientSize(0, kHeight);
  }
  int Scale() const { return m_window->GetMapping().scaleX; }

  void Add(DrawItemPtr item) { ASSERT_EQ(m_doc.AddItem(item), 1); }

  void Repaint() {
    m_window->Invalidate();
    m_window->UpdateWindow();
  }

  ColourRef Pixel(int x, int y) const {
    const QRgb rgb = m_window->BackBuffer().pixel(x, y);
    return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }
  static ColourRef Background() { return g_backgroundColour & kColourMask; }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  CManualTimerService m_clock;
  ScriptedPresenter m_presenter;
  CZephDoc m_doc;
  std::unique_ptr<CEditDrawing> m_window;
  bool m_glitchExpected = false;
};

// Where screenshots go, made on first use.
inline QString RenderPath(const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  return QStringLiteral(ZEPH_RENDER_DIR "/") + name;
}

}  // namespace zeph::testing
