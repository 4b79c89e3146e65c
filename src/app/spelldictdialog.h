#pragma once
// Edit > Dictionary: the words this drawing's own list accepts, removed one by one (Delete,
// Space or dragging them out of the list) or all at once, and written back on OK.
#include "controls/dialogplus.h"

class CDocDict;

namespace zeph {

class CListDragBox;

inline constexpr int kIddSpellDictionary = 4085;
inline constexpr int kHelpSpellDictionary = 82;
inline constexpr int kIdcDictionaryWords = 1379;
inline constexpr int kIdcClearAllWords = 1004;

class CSpellDictionaryDialog : public CDialogPlus {
  Q_OBJECT

 public:
  CSpellDictionaryDialog(CDocDict& list, QWidget* parent);

  int GetHelpTopic() const override { return kHelpSpellDictionary; }
  bool OnInitDialog() override;
  bool OnCommand(int id) override;
  void OnOK() override;

  CListDragBox* GetWordList() const { return m_words; }

 private:
  CDocDict& m_list;
  CListDragBox* m_words = nullptr;
};

// Opens the dialog on list; 1 (the dialog was shown, whichever way it ended).
int ShowSpellDictionaryDialog(CDocDict& list, QWidget* parent);

}  // namespace zeph
