// The spell check of a text: its two dialogs, the edit that shows the text, and the check
// that walks the text's words and opens the dialogs at the first unknown one.
#include "app/spellcheck.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <new>

#include "controls/textlayout.h"
#include "platform/qt/imagecontext.h"
#include "spell/spell.h"
#include "support/log.h"
#include "support/textutil.h"

namespace zeph {

namespace {
constexpr int kCodeCheckText = 29101;
constexpr int kCodeShowCurrentWord = 29102;
constexpr int kCodeChange = 29103;

constexpr ColourRef kHighlightRed = MakeColour(255, 0, 0);

QFont SpellFont() {
  QFont font(QStringLiteral("Times New Roman"));
  font.setPointSize(12);
  font.setBold(true);
  return font;
}

DcFont SpellDcFont(const QWidget& widget) {
  DcFont font;
  font.face = QStringLiteral("Times New Roman");
  font.height = std::max(1, widget.fontMetrics().ascent() + widget.fontMetrics().descent() -
                                widget.fontMetrics().leading());
  font.bold = true;
  return font;
}

QPushButton* AddButton(CDialogPlus& dialog, QBoxLayout& layout, const QString& caption, int id) {
  auto* button = new QPushButton(caption, &dialog);
  button->setAutoDefault(false);
  dialog.ConnectCommand(button, id);
  layout.addWidget(button);
  return button;
}
}  // namespace

// ---- CSpellEdit ----

CSpellEdit::CSpellEdit(QWidget* parent) : CZephoEdit(0, parent, true) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // At least two pixels of margin either side, so the first and last letters are not cut.
  setViewportMargins(2, 0, 2, 0);
}

void CSpellEdit::ShowText(const QString& text) {
  m_shownText = text;
  QString shown = text;
  shown.replace(QChar(kLayoutLineBreak), QChar(u'\n'));
  SetWindowText(shown);
  selectAll();
}

QString CSpellEdit::GetEncodedText() const {
  QString text = GetWindowText();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return EncodeLineBreaks(text);
}

void CSpellEdit::SetEdited(std::int32_t edited) {
  m_edited = edited;
  viewport()->update();
}

UiRect CSpellEdit::LayoutRect() const {
  const QRect area = viewport()->rect();
  // The margins of the edit's own text, so the laid-out text sits where typing would put it.
  return {1, 2, std::max(2, area.width() - 1), std::max(3, area.height() - 4)};
}

int CSpellEdit::SetHighlight(int start, int length) {
  m_highlightStart = static_cast<std::int16_t>(std::clamp(start, 0, 32767));
  m_highlightLength = static_cast<std::int16_t>(std::clamp(length, 0, 32767));
  m_firstLine = FirstLineForHighlight();
  viewport()->update();
  return m_firstLine;
}

int CSpellEdit::FirstLineForHighlight() const {
  QImage scratch(std::max(1, viewport()->width()), std::max(1, viewport()->height()),
                 QImage::Format_RGB32);
  CImageContext dc(scratch);
  dc.SelectFont(SpellDcFont(*this));
  CTextLayout layout(1, 1);
  layout.m_highlightStart = m_highlightStart;
  layout.m_highlightLength = m_highlightLength;
  return std::max(0, layout.GetFirstLineForSelection(dc, LayoutRect(), m_shownText));
}

void CSpellEdit::OnSetFocus() {
  CZephoEdit::OnSetFocus();
  int start = 0;
  int end = 0;
  GetSel(start, end);
  const int length = static_cast<int>(GetWindowText().size());
  if (start == 0 && end == length) {
    // A line break is one character in the edit, as in the shown text, so the end of the
    // highlight is the caret position as it stands.
    const int caret = std::min(m_highlightStart + m_highlightLength, length);
    SetSel(caret, caret);
  }
}

void CSpellEdit::paintEvent(QPaintEvent* event) {
  if (m_edited != 0 || m_highlightLength <= 0) {
    CZephoEdit::paintEvent(event);
    return;
  }
  // The edit may have been laid out again since the highlight was set.
  m_firstLine = FirstLineForHighlight();
  QImage image(std::max(1, viewport()->width()), std::max(1, viewport()->height()),
               QImage::Format_RGB32);
  {
    CImageContext dc(image);
    dc.FillRect({0, 0, image.width(), image.height()}, MakeColour(255, 255, 255));
    dc.SelectFont(SpellDcFont(*this));
    dc.SetTextColour(MakeColour(0, 0, 0));
    dc.SetBkMode(BkMode::kTransparent);
    CTextLayout layout(1, 1);
    layout.m_highlightStart = m_highlightStart;
    layout.m_highlightLength = m_highlightLength;
    layout.m_highlightColour = kHighlightRed;
    layout.LayOutText(dc, LayoutRect(), m_shownText, m_firstLine, 0);
  }
  QPainter painter(viewport());
  painter.drawImage(0, 0, image);
}

// ---- CSpellCheckDialog ----

CSpellCheckDialog::CSpellCheckDialog(CSpell& spell, QWidget* parent)
    : CDialogPlus(kIddSpellCheck, parent), m_spell(spell) {
  setWindowTitle(tr("Check spelling"));
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(right);

  auto* textLabel = new QLabel(tr("&Not in dictionary:"), this);
  m_edit = new CSpellEdit(this);
  SetControlId(m_edit, kIdcSpellText);
  m_edit->setMinimumSize(300, 90);
  textLabel->setBuddy(m_edit);
  auto* listLabel = new QLabel(tr("&Suggestions:"), this);
  m_list = new QListWidget(this);
  SetControlId(m_list, kIdcSpellSuggestions);
  m_list->setMinimumHeight(110);
  listLabel->setBuddy(m_list);
  left->addWidget(textLabel);
  left->addWidget(m_edit);
  left->addWidget(listLabel);
  left->addWidget(m_list);

  m_ignore = AddButton(*this, *right, tr("&Ignore"), kIdcSpellIgnore);
  m_change = AddButton(*this, *right, tr("&Change"), kIdcSpellChange);
  m_add = AddButton(*this, *right, tr("&Add"), kIdcSpellAdd);
  AddButton(*this, *right, tr("Cancel"), kIdCancel);
  AddButton(*this, *right, tr("&Help"), kIdHelp);
  right->addStretch(1);

  connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnChange(); });
  connect(m_edit, &CZephoEdit::editChanged, this, [this] { OnTextEdited(); });
}

bool CSpellCheckDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  const QFont font = SpellFont();
  m_edit->setFont(font);
  m_list->setFont(font);
  ShowCurrentWord();
  return true;
}

bool CSpellCheckDialog::OnCommand(int id) {
  switch (id) {
    case kIdcSpellIgnore:
      OnIgnore();
      return true;
    case kIdcSpellChange:
      OnChange();
      return true;
    case kIdcSpellAdd:
      OnAdd();
      return true;
    default:
      return CDialogPlus::OnCommand(id);
  }
}

void CSpellCheckDialog::ShowCurrentWord() {
  LogScope trace(kCodeShowCurrentWord);
  m_edit->SetEdited(0);
  m_edit->ShowText(m_spell.GetCorrectedText());
  int start = m_spell.GetWordStart();
  int length = m_spell.GetWordEnd() - start;
  if (m_spell.GetHyphenMode() == kHyphenPart) {
    start += m_spell.GetPartOffset();
    length = m_spell.GetWordLength();
  }
  m_edit->SetHighlight(start, length);

  m_spell.FindSuggestions();
  m_list->clear();
  for (int i = 0; i < m_spell.GetSuggestionCount(); ++i) m_list->addItem(m_spell.GetSuggestion(i));
  m_list->setEnabled(true);
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  m_change->setEnabled(m_list->count() > 0);
  m_ignore->setEnabled(true);
  m_add->setEnabled(true);
  m_change->setDefault(false);
  m_ignore->setDefault(true);
  trace.Exit();
}

int CSpellCheckDialog::AdvanceToNextUnknown() {
  while (m_spell.NextWord() == 1) {
    if (m_spell.IsKnownWord() == 0) {
      ShowCurrentWord();
      return 0;
    }
  }
  return 1;
}

void CSpellCheckDialog::MoveOn() {
  if (AdvanceToNextUnknown() == 1) EndDialog(kIdOk);
}

void CSpellCheckDialog::OnIgnore() { MoveOn(); }

void CSpellCheckDialog::OnAdd() {
  m_spell.AddCurrentWord(2);
  MoveOn();
}

void CSpellCheckDialog::OnChange() {
  LogScope trace(kCodeChange);
  if (m_edit->IsEdited() != 0) {
    m_spell.SetWorkingText(m_edit->GetEncodedText());
  } else {
    QListWidgetItem* chosen = m_list->isEnabled() ? m_list->currentItem() : nullptr;
    if (chosen == nullptr) return trace.Exit(kLogInvalid, 1);
    m_spell.ReplaceCurrentWord(chosen->text());
  }
  m_edit->viewport()->update();
  MoveOn();
  trace.Exit();
}

void CSpellCheckDialog::OnTextEdited() {
  if (m_edit->IsEdited() != 0) return;
  m_edit->SetEdited(1);
  m_list->setCurrentRow(-1);
  m_list->clearSelection();
  m_list->setEnabled(false);
  m_ignore->setEnabled(false);
  m_add->setEnabled(false);
  m_change->setEnabled(true);
  m_ignore->setDefault(false);
  m_change->setDefault(true);
}

// ---- CCancelSpellDialog ----

CCancelSpellDialog::CCancelSpellDialog(QWidget* parent) : CDialogPlus(kIddCancelSpell, parent) {
  setWindowTitle(tr("Cancel during spell check"));
  auto* layout = new QVBoxLayout(this);
  AddButton(*this, *layout, tr("&Skip this spell check"), kIdcSpellSkip);
  QPushButton* keepOn = AddButton(*this, *layout, tr("&Continue this spell check"), kIdCancel);
  keepOn->setDefault(true);
  AddButton(*this, *layout, tr("Switch &off spell checking"), kIdcSpellSwitchOff);
  AddButton(*this, *layout, tr("&Help"), kIdHelp);
}

bool CCancelSpellDialog::OnInitDialog() {
  m_switchOff = 0;
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  return true;
}

bool CCancelSpellDialog::OnCommand(int id) {
  switch (id) {
    case kIdcSpellSkip:
      EndDialog(kIdOk);
      return true;
    case kIdcSpellSwitchOff:
      m_switchOff = 1;
      EndDialog(kIdOk);
      return true;
    default:
      return CDialogPlus::OnCommand(id);
  }
}

// ---- The check ----

int CheckText(CSpell& spell, const QString& text, int allowCancel, QWidget* parent) {
  LogScope trace(kCodeCheckText);
  try {
    spell.BeginTextCheck(text);
    for (;;) {
      if (spell.NextWord() != 1) return trace.Return(kSpellTextUnchanged);
      if (spell.IsKnownWord() == 0) break;
    }
    for (;;) {
      {
        CSpellCheckDialog check(spell, parent);
        if (check.DoModal() == kIdOk) {
          return trace.Return(spell.HasWorkingCopy() != 0 ? kSpellTextChanged
                                                          : kSpellTextUnchanged);
        }
      }
      if (allowCancel == 0) return trace.Return(kSpellCheckSkipped);
      CCancelSpellDialog cancel(parent);
      if (cancel.DoModal() == kIdOk) {
        return trace.Return(cancel.IsSwitchOff() != 0 ? kSpellCheckSwitchedOff
                                                      : kSpellCheckSkipped);
      }
      // Continue: the check dialog shows the same word again.
    }
  } catch (const std::bad_alloc&) {
    trace.Step(1, kLogMemory);
  } catch (const std::exception&) {
    trace.Step(2, kLogInvalid);
  }
  return trace.Return(kSpellCheckSwitchedOff);
}

int CSpellTextCheck::IsReady() const {
  return g_spellChecker != nullptr && g_spellChecker->HasMainDictionary() ? 1 : 0;
}

int CSpellTextCheck::CheckText(const QString& text, int flag) {
  if (g_spellChecker == nullptr) return kSpellCheckSwitchedOff;
  return zeph::CheckText(*g_spellChecker, text, flag, QApplication::activeWindow());
}

QString CSpellTextCheck::GetCorrectedText() const {
  return g_spellChecker != nullptr ? g_spellChecker->GetCorrectedText() : QString();
}

void InstallTextSpellCheck() {
  static CSpellTextCheck check;
  SetTextSpellCheck(&check);
}

}  // namespace zeph
