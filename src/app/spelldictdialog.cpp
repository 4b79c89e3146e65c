// The dialog that edits a drawing's word list.
#include "app/spelldictdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/edits.h"
#include "spell/docdict.h"

namespace zeph {

namespace {
QPushButton* AddButton(CDialogPlus& dialog, QBoxLayout& layout, const QString& caption, int id) {
  auto* button = new QPushButton(caption, &dialog);
  button->setAutoDefault(false);
  dialog.ConnectCommand(button, id);
  layout.addWidget(button);
  return button;
}
}  // namespace

CSpellDictionaryDialog::CSpellDictionaryDialog(CDocDict& list, QWidget* parent)
    : CDialogPlus(kIddSpellDictionary, parent), m_list(list) {
  setWindowTitle(tr("Edit words in the dictionary"));
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(right);
  auto* label = new QLabel(tr("Dictionary words for this drawing:"), this);
  m_words = new CListDragBox(this);
  SetControlId(m_words, kIdcDictionaryWords);
  m_words->setMinimumSize(200, 180);
  label->setBuddy(m_words);
  left->addWidget(label);
  left->addWidget(m_words);
  AddButton(*this, *right, tr("OK"), kIdOk)->setDefault(true);
  AddButton(*this, *right, tr("Cancel"), kIdCancel);
  AddButton(*this, *right, tr("Clear &all words"), kIdcClearAllWords);
  AddButton(*this, *right, tr("&Help"), kIdHelp);
  right->addStretch(1);
}

bool CSpellDictionaryDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  m_words->SetRemoveMode(2);
  m_words->clear();
  m_list.RewindWords();
  for (QString word = m_list.GetNextWord(); !word.isEmpty(); word = m_list.GetNextWord()) {
    m_words->AddItem(word, 0);
  }
  return true;
}

bool CSpellDictionaryDialog::OnCommand(int id) {
  if (id == kIdcClearAllWords) {
    m_words->clear();
    return true;
  }
  return CDialogPlus::OnCommand(id);
}

void CSpellDictionaryDialog::OnOK() {
  m_list.Clear();
  for (int i = 0; i < m_words->count(); ++i) m_list.AddWord(m_words->item(i)->text(), -1);
  EndDialog(kIdOk);
}

int ShowSpellDictionaryDialog(CDocDict& list, QWidget* parent) {
  CSpellDictionaryDialog dialog(list, parent);
  dialog.DoModal();
  return 1;
}

}  // namespace zeph
