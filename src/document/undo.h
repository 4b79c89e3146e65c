#pragma once
// The undo journal's records. Each record keeps the value from the other side of one change;
// undo and redo exchange it with the current one, so the same record serves both in turn.
// Records are grouped into steps, one step per user action: the kind byte's bit 7 marks a
// record that belongs to the same step as the record below it.
//
// The journal's size limit is counted in the sizes the records have always had in the
// journal (kind byte included), so that users meet the limit, the dropping of the oldest
// steps and the question when memory runs out exactly where they did.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "items/drawitem.h"
#include "items/itemdocument.h"

class CHatchPattern;
class CEllipseArcUndoState;
class CFontSpec;

inline constexpr std::uint8_t kUndoSameStep = 0x80;

// Journal space, in record bytes.
inline constexpr int kJournalFirstCapacity = 16384;
inline constexpr int kJournalLimit = 1048576;
inline constexpr int kJournalSpare = 1024;

// 1 for a kind of a record (0..43 except 17).
inline int IsValidUndoKind(UndoKind kind) { return UndoRecordSize(kind) > 0 ? 1 : 0; }
// 1 for the item property kinds (4..40 except 17 and 24): the kinds of the table of values.
int IsItemValueKind(UndoKind kind);

struct UndoRecord {
  std::uint8_t kindByte = 0;  // the kind, with kUndoSameStep for a record of the step below
  CDrawItem* item = nullptr;  // the changed item (property kinds and moves); not owned
  std::int32_t position = 0;  // list position (0, 3, 42), from position (43)
  std::int32_t position2 = 0;  // to position (43)
  std::uint16_t number = 0;   // object number (1, 2, 24)
  // The kept value: integers (a point as a, b; a move as dx, dy; a single value as a) or
  // doubles (d1, d2 likewise).
  std::int64_t a = 0;
  std::int64_t b = 0;
  double d1 = 0.0;
  double d2 = 0.0;
  // Owned objects; which one a kind keeps is fixed by the kind.
  DrawItemPtr storedItem;            // 0 (once undone), 3, 42
  std::optional<QString> text;       // 1 (once undone), 2, 24 names; 37 the text
  std::unique_ptr<CHatchPattern> hatch;           // 26
  std::unique_ptr<CEllipseArcUndoState> arcState;  // 29
  std::unique_ptr<CFontSpec> font;                 // 40

  UndoRecord();
  ~UndoRecord();
  UndoRecord(UndoRecord&&) noexcept;
  UndoRecord& operator=(UndoRecord&&) noexcept;

  UndoKind Kind() const { return static_cast<UndoKind>(kindByte & 0x7F); }
  bool SameStep() const { return (kindByte & kUndoSameStep) != 0; }
  int Size() const { return UndoRecordSize(Kind()); }
};

// A row of the table of item values: how a record keeps one property of an item and how the
// item is given a kept value back. Undo and redo exchange the two (ExchangeUndoValue).
struct UndoValueAccess {
  UndoKind kind;
  // Keeps the item's current value in the record; false when it cannot be kept.
  bool (*keep)(const CDrawItem& item, UndoRecord& record);
  // Gives the item the value the record keeps; the record may be emptied.
  void (*give)(CDrawItem& item, UndoRecord& record);
  // Set for the kinds whose record owns an object that is exchanged in place; keep then serves
  // recording only, and give is null.
  void (*exchange)(CDrawItem& item, UndoRecord& record);
};

// The kind's row; null for a kind that is no property of an item.
const UndoValueAccess* FindUndoValueAccess(UndoKind kind);
// Gives the record's item the value the record keeps and keeps the item's current value in
// the record instead, so that the same record serves undo and redo in turn. The caller has
// recording off, so that the setters write no records.
void ExchangeUndoValue(UndoRecord& record);

struct CUndoJournal {
  // Records below the top first (oldest at 0), then the undone records kept for redo (the
  // oldest undone first: records[undoCount] is the next to redo).
  std::vector<UndoRecord> records;
  std::int32_t top = 0;       // bytes of the records below the top
  std::int32_t redoEnd = 0;   // top plus the bytes of the redo records
  std::int32_t capacity = 0;  // bytes reserved
  std::int32_t undoCount = 0;
  std::int32_t redoCount = 0;
  std::uint8_t groupState = 0;   // 0 none open, 1 open without records, 2 open with records
  std::int16_t groupStatus = 1;  // 1 normal, 0 dropping the step's records, -1 refused

  // Where the newest step's records of each item lie, so that coalescing a change into the
  // step does not walk the whole step (a drag of thousands of items would be quadratic).
  // Kept while records are only added; anything else that changes the records drops it, and
  // it is rebuilt from the records when next needed.
  struct StepEntry {
    int newest = -1;           // index of the item's newest record in the step
    std::uint64_t kinds = 0;   // bit k: the step holds a record of kind k for the item
  };
  std::unordered_map<const CDrawItem*, StepEntry> stepIndex;
  bool stepIndexValid = false;
  int stepIndexCount = 0;  // undoCount when the index was last brought up to date
};

// For tests and the out-of-memory path: the journal cannot reserve more bytes than this
// (the real limit is kJournalLimit).
extern int g_journalAllocationLimit;

// Messages of the journal.
inline constexpr int kIdsUndoCorrupt = 274;
inline constexpr int kIdsRedoCorrupt = 275;
inline constexpr int kIdsUndoNoSpace = 276;
