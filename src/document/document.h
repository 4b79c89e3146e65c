#pragma once
// The drawing document: one drawing in memory. It owns the items (in painting order, fills
// first), the object names and numbers, the selected points and corners, the scales, the
// print settings, the drawing's word list, the background picture and pasted pictures, the
// cached intersections and the undo journal.
//
// The drawing being edited and the three auxiliary documents of the run (symbol library,
// selected symbol, hatch samples) are all of this class; the shell owns them.
//
// Every operation runs on the user-interface thread.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "document/itemref.h"
#include "document/printsettings.h"
#include "document/spatialindex.h"
#include "document/undo.h"
#include "items/drawitem.h"
#include "items/intersect.h"
#include "items/itemdocument.h"
#include "items/legacysegment.h"

class CBoundaryLoop;
class CDocDict;
struct CViewMapping;
namespace zeph {
class CDrawContext;
struct DcRect;
}  // namespace zeph

// Limits of the tables.
inline constexpr std::uint32_t kItemListFirstCapacity = 1024;
inline constexpr std::uint32_t kItemListLimit = 1048576;
inline constexpr int kNameTableFirstCapacity = 128;
inline constexpr int kNameTableLimit = 16384;
inline constexpr int kObjectListFirstCapacity = 256;
inline constexpr int kObjectNameLength = 16;
inline constexpr int kCornerListStep = 512;
inline constexpr int kCornerListLimit = 4096;
inline constexpr int kGroupMapFirstCapacity = 1000;
// Object numbers: drawings use 1..30000, symbol libraries from 30001; 19999 is kept for the
// temporary lines of the conversion of old drawings.
inline constexpr int kObjectNumberDrawingMax = 30000;
inline constexpr int kObjectNumberMax = 32767;
inline constexpr int kObjectNumberConversion = 19999;

// Tick marks of the object list.
inline constexpr std::uint8_t kObjectNotTicked = 0;
inline constexpr std::uint8_t kObjectTicked = 1;
inline constexpr std::uint8_t kObjectPartlyTicked = 2;

// What kind of document: the drawing the user edits, or one of the three auxiliary
// documents, which never record undo steps and never make their word list the one the
// spell checker consults.
enum class DocumentRole { kDrawing, kAuxiliary };

// Hands items to the per-object statistics of the object analysis.
class IElementStatistics {
 public:
  virtual ~IElementStatistics() = default;
  virtual void AddItem(const CDrawItem* item) = 0;
};

class CZephDoc final : public IItemDocument {
 public:
  explicit CZephDoc(DocumentRole role = DocumentRole::kDrawing);
  ~CZephDoc() override;
  CZephDoc(const CZephDoc&) = delete;
  CZephDoc& operator=(const CZephDoc&) = delete;

  DocumentRole GetRole() const { return m_role; }

  // ---- Whole drawing ----
  // The defaults of a new drawing; items are not deleted (clear first).
  void ResetDrawing();
  // Deletes every item, name and journal record; scales, print settings, word list, picture
  // and point lists other than the selected points and corners stay.
  void ClearDrawing();
  // ClearDrawing, then (unless keepOperation) the current tool's operation is cancelled.
  void WipeDrawing(int keepOperation);
  // A new drawing from the File menu's point of view: 1.
  int OnNewDocument();

  int IsChanged() const { return m_changed; }
  void MarkChanged() override { m_changed = 1; }
  void ClearChanged() { m_changed = 0; }

  QString GetFilePath() const override { return m_path; }
  void SetFilePath(const QString& path) { m_path = path; }
  // The file name without its folder, and without ".zpd" (any case); empty for no path.
  QString GetDrawingName() const;

  double GetRealWorldScale() const override { return m_realWorldScale; }
  void SetRealWorldScale(double scale) { m_realWorldScale = scale; }
  double GetPrintingScale() const override { return m_printingScale; }
  // Marks the drawing changed only when the scale differs from the stored one.
  void SetPrintingScale(double scale);
  // The X of the scale 1 to X at which the last computed extents fit one printable page;
  // 1.0 when the printer's measurements are unusable.
  double GetAutomaticPrintScale() const override;
  // Sets g_unitFactor from the option "DisplayUnits" and the real-world scale.
  void ChooseUnitFactor() const;

  CPrintSettings& GetPrintSettings() { return m_printSettings; }
  const CPrintSettings& GetPrintSettings() const { return m_printSettings; }

  // The drawing's own word list (null without a spell checker).
  CDocDict* GetDocDict() const { return m_docDict.get(); }
  // Replaces the word list with a new empty one.
  void ResetDictionary();

  // The client size of the drawing window showing this drawing.
  void SetWindowSize(int width, int height);
  int GetWindowWidth() const { return m_windowWidth; }
  int GetWindowHeight() const { return m_windowHeight; }

  // The extents last computed, margin included.
  void GetExtents(int& minX, int& minY, int& maxX, int& maxY) const;
  void SetExtents(int minX, int minY, int maxX, int maxY);

  // Background picture: a path, or ">" and the id of a pasted picture; empty for none.
  QString GetPicturePath() const { return m_picturePath; }
  void SetPicturePath(const QString& path) { m_picturePath = path; }
  int GetPictureX() const { return m_pictureX; }
  int GetPictureY() const { return m_pictureY; }
  double GetPictureScale() const { return m_pictureScale; }
  void SetPicturePlace(int x, int y, double scale);

  // ---- Item list (painting order; fills first) ----
  int GetItemCount() const override { return static_cast<int>(m_items.size()); }
  // Null for an index outside the list.
  CDrawItem* GetItem(int index) const;
  std::uint32_t GetItemCapacity() const { return m_itemCapacity; }
  // 1 added (the document owns the item), 0 invalid, -1 list full (message shown) or the step
  // refused; on 0 and -1 the caller still owns the item.
  int AddItem(DrawItemPtr& item);
  int AddItemWithIndex(DrawItemPtr& item, int& index);
  // A copy with no owner yet; null when the source is invalid or memory runs out.
  DrawItemPtr CopyItem(const CDrawItem* item);
  int AddCopyOfItem(const CDrawItem* item);
  int RemoveItemAt(int index);
  int RemoveItem(const CDrawItem* item);
  // Puts item in the place of the item at index, as one change that undo reverses (the old
  // item is kept by the journal, or deleted when nothing is recorded). 1 replaced; 0 for an
  // invalid item or index, or when the step was refused (the caller still owns item).
  int ReplaceItemAt(int index, DrawItemPtr& item);
  // The item's position in the list, or -1.
  int FindItem(const CDrawItem* item) const;
  int IsListed(const CDrawItem* item) const;
  int BringToFront(const CDrawItem* fill);
  int SendToBack(const CDrawItem* fill);
  int IsBackmostFill(const CDrawItem* fill) const;
  int IsFrontmostFill(const CDrawItem* fill) const;
  int GetFillOrder(const CDrawItem* fill, int& position, int& count) const override;
  // Moves a pointer within the list; no undo record, no changed mark.
  void MoveItemInList(int from, int to);
  int GrowItemList();
  // Makes room in the lookups kept beside the list for count more items, so a large drawing
  // read from a file is not rehashed as it grows; the list itself still grows as described.
  void ReserveListed(std::size_t count);
  // For tests: the list stops growing below this capacity (memory running out).
  static void SetItemListLimitForTest(std::uint32_t limit);

  // ---- Named objects and object numbers ----
  // -1 when the journal refused, 0 for a number outside 1..32767 (a glitch); else 1 (also
  // when nothing changed).
  int SetObjectName(int number, const QString& name, int noSort = 0);
  int DeleteTickedObjectNames();
  void RestoreObjectName(int number, const QString* name);
  void SortObjectNames();
  int GetNameCount() const { return static_cast<int>(m_names.size()); }
  int GetNameCapacity() const { return m_nameCapacity; }
  const QString& GetNameAt(int index) const { return m_names[static_cast<std::size_t>(index)].name; }
  int GetNameNumberAt(int index) const { return m_names[static_cast<std::size_t>(index)].number; }
  int FindObjectNameIndex(int number) const;
  QString GetObjectName(int number, int captionMode) const;
  static QString GetObjectCaption(int number, int mode);
  int FindObjectByName(const QString& text) const;
  int GetFreeObjectNumber(int start) const;
  int RebuildObjectList();
  void InsertObjectNumber(int number);
  int GrowObjectList();
  int GrowNameTable();
  int GetObjectCount() const { return static_cast<int>(m_objects.size()); }
  int FindObjectIndex(int number) const;
  int IsObjectListed(int number) const;
  int GetObjectNumberAt(int position) const;
  QString GetObjectNameAt(int position, int captionMode) const;
  int GetObjectTick(int position) const;
  void SetObjectTick(int position, int tick);
  void SetObjectTickByNumber(int number, int tick);
  int CountTickedObjects() const;
  void CountObjectContents(std::vector<IElementStatistics*>& statistics) const;
  void PrepareCopyNumbers(int copies);
  int GetCopyObjectNumber(int number, int copyIndex) const;
  void NameCopiedObjects(int clear);
  void MakeObjectNameUnique(QString& name, int firstNumber) const;
  int GetCopyRows() const { return m_copyRows; }
  int GetCopiesPerRow() const { return m_copiesPerRow; }
  int NewGroupNumber();
  void RaiseGroupCounter(int number);
  int GetGroupCounter() const { return m_groupCounter; }
  void SetGroupRemapping(int on);
  int MapGroupNumber(int group) override;
  // The load number map of the drawing-file reader.
  void ClearLoadNumberMap();

  // ---- Item references and point lists ----
  CDrawItem* GetRefItem(const CItemRef& ref) const;
  int IsRefToItem(const CDrawItem* item, const CItemRef& ref) const;
  int GetRefX(const CItemRef& ref) const;
  int GetRefY(const CItemRef& ref) const;
  void MoveRefPoint(const CItemRef& ref, int dx, int dy);
  void SetRefPoint(const CItemRef& ref, int x, int y);
  CItemRef FirstPoint() const;
  void NextPoint(CItemRef& ref) const;
  int IsPastLastPoint(const CItemRef& ref) const;
  void SkipInvisibleItems(CItemRef& ref) const;
  int IsPointVisible(const CViewMapping* mapping, int x, int y) const;
  CItemRef FindLineEndAt(const CItemRef& ref) const;
  CItemRef GetNearestListedPoint(const CItemRefList& list) const;
  CItemRefList& GetSelectedPoints() { return m_selectedPoints; }
  void SelectPointsAt(int x, int y);
  void SelectLinesAtPoint(int x, int y);
  void SetSelectedPoints(const CItemRefList& list);
  void SortSelectedPoints();
  void AddCoincidentPoints(CItemRefList& list, const CItemRef& ref) const;
  void AddGroupPoints(CItemRefList& list, int group) const;
  void RemoveGroupPoints(CItemRefList& list, int group) const;
  int ExpandToGroups(CItemRefList& list) const;
  void SelectPointsInRect(CItemRefList& list, const CViewMapping* mapping,
                          const zeph::DcRect& rect, int remove) const;
  void TogglePointAt(CItemRefList& list, const CItemRef& ref) const;
  int AddCorner(const CItemRef& ref);
  CItemRef GetNearestCorner() const;
  int GetCornerCount() const { return m_cornerCount; }
  int GetCornerCapacity() const { return static_cast<int>(m_corners.size()); }
  const CItemRef& GetCornerAt(int index) const { return m_corners[static_cast<std::size_t>(index)]; }
  void RemoveAllCorners() { m_cornerCount = 0; }

  // ---- Intersection cache ----
  int FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) override;
  void CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) override;
  void DropCachedIntersections(const CDrawItem* item) override;
  void ClearIntersectionCache();
  int GetCachedIntersectionCount() const { return m_intersections.GetEntryCount(); }

  // ---- Undo journal ----
  int EnableUndo(int on) override;
  int IsUndoEnabled() const { return m_recording; }
  void SetUndoGroup(int begin);
  int RecordListChange(UndoKind kind, int position);
  int RecordListMove(UndoKind kind, int from, int to);
  int RecordObjectName(UndoKind kind, int number, const QString* oldName);
  std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) override;
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) override;
  int ReserveJournal(int bytes);
  void ClearRedo();
  void FreeJournalRecords(int mode);
  void NotifyJournalChanged();
  const CUndoJournal& GetJournal() const { return m_journal; }
  // For tests: makes the next record look corrupt (its kind byte becomes kind).
  void CorruptTopRecordForTest(int kind);

  // ---- Undo and redo ----
  void Undo(zeph::CDrawContext* dc, const CViewMapping* mapping, int keepForRedo);
  void Redo(zeph::CDrawContext* dc, const CViewMapping* mapping);
  int CanUndo() const { return m_journal.undoCount > 0 ? 1 : 0; }
  int CanRedo() const { return m_journal.redoCount > 0 ? 1 : 0; }
  void EraseItem(CDrawItem* item, const CViewMapping* mapping, zeph::CDrawContext* dc) const;
  static int IsPickingTool();
  int IsDrawnHighlighted(const CDrawItem* item) const;
  void UpdateLineStart(const CDrawItem* item) const;

  // ---- Document commands ----
  // The menu commands the document answers, called by the shell as plain handlers.
  void OnFileNew();
  void OnFileOpen();
  void OnFileAdd();
  void OnFileSave();
  void OnFileSaveAs();
  void OnEditWipe();
  void OnEditDictionary();
  // Enabled: File > Save while the drawing or its word list has changed; Edit > Dictionary
  // while a spell checker exists and the drawing has its word list.
  int OnUpdateFileSave() const;
  int OnUpdateEditDictionary() const;
  // The save question before a changed drawing is discarded: 1 go on, 0 cancelled.
  int QuerySaveModified();
  int PromptSaveChanges();
  // File > Open's dialogs and the opening: 1 opened.
  int ChooseAndOpenFile();
  // Opens a drawing by path: the reader's result (0 when nothing was read).
  int OpenFile(const QString& path);
  // Changed for the save question: the drawing, or its word list.
  int IsChangedOrWordsAdded() const;

  // ---- Drawing files ----
  // Reads a drawing file of any version (DrawingReadMode: 0 open, 1 insert as one undo step,
  // 2 symbol library). 0 when nothing was read (the file cannot be opened: status 3; its first
  // line is no known tag: 13 or 14; an invalid mode); else 1, and g_fileStatus says whether
  // the whole file was read (0) or reading stopped early (1, 11, 12).
  int ReadDrawingFile(const QString& path, int mode);
  // The object number an item read in the mode gets for the number the file gives it.
  int MapLoadedObjectNumber(int number, int mode);
  // Writes the drawing in the newest format, making the backup the options ask for; success is
  // g_fileStatus 0 afterwards (the drawing is then no longer changed). A failure leaves the
  // drawing file, its backup and the document as they were.
  void WriteDrawingFile(const QString& path);
  // File > Save (ask 0) and File > Save as (ask 1): 1 saved, 0 not (cancelled or failed).
  int SaveDrawing(int ask);

  // ---- Fill search and boundary tracing ----
  // The region around (x, y) bounded by the drawing's curve items (hidden items, texts,
  // dimensions and fills never bound it), with every closed outline inside it as a hole: a
  // new fill, the caller's and not yet listed, with nothing set but its loops. Null after a
  // message (no boundary found, no memory). Items and undo journal are as they were before.
  DrawItemPtr FillAreaAtPoint(int x, int y);
  // The marks of the walk in progress from the trace code on become code, the walk's other
  // marks go; on every item.
  void RenumberUsedMarks(int code);
  // Clears the walk's marks (codes of 100 and above, from code on) on every item.
  void ClearUsedMarksFrom(int code);
  // The closed outline through (x, y) on item, walked from there; the caller's, or null with
  // the trace failure code set. Not re-entrant: the walk keeps its junctions in the shared
  // path-node store.
  std::unique_ptr<CBoundaryLoop> TraceBoundary(CDrawItem* item, int x, int y);
  // Appends the continuations from path node `node`, best first; the index of the first, or
  // -1 when there are none (or on error).
  int ExpandPathNode(int node);
  // Moves a start that sits at a dead end of item to the nearest crossing with another usable
  // item, or without one to the item's other end. True when another item crosses within 2
  // units of the given point.
  bool MoveTraceStart(CDrawItem* item, int& x, int& y);

  // ---- State of the geometry passes (the fill search and the tracer) ----
  struct FillSearchState {
    std::int32_t x = 0;
    std::int32_t y = 0;
    CBoundaryLoop* outerLoop = nullptr;  // owned by the fill being made
    std::int32_t holeSearch = 0;
    std::int32_t traceCode = 0;
    std::int16_t traceFailure = 0;
    std::int32_t startIndex = -1;  // the list place of the next walk's start item; -1 unknown
  };
  FillSearchState& GetFillSearchState() { return m_fillSearch; }

  // Line data of old drawing files awaiting conversion.
  std::vector<CLegacySegment>& GetLegacySegments() { return m_legacySegments; }

  // Pictures pasted in this run.
  struct PictureEntry {
    std::int32_t id = 0;
    QString name;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<PictureEntry>& GetPictureTable() { return m_pictures; }

  // The object-number remapping of the drawing-file reader.
  struct LoadNumberMap {
    std::vector<std::int16_t> read;
    std::vector<std::int16_t> given;
    std::int16_t nextFree = 1;
    std::int16_t outOfRange = 0;
  };
  LoadNumberMap& GetLoadNumberMap() { return m_loadNumbers; }

  // ---- Conversion of old line data ----
  // Rebuilds the old hatches kept as legacy segment records (files "Zephorin2" and
  // "Zephorin3") as hatched fills with holes; a hatch whose outline cannot be closed becomes
  // plain lines and is counted for the user. Gaps in an outline are closed with temporary
  // lines, all gone when the pass returns. Not re-entrant.
  void ConvertLegacySegments();
  // Every record of the object not already drawn by a fill becomes a line item: the lines
  // added.
  int ConvertHatchToLines(int objectNumber);
  // Joins rows of loose ends (attached to no item) of one hatch with temporary lines.
  void BridgeLooseHatchEnds();
  // The open end with the smallest x (the first found of equal x).
  bool FindHatchStart(int& s, int& e) const;
  // Of the object's open ends strictly inside the loop, the one with the smallest x.
  bool FindHatchHoleStart(const CBoundaryLoop& loop, int objectNumber, int& s, int& e) const;
  // The outline (hole 0) or hole (hole 1) through end (s, e) of a record; null when it
  // cannot be closed.
  std::unique_ptr<CBoundaryLoop> TraceHatchBoundary(int hole, int s, int e);
  // Moves (s, e) along the open ends of its hatch on the same item.
  void WalkHatchEnds(int& s, int& e);
  // Moves (s, e) to the end of its hatch where the outline goes on along another item.
  bool HopToNextBoundary(int& s, int& e);
  // A temporary line across a gap in the outline after end (s, e), which moves on; null
  // when none can be made.
  CDrawItem* BridgeHatchGap(int& s, int& e, int previousS, int previousE);
  // The step from one hatch line to the next along the line item that end (s, e) is
  // attached to.
  bool GetHatchStepOnLine(int s, int e, int& dx, int& dy) const;
  // The angles about the arc that end (s, e) is attached to where the neighbouring hatch
  // lines meet it.
  bool GetHatchArcRange(int s, int e, double& low, double& high) const;
  bool IsNearHatchEnd(int s, int e, int x, int y) const;
  // Every open end attached to the item is left out of the present search.
  void ExcludeEndsLinkedTo(const CDrawItem* item);

  // ---- Corners and Break ----
  // Rebuilds the corner list with every end of a shown, ungrouped line inside the drawing
  // window where exactly one other such line ends, no arc ends, and the two lines meet at an
  // angle (neither running on straight nor folding back). 1 corners found; -1 none (also for
  // fewer than two items); 0 the quick (not interactive) search declines a drawing of more
  // than 500 items or 100 lines and arcs; -2 more than 8000 lines and arcs. The interactive
  // search shows the wait cursor while it runs.
  std::int16_t FindCorners(const CViewMapping* mapping, int interactive);
  // For tests: the corner lookup tables cannot be had, so the lookup runs over the item list.
  static void SetCornerTablesFailForTest(bool fail);

  // Cuts a line, arc, circle, ellipse, elliptic arc or curve at its crossings with every
  // other shown one of those kinds: fills the split list with the cut points (sorted along
  // the item) and makes one piece item per stretch, all kept until the editor says
  // otherwise. The number of split points; 0 when the item is of another kind or fewer than
  // two points result, and 0 with an empty list when the list cannot grow or a piece cannot
  // be made. Pieces left by an earlier split are freed first.
  int SplitItemAtCrossings(CDrawItem* item);
  // Replaces the item by the stretches made of its kept pieces, as one undo step, and frees
  // the pieces. 1 done (also when nothing changes), 0 on failure.
  int KeepItemSections(CDrawItem* item);
  // Frees the pieces of a split that is abandoned (the Break tool cancelled, the program
  // closing).
  static void FreeSplitPieces();
  // For tests: the split list takes no more than limit points (a negative limit: no limit).
  static void SetSplitListLimitForTest(int limit);

  // ---- Whole-drawing operations and pictures ----
  // The shown item nearest to the cursor (g_cursorPoint) among those the filter admits
  // (kPickAnyItem .. kPickLines). Of equally near items the last in list order before
  // previous wins, so that asking again with the last answer as previous cycles backwards
  // through them. Null when maxDistance is above 0 and the nearest is farther.
  CDrawItem* FindNearestItem(const CViewMapping* mapping, int filter, const CDrawItem* previous,
                             double maxDistance) const;
  // ---- Spatial index: drawing and picking among the items near the view ----
  // The same answer by measuring every item; FindNearestItem uses it for small drawings and
  // wherever the index cannot answer, and tests compare the two.
  CDrawItem* FindNearestItemByWalk(const CViewMapping* mapping, int filter,
                                   const CDrawItem* previous, double maxDistance) const;
  // Calls draw for each listed item that can show inside the context's clip box under the
  // mapping (every item when printing), in list order; invisible items included, for the
  // caller to pass over.
  void DrawItemsInView(zeph::CDrawContext& dc, const CViewMapping& mapping,
                       const std::function<void(const CDrawItem&)>& draw) const;
  // For tests: the index the document keeps in step with its list, and the list.
  CSpatialIndex& GetSpatialIndexForTest() const { return m_spatial; }
  std::span<const DrawItemPtr> GetItemListForTest() const { return m_items; }
  // The handle nearest to the cursor among the shown handles inside the drawing window
  // (kPointAnyItem .. kPointLinesOnly; fills never), or only of ungrouped items. With a
  // filter, of the handles on the winner's point the one whose item is nearest wins. The empty
  // reference when there is none.
  CItemRef FindNearestPoint(const CViewMapping* mapping, int filter, int ungroupedOnly) const;
  // g_snapPoint becomes the nearest handle (texts and selected points left out) when it lies
  // within g_snapDistance pixels of the cursor, else the cursor point.
  void SnapToNearestPoint(const CViewMapping* mapping) const;
  // Moves the referenced line end to the nearest crossing beyond it with another item that is
  // not hidden (an undo step of its own). 1 moved, 0 no crossing or a bad reference.
  int ExtendLineEnd(const CItemRef& ref);
  // The box of every item (or every shown one) widened by the margin, kept as the extents.
  // 0, the extents unchanged, when there is no item or the box is a single point.
  int ComputeExtents(const CViewMapping* mapping, int skipInvisible);
  // ComputeExtents, then the extents kept (the earlier ones when it answered 0).
  int GetExtents(const CViewMapping* mapping, int& minX, int& minY, int& maxX, int& maxY,
                 int skipInvisible);
  // Transforms every item (kTransformAllItems), the chosen ones in place (kTransformChosen),
  // or adds transformed copies of the chosen ones and makes the originals dormant
  // (kTransformChosenKeepOriginals). copyIndex numbers the copies' objects (kNoCopyIndex:
  // none). An uneven stretch turns circles and arcs into ellipses and elliptic arcs. 1 done;
  // 0 when memory ran out or the journal refused (some items may have been replaced).
  int TransformItems(const CTransform& transform, int which, int copyIndex);
  // A new ellipse (elliptic arc) of the circle's (arc's) shape and attributes; when that shape
  // is no valid ellipse, a plain copy of the given item, so the caller always owns the answer
  // and never lists the given item twice. Null when memory runs out.
  DrawItemPtr MakeEllipseFromCircle(const CDrawItem* circle);
  DrawItemPtr MakeEllipseArcFromArc(const CDrawItem* arc);
  // Lays out the sheet of hatch-pattern samples for a preview width in pixels into this
  // (emptied) document: per pattern a framed cell numbered by the pattern, its hatched fill
  // and its caption. 1 done, 0 when an item could not be made or added.
  int BuildHatchSamples(int width);
  // Publishes the number of sides and side length (or length and width of a rectangle) and
  // the angle of a shape group to the values bar; no fields for a group without lines.
  void PublishShapeValues(int group) const;
  // The distinct colours (at most kUsedColourLimit) of the chosen items. 1 when they differ
  // from the count and colours given, which they then replace; 0 when the same.
  static constexpr int kUsedColourLimit = 10;
  int CollectUsedColours(int& count, std::array<std::int32_t, kUsedColourLimit>& colours) const;
  // Moves (x, y) to the handle nearest to the segment (x, y)-(x2, y2) when it lies within
  // 400 of it: 1 moved, 0 not. Items in ignored (the conversion's own temporary lines) are
  // left out; every other item counts, whatever its object number.
  int SnapToNearestHandle(int& x, int& y, int x2, int y2,
                          const std::unordered_set<const CDrawItem*>* ignored = nullptr) const;

  // Background picture chosen with Edit > Picture > Insert: at (0, 0), scale 500.
  void SetPicture(const QString& path);
  // Pastes the clipboard's bitmap into the picture table under name (empty: "Clipboard1"):
  // the row holding it (an equal picture is not stored twice); -2 when the clipboard holds no
  // usable bitmap (a bad one is refused with a message) or memory ran out, -1 when the table
  // could not grow.
  int PastePicture(const QString& name);
  // Appends n (at least 1) empty rows: the first new row, or -1 with the table unchanged.
  int AddPictureRows(int n);
  int GetPictureCount() const { return static_cast<int>(m_pictures.size()); }
  // The row takes the bytes, freeing its earlier ones; nothing for a bad row.
  void SetPictureData(int row, std::vector<std::uint8_t>&& bytes);
  // Names the row: name (or "Clipboard1") as a ".bmp" file name, numbered on while another
  // row holding a picture has that file name.
  void SetPictureName(int row, const QString& name);
  void FreePictureData(int row);
  // The first row holding exactly these bytes; -1 when none (an empty row never matches).
  int FindPictureByData(const std::uint8_t* bytes, std::size_t size) const;
  // Null, 0 and an empty name for a bad row.
  const std::uint8_t* GetPictureData(int row) const;
  int GetPictureSize(int row) const;
  QString GetPictureName(int row) const;
  // Gives the row an id (the largest in the table plus 1) when it has none.
  void EnsurePictureId(int row);
  // ">" and the row's id (made when needed); empty for a bad row.
  QString GetPictureReference(int row);
  // The row a reference names; -1 for anything else.
  int FindPictureByReference(const QString& text) const;
  // 1 when the background picture is a pasted one (a reference), which the drawing file
  // cannot hold.
  int HasPastedBackgroundPicture() const;
  // For the drawing-file reader: a reference read from a file was made in another run (or
  // for another drawing) and would show a wrong picture; it is emptied. 1 when it was.
  int ClearPictureReference();
  // For the drawing-file writer: warns that a pasted background picture is not stored in the
  // file (the save goes on). 1 when the warning was shown.
  int WarnPastedPictureNotSaved() const;

 private:
  friend class CUndoReplay;

  struct NameEntry {
    QString name;
    std::uint16_t number = 0;
  };

  // Removes the pointer at index from the list (no undo).
  DrawItemPtr TakeItemAt(int index);
  // Inserts the item at index (no undo); the document becomes its owner.
  void InsertItemAt(int index, DrawItemPtr item);
  void MarkListed(const CDrawItem* item);
  void MarkUnlisted(const CDrawItem* item);
  // Journal internals.
  int AnswerForRecording() const;
  int PushRecord(UndoRecord&& record);
  int CoalesceItemChange(UndoKind kind, const CDrawItem* item);
  int CoalesceItemMove(const CDrawItem* item, int dx, int dy);
  // Brings the open step's index up to date; false when a record of an invalid kind was met.
  bool EnsureStepIndex();
  void InvalidateStepIndex() { m_journal.stepIndexValid = false; }
  void FreeRecord(UndoRecord& record);
  // Name table internals shared by undo.
  int TakeName(int number, QString& out);
  void AppendName(const QString& name, int number);

  DocumentRole m_role;
  std::int32_t m_changed = 0;
  QString m_path;
  double m_printingScale = -1.0;
  double m_realWorldScale = 1.0;
  std::unique_ptr<CDocDict> m_docDict;
  CPrintSettings m_printSettings;

  std::vector<DrawItemPtr> m_items;
  std::uint32_t m_itemCapacity = 0;
  // The listed items, so that the journal never records changes of an item it cannot keep
  // track of (an item made for the drawing but refused, or already taken off the list).
  std::unordered_set<const CDrawItem*> m_listed;
  // The boxes of the listed items (spatial index section); queries bring it up to date.
  mutable CSpatialIndex m_spatial;
  mutable std::vector<const CDrawItem*> m_viewItems;
  mutable std::vector<std::pair<std::int64_t, CDrawItem*>> m_pickTies;

  std::vector<NameEntry> m_names;
  int m_nameCapacity = 0;

  QString m_picturePath;
  std::int32_t m_pictureX = 0;
  std::int32_t m_pictureY = 0;
  double m_pictureScale = 1.0;

  std::vector<std::int16_t> m_objects;
  std::vector<std::uint8_t> m_ticks;
  int m_objectCapacity = 0;

  LoadNumberMap m_loadNumbers;

  std::int32_t m_copyRows = 0;
  std::uint16_t m_copiesPerRow = 0;
  std::vector<std::int16_t> m_copyMap;

  std::int32_t m_minX = 0;
  std::int32_t m_minY = 0;
  std::int32_t m_maxX = 0;
  std::int32_t m_maxY = 0;

  std::int32_t m_windowWidth = 0;
  std::int32_t m_windowHeight = 0;

  std::int32_t m_recording = 1;
  CUndoJournal m_journal;

  CItemRefList m_selectedPoints;
  std::vector<CItemRef> m_corners;
  int m_cornerCount = 0;

  FillSearchState m_fillSearch;

  CIntersectionCacheList m_intersections;

  std::int32_t m_groupCounter = 0;
  std::int32_t m_groupRemapping = 0;
  std::vector<std::int32_t> m_groupOld;
  std::vector<std::int32_t> m_groupNew;

  std::vector<CLegacySegment> m_legacySegments;
  std::vector<PictureEntry> m_pictures;
};

// The auxiliary documents of the run, made by CreateAuxiliaryDocuments at start-up (each with
// recording off) and deleted by DeleteAuxiliaryDocuments when the main window closes.
extern CZephDoc* g_symbolLibraryDoc;
extern CZephDoc* g_symbolDoc;
extern CZephDoc* g_hatchSamplesDoc;
int CreateAuxiliaryDocuments();
void DeleteAuxiliaryDocuments();
