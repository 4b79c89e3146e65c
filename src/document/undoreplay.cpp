// Undo and redo: replaying the journal's records by exchange, then redrawing what changed.
#include <utility>

#include "document/dochost.h"
#include "document/document.h"
#include "document/undo.h"
#include "items/fillitem.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogRedo = 1609;
constexpr int kLogUndo = 1610;
constexpr int kGlitchRestoreName = 1261;

// Kinds whose item is not erased before the exchange: they do not change its look, or (the
// text tag) change nothing drawn.
bool ErasesItem(UndoKind kind) {
  return kind != UndoKind::kTextTag && kind != UndoKind::kColour &&
         kind != UndoKind::kObjectNumber && kind != UndoKind::kGroupNumber;
}
// Kinds that change nothing on screen.
bool TouchesItem(UndoKind kind) {
  return kind != UndoKind::kObjectNumber && kind != UndoKind::kGroupNumber;
}

}  // namespace

// One replay of the journal in either direction, with what the redraw phase needs.
class CUndoReplay {
 public:
  CUndoReplay(CZephDoc& doc, zeph::CDrawContext* dc, const CViewMapping* mapping)
      : m_doc(doc), m_dc(dc), m_mapping(mapping) {}

  // Whether the record holds what its kind needs; a record that does not is corrupt.
  bool IsSound(const UndoRecord& r, bool undo) const {
    const UndoKind kind = r.Kind();
    if (IsValidUndoKind(kind) == 0) return false;
    const int count = m_doc.GetItemCount();
    switch (kind) {
      case UndoKind::kItemAdded:
        return undo ? (r.position >= 0 && r.position < count && !r.storedItem)
                    : (r.position >= 0 && r.position <= count && r.storedItem != nullptr);
      case UndoKind::kItemRemoved:
        return undo ? (r.position >= 0 && r.position <= count && r.storedItem != nullptr)
                    : (r.position >= 0 && r.position < count && !r.storedItem);
      case UndoKind::kItemReplaced:
        return r.position >= 0 && r.position < count && r.storedItem != nullptr;
      case UndoKind::kListMove:
        return r.position >= 0 && r.position < count && r.position2 >= 0 && r.position2 < count;
      case UndoKind::kNameAdded:
      case UndoKind::kNameRemoved:
      case UndoKind::kNameReplaced:
        return true;
      default:
        return r.item != nullptr && m_doc.IsListed(r.item) != 0;
    }
  }

  void ClearAllTouched() {
    for (int i = 0; i < m_doc.GetItemCount(); ++i) m_doc.GetItem(i)->ClearUndoMark();
  }

  void Touch(CDrawItem* item) {
    item->SetUndoMark();
    m_lastItem = item;
  }

  void Erase(CDrawItem* item) { m_doc.EraseItem(item, m_mapping, m_dc); }

  // The item at the record's position leaves the list for the record; what it covered is
  // redrawn. It carries no mark out of the list (it may be freed before the redraw).
  void Leave(UndoRecord& r) {
    r.storedItem = m_doc.TakeItemAt(r.position);
    r.storedItem->ClearUndoMark();
    m_lastItem = nullptr;
    m_redrawAll = true;
  }

  void Apply(UndoRecord& r, bool undo) {
    const UndoKind kind = r.Kind();
    m_lastItem = nullptr;
    switch (kind) {
      case UndoKind::kItemAdded:
        if (undo) {
          CDrawItem* item = m_doc.GetItem(r.position);
          Erase(item);
          m_doc.UpdateLineStart(item);
          Leave(r);
        } else {
          CDrawItem* item = r.storedItem.get();
          m_doc.UpdateLineStart(item);
          m_doc.InsertItemAt(r.position, std::move(r.storedItem));
          item->SetSelected(CZephDoc::IsPickingTool());
          Touch(item);
        }
        break;
      case UndoKind::kNameAdded:
      case UndoKind::kNameRemoved: {
        // Undo of an addition and redo of a removal take the name out; the others put it back.
        const bool takeOut = (kind == UndoKind::kNameAdded) == undo;
        if (takeOut) {
          QString name;
          if (m_doc.TakeName(r.number, name) == 0) {
            SetGlitchValue(r.number);
            ReportGlitch(undo ? kLogUndo : kLogRedo, 1);
          } else {
            r.text = std::move(name);
          }
        } else {
          m_doc.AppendName(r.text.value_or(QString()), r.number);
          r.text.reset();
        }
        break;
      }
      case UndoKind::kItemRemoved:
        if (undo) {
          CDrawItem* item = r.storedItem.get();
          m_doc.InsertItemAt(r.position, std::move(r.storedItem));
          item->SetSelected(CZephDoc::IsPickingTool());
          Touch(item);
        } else {
          Erase(m_doc.GetItem(r.position));
          Leave(r);
        }
        break;
      case UndoKind::kNameReplaced: {
        const int index = m_doc.FindObjectNameIndex(r.number);
        std::optional<QString> current;
        if (index >= 0 && !m_doc.GetNameAt(index).isEmpty()) current = m_doc.GetNameAt(index);
        const QString stored = r.text.value_or(QString());
        m_doc.RestoreObjectName(r.number, &stored);
        r.text = std::move(current);
        break;
      }
      case UndoKind::kMove: {
        CDrawItem* item = r.item;
        Erase(item);
        const int sign = undo ? -1 : 1;
        item->MoveBy(static_cast<int>(sign * r.a), static_cast<int>(sign * r.b));
        Touch(item);
        m_redrawAll = true;
        break;
      }
      case UndoKind::kItemReplaced: {
        CDrawItem* current = m_doc.GetItem(r.position);
        Erase(current);
        const int selected = current->IsSelected();
        DrawItemPtr taken = m_doc.TakeItemAt(r.position);
        taken->ClearUndoMark();
        CDrawItem* back = r.storedItem.get();
        m_doc.InsertItemAt(r.position, std::move(r.storedItem));
        back->SetSelected(selected);
        r.storedItem = std::move(taken);
        Touch(back);
        m_redrawAll = true;
        break;
      }
      case UndoKind::kListMove: {
        const int from = undo ? r.position2 : r.position;
        const int to = undo ? r.position : r.position2;
        m_doc.MoveItemInList(from, to);
        Touch(m_doc.GetItem(to));
        if (!undo) m_redrawAll = true;
        break;
      }
      default: {
        CDrawItem* item = r.item;
        if (ErasesItem(kind)) Erase(item);
        ExchangeUndoValue(r);
        if (TouchesItem(kind)) {
          Touch(item);
          m_redrawAll = true;
        }
        break;
      }
    }
    m_doc.MarkChanged();
  }

  void DrawItem(CDrawItem* item) {
    const int colour = m_doc.IsDrawnHighlighted(item) != 0 ? kDrawHighlight : kDrawOwnColour;
    item->Draw(m_dc, m_mapping, colour, 0);
  }

  void DrawAll() {
    for (int i = 0; i < m_doc.GetItemCount(); ++i) DrawItem(m_doc.GetItem(i));
  }

  void Redraw(bool multi) {
    const bool canDraw = m_dc != nullptr && m_mapping != nullptr;
    if (multi) {
      CDrawItem* toDraw = nullptr;
      for (int i = 0; i < m_doc.GetItemCount(); ++i) {
        CDrawItem* item = m_doc.GetItem(i);
        if (item->HasUndoMark() == 0) continue;
        item->Recalculate();
        item->ClearUndoMark();
      }
      // Only an item still in the drawing is drawn (an undone addition has left it).
      if (m_lastItem != nullptr && m_doc.IsListed(m_lastItem) != 0) {
        if (m_lastItem->GetType() == kItemFill) {
          m_redrawAll = true;
        } else {
          toDraw = m_lastItem;
        }
      }
      if (!canDraw) return;
      if (m_redrawAll) {
        DrawAll();
      } else if (toDraw != nullptr) {
        DrawItem(toDraw);
      }
      return;
    }
    CDrawItem* item = m_lastItem;
    if (item != nullptr && m_doc.IsListed(item) != 0 && item->HasUndoMark() != 0) {
      item->Recalculate();
      item->ClearUndoMark();
      if (!canDraw) return;
      if (m_redrawAll) {
        DrawAll();
      } else if (item->GetType() == kItemFill) {
        // The fill lies under everything after it.
        for (int i = m_doc.FindItem(item); i >= 0 && i < m_doc.GetItemCount(); ++i) {
          DrawItem(m_doc.GetItem(i));
        }
      } else {
        DrawItem(item);
      }
      return;
    }
    if (m_redrawAll && canDraw) DrawAll();
  }

  CZephDoc& m_doc;
  zeph::CDrawContext* m_dc;
  const CViewMapping* m_mapping;
  CDrawItem* m_lastItem = nullptr;
  bool m_redrawAll = false;
};

void CZephDoc::Undo(zeph::CDrawContext* dc, const CViewMapping* mapping, int keepForRedo) {
  LogScope trace(kLogUndo);
  CUndoJournal& j = m_journal;
  if (j.undoCount == 0) return trace.Exit(kLogHandled, 1);
  InvalidateStepIndex();
  m_recording = 0;
  CUndoReplay replay(*this, dc, mapping);
  bool multi = false;
  bool sameStep = false;
  do {
    if (keepForRedo != 0) {
      if (j.redoCount == 0) j.redoEnd = j.top;
      ++j.redoCount;
      if (j.redoCount == 1) NotifyJournalChanged();
    } else {
      ClearRedo();
    }
    UndoRecord& r = j.records[static_cast<std::size_t>(j.undoCount - 1)];
    sameStep = r.SameStep();
    if (sameStep && !multi) {
      multi = true;
      replay.ClearAllTouched();
    }
    if (!replay.IsSound(r, true)) {
      // The journal cannot be trusted past this record: everything in it is let go, and
      // nothing more is recorded until a drawing is opened.
      ShowWarning(kIdsUndoCorrupt);
      SetGlitchValue(UndoKindNumber(r.Kind()));
      ReportGlitch(kLogUndo, 2);
      j.redoCount = 0;
      FreeJournalRecords(0);
      NotifyJournalChanged();
      return trace.Exit(kLogInvalid, 2);
    }
    replay.Apply(r, true);
    j.top -= r.Size();
    --j.undoCount;
    if (keepForRedo == 0) {
      // Discarded without redo: what the record holds is freed now.
      FreeRecord(j.records.back());
      j.records.pop_back();
      j.redoEnd = j.top;
    }
    if (j.undoCount == 0) NotifyJournalChanged();
  } while (sameStep && j.undoCount > 0);
  replay.Redraw(multi);
  m_recording = 1;
  trace.Exit();
}

void CZephDoc::Redo(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  LogScope trace(kLogRedo);
  CUndoJournal& j = m_journal;
  if (j.redoCount == 0) return trace.Exit(kLogHandled, 1);
  InvalidateStepIndex();
  m_recording = 0;
  CUndoReplay replay(*this, dc, mapping);
  bool multi = false;
  bool laterSame = false;
  do {
    const std::size_t index = static_cast<std::size_t>(j.undoCount);
    laterSame = j.redoCount > 1 && j.records[index + 1].SameStep();
    if (laterSame && !multi) {
      multi = true;
      replay.ClearAllTouched();
    }
    UndoRecord& r = j.records[index];
    if (!replay.IsSound(r, false)) {
      ShowWarning(kIdsRedoCorrupt);
      SetGlitchValue(UndoKindNumber(r.Kind()));
      ReportGlitch(kLogRedo, 2);
      FreeJournalRecords(0);
      NotifyJournalChanged();
      return trace.Exit(kLogInvalid, 2);
    }
    replay.Apply(r, false);
    const bool wasEmpty = j.undoCount == 0;
    j.top += r.Size();
    --j.redoCount;
    ++j.undoCount;
    if (j.redoCount == 0 || wasEmpty) NotifyJournalChanged();
  } while (laterSame && j.redoCount > 0);
  replay.Redraw(multi);
  m_recording = 1;
  trace.Exit();
}

void CZephDoc::EraseItem(CDrawItem* item, const CViewMapping* mapping,
                         zeph::CDrawContext* dc) const {
  if (item == nullptr || dc == nullptr || mapping == nullptr || item->HasUndoMark() != 0) return;
  if (item->GetType() == kItemText) {
    item->EraseTextBox(dc, mapping);
  } else {
    item->Draw(dc, mapping, static_cast<int>(g_backgroundColour), 0);
  }
}

int CZephDoc::IsPickingTool() {
  const IDocumentHost& host = GetDocumentHost();
  switch (host.GetCurrentTool()) {
    case kToolMove:
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
    case kToolDelete:
    case kToolModify:
    case kToolValues:
      return 1;
    case kToolCopy:
      return host.IsCopyPlacing() == 0 ? 1 : 0;
    default:
      return 0;
  }
}

int CZephDoc::IsDrawnHighlighted(const CDrawItem* item) const {
  if (item == nullptr || GetDocumentHost().IsSelectionShown() == 0) return 0;
  if (IsPickingTool() == 0) return 0;
  return item->IsSelected();
}

void CZephDoc::UpdateLineStart(const CDrawItem* item) const {
  IDocumentHost& host = GetDocumentHost();
  if (item == nullptr || host.IsLineStartSet() == 0 || item->GetType() != kItemLine) return;
  int lx = 0;
  int ly = 0;
  host.GetLineStart(lx, ly);
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  item->GetStart(sx, sy);
  item->GetEnd(ex, ey);
  if (lx == sx && ly == sy) {
    host.SetLineStart(ex, ey);
  } else if (lx == ex && ly == ey) {
    host.SetLineStart(sx, sy);
  }
}

int CZephDoc::ReplaceItemAt(int index, DrawItemPtr& item) {
  if (!item || item->IsValid() == 0 || index < 0 || index >= GetItemCount()) return 0;
  const int answer = RecordListChange(UndoKind::kItemReplaced, index);
  if (answer == kUndoRefused) return 0;
  const std::size_t slot = static_cast<std::size_t>(index);
  if (answer != 1) {
    MarkUnlisted(m_items[slot].get());
    m_items[slot].reset();
  }
  CDrawItem* raw = item.get();
  raw->SetDocument(this);
  MarkListed(raw);
  m_items[slot] = std::move(item);
  m_changed = 1;
  return 1;
}
