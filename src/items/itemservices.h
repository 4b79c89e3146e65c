#pragma once
// What the text and dimension items need of the layers above the items library, besides
// their document (itemdocument.h): a drawing context of the editing view to measure text
// with when they are given none, and the interactive spell check that finishes a text.
//
// Both are interfaces that the application registers at start-up; until then (and in tests
// that register nothing) measuring finds no context and spell checking is not ready. Tests
// register fakes.
//
// Every call is made on the user-interface thread.
#include <QString>

namespace zeph {
class CDrawContext;
}

// The editing view, whose window context the items borrow to measure text.
class IEditingView {
 public:
  virtual ~IEditingView() = default;
  // The view's context for measuring, or null when there is none now. Each borrowed context
  // is given back with ReleaseMeasuringContext.
  virtual zeph::CDrawContext* BorrowMeasuringContext() = 0;
  virtual void ReleaseMeasuringContext(zeph::CDrawContext* dc) = 0;
};

// The registered editing view (null: none). The view outlives its registration.
void SetEditingView(IEditingView* view);
IEditingView* GetEditingView();

// The editing view's context for as long as this lives; Get() is null when there is no view
// or it has no context.
class CBorrowedMeasuringContext {
 public:
  CBorrowedMeasuringContext();
  ~CBorrowedMeasuringContext();
  CBorrowedMeasuringContext(const CBorrowedMeasuringContext&) = delete;
  CBorrowedMeasuringContext& operator=(const CBorrowedMeasuringContext&) = delete;

  zeph::CDrawContext* Get() const { return m_dc; }

 private:
  IEditingView* m_view = nullptr;
  zeph::CDrawContext* m_dc = nullptr;
};

// Results of ITextSpellCheck::CheckText.
inline constexpr int kSpellTextChanged = 0;
inline constexpr int kSpellTextUnchanged = 1;
inline constexpr int kSpellCheckSkipped = 2;
inline constexpr int kSpellCheckSwitchedOff = 3;  // also any failure

// The spell checker as a finished text uses it: the user interface implements it over the
// program's checker and its dialogs.
class ITextSpellCheck {
 public:
  virtual ~ITextSpellCheck() = default;
  // 1 when the checker was made at start-up and its main dictionary loaded, else 0.
  virtual int IsReady() const = 0;
  // Checks the text, letting the user correct unknown words in the spell-check dialog.
  // kSpellTextChanged, kSpellTextUnchanged, kSpellCheckSkipped or kSpellCheckSwitchedOff.
  virtual int CheckText(const QString& text, int flag) = 0;
  // The text as the user left it in the last check.
  virtual QString GetCorrectedText() const = 0;
};

// The registered spell check (null: none). It outlives its registration.
void SetTextSpellCheck(ITextSpellCheck* check);
ITextSpellCheck* GetTextSpellCheck();

// 1 when a spell check is registered and ready, else 0.
int IsSpellCheckerReady();

// Forgets both registrations. For tests.
void ResetItemServices();
