#pragma once
// The editor window: the drawing window in which a pupil draws. Mouse and key input arrive
// here, are counted as click steps and go to the handler of the current tool; the window
// keeps the cross-hairs, the text being typed and the timers that flash chosen items, blink
// the caret and flash an offered Break piece.
#include "editor/drawingwindow.h"

class IOwnerView;

// The editor's three timers (index; the window timer id is index + 1).
inline constexpr int kTimerFlashChosen = 0;
inline constexpr int kTimerCaret = 1;
inline constexpr int kTimerFlashBreak = 2;
inline constexpr int kEditorTimerCount = 3;

class CEditDrawing : public CDrawingWindow {
  Q_OBJECT

 public:
  explicit CEditDrawing(QWidget* parent = nullptr);
  ~CEditDrawing() override;

  // The editing view around the window (not owned); null: a view that does nothing.
  void SetOwnerView(IOwnerView* view);
  IOwnerView& GetOwnerView() const;

  // ---- Timers and feedback ----
  void StartTimer(int index, int quiet);
  void StopTimer(int index);
  void StopAllTimers();
  // The main window was deactivated: feedback and timers stop.
  void SuspendFeedback();
  // The editing view got the focus: 2 while a text is typed or edited, 1 for the Delete and
  // Break tools, else 0.
  int ResumeFeedback();
  // The editing view is being hidden: a pending Break offer is dropped.
  void EndBreakOffer();

 private:
  IOwnerView* m_ownerView = nullptr;
};
