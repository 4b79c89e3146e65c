#pragma once
// What the drawing items need of the layers above them: the drawing document that owns them
// (undo records, the changed flag, the cache of intersection answers, group numbers, fill
// order, scales) and the drawing window a text is edited in.
//
// These are interfaces rather than the document's own class because the items library sits
// below the document library: the document (CZephDoc) derives from IItemDocument and hands
// itself to its items with CDrawItem::SetDocument; the editor's drawing window derives from
// IDrawingWindow. Tests use fakes.
//
// Every call is made on the user-interface thread.
#include <QString>
#include <cstdint>

#include "items/undokind.h"

class CDrawItem;
class CTextFileReader;
class CTextFileWriter;
struct CViewMapping;
namespace zeph {
class CDrawContext;
}

// The answer of RecordItemChange and RecordItemMove that forbids the change.
inline constexpr std::int16_t kUndoRefused = -1;

class IItemDocument {
 public:
  virtual ~IItemDocument() = default;

  // Records the item's current value of the property named by kind, before a setter changes
  // it. 0 without a record while recording is off (and after old records were dropped to
  // make room), 1 when recorded or already recorded in this step, -1 (kUndoRefused) when the
  // user chose to roll the step back: the setter must then change nothing. A kind outside
  // the journal's table is a glitch (1604, n 3) and answers 0.
  virtual std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) = 0;
  // Records a move of the item by (dx, dy), answering as RecordItemChange. Any kind other
  // than UndoKind::kMove is a glitch (1605, n 1) and answers 0.
  virtual std::int16_t RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) = 0;
  // Switches recording on (non-zero) or off (0); answers the previous setting.
  virtual int EnableUndo(int on) = 0;
  // Sets the document's changed flag; every change that was not refused calls it.
  virtual void MarkChanged() = 0;

  // Deletes every cached intersection answer that involves the item. Items call it after
  // every change of their geometry and from their destructor, so an implementation must use
  // nothing of the item but CDrawItem::GetSerial (the item may be half destroyed).
  virtual void DropCachedIntersections(const CDrawItem* item) = 0;
  // The first cached answer of the pair (either order) copied to the intersection result
  // arrays: its count, 0 when the arrays cannot hold it, -1 when none is cached. An
  // exception meanwhile is a glitch (1222, n 1) and -1.
  virtual int FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) = 0;
  // Keeps the first count points of the result arrays as the answer of the pair. Only pairs
  // of items that both belong to this document are kept: an item outside it would never
  // drop its entries.
  virtual void CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) = 0;

  // While group remapping is on (the document inserts copied or loaded items), a fresh group
  // number for an old one, the same for every later request with that number; otherwise,
  // and for 0, the number given.
  virtual int MapGroupNumber(int group) = 0;
  // When the fill is in the document's leading block of fills: count = the fills in the
  // block, position = count minus the fills before it (the topmost fill has 1), answer 1.
  // Otherwise 0 and the outputs untouched.
  virtual int GetFillOrder(const CDrawItem* fill, int& position, int& count) const = 0;
  // The drawing's full path; empty for a drawing never saved.
  virtual QString GetFilePath() const = 0;
  virtual int GetItemCount() const = 0;
  // The X of the printing scale 1 to X; 0 or less means automatic.
  virtual double GetPrintingScale() const = 0;
  // The X of the scale 1 to X at which the drawing's extents fit one printed page.
  virtual double GetAutomaticPrintScale() const = 0;
  // 1.0 by default; a length of n drawing units is n x 1e-4 x this scale centimetres.
  virtual double GetRealWorldScale() const = 0;
};

// What a text item needs of the drawing window it is being edited in.
class IDrawingWindow {
 public:
  virtual ~IDrawingWindow() = default;
  // The window's own view mapping.
  virtual const CViewMapping* GetViewMapping() const = 0;
  // The context that draws into the window.
  virtual zeph::CDrawContext* GetDrawContext() = 0;
};

// The kind of a boundary edge in the drawing file: one 16-bit line. 1 and the kind stored
// when the line holds 0..3; otherwise 0 and kind untouched (a line that is no number sets
// the file status, as every number line does).
int ReadEdgeKind(CTextFileReader& reader, int& kind);
void WriteEdgeKind(CTextFileWriter& writer, int kind);
