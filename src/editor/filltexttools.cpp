// The Fill tool fills the closed region around the clicked point, solid or hatched, and the
// Text tool places a new text where the button is released and starts typing into it. Both
// take the cursor as it is, without snapping.
#include <memory>
#include <new>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "support/log.h"

namespace {}  // namespace

void CEditDrawing::ClickFill() {
  LogScope trace(2437);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  IOwnerView& view = GetOwnerView();
  if (m_clickStep == 0) {
    m_clickStep = 1;
    view.ResetValuesBarScroll();
  }
  if (m_clickStep >= 2) {
    // The gesture ends with the release, whatever comes of it.
    m_clickStep = 0;
    DrawItemPtr fill = document->FillAreaAtPoint(g_cursorPoint.x, g_cursorPoint.y);
    if (fill) {
      fill->SetColour(g_drawingColour);
      fill->SetObjectNumber(g_currentObject);
      fill->SetFillStyle(g_fillType);
      bool keep = true;
      if (g_fillType == kFillHatch) {
        if (g_hatchPattern < 0) {
          // The first hatched fill asks for its pattern; later ones use it.
          const int pattern = ChooseHatchDefinition();
          if (pattern < 0) {
            keep = false;
          } else {
            g_hatchPattern = static_cast<std::int16_t>(pattern);
            view.ResetValuesBarScroll();
            view.DrawFieldValues();
          }
        }
        // A hatched fill without its pattern is not kept.
        if (keep && fill->SetHatch(g_hatchPattern, g_hatchAngle, g_hatchScale) == 0) keep = false;
      } else {
        std::unique_ptr<CHatchPattern> none;
        try {
          none = std::make_unique<CHatchPattern>();
        } catch (const std::bad_alloc&) {
          keep = false;
        }
        if (none) fill->AttachHatchPattern(std::move(none));
      }
      int index = -1;
      if (keep && document->AddItemWithIndex(fill, index) == 1) {
        // The fill goes under the items in front of it: they are drawn again over it.
        DrawItemsFrom(index, 1);
      }
      fill.reset();  // cancelled or refused
    }
  }
  view.ShowCursorPoint();
  trace.Exit();
}

void CEditDrawing::ClickText() {
  LogScope trace(2438);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 0) {
    // A text still being typed is finished before the next one starts.
    FinishText();
    DrawItemPtr text = CreateToolItem(kItemText);
    if (!text) {
      trace.Exit(kLogMemory);
      return;
    }
    text->SetColour(g_drawingColour);
    text->SetFont(g_textFont);
    text->SetFontSize(g_textWidth);
    text->SetTextAngle(g_textAngle);
    text->SetTextParameter(0.0);
    text->SetTextTag(-1);
    text->SetObjectNumber(g_currentObject);
    m_construction = std::move(text);
    m_feedbackDrawn = 0;
    m_clickStep = 1;
    SetPrompt(kPromptTextStart);
  }
  CDrawItem* text = ConstructionOfKind(kItemText, 2438);
  if (text == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  text->SetPosition(g_cursorPoint.x, g_cursorPoint.y);
  if (m_clickStep == 2) {
    // Typing begins: the text goes into the drawing when it ends.
    m_clickStep = 0;
    HideCursorFeedback();
    ShowPromptText(kPromptTypeText);
    text->BeginEdit(0);
    m_textState = kTextTyping;
    setFocus();
    StartTimer(kTimerCaret, 0);
  }
  GetOwnerView().ShowCursorPoint();
  trace.Exit();
}
