#pragma once
// What the editing-view tests stand on: clean logs, options, screen and editor state, a manual
// clock, a string table with the prompt area's texts, and a shown editing view with a drawing
// of our own. Each test checks that no glitch was reported unless it expects one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <memory>

#include "controls/timers.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph::testing {

inline constexpr int kIdsActionCopy = 301;
inline constexpr int kIdsSelectNewItems = 57;
inline constexpr int kIdsPromptGrips = 161;
inline constexpr int kIdsPromptOneLine = 302;

inline QString ViewTestStrings(int id) {
  switch (id) {
    case 1: return QStringLiteral("OK");
    case 4: return QStringLiteral("&Help");
    case 5: return QStringLiteral("&Yes");
    case 6: return QStringLiteral("&No");
    case 7: return QStringLiteral("Cancel");
    case 8: return QStringLiteral("Restart");
    case 9: return QStringLiteral("Bring to &front");
    case 10: return QStringLiteral("&Send to back");
    case kIdsSelectNewItems: return QStringLiteral("Select new items");
    case kIdsPromptGrips:
      return QStringLiteral("Drag any one of the grips to\nthe position that you want it.");
    case kIdsActionCopy: return QStringLiteral("Copy the selected items");
    case kIdsPromptOneLine: return QStringLiteral("Click where the line starts.");
    default: return {};
  }
}

class ViewTest : public ::testing::Test {
 protected:
  // A Break offer a test left, or split lists it filled by hand, must not reach the next test:
  // the pieces made are freed and the lists emptied.
  static void ResetSplitState() {
    CZephDoc::FreeSplitPieces();
    ResetIntersectionState();
  }

  static constexpr int kWidth = 640;
  static constexpr int kHeight = 400;

  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetSplitState();
    ResetSharedFonts();
    ResetEditingViewGlobals();
    SetTimerService(&m_clock);
    SetPresenter(&m_presenter);
    SetStringTable(&ViewTestStrings);
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    ResetEditorState();
    m_view = std::make_unique<CEditingView>();
    m_view->SetDocument(&m_doc);
    ASSERT_EQ(m_view->Create(), 0);
    m_view->resize(kWidth, kHeight);
    m_view->show();
    QApplication::sendPostedEvents();
    m_view->PrepareToShow();
  }

  void TearDown() override {
    m_view.reset();
    SetTimerService(nullptr);
    SetPresenter(nullptr);
    SetStringTable(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetSplitState();
    ResetEditorState();
    ResetOptionsState();
    ResetScreenState();
    ResetEditingViewGlobals();
    ResetLogState();
  }

  CEditDrawing& Drawing() const { return *m_view->GetDrawingWindow(); }
  CViewMapping& Mapping() const { return Drawing().GetMapping(); }

  // Zoom level with the drawing's origin at device pixel (u, v) of the drawing window.
  void SetZoom(int level, int u, int v) {
    CViewMapping& m = Mapping();
    const int scale = ZoomScaleOfLevel(level);
    m.SetZoomLevel(level);
    m.scaleX = scale;
    m.scaleY = scale;
    m.originX = -u * scale;
    m.originY = v * scale;
  }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  CManualTimerService m_clock;
  ScriptedPresenter m_presenter;
  CZephDoc m_doc;
  std::unique_ptr<CEditingView> m_view;
  bool m_glitchExpected = false;
};

// A measuring context with a font selected, for expected sizes.
struct FontMeasure {
  explicit FontMeasure(const DcFont& font) : image(8, 8, QImage::Format_RGB32), dc(image) {
    dc.SelectFont(font);
  }
  int Width(const QString& text) const { return GetTextWidth(dc, text, 0, 0); }
  int LineHeight() const { return ::GetLineHeight(dc); }
  QImage image;
  CImageContext dc;
};

inline DcFont SmallBoldArial() {
  CFontSpec spec;
  spec.Set(QStringLiteral("Arial"), 8, true, false);
  DcFont font;
  spec.CreateFont(&font, nullptr, 100, 0);
  return font;
}

}  // namespace zeph::testing
