#include "items/itemservices.h"

namespace {

IEditingView* s_editingView = nullptr;
ITextSpellCheck* s_spellCheck = nullptr;

}  // namespace

void SetEditingView(IEditingView* view) { s_editingView = view; }

IEditingView* GetEditingView() { return s_editingView; }

CBorrowedMeasuringContext::CBorrowedMeasuringContext() : m_view(s_editingView) {
  if (m_view != nullptr) m_dc = m_view->BorrowMeasuringContext();
}

CBorrowedMeasuringContext::~CBorrowedMeasuringContext() {
  if (m_view != nullptr && m_dc != nullptr) m_view->ReleaseMeasuringContext(m_dc);
}

void SetTextSpellCheck(ITextSpellCheck* check) { s_spellCheck = check; }

ITextSpellCheck* GetTextSpellCheck() { return s_spellCheck; }

int IsSpellCheckerReady() {
  return (s_spellCheck != nullptr && s_spellCheck->IsReady() != 0) ? 1 : 0;
}

void ResetItemServices() {
  s_editingView = nullptr;
  s_spellCheck = nullptr;
}
