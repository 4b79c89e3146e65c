// The editing view's menu commands and their update handlers, the keys it sees before the
// accelerators and on their release, and what happens when it gets or loses the focus.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QString>

#include "controls/controls.h"
#include "controls/edits.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editordialogs.h"
#include "editor/editorstate.h"
#include "editor/tooltable.h"
#include "editor/viewparts.h"
#include "items/viewmapping.h"
#include "platform/desktop.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/textfile.h"
#include "support/uiutil.h"

namespace {

// Hands the view the keys of its window before Qt's shortcuts see them, and the releases of
// the keys that act on their release. Qt offers a key press to each widget on its way; only
// the offer to the focus widget counts, and only while that is the view or inside it.
// F1 going down runs help on the current tool.
class CViewKeyWatcher final : public QObject {
 public:
  explicit CViewKeyWatcher(CEditingView& view) : m_view(view) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~CViewKeyWatcher() override {
    if (QCoreApplication::instance() != nullptr) {
      QCoreApplication::instance()->removeEventFilter(this);
    }
  }
  CViewKeyWatcher(const CViewKeyWatcher&) = delete;
  CViewKeyWatcher& operator=(const CViewKeyWatcher&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyRelease &&
        type != QEvent::KeyPress) {
      return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget != QApplication::focusWidget() || !m_view.isVisible() ||
        (widget != &m_view && !m_view.isAncestorOf(widget))) {
      return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
      m_view.PreTranslateKey(key->key(), static_cast<unsigned>(key->modifiers().toInt()));
    } else if (type == QEvent::KeyPress) {
      // F1 is help on the tool in use; no menu entry carries it as a shortcut.
      if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
      m_view.RunCommand(CEditingView::kCmdHelp);
      return true;
    } else {
      m_view.OnKeyUp(key->key(), key->isAutoRepeat() ? 1 : 0);
    }
    return false;
  }

 private:
  CEditingView& m_view;
};

}  // namespace

bool CEditingView::RunCommand(int id) {
  switch (id) {
    case kCmdEditCopy: OnEditCopy(); return true;
    case kCmdEditUndo: OnEditUndo(); return true;
    case kCmdEditRedo: OnEditRedo(); return true;
    case kCmdEditPrintingScale: OnEditPrintingScale(); return true;
    case kCmdEditRealWorldScale: OnEditRealWorldScale(); return true;
    case kCmdViewObjectList: OnViewObjectList(); return true;
    case kCmdViewGridSettings: OnViewGridSettings(); return true;
    case kCmdViewHiddenObjects: OnViewHiddenObjects(); return true;
    case kIdViewFit: OnViewFit(); return true;
    case kIdViewRedraw: OnViewRedraw(); return true;
    case kIdViewZoomIn: OnViewZoomIn(); return true;
    case kIdViewZoomOut: OnViewZoomOut(); return true;
    case kCmdHelpCurrentTool:
    case kCmdHelp: OnHelpCurrentTool(); return true;
    case kCmdPickColour: OnPickColour(); return true;
    default: return false;
  }
}

int CEditingView::UpdateCommand(int id, int& check) const {
  switch (id) {
    case kCmdEditUndo: return OnUpdateEditUndo() ? 1 : 0;
    case kCmdEditRedo: return OnUpdateEditRedo() ? 1 : 0;
    case kCmdViewHiddenObjects: return OnUpdateViewHiddenObjects(check) ? 1 : 0;
    case kIdViewFit: return OnUpdateViewFit() ? 1 : 0;
    case kIdViewZoomIn: return OnUpdateViewZoomIn() ? 1 : 0;
    case kIdViewZoomOut: return OnUpdateViewZoomOut() ? 1 : 0;
    case kCmdPickColour: return OnUpdatePickColour(check) ? 1 : 0;
    case kCmdEditCopy:
    case kCmdEditPrintingScale:
    case kCmdEditRealWorldScale:
    case kCmdViewObjectList:
    case kCmdViewGridSettings:
    case kIdViewRedraw:
    case kCmdHelpCurrentTool:
    case kCmdHelp: return 1;
    default: return -1;
  }
}

// ---- Edit ----

void CEditingView::OnEditCopy() {
  LogScope trace(2811);
  CloseValueEditor();
  m_drawing->CopyToClipboard();
  trace.Exit();
}

void CEditingView::OnEditUndo() { m_drawing->Undo(1); }

void CEditingView::OnEditRedo() { m_drawing->Redo(); }

bool CEditingView::OnUpdateEditUndo() const {
  return m_document != nullptr && m_document->CanUndo() != 0;
}

bool CEditingView::OnUpdateEditRedo() const {
  return m_document != nullptr && m_document->CanRedo() != 0;
}

void CEditingView::OnEditPrintingScale() {
  LogScope trace(2812);
  if (m_document == nullptr) {
    ReportGlitch(2812, 1);
    trace.Exit(kLogInvalid);
    return;
  }
  SetPrinterOrientation(m_document->GetPrintSettings().GetLandscape());
  MeasurePrinter();
  double automatic = 1.0;
  if (m_document->ComputeExtents(&m_drawing->GetMapping(), 0) != 0) {
    automatic = m_document->GetAutomaticPrintScale();
  }
  PrintingScaleSettings settings;
  settings.automaticScale = automatic * g_realWorldScale;
  const double scale = m_document->GetPrintingScale();
  if (scale > 0.0) {
    settings.scale = scale * g_realWorldScale;
    settings.automatic = 0;
  } else {
    settings.scale = automatic * g_realWorldScale;
    settings.automatic = 1;
  }
  if (GetEditorDialogs().ChoosePrintingScale(settings) == 1) {
    if (settings.automatic != 0) {
      m_document->SetPrintingScale(-1.0);
    } else if (g_realWorldScale > 0.0) {
      m_document->SetPrintingScale(settings.scale / g_realWorldScale);
    }
  }
  trace.Exit();
}

void CEditingView::OnEditRealWorldScale() {
  LogScope trace(2818);
  QString text;
  FormatDoubleFixed(g_realWorldScale, text);
  if (GetEditorDialogs().ChooseRealWorldScale(text) == 1) {
    double value = 0.0;
    // The dialog has checked the value; a text that still does not read keeps the scale.
    if (StringToDouble(text, value) != 0 && value > 0.0) {
      g_realWorldScale = value;
      if (m_document != nullptr) {
        m_document->SetRealWorldScale(value);
        m_document->ChooseUnitFactor();
      }
      m_drawing->Invalidate();
    }
  }
  trace.Exit();
}

// ---- View ----

void CEditingView::OnViewObjectList() {
  LogScope trace(2816);
  GetEditorDialogs().AnalyseObjects(m_document);
  trace.Exit();
}

void CEditingView::OnViewGridSettings() {
  LogScope trace(2817);
  GridDialogSettings settings;
  settings.snap = g_snapMode == kSnapGrid ? 1 : 0;
  const int show = GetOptionShort(kOptionGridShow);
  settings.alwaysShown = show == 1 ? 1 : 0;
  settings.alwaysHidden = show == 2 ? 1 : 0;
  settings.colour = GetOptionShort(kOptionGridColour);
  settings.linesOrDots = GetOptionShort(kOptionGridType);
  settings.squareOrIsometric = GetOptionShort(kOptionGridLayout);
  settings.gridSize = GetOptionShort(kOptionGridDistance);
  if (GetEditorDialogs().ChooseGridSettings(settings) != 1) {
    trace.Exit();
    return;
  }
  // Unticking grid snapping leaves hunt snapping as it was.
  int snap = g_snapMode;
  if (settings.snap != 0) {
    snap = kSnapGrid;
  } else if (g_snapMode == kSnapGrid) {
    snap = kSnapNone;
  }
  if (snap != g_snapMode) {
    DrawSnapToolButton(0);
    g_snapMode = snap;
    DrawSnapToolButton(1);
  }
  int newShow = 0;
  if (settings.alwaysShown != 0) {
    newShow = 1;
  } else if (settings.alwaysHidden != 0) {
    newShow = 2;
  }
  SetOptionShort(kOptionGridShow, static_cast<std::int16_t>(newShow));
  SetOptionShort(kOptionGridColour, static_cast<std::int16_t>(settings.colour));
  SetOptionShort(kOptionGridType, static_cast<std::int16_t>(settings.linesOrDots));
  SetOptionShort(kOptionGridLayout, static_cast<std::int16_t>(settings.squareOrIsometric));
  SetOptionShort(kOptionGridDistance, static_cast<std::int16_t>(settings.gridSize));
  m_drawing->Invalidate();
  trace.Exit();
}

void CEditingView::OnViewHiddenObjects() {
  g_showHiddenObjects = g_showHiddenObjects != 0 ? 0 : 1;
  m_drawing->RefreshHiddenObjects(1);
}

bool CEditingView::OnUpdateViewHiddenObjects(int& check) const {
  check = g_showHiddenObjects != 0 ? 1 : 0;
  return g_hiddenObjectsExist != 0 && g_toolState != kStateObjectHide;
}

// ---- Help ----

void CEditingView::OnHelpCurrentTool() {
  LogScope trace(2814);
  // Hunt and Grid never become the current tool; the table gives them the welcome page.
  ShowHelpTopic(GetToolHelpTopic(g_currentTool), 0);
  trace.Exit();
}

// ---- Colour picking ----

void CEditingView::OnPickColour() {
  LogScope trace(2809);
  if (m_pickColourMode != 0) {
    EndPickColour();
  } else {
    m_pickColourMode = 1;
    m_drawing->HideCursorFeedback();
  }
  trace.Exit();
}

bool CEditingView::OnUpdatePickColour(int& check) const {
  check = m_pickColourMode != 0 ? 1 : 0;
  return m_document != nullptr && m_document->GetItemCount() > 0;
}

void CEditingView::EndPickColour() {
  m_pickColourMode = 0;
  m_drawing->ShowCursorFeedback();
}

// ---- Keys ----

void CEditingView::PreTranslateKey(int qtKey, unsigned modifiers) {
  const bool ctrl = (modifiers & Qt::ControlModifier) != 0 || g_keyState == kKeyStateCtrl;
  bool accelerator = qtKey == Qt::Key_F1 || qtKey == Qt::Key_F9 || qtKey == Qt::Key_F10;
  if (ctrl) {
    switch (qtKey) {
      case Qt::Key_C:
      case Qt::Key_N:
      case Qt::Key_O:
      case Qt::Key_P:
      case Qt::Key_Y:
      case Qt::Key_Z: accelerator = true; break;
      default: break;
    }
  }
  if (!accelerator) return;
  // The command must not run into a drag that still holds the mouse.
  if (g_mouseCaptured != 0) ReleaseMouseCapture();
  m_drawing->HideCrossHairs();
}

void CEditingView::OnKeyUp(int qtKey, int autoRepeat) {
  if (qtKey == Qt::Key_Shift) SetModifierKey(zeph::kVkShift, false);
  if (qtKey == Qt::Key_Control) SetModifierKey(zeph::kVkControl, false);
  if (autoRepeat != 0) return;
  if (qtKey == Qt::Key_F3) {
    OnViewRedraw();
  } else if (qtKey == Qt::Key_F8) {
    OnViewFit();
  }
}

// ---- Focus ----

void CEditingView::OnSetFocus() {
  const int wanted = m_drawing->ResumeFeedback();
  if (m_openEditor == kValueEditorList) {
    m_valueList->setFocus();
    return;
  }
  if (m_openEditor != kValueEditorNone) {
    m_valueEdit->setFocus();
    return;
  }
  if (wanted == 1) {
    if (m_controlGroup != nullptr) m_controlGroup->SetFocusFrom(0);
  } else if (wanted == 2) {
    m_drawing->setFocus();
  } else {
    m_drawing->ShowCursorFeedback();
  }
}

void CEditingView::OnKillFocus() { m_drawing->HideCursorFeedback(); }

void CEditingView::FocusDrawing() {
  if (m_drawing->GetTextState() != kTextNone) {
    m_drawing->setFocus();
  } else {
    setFocus();
  }
}

void CEditingView::focusInEvent(QFocusEvent* event) {
  CZephView::focusInEvent(event);
  if (!m_keyWatcher && QCoreApplication::instance() != nullptr) {
    m_keyWatcher = std::make_unique<CViewKeyWatcher>(*this);
  }
  if (m_drawing != nullptr) OnSetFocus();
}

void CEditingView::focusOutEvent(QFocusEvent* event) {
  CZephView::focusOutEvent(event);
  if (m_drawing != nullptr) OnKillFocus();
}
