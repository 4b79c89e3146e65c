#include "editor/editdrawing.h"

#include "editor/ownerview.h"

CEditDrawing::CEditDrawing(QWidget* parent) : CDrawingWindow(parent) {}

CEditDrawing::~CEditDrawing() = default;

void CEditDrawing::SetOwnerView(IOwnerView* view) { m_ownerView = view; }

IOwnerView& CEditDrawing::GetOwnerView() const {
  return m_ownerView != nullptr ? *m_ownerView : GetNullOwnerView();
}

// The timers and the feedback glue come with the editor's clipboard and undo work.
void CEditDrawing::StartTimer(int, int) {}
void CEditDrawing::StopTimer(int) {}
void CEditDrawing::StopAllTimers() {}
void CEditDrawing::SuspendFeedback() {}
int CEditDrawing::ResumeFeedback() { return 0; }
void CEditDrawing::EndBreakOffer() {}
