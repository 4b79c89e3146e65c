#pragma once
// One undo step opened for a stretch of one function: what the document records meanwhile is
// taken back by a single Undo. The step closes when the guard goes out of scope, early returns
// included, or sooner with Close() where closing must come before what follows (closing may
// take the step's changes back when the user declined to go on without undo). Steps that span
// calls, a drag from its press to its release, stay with their explicit SetUndoGroup calls.
#include "document/document.h"

class CUndoStep {
 public:
  // A null document opens nothing.
  explicit CUndoStep(CZephDoc* document) : m_document(document) {
    if (m_document != nullptr) m_document->SetUndoGroup(1);
  }
  explicit CUndoStep(CZephDoc& document) : CUndoStep(&document) {}
  ~CUndoStep() { Close(); }
  CUndoStep(const CUndoStep&) = delete;
  CUndoStep& operator=(const CUndoStep&) = delete;

  void Close() {
    if (m_document == nullptr) return;
    m_document->SetUndoGroup(0);
    m_document = nullptr;
  }

 private:
  CZephDoc* m_document;
};
