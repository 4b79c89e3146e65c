// The undo journal: recording, grouping into steps, coalescing, space and freeing.
#include "document/undo.h"

#include <new>

#include "document/dochost.h"
#include "document/document.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/hatch.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "platform/presenter.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogRecordObjectName = 1601;
constexpr int kLogRecordListChange = 1602;
constexpr int kLogRecordListMove = 1603;
constexpr int kLogRecordItemChange = 1604;
constexpr int kLogRecordItemMove = 1605;
constexpr int kLogFreeJournalRecords = 1606;
constexpr int kLogReserveJournal = 1607;
constexpr int kGlitchCoalesce = 1608;

// What the common recording steps decided: go on writing, or the answer to give.
constexpr int kGoOn = 2;

}  // namespace

int g_journalAllocationLimit = kJournalLimit;

UndoRecord::UndoRecord() = default;
UndoRecord::~UndoRecord() = default;
UndoRecord::UndoRecord(UndoRecord&&) noexcept = default;
UndoRecord& UndoRecord::operator=(UndoRecord&&) noexcept = default;

// ---- Recording ----

int CZephDoc::EnableUndo(int on) {
  const int previous = m_recording;
  // The auxiliary documents never record, whoever asks.
  m_recording = m_role == DocumentRole::kAuxiliary ? 0 : on;
  return previous;
}

void CZephDoc::NotifyJournalChanged() { GetDocumentHost().UpdateEditingView(); }

int CZephDoc::AnswerForRecording() const {
  if (m_recording == 0) return 0;
  if (m_journal.groupState != 0 && m_journal.groupStatus != 1) return m_journal.groupStatus;
  return kGoOn;
}

void CZephDoc::SetUndoGroup(int begin) {
  CUndoJournal& j = m_journal;
  if (begin != 0) {
    j.groupState = 1;
    j.groupStatus = 1;
    return;
  }
  if (j.groupStatus == -1 && j.groupState == 2) {
    // The user declined to go on without undo: take the step's changes back.
    Undo(nullptr, nullptr, 1);
    ClearRedo();
  } else if (j.groupStatus == 0 && j.groupState == 2) {
    // Going on without undo: no older step may survive, since this step's unrecorded
    // changes may have deleted items that older records name.
    FreeJournalRecords(0);
    NotifyJournalChanged();
  }
  j.groupState = 0;
  j.groupStatus = 1;
}

int CZephDoc::PushRecord(UndoRecord&& record) {
  CUndoJournal& j = m_journal;
  const int size = record.Size();
  // A new record ends every chance of redo; the undone records are freed before any space
  // is made, so that dropping old steps never has to look past the top.
  ClearRedo();
  const int reserved = ReserveJournal(size);
  if (reserved != 1) return reserved;
  std::uint8_t kindByte = static_cast<std::uint8_t>(record.Kind());
  if (j.groupState == 1) {
    j.groupState = 2;
  } else if (j.groupState == 2) {
    kindByte |= kUndoSameStep;
  }
  record.kindByte = kindByte;
  const bool first = j.undoCount == 0;
  const bool startsStep = (kindByte & kUndoSameStep) == 0;
  const bool indexCurrent = j.stepIndexValid && j.stepIndexCount == j.undoCount &&
                            static_cast<int>(j.records.size()) == j.undoCount;
  CDrawItem* item = record.item;
  const UndoKind kind = record.Kind();
  j.records.push_back(std::move(record));
  j.top += size;
  j.redoEnd = j.top;
  ++j.undoCount;
  j.redoCount = 0;
  if (startsStep) {
    j.stepIndex.clear();
    j.stepIndexValid = true;
  } else if (!indexCurrent) {
    j.stepIndexValid = false;
  }
  if (j.stepIndexValid) {
    if (item != nullptr) {
      CUndoJournal::StepEntry& entry = j.stepIndex[item];
      entry.newest = j.undoCount - 1;
      entry.kinds |= std::uint64_t{1} << UndoKindNumber(kind);
    }
    j.stepIndexCount = j.undoCount;
  }
  if (first) NotifyJournalChanged();
  return 1;
}

int CZephDoc::RecordListChange(UndoKind kind, int position) {
  LogScope trace(kLogRecordListChange);
  const int state = AnswerForRecording();
  if (state != kGoOn) return trace.Return(state, kLogHandled, 1);
  if (kind != UndoKind::kItemAdded && kind != UndoKind::kItemRemoved &&
      kind != UndoKind::kItemReplaced) {
    SetGlitchValue(UndoKindNumber(kind));
    ReportGlitch(kLogRecordListChange, 1);
    return trace.Return(0, kLogInvalid, 2);
  }
  const bool takesItem = kind != UndoKind::kItemAdded;
  if (position < 0 || position > GetItemCount() || (takesItem && position >= GetItemCount())) {
    SetGlitchValue(UndoKindNumber(kind));
    SetGlitchValue(position);
    ReportGlitch(kLogRecordListChange, 2);
    return trace.Return(0, kLogInvalid, 3);
  }
  UndoRecord record;
  record.kindByte = static_cast<std::uint8_t>(kind);
  record.position = position;
  const int answer = PushRecord(std::move(record));
  if (answer != 1) return trace.Return(answer, kLogInvalid, 4);
  if (takesItem) {
    // The journal owns the item from now on; its slot is emptied for the caller.
    UndoRecord& written = m_journal.records.back();
    written.storedItem = std::move(m_items[static_cast<std::size_t>(position)]);
    MarkUnlisted(written.storedItem.get());
  }
  return trace.Return(1);
}

int CZephDoc::RecordListMove(UndoKind kind, int from, int to) {
  LogScope trace(kLogRecordListMove);
  const int state = AnswerForRecording();
  if (state != kGoOn) return trace.Return(state, kLogHandled, 1);
  if (kind != UndoKind::kListMove) {
    SetGlitchValue(UndoKindNumber(kind));
    ReportGlitch(kLogRecordListMove, 1);
    return trace.Return(0, kLogInvalid, 2);
  }
  UndoRecord record;
  record.kindByte = static_cast<std::uint8_t>(kind);
  record.position = from;
  record.position2 = to;
  return trace.Return(PushRecord(std::move(record)));
}

int CZephDoc::RecordObjectName(UndoKind kind, int number, const QString* oldName) {
  LogScope trace(kLogRecordObjectName);
  const int state = AnswerForRecording();
  if (state != kGoOn) return trace.Return(state, kLogHandled, 1);
  if (kind != UndoKind::kNameAdded && kind != UndoKind::kNameRemoved &&
      kind != UndoKind::kNameReplaced) {
    SetGlitchValue(UndoKindNumber(kind));
    ReportGlitch(kLogRecordObjectName, 1);
    return trace.Return(0, kLogInvalid, 2);
  }
  UndoRecord record;
  record.kindByte = static_cast<std::uint8_t>(kind);
  record.number = static_cast<std::uint16_t>(number);
  if (kind != UndoKind::kNameAdded) record.text = oldName != nullptr ? *oldName : QString();
  return trace.Return(PushRecord(std::move(record)));
}

bool CZephDoc::EnsureStepIndex() {
  CUndoJournal& j = m_journal;
  if (j.stepIndexValid && j.stepIndexCount == j.undoCount &&
      static_cast<int>(j.records.size()) == j.undoCount) {
    return true;
  }
  j.stepIndex.clear();
  j.stepIndexValid = false;
  for (int i = j.undoCount - 1; i >= 0; --i) {
    const UndoRecord& r = j.records[static_cast<std::size_t>(i)];
    if (IsValidUndoKind(r.Kind()) == 0) {
      SetGlitchValue(UndoKindNumber(r.Kind()));
      ReportGlitch(kGlitchCoalesce, 1);
      j.stepIndex.clear();
      return false;
    }
    if (r.item != nullptr) {
      CUndoJournal::StepEntry& entry = j.stepIndex[r.item];
      if (entry.newest < 0) entry.newest = i;
      entry.kinds |= std::uint64_t{1} << UndoKindNumber(r.Kind());
    }
    if (!r.SameStep()) break;
  }
  j.stepIndexValid = true;
  j.stepIndexCount = j.undoCount;
  return true;
}

int CZephDoc::CoalesceItemChange(UndoKind kind, const CDrawItem* item) {
  const CUndoJournal& j = m_journal;
  if (j.groupState != 2 || j.undoCount == 0) return 0;
  // Every text and font change is kept, and moves add up on their own.
  if (kind == UndoKind::kTextString || kind == UndoKind::kFont || kind == UndoKind::kMove) return 0;
  if (IsItemValueKind(kind) == 0 || !EnsureStepIndex()) return 0;
  const auto found = j.stepIndex.find(item);
  if (found == j.stepIndex.end()) return 0;
  return (found->second.kinds >> UndoKindNumber(kind)) & 1U ? 1 : 0;
}

int CZephDoc::CoalesceItemMove(const CDrawItem* item, int dx, int dy) {
  CUndoJournal& j = m_journal;
  if (j.groupState != 2 || j.undoCount == 0 || !EnsureStepIndex()) return 0;
  const auto found = j.stepIndex.find(item);
  if (found == j.stepIndex.end()) return 0;
  // A move adds up with an earlier move only when nothing else of the item changed in
  // between: undo replays newest first, and an absolute value recorded between two moves
  // must be restored after the later move only.
  UndoRecord& r = j.records[static_cast<std::size_t>(found->second.newest)];
  if (r.Kind() != UndoKind::kMove) return 0;
  r.a += dx;
  r.b += dy;
  return 1;
}

std::int16_t CZephDoc::RecordItemChange(UndoKind kind, CDrawItem* item) {
  LogScope trace(kLogRecordItemChange);
  const int state = AnswerForRecording();
  if (state != kGoOn) return trace.Return(static_cast<std::int16_t>(state), kLogHandled, 1);
  // An item that is not in the list gets no records: it may be deleted while a record
  // would still name it (an item set up for the drawing and then refused).
  if (item == nullptr || IsListed(item) == 0) return trace.Return(std::int16_t{0}, kLogHandled, 2);
  if (CoalesceItemChange(kind, item) != 0) {
    if (kind == UndoKind::kHatchPattern) {
      // The item lets go of its current pattern when the answer is 1; the step's earlier
      // record already holds the pattern from before the step, so this one is freed.
      std::unique_ptr<CHatchPattern> replaced(item->GetHatchPattern());
    }
    return trace.Return(std::int16_t{1}, kLogOk, 3);
  }
  const UndoValueAccess* row = FindUndoValueAccess(kind);
  if (row == nullptr) {
    SetGlitchValue(UndoKindNumber(kind));
    ReportGlitch(kLogRecordItemChange, 3);
    return trace.Return(std::int16_t{0}, kLogInvalid, 4);
  }
  UndoRecord record;
  record.kindByte = static_cast<std::uint8_t>(kind);
  record.item = item;
  try {
    // The hatch pattern is taken once the record is written (below).
    if (!row->keep(*item, record)) {
      ReportGlitch(kLogRecordItemChange, 2);
      return trace.Return(std::int16_t{0}, kLogFailed, 5);
    }
  } catch (const std::bad_alloc&) {
    ReportGlitch(kLogRecordItemChange, 1);
    return trace.Return(std::int16_t{0}, kLogMemory, 6);
  }
  const int answer = PushRecord(std::move(record));
  if (answer != 1) return trace.Return(static_cast<std::int16_t>(answer), kLogInvalid, 7);
  if (kind == UndoKind::kHatchPattern) {
    // The fill lets go of its pattern on this answer: the journal keeps it.
    m_journal.records.back().hatch.reset(item->GetHatchPattern());
  }
  return trace.Return(std::int16_t{1});
}

std::int16_t CZephDoc::RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) {
  LogScope trace(kLogRecordItemMove);
  const int state = AnswerForRecording();
  if (state != kGoOn) return trace.Return(static_cast<std::int16_t>(state), kLogHandled, 1);
  if (kind != UndoKind::kMove) {
    SetGlitchValue(UndoKindNumber(kind));
    ReportGlitch(kLogRecordItemMove, 1);
    return trace.Return(std::int16_t{0}, kLogInvalid, 2);
  }
  if (item == nullptr || IsListed(item) == 0) return trace.Return(std::int16_t{0}, kLogHandled, 3);
  if (CoalesceItemMove(item, dx, dy) != 0) return trace.Return(std::int16_t{1}, kLogOk, 4);
  UndoRecord record;
  record.kindByte = static_cast<std::uint8_t>(kind);
  record.item = item;
  record.a = dx;
  record.b = dy;
  return trace.Return(static_cast<std::int16_t>(PushRecord(std::move(record))));
}

// ---- Space ----

int CZephDoc::ReserveJournal(int n) {
  LogScope trace(kLogReserveJournal);
  CUndoJournal& j = m_journal;
  if (n < j.capacity - j.top) return trace.Return(1);
  std::int64_t b = 0;
  if (j.capacity <= kJournalFirstCapacity - 1) {
    b = kJournalFirstCapacity;
  } else if (j.capacity > kJournalLimit / 2) {
    b = kJournalLimit;
  } else {
    b = static_cast<std::int64_t>(j.capacity) * 2;
  }
  while (b - j.top < static_cast<std::int64_t>(n) + kJournalSpare) {
    if (b > kJournalLimit / 2) {
      b = kJournalLimit;
      break;
    }
    b *= 2;
  }
  // Growing fails (the old space stays) above what can be allocated.
  if (j.capacity < b && b <= g_journalAllocationLimit) j.capacity = static_cast<std::int32_t>(b);
  if (n < j.capacity - j.top) return trace.Return(1, kLogOk, 1);

  // Drop the oldest steps: keep the newest whole steps that leave room for the record.
  int cut = -1;
  if (j.capacity >= n + kJournalSpare) {
    std::int64_t above = 0;
    for (int i = j.undoCount - 1; i >= 0; --i) {
      const UndoRecord& r = j.records[static_cast<std::size_t>(i)];
      above += r.Size();
      if (above + n + kJournalSpare > j.capacity) break;
      if (!r.SameStep()) cut = i;
    }
    // A step still open whose own records fill the journal cannot be cut in two: that is the
    // same as no room at all.
    if (cut < 0 && j.undoCount > 0) {
      const bool openStepReachesBottom = j.groupState == 2;
      if (!openStepReachesBottom) cut = j.undoCount;
    } else if (cut < 0) {
      cut = 0;
    }
  }
  if (cut < 0) {
    const int answer = AskYesNo(kIdsUndoNoSpace);
    if (answer == zeph::kIdNo) {
      if (j.groupState != 0) j.groupStatus = -1;
      return trace.Return(-1, kLogInvalid, 2);
    }
    // Going on without undo: no older record may outlive what is changed now.
    FreeJournalRecords(0);
    NotifyJournalChanged();
    if (j.groupState != 0) j.groupStatus = 0;
    return trace.Return(0, kLogHandled, 3);
  }
  // Free the records below the cut, oldest last so that each owned object goes once.
  for (int i = cut - 1; i >= 0; --i) FreeRecord(j.records[static_cast<std::size_t>(i)]);
  j.records.erase(j.records.begin(), j.records.begin() + cut);
  InvalidateStepIndex();
  j.undoCount -= cut;
  j.redoCount = 0;
  std::int32_t kept = 0;
  for (int i = 0; i < j.undoCount; ++i) kept += j.records[static_cast<std::size_t>(i)].Size();
  j.top = kept;
  j.redoEnd = kept;
  NotifyJournalChanged();
  return trace.Return(1, kLogOk, 4);
}

// ---- Freeing ----

void CZephDoc::FreeRecord(UndoRecord& record) {
  record.storedItem.reset();
  record.text.reset();
  record.hatch.reset();
  record.arcState.reset();
  record.font.reset();
  record.item = nullptr;
}

void CZephDoc::ClearRedo() {
  if (m_journal.redoCount == 0) return;
  FreeJournalRecords(1);
  NotifyJournalChanged();
}

void CZephDoc::FreeJournalRecords(int mode) {
  LogScope trace(kLogFreeJournalRecords);
  CUndoJournal& j = m_journal;
  InvalidateStepIndex();
  switch (mode) {
    case 0: {
      j.top = j.redoEnd;
      j.undoCount += j.redoCount;
      j.redoCount = 0;
      while (!j.records.empty()) {
        FreeRecord(j.records.back());
        j.records.pop_back();
        --j.undoCount;
      }
      if (j.undoCount != 0) {
        SetGlitchValue(j.undoCount);
        ReportGlitch(kLogFreeJournalRecords, 3);
        j.undoCount = 0;
      }
      j.top = 0;
      j.redoEnd = 0;
      break;
    }
    case 1: {
      while (static_cast<int>(j.records.size()) > j.undoCount) {
        FreeRecord(j.records.back());
        j.records.pop_back();
      }
      j.redoCount = 0;
      j.redoEnd = j.top;
      break;
    }
    case 2: {
      // The open step's records (redo records are gone once a step records).
      while (static_cast<int>(j.records.size()) > j.undoCount) {
        FreeRecord(j.records.back());
        j.records.pop_back();
      }
      j.redoCount = 0;
      while (j.undoCount > 0) {
        UndoRecord& r = j.records.back();
        const bool first = !r.SameStep();
        j.top -= r.Size();
        FreeRecord(r);
        j.records.pop_back();
        --j.undoCount;
        if (first) break;
      }
      j.redoEnd = j.top;
      break;
    }
    default:
      SetGlitchValue(mode);
      ReportGlitch(kLogFreeJournalRecords, 1);
      return trace.Exit(kLogInvalid, 1);
  }
  trace.Exit();
}

void CZephDoc::CorruptTopRecordForTest(int kind) {
  CUndoJournal& j = m_journal;
  if (j.undoCount == 0) return;
  UndoRecord& r = j.records[static_cast<std::size_t>(j.undoCount - 1)];
  r.kindByte = static_cast<std::uint8_t>((r.kindByte & kUndoSameStep) | (kind & 0x7F));
  InvalidateStepIndex();
}
