// The editor window's three timers (chosen items flashing for Delete, the text caret, the
// piece offered by Break) and the feedback that stops while the program is not active.
#include <array>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "items/intersect.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace {

constexpr std::array<int, kEditorTimerCount> kTimerPeriods = {200, 400, 200};

bool IsTimerIndex(int index) { return index >= 0 && index < kEditorTimerCount; }

// Typed anew or edited: the states with a caret.
bool IsTextState(int state) { return state == kTextTyping || state == kTextEditing; }

int BackgroundColourMode() { return static_cast<int>(g_backgroundColour & zeph::kColourMask); }

}  // namespace

int CEditDrawing::GetTimerId(int index) const {
  return IsTimerIndex(index) ? static_cast<int>(m_timerIds[static_cast<std::size_t>(index)]) : 0;
}

void CEditDrawing::StartTimer(int index, int quiet) {
  if (!IsTimerIndex(index)) {
    SetGlitchValue(index);
    ReportGlitch(2428, 1);
    return;
  }
  const auto slot = static_cast<std::size_t>(index);
  if (m_timerIds[slot] == 0) {
    SetTimer(index + 1, kTimerPeriods[slot]);
    m_timerIds[slot] = static_cast<std::uint32_t>(index + 1);
  }
  if (quiet != 0) return;
  // The first tick at once, so the feedback shows without waiting a period.
  if (index == kTimerCaret && IsTextState(m_textState)) {
    ToggleCaret();
  } else if (index == kTimerFlashChosen && !m_pickList.empty()) {
    FlashChosen();
  } else if (index == kTimerFlashBreak && m_breakPieceIndex >= 0) {
    FlashBreakPiece();
  }
}

void CEditDrawing::StopTimer(int index) {
  if (!IsTimerIndex(index)) {
    SetGlitchValue(index);
    ReportGlitch(2429, 1);
    return;
  }
  const auto slot = static_cast<std::size_t>(index);
  if (m_timerIds[slot] != 0) {
    KillTimer(static_cast<int>(m_timerIds[slot]));
    m_timerIds[slot] = 0;
  }
}

void CEditDrawing::StopAllTimers() {
  for (int i = 0; i < kEditorTimerCount; ++i) StopTimer(i);
}

void CEditDrawing::OnTimer(int id) {
  if (id == kTimerCaret + 1) {
    if (IsTextState(m_textState)) ToggleCaret();
  } else if (id == kTimerFlashChosen + 1) {
    if (m_chosenCount != 0) FlashChosen();
  } else if (id == kTimerFlashBreak + 1) {
    if (m_breakPieceIndex >= 0) FlashBreakPiece();
  } else {
    SetGlitchValue(id);
    ReportGlitch(2420, 1);
  }
}

void CEditDrawing::UpdateDeleteFlash(int hadChosen) {
  if (hadChosen == 0 && m_chosenCount != 0) {
    GetOwnerView().EnableOKButton(1);
    if (GetOptionFlag(kOptionFlashDelete) != 0) {
      m_flashPhase = 1;
      StartTimer(kTimerFlashChosen, 0);
    }
  } else if (hadChosen != 0 && m_chosenCount == 0) {
    GetOwnerView().EnableOKButton(0);
    StopTimer(kTimerFlashChosen);
  }
}

void CEditDrawing::FlashChosen() {
  if (m_flashPhase > 1) {
    --m_flashPhase;
    return;
  }
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  CCrossHairsHidden hidden(*this);
  const int colourMode = m_flashPhase == 1 ? BackgroundColourMode() : kDrawOwnColour;
  for (int i = 0; i < document->GetItemCount(); ++i) {
    const CDrawItem* item = document->GetItem(i);
    if (item != nullptr && item->IsInvisible() == 0 && item->IsSelected() == 0) {
      DrawItem(item, colourMode);
    }
  }
  // Shown for three ticks, gone for one.
  m_flashPhase = m_flashPhase == 1 ? 0 : 3;
}

void CEditDrawing::FlashBreakPiece() {
  if (m_breakFlashPhase > 1) {
    --m_breakFlashPhase;
    return;
  }
  const auto index = static_cast<std::size_t>(m_breakPieceIndex);
  CDrawItem* piece = m_breakPieceIndex >= 0 && m_breakPieceIndex < g_splitCount - 1 &&
                             index < g_splitPieces.size()
                         ? g_splitPieces[index]
                         : nullptr;
  if (piece == nullptr) return;
  CCrossHairsHidden hidden(*this);
  if (m_breakFlashPhase == 1) {
    DrawItem(piece, BackgroundColourMode());
    m_breakFlashPhase = 0;
  } else {
    DrawItem(piece, kDrawOwnColour);
    m_breakFlashPhase = 2;
  }
}

void CEditDrawing::ToggleCaret() {
  if (m_textState != kTextTyping && m_textState != kTextEditing) {
    SetGlitchValue(m_textState);
    ReportGlitch(2406, 2);
    return;
  }
  if (m_textState == kTextEditing && GetPickCount() != 1) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2406, 1);
    return;
  }
  CDrawItem* text = GetEditedText();
  if (text == nullptr) return;
  CClientDC dc(*this);
  text->DrawCaret(&dc.get(), &GetMapping());
}

void CEditDrawing::SuspendFeedback() {
  LogScope trace(2416);
  HideCrossHairs();
  m_timerToResume = -1;
  for (int i = 0; i < kEditorTimerCount; ++i) {
    if (m_timerIds[static_cast<std::size_t>(i)] != 0) {
      m_timerToResume = static_cast<std::int16_t>(i);
      break;
    }
  }
  StopAllTimers();
  if (m_textState == kTextEditing && GetPickCount() != 1) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2416, 1);
  } else if (m_textState == kTextTyping || m_textState == kTextEditing) {
    if (CDrawItem* text = GetEditedText(); text != nullptr) {
      CClientDC dc(*this);
      text->HideCaret(&dc.get(), &GetMapping());
    }
  }
  EraseFeedback();
  trace.Exit();
}

int CEditDrawing::ResumeFeedback() {
  if (m_timerToResume >= 0) {
    StartTimer(m_timerToResume, 1);
    m_timerToResume = -1;
  }
  if (m_textState != kTextNone) return 2;
  if (g_currentTool == kToolDelete || g_currentTool == kToolBreak) return 1;
  return 0;
}

void CEditDrawing::EndBreakOffer() {
  m_breakPieceIndex = -1;
  // Sizes are followed again once a drawing is attached.
  m_sizeHandling = 0;
}
