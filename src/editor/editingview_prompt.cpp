// The prompt area of the editing view: its buttons, the prompt text and the Break question.
#include <QPushButton>

#include "controls/controls.h"
#include "controls/viewcontrols.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "editor/viewparts.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/help.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/strings.h"

using zeph::CDrawContext;
using zeph::CViewButton;
using zeph::DcRect;

namespace {

inline constexpr int kBreakButtonWidth = 70;
inline constexpr int kBreakButtonStep = 80;
inline constexpr int kOrderButtonWidth = 140;
inline constexpr int kHelpTopicBreak = 108;

}  // namespace

CViewButton* CEditingView::MakePromptButton(std::unique_ptr<CViewButton>& button, int id,
                                            const DcRect& rect, int disabled) {
  button = std::make_unique<CViewButton>();
  button->Create(rect, this, id);
  button->SetFont(&GetDialogFont(), false);
  button->setEnabled(disabled == 0);
  ConnectPromptButton(button.get());
  m_controlGroup->AddControl(button.get(), 1);
  return button.get();
}

void CEditingView::ConnectPromptButton(CViewButton* button) {
  const int id = button->GetId();
  connect(button, &QPushButton::clicked, this, [this, id] { OnPromptCommand(id); });
}

void CEditingView::OnPromptCommand(int id) {
  switch (id) {
    case kIdPromptOK:
      OnPromptOK();
      break;
    case kIdPromptYes:
      OnPromptYes();
      break;
    case kIdPromptNo:
      OnPromptNo();
      break;
    case kIdPromptCancel:
      OnPromptCancel();
      break;
    case kIdPromptRestart:
      OnPromptRestart();
      break;
    case kIdPromptHelp:
      OnPromptHelp();
      break;
    case kIdPromptBringToFront:
      OnPromptBringToFront();
      break;
    case kIdPromptSendToBack:
      OnPromptSendToBack();
      break;
    default:
      break;
  }
}

void CEditingView::RemovePromptButtons() {
  if (m_buttonsShown == 0) return;
  m_controlGroup->Clear();
  m_okButton.reset();
  m_restartButton.reset();
  m_yesButton.reset();
  m_noButton.reset();
  m_cancelButton.reset();
  m_helpButton.reset();
  m_frontButton.reset();
  m_backButton.reset();
  m_buttonsShown = 0;
}

CViewButton* CEditingView::GetPromptButton(int id) const {
  switch (id) {
    case kIdPromptOK:
      return m_okButton.get();
    case kIdPromptRestart:
      return m_restartButton.get();
    case kIdPromptYes:
      return m_yesButton.get();
    case kIdPromptNo:
      return m_noButton.get();
    case kIdPromptCancel:
      return m_cancelButton.get();
    case kIdPromptHelp:
      return m_helpButton.get();
    case kIdPromptBringToFront:
      return m_frontButton.get();
    case kIdPromptSendToBack:
      return m_backButton.get();
    default:
      return nullptr;
  }
}

void CEditingView::ShowSingleButton(std::unique_ptr<CViewButton>& button, int id, int captionId) {
  RemovePromptButtons();
  const QString caption = LoadProgramString(captionId);
  int textWidth = 0;
  {
    zeph::CImageContext dc(m_screen);
    dc.SelectFont(GetDialogFont());
    textWidth = GetTextWidth(dc, caption, 0, 0);
  }
  int left = m_fieldsEnd + m_fieldGap;
  if (m_spareWidth > 0) left += m_spareWidth / 2;
  const int right = left + textWidth + 10 + 2 * m_buttonMargin;
  const int top = m_drawingAreaHeight + (m_valuesBarHeight - kPromptButtonHeight) / 2;
  const int disabled = id == kIdPromptOK && m_okWanted == 0 ? 1 : 0;
  MakePromptButton(button, id, {left, top, right, top + kPromptButtonHeight}, disabled);
  button->SetCaption(captionId);
  if (id == kIdPromptOK) m_okEnabled = m_okWanted;
  m_buttonsShown = 1;
}

void CEditingView::ShowOKButton(int captionId) {
  ShowSingleButton(m_okButton, kIdPromptOK, captionId);
}

void CEditingView::ShowRestartButton(int captionId) {
  ShowSingleButton(m_restartButton, kIdPromptRestart, captionId);
}

void CEditingView::ShowBreakButtons() {
  RemovePromptButtons();
  const int top = m_drawingAreaHeight + (m_valuesBarHeight - kPromptButtonHeight) / 2;
  const int bottom = top + kPromptButtonHeight;
  const auto place = [&](int fromRight) {
    const int right = m_lastWidth - 20 - fromRight * kBreakButtonStep;
    return DcRect{right - kBreakButtonWidth, top, right, bottom};
  };
  // Made in the group's order: No, Yes, Cancel, Help (Help at the right edge).
  MakePromptButton(m_noButton, kIdPromptNo, place(3), 0);
  MakePromptButton(m_yesButton, kIdPromptYes, place(2), 0);
  MakePromptButton(m_cancelButton, kIdPromptCancel, place(1), 0);
  m_cancelButton->SetEscapeButton();
  MakePromptButton(m_helpButton, kIdPromptHelp, place(0), 0);
  m_buttonsShown = 1;
  m_controlGroup->SetFocusFrom(0);
}

namespace {

DcRect OrderButtonRect(int width, int fieldsEnd, int top, int index) {
  const int room = width - fieldsEnd - 300;
  const int gap = room <= 20 ? 10 : std::min(room / 2, 100);
  const int left = fieldsEnd + gap + index * (kOrderButtonWidth + 20);
  return {left, top, left + kOrderButtonWidth, top + kPromptButtonHeight};
}

}  // namespace

void CEditingView::ShowOrderButtons(int frontDisabled, int backDisabled) {
  RemovePromptButtons();
  const int top = m_drawingAreaHeight + (m_valuesBarHeight - kPromptButtonHeight) / 2;
  MakePromptButton(m_frontButton, kIdPromptBringToFront,
                   OrderButtonRect(m_lastWidth, m_fieldsEnd, top, 0), frontDisabled);
  MakePromptButton(m_backButton, kIdPromptSendToBack,
                   OrderButtonRect(m_lastWidth, m_fieldsEnd, top, 1), backDisabled);
  m_buttonsShown = 1;
}

void CEditingView::PlaceOrderButtons() {
  const int top = m_drawingAreaHeight + (m_valuesBarHeight - kPromptButtonHeight) / 2;
  if (m_frontButton != nullptr) {
    const DcRect rect = OrderButtonRect(m_lastWidth, m_fieldsEnd, top, 0);
    m_frontButton->move(rect.left, rect.top);
  }
  if (m_backButton != nullptr) {
    const DcRect rect = OrderButtonRect(m_lastWidth, m_fieldsEnd, top, 1);
    m_backButton->move(rect.left, rect.top);
  }
}

void CEditingView::RecreatePromptButtons() {
  RemovePromptButtons();
  if (m_drawing != nullptr && m_drawing->IsBreakOffered() != 0) {
    ShowBreakButtons();
  } else if (m_okCaption != 0) {
    ShowOKButton(m_okCaption);
  } else if (m_restartCaption != 0) {
    ShowRestartButton(m_restartCaption);
  }
}

void CEditingView::EnableOKButton(int enable) {
  m_okWanted = enable;
  if (m_buttonsShown == 0 || m_okEnabled == enable) return;
  if (m_okButton == nullptr) {
    ReportGlitch(2805, enable != 0 ? 1 : 2);
    return;
  }
  m_okButton->setEnabled(enable != 0);
  m_okEnabled = enable;
}

void CEditingView::SetAction(int captionId, int enabled) {
  m_okCaption = captionId;
  m_okWanted = enabled;
  m_restartCaption = 0;
}

void CEditingView::SetRestartCaption(int captionId) {
  m_restartCaption = captionId;
  m_okCaption = 0;
}

void CEditingView::SetPromptText(int stringId) {
  if (stringId == m_promptTextId) return;
  m_promptTextId = stringId;
  RedrawValuesBar(1);
}

void CEditingView::DrawPromptText(CDrawContext& dc) {
  const QString text = LoadProgramString(m_promptTextId);
  const int lineFeed = text.indexOf(QLatin1Char('\n'));
  const QString first = lineFeed < 0 ? text : text.left(lineFeed);
  const QString second = lineFeed < 0 ? QString() : text.mid(lineFeed + 1);
  const zeph::DcFont old = dc.SelectFont(m_promptFont);
  const int wider = std::max(GetTextWidth(dc, first, 0, 0),
                             second.isEmpty() ? 0 : GetTextWidth(dc, second, 0, 0));
  const int boxWidth = wider + 2 * m_buttonMargin + 10;
  const int right = m_lastWidth - m_fieldMargin;
  const int left = right - boxWidth;
  const int p = ::GetLineHeight(dc);
  const int m = std::max(m_valuesBarHeight / 2 - p - 4, 1);
  const int boxHeight = 2 * m + 2 * p;
  const int top = m_drawingAreaHeight + (m_valuesBarHeight - boxHeight) / 2 + 1;
  DrawFramedBoxUi(dc, left, top, right, top + boxHeight, 0, 22);
  m_promptTextBox = {left, top, right + 1, top + boxHeight + 1};
  SetTextColourUi(dc, 0);
  SetOpaqueBkColourUi(dc, 22);
  if (lineFeed < 0) {
    DrawTextInBox(dc, left + 2, top + m + p / 2, first, right - 2, kAlignCentre);
  } else {
    DrawTextInBox(dc, left + 2, top + m, first, right - 2, kAlignCentre);
    DrawTextInBox(dc, left + 2, top + m + p, second, right - 2, kAlignCentre);
  }
  dc.SelectFont(old);
  m_promptDrawn = 1;
}

void CEditingView::DrawBreakQuestion(CDrawContext& dc) {
  const QString question = QStringLiteral("Erase this line section?");
  const zeph::DcFont old = dc.GetFont();
  if (g_smallFontMade != 0) dc.SelectFont(g_smallFont);
  const int c = m_drawingAreaHeight + (m_valuesBarHeight - m_lineHeight) / 2;
  DrawFramedBoxUi(dc, 10, c - 10, GetTextWidth(dc, question, 0, 0) + 50, c + m_lineHeight + 10,
                  0, 27);
  SetTextColourUi(dc, 9);
  SetOpaqueBkColourUi(dc, 27);
  DrawTextAt(dc, 30, c, question, kAlignLeft, -1);
  dc.SelectFont(old);
}

// ---- The buttons' commands ----

void CEditingView::OnPromptOK() { GetPromptHandlers().OnPromptOK(*m_drawing); }
void CEditingView::OnPromptYes() { GetPromptHandlers().OnPromptYes(*m_drawing); }
void CEditingView::OnPromptNo() { GetPromptHandlers().OnPromptNo(*m_drawing); }
void CEditingView::OnPromptCancel() { GetPromptHandlers().OnPromptCancel(*m_drawing); }
void CEditingView::OnPromptRestart() { GetPromptHandlers().OnPromptRestart(*m_drawing); }
void CEditingView::OnPromptBringToFront() {
  GetPromptHandlers().OnPromptBringToFront(*m_drawing);
}
void CEditingView::OnPromptSendToBack() { GetPromptHandlers().OnPromptSendToBack(*m_drawing); }

void CEditingView::OnPromptHelp() {
  LogScope trace(2808);
  if (g_currentTool == kToolBreak) {
    ShowHelpTopic(kHelpTopicBreak, 0);
  } else {
    trace.Step(1, g_currentTool);
  }
  trace.Exit();
}
