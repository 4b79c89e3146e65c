#pragma once
// The editor window: the drawing window in which a pupil draws. Mouse and key input arrive
// here and are counted as click steps for the handler of the current tool:
//
//   click step = point index * 3 + phase (0 before the press, 1 pressed and dragging,
//                                         2 released)
//
// A press rounds the step to the nearest multiple of 3 and calls the handler with phase 0 and
// then phase 1; every move while the step is non-zero calls it with the step unchanged; the
// release calls it with phase 2. Handlers read g_cursorPoint (set before every call) and move
// the step on themselves, or set it to 0 when their sequence ends.
//
// The window also keeps the cross-hairs that replace the mouse cursor, the item under
// construction and the lists the tools share, and the timers that flash chosen items, blink
// the caret and flash an offered Break piece.
#include <QPoint>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "editor/drawingwindow.h"
#include "document/itemref.h"
#include "items/drawitem.h"
#include "items/itemdocument.h"

class IOwnerView;
class CSavedScreenArea;

// The editor's three timers (index; the window timer id is index + 1).
inline constexpr int kTimerFlashChosen = 0;
inline constexpr int kTimerCaret = 1;
inline constexpr int kTimerFlashBreak = 2;
inline constexpr int kEditorTimerCount = 3;

// Text states of the editor.
inline constexpr int kTextNone = 0;
inline constexpr int kTextTyping = 1;
inline constexpr int kTextEditing = 2;
inline constexpr int kTextKept = 3;

class CEditDrawing : public CDrawingWindow, public IDrawingWindow {
  Q_OBJECT

 public:
  explicit CEditDrawing(QWidget* parent = nullptr);
  ~CEditDrawing() override;

  // The editing view around the window (not owned); null: a view that does nothing.
  void SetOwnerView(IOwnerView* view);
  IOwnerView& GetOwnerView() const;

  // Takes up the view's drawing: the window's state starts afresh for it.
  void AttachDrawing();

  // ---- Click steps ----
  int GetClickStep() const { return m_clickStep; }
  void SetClickStep(int step) { m_clickStep = static_cast<std::int16_t>(step); }
  // Calls the current tool's handler.
  virtual void DispatchClick();
  // A tool's click handler; sub-modes choose among a tool's handlers.
  using ClickHandler = void (CEditDrawing::*)();
  // The handler for tool with its present sub-mode. Null for Hunt and Grid, for a number that
  // is no tool, and for a sub-mode out of range (glitchNumber then names it, otherwise 0).
  static ClickHandler ResolveClickHandler(int tool, int& glitchNumber);
  // Whether the tool can be used: it has a handler (Hunt and Grid never become the tool).
  // A window whose DispatchClick handles every tool answers for every tool.
  virtual int IsToolAvailable(int tool) const;
  // Whether a press at step 0 starts a rubber band for the current tool.
  int IsRubberBandTool() const;
  // The Shift key was down at the last release that ended a rubber band.
  int IsShiftAtRelease() const { return m_shiftAtRelease; }

  // ---- Tools ----
  // Takes up tool with the sub-mode shown in its flyout list (-1 none): tidies what the old
  // tool left, puts the new one into its first state and gives the view its action caption,
  // prompt and object list. 0 when the tool cannot be used (nothing changes).
  int SetTool(int tool, int subMode);
  // Gives the view the prompt (string id, 0 none) and lays the values bar out again.
  void SetPrompt(int stringId);
  // The prompt text alone (the text being typed, or 0 to clear it).
  void ShowPromptText(int stringId);
  int GetActionId() const { return m_actionId; }
  int GetPromptId() const { return m_promptId; }
  int IsCursorReadoutOn() const { return m_cursorReadout; }
  int GetChosenCount() const { return m_chosenCount; }
  // For the tools that pick: the pick list (not owned, except Copy's copies being placed).
  void AddPicked(CDrawItem* item) { m_pickList.push_back(item); }

  // ---- Choosing ----
  // While the selection is shown an item's selected bit marks it dormant (drawn in the dormant
  // colour); a clear bit marks it chosen (its own colour).
  int IsSelectionShown() const { return GetSelectionShown(); }
  // Every visible item dormant (1, drawn dormant) or chosen (0, drawn in its own colour).
  void SetAllSelected(int flag);
  // Ends the choosing display: no item dormant, selection no longer shown, nothing chosen.
  void EndChoosing();
  // Chooses (choose 1) or un-chooses the item with its whole group, counting it in the pick
  // list (usePickList) or the chosen count. 0 on lack of memory.
  int ToggleChosen(CDrawItem* item, int choose, int usePickList);
  // The item, or its whole group, into the pick list with their selected bits clear.
  int AddToPickList(CDrawItem* item);
  // Chooses (remove 0) or un-chooses every visible item of the object.
  void ChooseObject(int objectNumber, int remove);
  // Brings the choice in line with the drawing after an undo or redo.
  void ResyncChoice();
  // Objects hidden by the Object tool: in Object > Hide every item is shown, the hidden ones
  // dormant; otherwise hidden items are taken off the screen unless hidden objects are shown.
  // With draw the items are drawn as they now stand.
  void RefreshHiddenObjects(int draw);
  // The pick list becomes the distinct items of the document's selected points. 0 on lack
  // of memory.
  int PickItemsOfPoints();
  // Grips at every handle of the items.
  void ShowGripsOfList(const std::vector<CDrawItem*>& items);
  // Draws the visible items from first on, dormant ones dormant while a choice is shown.
  void DrawItemsFrom(int first, int hideCrossHairs);
  // The Colour tool: the chosen items take the colour, as one undo step; choosing ends.
  void RecolourChosen(int colour);
  // The Modify tool: the picked items take the colour, as one undo step.
  void RecolourPicked(int colour);
  // Copy with a fixed distance and angle: g_actionCount copies of every chosen item, each one
  // offset further, as one undo step; the copies stay dormant.
  void RepeatCopy();
  // The click that chooses, run at the release by the tools that work on chosen items: a
  // dragged rubber band chooses every shown item inside it that the tool accepts (with Shift
  // held, makes them dormant again); a plain click toggles the nearest shown item. The first
  // choice shows every item dormant. Counts in the chosen count; OK is left to the tool.
  void ChooseAtRelease();
  // Whether the current tool may choose the item: Reflect and Stretch never take texts, and
  // Stretch never takes a shape (grouped item).
  bool MayChoose(const CDrawItem& item) const;
  // The items Copy is placing copies of.
  int GetCopyCount() const { return static_cast<int>(m_copyList.size()); }
  void AddToCopyList(CDrawItem* item) { m_copyList.push_back(item); }

  // ---- Break offer ----
  // The Break tool offers the pieces of item one by one: pieceIndex is the piece offered now
  // (-1 none); the pieces before it that were kept are painted in place of the item.
  void SetBreakOffer(CDrawItem* item, int pieceIndex);
  int GetBreakPieceIndex() const { return m_breakPieceIndex; }
  // Whether the offered piece is on the screen at present (non-zero) in its flashing.
  void SetBreakFlashPhase(int phase) { m_breakFlashPhase = static_cast<std::int16_t>(phase); }
  int GetBreakFlashPhase() const { return m_breakFlashPhase; }
  // ---- For the prompt buttons' handlers ----
  CDrawItem* GetBreakItem() const { return m_breakItem; }
  void ClearPickList() { m_pickList.clear(); }
  void ClearCopyList() { m_copyList.clear(); }
  // The prompt's Cancel during a Break offer: the pieces shown so far leave the screen, the
  // item is shown whole again and the offer ends with nothing broken.
  void OnPromptCancel();

  // ---- Shared by the tool handlers ----
  // The hunt distance of the snap mode into g_snapDistance.
  static void SetSnapDistance();
  // g_snapPoint from the cursor point: mode 2 the grid, otherwise the nearest handle within
  // the snap distance.
  void SnapPoint(int mode);
  // The view shows g_snapPoint (mode: both, x only or y only).
  void ShowSnapPointValues(int mode);

  // ---- Tool handlers ----
  void ClickNewLine();
  void ClickLine();

  // ---- Drawing tools ----
  void ClickArcThreePoints();
  void ClickArcCentre();
  void ClickCircle();
  void ClickEllipse();
  void ClickCurve();
  void ClickFill();
  void ClickText();
  void ClickPolygon();
  void ClickRectangle();
  void ClickDimension();
  // What the drawing tools keep for the gesture in progress: the centre of an arc or circle,
  // the first axis end of an ellipse, the start and end of a curve, the first corner of a
  // shape. A new gesture sets them afresh.
  struct DrawingToolGesture {
    DrawingPoint first;
    DrawingPoint second;
    // The ellipse's slope terms: cos^2, cos sin, sin^2.
    double c2 = 1.0;
    double cs = 0.0;
    double s2 = 0.0;
    // The dimension's offset line: a point's offset is a x + b y + c.
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    // The highest control line of a curve drawn so far, -1 none.
    int controlLine = -1;
  };
  const DrawingToolGesture& GetToolGesture() const { return m_toolGesture; }
  // The lines of the shape being drawn.
  int GetShapeLineCount() const { return static_cast<int>(m_shapeList.size()); }
  const CDrawItem* GetShapeLine(int index) const;

 private:
  // Creates an item of the kind for a tool's first press: null after message 224 (the undo
  // group is closed).
  DrawItemPtr CreateToolItem(int type);
  // Hands the construction item to the document: drawn in its own colour when taken, else
  // destroyed. The step becomes 0.
  void FinishConstruction();
  // Makes the n lines of a shape sharing one new group number; 0 after message 224.
  int MakeShapeLines(int count);
  // Adds the shape's lines as one undo step.
  void FinishShape();
  // The shape's lines once more in exclusive-or: drawn when they were not, removed when they
  // were.
  void ToggleShapeFeedback();
  // The construction item's rubber band off the screen (when drawn) or on it.
  void RemoveRubberBand();
  void DrawRubberBand();
  // The curve's control line end (0 or 1), in exclusive-or.
  void ToggleControlLine(int end);
  // Takes the curve's control lines off the screen; they are shown again as the cursor moves.
  void EraseControlLines();
  DrawingToolGesture m_toolGesture;

 public:

  // ---- Editing tools: Corner, Insert, Break ----
  void ClickCorner();
  void ClickInsert();
  void ClickBreak();
  void ClickExtend();
  void ClickOrigin();
  // How far the Insert tool has moved the symbol's items from their stored place.
  DrawingPoint GetSymbolDisplacement() const { return m_symbolDisplacement; }
  // Moves the symbol's items back to their stored place (after an insertion, or one that was
  // cancelled or lost its release).
  void RestoreSymbolPlace();

 private:
  // The corner being rounded or cut: the corner search's answer, the two line ends at the
  // corner K, the lines, their directions into and out of K, the shorter leg, the half
  // interior angle and whether a fillet runs the other way round.
  struct CornerGesture {
    std::int16_t count = -1;
    CItemRef end1;
    CItemRef end2;
    DrawingPoint point;
    CDrawItem* line1 = nullptr;
    CDrawItem* line2 = nullptr;
    double a1 = 0.0;
    double a2 = 0.0;
    double shorter = 0.0;
    double halfAngle = 0.0;
    std::int16_t reversed = 0;
  };
  // The lines' corner ends at distance q from K, and the new item between them.
  void PlaceCornerEnds(double q);
  // The new item and both lines once more in exclusive-or.
  void ToggleCornerFeedback();
  // Hands the new item to the document and closes the undo group.
  void FinishCorner();
  // No corner to work on (count -2: too many items): the message, and the gesture ends.
  void FailCorner(int count);
  CornerGesture m_corner;
  DrawingPoint m_symbolDisplacement;

 public:

  // ---- Move tool (movetool.cpp) ----
  // Move an item: the nearest item (with its group) follows the cursor while the button is
  // held; grabbed near one of its handles, that handle snaps.
  void ClickMoveItem();
  // Move items: chosen items, then after OK each drag moves them on.
  void ClickMoveItems();
  // Move a point, Drag out a line and Split a point: one handle (with what meets there for
  // Move a point) follows the cursor while the button is held.
  void ClickMovePoint();
  // Move points: chosen points, then after OK each drag moves them on.
  void ClickMovePoints();
  // The total displacement of Move items' or Move points' drags since the prompt's OK; a
  // fixed move direction applies to it, and the read-out shows it.
  DrawingPoint GetMoveOffset() const { return m_moveOffset; }
  void ResetMoveOffset() { m_moveOffset = {}; }
  // A Move gesture cut short: what it changed is taken back, Drag out a line gives the values
  // bar its move angle back, and chosen items or points keep their grips.
  void AbandonMove();

 private:
  // g_snapPoint and the move read-outs for a move from `from` with the earlier drags' offset:
  // mode 0 along g_moveAngle, 1 hunting (the cursor itself with cursorOnly), 2 the grid.
  void SnapMove(int mode, const DrawingPoint& from, const DrawingPoint& offset, int cursorOnly);
  // Every handle of the picked items into the document's selected points, so that a move
  // never hunts onto the items being moved.
  void ListPickedHandles();
  // The picked items in background colour, off the screen.
  void WipePicked();
  // The picked items in exclusive-or, in the drag's order (see PickedInDragOrder).
  void DrawPickedXor(int removing);
  // The picked items in the order a Move drag draws them: texts first for Move items (texts
  // last, and in reverse, when removing), plain list order otherwise. A repaint in the middle
  // of the drag draws them in the same order.
  std::vector<const CDrawItem*> PickedInDragOrder(int removing) const;
  // The picked items in their own colours, then every item again so that what lies in front
  // stays in front.
  void DrawPickedInPlace();
  // Ends Drag out a line's borrowing of the values bar's move angle.
  void RestoreMoveAngle();
  DrawingPoint m_moveRef;     // the point that follows the snap point
  DrawingPoint m_moveLast;    // where it has been moved to so far
  DrawingPoint m_moveOffset;  // the drags since OK
  double m_savedMoveAngle = 0.0;
  std::int32_t m_savedMoveAngleSet = 0;
  std::int16_t m_moveAngleBorrowed = 0;
  std::int16_t m_moveGripShown = 0;

 public:

  // ---- Copy tool (copytool.cpp) ----
  // Copy, after the prompt's OK: each press-drag-release places a row of g_actionCount copies
  // of every item in the copy list, copy k at (k + 1) times the dragged offset, as one undo
  // step. Before OK the release chooses items.
  void ClickCopy();

 private:
  // Fills the pick list with the copies for a new row; 0 after message 224, with nothing made.
  int MakeCopies();
  // The copies being placed off the screen, with the grip that leads them.
  void EraseCopyFeedback();
  // Moves copy k of every item to (k + 1) times the offset of snap from the reference point
  // and shows them with their grip.
  void DragCopies(DrawingPoint snap);
  // Hands the copies to the document as one undo step.
  void PlaceCopies();
  // Destroys the copies the pick list holds (they never reached the document).
  void DiscardCopies();
  // The copies per item of the row being placed.
  std::uint16_t m_copyRepeat = 0;
  DrawingPoint m_copyReference;
  DrawingPoint m_copyLast;

 public:

  // ---- Rotate, Reflect, Enlarge and Stretch (transformtools.cpp) ----
 public:
  // The four transform tools: choosing at the release, then (after OK) the centre or line
  // placed by the next click, whose release applies the transform.
  void ClickTransform();

 private:
  // Applies the tool's transform at g_snapPoint to the chosen items g_actionCount times, as
  // one undo step, and ends the choice.
  void ApplyTransform();

 public:

  // ---- Object, Delete and Colour tools (objecttools.cpp) ----
  // Object > Identify and Name: a click shows the clicked item's whole object, alone.
  void ClickObjectIdentify();
  // Object > Transfer: chooses items for OK to give another object.
  void ClickObjectTransfer();
  // Object > Hide: a click marks the clicked item's object to be hidden, or unmarks it.
  void ClickObjectHide();
  // Object > Delete: a click chooses or un-chooses the clicked item's whole object.
  void ClickObjectDelete();
  // Delete: chooses items for OK to remove; they flash while FlashDelete is on.
  void ClickDelete();
  // Colour: chooses items and gathers their colours for the values bar.
  void ClickColour();

 private:
  // The first choice shows every item dormant.
  void ShowChoiceIfHidden();
  // The item nearest to the cursor, of any kind and at any distance; null when none.
  CDrawItem* NearestItemAtRelease();

 public:

  // ---- Modify and Values tools (modifytool.cpp) ----
  // Modify picks one item with its group for changing: its values go to the values bar, a
  // text opens at the clicked character, a curve's control points and a dimension's line can
  // be dragged, a fill gets the order buttons. Values picks the same way and only informs.
  // Equally near items take turns on repeated clicks.
  void ClickModify();
  // The offset line of a dimension of the type between the ordered ends p1 and p2: the signed
  // offset of a point (x, y) is a x + b y + c.
  static void GetDimensionOffsetLine(int type, const DrawingPoint& p1, const DrawingPoint& p2,
                                     double& a, double& b, double& c);

 private:
  // A control point or dimension line being dragged: which control point, where the cursor
  // last was, and the dimension's offset line.
  struct ModifyGesture {
    std::int16_t controlPoint = 0;
    DrawingPoint last;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
  };
  void DragControlPoint();
  void DragDimensionLine();
  // The release that picks an item (or moves the caret of the text being edited).
  void PickForModify();
  // A drag cut short: what it changed is taken back and the picked item painted afresh.
  void AbandonModifyDrag();
  ModifyGesture m_modify;

 public:

  // ---- Steps several tools share (toolsteps.cpp) ----
 private:
  // A drawing tool's first press: a new item of the kind in the drawing colour and current
  // object, pen width 1, becomes the construction item; the chosen points are dropped, the step
  // becomes 1 and the prompt shows. False after message 224, with nothing started.
  bool BeginConstruction(int type, int prompt);
  // The construction item when it is of the tool's kind; otherwise null, after a glitch under
  // logCode, with the step back to 0.
  CDrawItem* ConstructionOfKind(int type, int logCode);
  // A gesture that makes nothing: marks off, the construction item destroyed, the step back to
  // 0 and no prompt.
  void DropConstruction();
  // The document for a Move or Copy event with the snap distance set; null, with the step back
  // to 0, when there is none.
  CZephDoc* GestureDocument();
  // The pick list could not be filled: it is emptied, the undo group closed and message 224
  // shown.
  void DropPickForMemory();
  // The listed points (and so their items, normalised) follow g_snapPoint on from m_moveLast.
  void DragPointsToSnap(const CItemRefList& points);
  // The release of an Object tool's click ends it: the item nearest to the cursor, with the
  // choice shown. Null before the release or with no item near (released tells which).
  CDrawItem* ObjectItemAtRelease(bool& released);
  // The arc recalculated and shown as the rubber band, its circle in the read-outs and the values
  // bar (arctools.cpp).
  void ShowArcFeedback(CDrawItem& arc);

 public:

  // ---- Scrolling ----
  // The scroll ranges after a zoom, a size change or a change of the drawing: the window may
  // be scrolled one window beyond the drawing's extents (refreshed from the document when
  // refreshExtents is non-zero) and beyond the rectangle one window wide and high from the
  // drawing's origin, and never past 50,000,000 units in x or 30,000,000 in y. The origin is
  // kept within the ranges.
  void UpdateScrollRanges(int refreshExtents);

  // Ends the gesture in progress and the text being typed.
  void CancelOperation();
  void AbandonGesture();
  void FinishText();

  // ---- Cursor feedback ----
  void DrawCrossHairs(int x, int y);
  void HideCrossHairs();
  void RestoreCrossHairs();
  void HideCursorFeedback();
  void ShowCursorFeedback();
  // The tool's cursor: the colour-pick cursor while picking, none under the cross-hairs,
  // else the cross.
  void SetToolCursor();
  int AreCrossHairsShown() const { return m_crossHairsShown; }
  int IsCursorInside() const { return m_cursorInside; }
  // Draws one item; for any colour mode but exclusive-or the cross-hairs are hidden around it.
  void DrawItem(const CDrawItem* item, int colourMode);
  // The control lines and grips of the curve picked for modifying (tool states 4 and 5):
  // mode 0 shows them, 1 moves the grips to the control points, 2 removes them, 3 draws the
  // lines again after a paint. Null dc: the window's.
  void DrawCurveHandles(int mode, zeph::CDrawContext* dc);
  // The line from the curve's start (end 0) or end (end 1) to its control point.
  void DrawControlLine(int end, zeph::CDrawContext& dc, const CDrawItem& curve);
  // The symbol being inserted (every item of the symbol document) in exclusive-or, where the
  // Insert tool has moved it. Null dc: the window's.
  void DrawSymbolFeedback(zeph::CDrawContext* dc);
  // Removes the tool's exclusive-or feedback from the screen while a gesture runs.
  void EraseFeedback();

  // ---- What the tools share ----
  CDrawItem* GetConstructionItem() const { return m_construction.get(); }
  void SetConstructionItem(DrawItemPtr item) { m_construction = std::move(item); }
  DrawItemPtr TakeConstructionItem() { return std::move(m_construction); }
  int IsFeedbackDrawn() const { return m_feedbackDrawn; }
  void SetFeedbackDrawn(int drawn) { m_feedbackDrawn = drawn; }
  int GetTextState() const { return m_textState; }
  // The text tools start typing (kTextTyping, the construction item) or editing (kTextEditing,
  // the only picked item).
  void SetTextState(int state) { m_textState = state; }

  // ---- Keys to the text being typed or edited ----
  // 1 when the text took the key (a character, or Delete, Left, Right and F7 as key codes).
  int TextKey(unsigned key, int isVirtual);
  // Ends the text: commit 1 keeps it when it is not empty (a new one goes into the drawing),
  // anything else drops a new text.
  void EndText(int commit);
  int GetPickCount() const { return static_cast<int>(m_pickList.size()); }
  // Null for an index beyond the count.
  CDrawItem* GetPicked(int index) const;
  int IsBreakOffered() const;

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

  // ---- Clipboard, undo and timer ticks ----
  // Edit > Copy: the visible part of the drawing, without grid, selection, grips, marks or
  // cross-hairs, as a picture on the clipboard.
  void CopyToClipboard();
  // Edit > Undo and Redo around the document's journal: the tool's screen state is put aside
  // before the step and rebuilt after it. keepForRedo 0 for the editor's own takebacks.
  void Undo(int keepForRedo);
  void Redo();
  // Move points: the chosen points as (item, handle) pairs across a journal step, which may
  // renumber the items.
  void RecordPointItems();
  void ResyncMovePoints();
  void OnTimer(int id) override;
  // After a choice changed in the Delete tool: OK and the flashing follow the chosen count.
  void UpdateDeleteFlash(int hadChosen);
  void FlashChosen();
  void FlashBreakPiece();
  void ToggleCaret();
  // The window timer id of a timer index while it runs, else 0.
  int GetTimerId(int index) const;
  int GetTimerToResume() const { return m_timerToResume; }
  int GetFlashPhase() const { return m_flashPhase; }

 private:
  void UndoOrRedo(int redo, int keepForRedo);
  std::array<std::uint32_t, kEditorTimerCount> m_timerIds{};
  std::int16_t m_timerToResume = -1;
  std::int16_t m_flashPhase = 0;
  std::vector<CDrawItem*> m_pointGripItems;
  std::vector<std::uint16_t> m_pointGripHandles;

 public:

  // ---- Handlers ----
  void OnPaint(zeph::CDrawContext& dc) override;
  void OnEraseBkgnd(zeph::CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnLButtonDown(unsigned flags, QPoint point) override;
  void OnMouseMove(unsigned flags, QPoint point) override;
  void OnLButtonUp(unsigned flags, QPoint point) override;
  // The right button enters Modify on the item under the cursor.
  void OnRButtonUp(unsigned flags, QPoint point) override;
  void OnChar(int character, int repeat, unsigned flags) override;
  void OnKeyDown(int key, int repeat, unsigned flags) override;

  // IDrawingWindow: what a text being edited draws through.
  const CViewMapping* GetViewMapping() const override { return &GetMapping(); }
  zeph::CDrawContext* GetDrawContext() override;

 protected:
  void leaveEvent(QEvent* event) override;

 private:
  void TakeCapture();
  void DropCapture();
  void PickColourAtCursor();
  // Takes back what the gesture in progress changed in the drawing (its open undo group).
  void RollBackGesture();
  // The nearest item within the colour-pick distance of the cursor point; null when none.
  const CDrawItem* FindColourPickItem() const;
  // The swatch beside the cursor showing the colour a click would pick.
  void TrackColourSwatch(QPoint point);
  void RemoveColourSwatch();

  void ArmTransformTool(int countIndex);
  // Whether a dormant item is drawn dormant by DrawItemsFrom for the current tool.
  bool ShowsChoosingDisplay() const;
  // The visible chosen items.
  int CountVisibleChosen() const;
  void EnableOkForChoice();

  IOwnerView* m_ownerView = nullptr;
  std::unique_ptr<CSavedScreenArea> m_colourTip;
  // The context a text draws through while it takes a key.
  std::unique_ptr<CClientDC> m_textDc;
  // The text being typed or edited; null when none.
  CDrawItem* GetEditedText() const;
  int m_promptId = 0;
  int m_chosenCount = 0;
  int m_lastWidth = 0;
  int m_lastHeight = 0;
  int m_textState = kTextNone;
  int m_breakPieceIndex = -1;
  CDrawItem* m_breakItem = nullptr;
  std::int16_t m_breakFlashPhase = 0;
  int m_cursorInside = 0;
  QPoint m_lastCursorPoint;
  int m_crossHairsShown = 0;
  QPoint m_crossHairsPoint;
  int m_crossHairsWereShown = 0;
  int m_feedbackHidden = 0;
  int m_sizeHandling = 0;
  // The drawing's extents as last asked for by UpdateScrollRanges.
  int m_extentsValid = 0;
  int m_extentMinX = 0;
  int m_extentMinY = 0;
  int m_extentMaxX = 0;
  int m_extentMaxY = 0;
  std::int16_t m_clickStep = 0;
  int m_actionId = 0;
  DrawItemPtr m_construction;
  int m_feedbackDrawn = 0;
  std::vector<DrawItemPtr> m_shapeList;
  int m_shiftAtRelease = 0;
  std::vector<CDrawItem*> m_pickList;
  std::vector<CDrawItem*> m_copyList;
};

// Takes the cross-hairs off the screen for its lifetime when they are on it, and puts them
// back afterwards. Inside another hiding it does nothing, so that the outer one still
// remembers that they were shown.
class CCrossHairsHidden {
 public:
  explicit CCrossHairsHidden(CEditDrawing& window)
      : m_window(window), m_hid(window.AreCrossHairsShown() != 0) {
    if (m_hid) m_window.HideCrossHairs();
  }
  ~CCrossHairsHidden() {
    if (m_hid) m_window.RestoreCrossHairs();
  }
  CCrossHairsHidden(const CCrossHairsHidden&) = delete;
  CCrossHairsHidden& operator=(const CCrossHairsHidden&) = delete;

 private:
  CEditDrawing& m_window;
  bool m_hid;
};
