#pragma once
// The interactive spell check of one text: the "Check spelling" dialog with the text shown and
// its unknown word in red, the suggestions, Ignore, Change, Add and Cancel; the dialog that
// asks what Cancel means; and the check that runs them over a text. A finished text item asks
// for the check through the items' spell-check interface, which CSpellTextCheck implements.
#include <QString>
#include <cstdint>

#include "controls/dialogplus.h"
#include "controls/edits.h"
#include "items/itemservices.h"
#include "support/uirect.h"

class CSpell;
class QListWidget;
class QPushButton;

namespace zeph {

inline constexpr int kIddSpellCheck = 1824;
inline constexpr int kIddCancelSpell = 1825;

inline constexpr int kHelpSpellCheck = 80;
inline constexpr int kHelpSpellCheckCancel = 81;

inline constexpr int kIdcSpellSuggestions = 1800;
inline constexpr int kIdcSpellIgnore = 1022;
inline constexpr int kIdcSpellChange = 1801;
inline constexpr int kIdcSpellAdd = 1802;
inline constexpr int kIdcSpellText = 1803;
inline constexpr int kIdcSpellSkip = 1804;
inline constexpr int kIdcSpellSwitchOff = 1805;

// The text being checked, word-wrapped, with the unknown word drawn in red until the user
// types into it.
class CSpellEdit : public CZephoEdit {
  Q_OBJECT

 public:
  explicit CSpellEdit(QWidget* parent = nullptr);

  // Highlights length characters from start of the shown text; answers the first line to show
  // so that the highlight is visible (and shows from there).
  int SetHighlight(int start, int length);
  int GetHighlightStart() const { return m_highlightStart; }
  int GetHighlightLength() const { return m_highlightLength; }
  int GetFirstLine() const { return m_firstLine; }
  void SetEdited(std::int32_t edited);
  std::int32_t IsEdited() const { return m_edited; }

  // The shown text (line breaks as the program keeps them, character 127) into the edit.
  void ShowText(const QString& text);
  // The edit's text with its line breaks encoded.
  QString GetEncodedText() const;

 protected:
  void OnSetFocus() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  UiRect LayoutRect() const;
  int FirstLineForHighlight() const;

  std::int16_t m_highlightStart = 0;
  std::int16_t m_highlightLength = 0;
  std::int32_t m_edited = 0;
  int m_firstLine = 0;
  QString m_shownText;  // with character 127 for each line break
};

class CSpellCheckDialog : public CDialogPlus {
  Q_OBJECT

 public:
  CSpellCheckDialog(CSpell& spell, QWidget* parent);

  int GetHelpTopic() const override { return kHelpSpellCheck; }
  bool OnInitDialog() override;
  bool OnCommand(int id) override;

  // 1 when no unknown word is left; 0 when it stopped at one and showed it.
  int AdvanceToNextUnknown();
  // The text in the edit, the word highlighted, the suggestions filled.
  void ShowCurrentWord();

  void OnIgnore();
  void OnChange();
  void OnAdd();
  // The first keystroke in the edit: Change takes over from the suggestions.
  void OnTextEdited();

  CSpellEdit* GetSpellEdit() const { return m_edit; }
  QListWidget* GetSuggestionList() const { return m_list; }

 private:
  // Moves on and closes with OK once the text is done.
  void MoveOn();

  CSpell& m_spell;
  CSpellEdit* m_edit = nullptr;
  QListWidget* m_list = nullptr;
  QPushButton* m_ignore = nullptr;
  QPushButton* m_change = nullptr;
  QPushButton* m_add = nullptr;
};

class CCancelSpellDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CCancelSpellDialog(QWidget* parent);

  int GetHelpTopic() const override { return kHelpSpellCheckCancel; }
  bool OnInitDialog() override;
  bool OnCommand(int id) override;
  std::int32_t IsSwitchOff() const { return m_switchOff; }

 private:
  std::int32_t m_switchOff = 0;
};

// Checks text with the dialogs: kSpellTextChanged (take spell.GetCorrectedText()),
// kSpellTextUnchanged, kSpellCheckSkipped or kSpellCheckSwitchedOff (also any failure).
// Without allowCancel, Cancel skips the check without asking.
int CheckText(CSpell& spell, const QString& text, int allowCancel, QWidget* parent = nullptr);

// The items' spell check over the program's checker.
class CSpellTextCheck final : public ITextSpellCheck {
 public:
  int IsReady() const override;
  int CheckText(const QString& text, int flag) override;
  QString GetCorrectedText() const override;
};

// Registers the program's text spell check with the items (once, at start-up).
void InstallTextSpellCheck();

}  // namespace zeph
