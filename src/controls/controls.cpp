#include "controls/controls.h"

#include <QWidget>

#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace zeph {

// ---- CControl ----

CControl::CControl(std::int32_t kind) : m_kind(kind) {}

CControl::~CControl() { DestroyLabel(); }

CLabel* CControl::GetLabel() const { return m_label.data(); }

void CControl::SetMnemonicFromCaption(const QString& text) {
  const qsizetype at = text.indexOf(u'&');
  m_mnemonic = (at < 0 || at + 1 >= text.size()) ? 0 : ToUpperChar(text.at(at + 1).unicode());
}

int CControl::MatchesMnemonic(int character) const {
  if (character < 0 || character >= 128) return 0;
  if (character == kCharEscape && m_answersEscape != 0) return 1;
  const char16_t upper = ToUpperChar(static_cast<char16_t>(character));
  return (m_mnemonic != 0 && upper == m_mnemonic) ? 1 : 0;
}

void CControl::SetFont(const DcFont* font, bool redraw) {
  m_font.reset();
  if (font != nullptr) m_font = *font;
  if (m_label) m_label->SetFont(font, redraw);
  m_captionWidth = 0;
}

void CControl::SetLabel(int captionId) {
  if (m_kind == kPushButton || m_kind == 1) {
    ReportGlitch(20002, 1);
    return;
  }
  if (m_window == nullptr) return;
  const QString caption = captionId != 0 ? LoadProgramString(captionId) : QString();
  if (!caption.isEmpty()) {
    SetMnemonicFromCaption(caption);
    m_captionId = captionId;
    DestroyLabel();
    auto* label = new CLabel;
    if (label->Create(caption, m_window->parentWidget())) {
      m_label = label;
      label->SetOwner(this);
      if (m_font) label->SetFont(&*m_font, false);
    } else {
      delete label;
    }
  } else {
    m_mnemonic = 0;
    m_captionId = 0;
    DestroyLabel();
  }
  m_captionWidth = 0;
}

int CControl::GetCaptionWidth() {
  if (m_window == nullptr || m_captionId == 0 || !m_label) {
    m_captionWidth = 0;
    return 0;
  }
  const QString caption = LoadProgramString(m_captionId);
  if (caption.isEmpty()) {
    m_captionWidth = 0;
    return 0;
  }
  if (m_captionWidth == 0) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    CImageContext dc(scratch);
    if (m_font) dc.SelectFont(*m_font);
    m_captionHeight = GetLineHeight(dc);
    m_captionWidth = GetCaptionTextWidth(dc, caption) + 6;
  }
  return m_captionWidth;
}

void CControl::PlaceLabel() {
  if (m_kind == kPushButton || m_kind == 1) {
    ReportGlitch(20004, 1);
    return;
  }
  const int width = GetCaptionWidth();
  if (width == 0 || m_window == nullptr || !m_label) return;
  const QRect r = m_window->geometry();  // in the parent's client coordinates
  const int left = r.left();
  const int top = r.top();
  const int bottom = r.top() + r.height();
  const int height = m_captionHeight;
  int labelLeft = 0;
  int labelTop = 0;
  int labelRight = 0;
  if (m_captionPosition == kCaptionAbove) {
    labelLeft = left;
    labelRight = left + width;
    labelTop = top - height - 4;
  } else {
    labelRight = left - 5;
    labelLeft = left - width - 9;
    if (m_captionPosition == kCaptionLeftTop) {
      labelTop = top;
    } else if (m_captionPosition == kCaptionLeftBottom) {
      labelTop = bottom - height;
    } else {
      labelTop = (top + bottom - height) / 2;
    }
  }
  m_label->setGeometry(labelLeft, labelTop, labelRight - labelLeft, height);
  m_label->Invalidate();
}

int CControl::IsUsable() const {
  if (m_window == nullptr) {
    ReportGlitch(20001, 1);
    return 0;
  }
  return (m_window->isEnabled() && m_window->isVisible()) ? 1 : 0;
}

void CControl::SetFocusState(std::int32_t flag) {
  if ((flag != 0) != (m_hasFocus != 0)) DrawFocus(nullptr);
  m_hasFocus = flag;
}

void CControl::DrawFocus(CDrawContext* dc) {
  if (m_label) {
    CBufferedWnd::CClientDC labelDc(*m_label);
    m_label->DrawFocusMark(labelDc.get());
  } else {
    OnFocusMark(dc);
  }
}

int CControl::HandleGroupKey(int character) {
  if (m_group == nullptr) return 0;
  if (character == kCharTab) {
    SendGroupKey(kGroupKeyTab);
    return m_group->MoveFocusFrom(this, (g_keyState & kKeyStateShift) == 0 ? 1 : 0);
  }
  if (character == kCharEnter) {
    SendGroupKey(kGroupKeyEnter);
    if (m_kind == kPushButton) return 0;  // the button's own Enter handling presses it
    return m_group->MoveFocusFrom(this, 1);
  }
  return m_group->HandleMnemonic(character);
}

void CControl::DestroyLabel() {
  m_hasFocus = 0;
  if (m_label) {
    CLabel* label = m_label.data();
    m_label = nullptr;
    label->SetOwner(nullptr);
    delete label;
  }
}

void CControl::OnFocusMark(CDrawContext*) {}
void CControl::OnMnemonic(int) {}

// ---- CLabel ----

CLabel::CLabel() {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(false);
}

bool CLabel::Create(const QString& caption, QWidget* parent) {
  if (parent == nullptr) return false;
  setParent(parent);
  setObjectName(QStringLiteral("Label"));
  setGeometry(0, 0, 0, 0);
  m_caption = caption;
  show();
  return true;
}

void CLabel::SetFont(const DcFont* font, bool redraw) {
  m_font.reset();
  if (font != nullptr) m_font = *font;
  if (redraw) Invalidate();
}

void CLabel::SetColours(int textIndex, int backgroundIndex, bool transparent) {
  m_textColour = textIndex;
  m_backgroundColour = backgroundIndex;
  m_transparent = transparent ? 1 : 0;
  Invalidate();
}

// A transparent label shows what its parent has drawn beneath it.
void CLabel::OnEraseBkgnd(CDrawContext& dc) {
  const DcRect clip = dc.GetClipBox();
  if (m_transparent == 0) {
    dc.FillRect(clip, UiColour(m_backgroundColour));
    return;
  }
  if (auto* parent = qobject_cast<CBufferedWnd*>(parentWidget())) {
    const QImage& under = parent->BackBuffer();
    QImage& own = BackBuffer();
    for (int y = clip.top; y < clip.bottom; ++y) {
      for (int x = clip.left; x < clip.right; ++x) {
        const QPoint at = geometry().topLeft() + QPoint(x, y);
        if (under.rect().contains(at)) own.setPixel(x, y, under.pixel(at));
      }
    }
    return;
  }
  const QColor colour = parentWidget() != nullptr
                            ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                            : QColor(Qt::white);
  dc.FillRect(clip, MakeColour(colour.red(), colour.green(), colour.blue()));
}

void CLabel::OnPaint(CDrawContext& dc) {
  if (m_font) dc.SelectFont(*m_font);
  dc.SetTextColour(UiColour(m_textColour));
  if (m_transparent != 0) {
    dc.SetBkMode(BkMode::kTransparent);
  } else {
    dc.SetBkMode(BkMode::kOpaque);
    dc.SetBkColour(UiColour(m_backgroundColour));
  }
  const DcRect client = GetClientRect();
  const int left = client.left + 3;
  int mnemonicAt = -1;
  const QString text = StripMnemonic(m_caption, &mnemonicAt);
  const DcSize extent = dc.GetTextExtent(text);
  const int x = left + (client.right - left - extent.cx) / 2;
  const int y = (client.bottom - extent.cy) / 2;
  dc.TextOutClipped(x, y, {left, client.top, client.right, client.bottom}, text);
  if (mnemonicAt >= 0) {
    const int from = x + dc.GetTextExtent(QStringView(text).left(mnemonicAt)).cx;
    const int to = x + dc.GetTextExtent(QStringView(text).left(mnemonicAt + 1)).cx;
    const int underline = y + dc.GetTextMetrics().ascent + 1;
    dc.FillRect({from, underline, to, underline + 1}, UiColour(m_textColour));
  }
  if (m_owner != nullptr && m_owner->HasFocus() != 0) DrawFocusMark(dc);
}

void CLabel::DrawFocusMark(CDrawContext& dc) { DrawFocusRect(dc, GetClientRect()); }

void DrawFocusRect(CDrawContext& dc, const DcRect& rect) {
  if (rect.IsEmpty()) return;
  const RasterOp previous = dc.SetRasterOp(RasterOp::kXor);
  const auto dot = [&dc](int x, int y) {
    if (((x + y) & 1) == 0) dc.SetPixel(x, y, 0x00FFFFFF);
  };
  // Every pixel of the frame once, so that drawing it again removes it exactly.
  for (int x = rect.left; x < rect.right; ++x) {
    dot(x, rect.top);
    if (rect.bottom - 1 > rect.top) dot(x, rect.bottom - 1);
  }
  for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
    dot(rect.left, y);
    if (rect.right - 1 > rect.left) dot(rect.right - 1, y);
  }
  dc.SetRasterOp(previous);
}

QString StripMnemonic(const QString& caption, int* mnemonicAt) {
  QString out;
  int at = -1;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption.at(i) == u'&' && i + 1 < caption.size()) {
      ++i;
      if (caption.at(i) != u'&' && at < 0) at = static_cast<int>(out.size());
    } else if (caption.at(i) == u'&') {
      continue;  // a trailing '&' shows nothing
    }
    out.append(caption.at(i));
  }
  if (mnemonicAt != nullptr) *mnemonicAt = at;
  return out;
}

// ---- CControlGroup ----

void CControlGroup::AddControl(CControl* control, std::int32_t canTakeFocus) {
  if (control == nullptr || m_count >= kMaxControls) return;
  m_controls[static_cast<std::size_t>(m_count)] = control;
  m_canTakeFocus[static_cast<std::size_t>(m_count)] = canTakeFocus;
  ++m_count;
  control->SetGroup(this);
}

CControl* CControlGroup::GetControl(int index) const {
  if (index < 0 || index >= m_count) return nullptr;
  return m_controls[static_cast<std::size_t>(index)];
}

int CControlGroup::HandleMnemonic(int character) {
  for (int i = 0; i < m_count; ++i) {
    CControl* control = m_controls[static_cast<std::size_t>(i)];
    if (control->MatchesMnemonic(character) == 0) continue;
    QWidget* window = control->GetWindow();
    if (window == nullptr) return 1;
    // A hidden or disabled control's letter is not its to answer: pressing it would run a
    // command the view has switched off.
    if (!window->isEnabled() || !window->isVisible()) continue;
    window->setFocus(Qt::ShortcutFocusReason);
    if (control->GetKind() == CControl::kPushButton) {
      control->SendCommand();
    } else {
      control->OnMnemonic(1);
    }
    return 1;
  }
  return 0;
}

int CControlGroup::MoveFocus(int index, int forward) {
  if (index < 0 || index >= m_count) return 0;
  int i = index;
  for (;;) {
    i += forward != 0 ? 1 : -1;
    if (i >= m_count || i < 0) {
      if (m_wrap == 0) return 0;
      i = i < 0 ? m_count - 1 : 0;
    }
    if (i == index) return 0;
    CControl* control = m_controls[static_cast<std::size_t>(i)];
    if (m_canTakeFocus[static_cast<std::size_t>(i)] == 0) continue;
    if (control->IsUsable() == 0) continue;
    if (control->GetKind() == CControl::kPushButton && control->IsCheckedStyle() &&
        !control->IsChecked()) {
      continue;
    }
    if (control->GetWindow() == nullptr) {
      ReportGlitch(20007, 1);
      return 0;
    }
    control->GetWindow()->setFocus(forward != 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return 1;
  }
}

int CControlGroup::MoveFocusFrom(CControl* control, int forward) {
  for (int i = 0; i < m_count; ++i) {
    if (m_controls[static_cast<std::size_t>(i)] == control) return MoveFocus(i, forward);
  }
  return 0;
}

void CControlGroup::SetFocusFrom(int index) {
  if (index < 0 || index >= m_count) return;
  int i = index;
  do {
    CControl* control = m_controls[static_cast<std::size_t>(i)];
    if (control->GetWindow() == nullptr) {
      ReportGlitch(20008, 1);
    } else if (control->IsUsable() != 0) {
      control->GetWindow()->setFocus(Qt::OtherFocusReason);
      return;
    }
    i = (i + 1) % m_count;
  } while (i != index);
}

}  // namespace zeph
