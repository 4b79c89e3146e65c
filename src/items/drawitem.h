#pragma once
// The drawing item: the base of the nine kinds (line, arc, circle, fill, dimension, ellipse,
// text, curve, elliptic arc), its shared fields and state bits, the one table of virtual
// operations through which the document, the editor, the file code and the other kinds reach
// every kind, and the factory that makes an item by its type code.
//
// The setter convention. Every operation that changes a stored property of an item:
//   1. does nothing when the new value equals the stored one;
//   2. when the item belongs to a document, asks it to record the old value
//      (IItemDocument::RecordItemChange with the property's undo kind, RecordItemMove for
//      moves); a refusal (-1) abandons the change; otherwise the document is marked changed;
//   3. assigns;
//   4. after a change of geometry, drops the document's cached intersections of the item.
// Kinds follow it through UpdateField / UpdatePoint / BeginChange / BeginMove and
// GeometryChanged below. Operations named Attach... store without any of these steps;
// Transform records nothing (the document records whole transformations) but drops cached
// intersections, as does every other change of geometry, temporary end moves included.
//
// Serial numbers. Every item gets a 64-bit serial number when made, never reused in the run;
// the document's intersection cache is keyed by it, so an answer cached for a deleted item
// can never be served for a new item that happens to get the same address.
//
// Operations a kind does not support. The table ZEPH_ITEM_OPERATIONS below lists every
// virtual operation in the order of the virtual table with the base behaviour: a glitch with
// its own number (10102-10499, so a glitch names the operation a caller wrongly asked for)
// and a neutral result. Most base bodies are generated from the table; the few that answer
// with one of their arguments are written by hand and still take their number from it.
//
// The inner geometry operations record nothing in the activity log; only failures are logged
// or reported.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

#include "items/intersect.h"
#include "items/itemdocument.h"

class CBoundaryLoop;
class CFontSpec;
class CHatchPattern;
class CSlope;
class CTransform;
class CUsedSegmentList;
struct CViewMapping;
namespace zeph {
class CDrawContext;
struct DcRect;
}  // namespace zeph

class CDrawItem;
using DrawItemPtr = std::unique_ptr<CDrawItem>;

// DrawItemType: the kind's code, stored at construction and written to the drawing file.
inline constexpr int kItemLine = 0;
inline constexpr int kItemArc = 1;
inline constexpr int kItemCircle = 2;
inline constexpr int kItemFill = 3;
inline constexpr int kItemDimension = 4;
inline constexpr int kItemEllipse = 5;
inline constexpr int kItemText = 6;
inline constexpr int kItemBezier = 7;
inline constexpr int kItemEllipseArc = 8;
inline constexpr int kItemTypeCount = 9;

// DirectionCode: travel along an item.
inline constexpr int kDirectionUp = 0;     // +y
inline constexpr int kDirectionDown = 1;   // -y
inline constexpr int kDirectionLeft = 2;   // -x
inline constexpr int kDirectionRight = 3;  // +x
inline constexpr int kDirectionClockwise = 4;
inline constexpr int kDirectionCounterClockwise = 5;
inline constexpr int kDirectionAlongCurve = 6;
inline constexpr int kDirectionAgainstCurve = 7;

// DrawColourMode: the colourMode of every drawing call; any other value is a colour to draw
// in instead of the item's own (the document erases items with the background colour).
inline constexpr int kDrawOwnColour = -1;
inline constexpr int kDrawXor = -2;        // feedback: drawing twice restores the picture
inline constexpr int kDrawHighlight = -4;  // selected items

// State bits.
inline constexpr std::uint8_t kStateSelected = 0x01;
inline constexpr std::uint8_t kStateUndoMark = 0x02;   // erased once in this undo or redo step
inline constexpr std::uint8_t kStateHidden = 0x40;     // hidden by the Object tool
inline constexpr std::uint8_t kStateInvisible = 0x80;  // not shown now: skipped everywhere

// The neutral "no distance" of picking and travel.
inline constexpr double kFarAway = std::numeric_limits<double>::max();

// The font of new texts (the editor keeps it from the option FontDrawingText); what GetFont
// answers for a kind without a font.
extern CFontSpec g_textFont;

// The neutral result of an unsupported operation: nothing for void, else R(value...), which
// is R's zero when no value is given.
template <typename R, typename... A>
R NeutralValue(A&&... value) {
  if constexpr (std::is_void_v<R>) {
    return;
  } else {
    return R(std::forward<A>(value)...);
  }
}

// Every virtual operation, in the order of the virtual table:
//   X(result, name, (parameters), qualifiers, glitch, n, body, neutral result)
// glitch 0: the base body does nothing and reports nothing. body STD: the base body is
// generated (glitch, then the neutral result, output parameters untouched); OWN: written by
// hand in drawitem.cpp.
// clang-format off
#define ZEPH_ITEM_OPERATIONS(X) \
  X(void, AddHole, (std::unique_ptr<CBoundaryLoop>&& /*loop: taken when supported*/), , 10102, 1, STD) \
  X(void, TrimOverlap, (CDrawItem* /*other of the same kind*/), , 10103, 1, STD) \
  X(void, GetCircle, (double& /*cx*/, double& /*cy*/, double& /*radius*/), const, 10104, 1, STD) \
  X(int, GetCurveWayAt, (int /*x*/, int /*y*/, int /*direction 0..3*/), const, 10105, 1, OWN) \
  X(void, Recalculate, (), , 0, 0, STD) \
  X(void, SetAngleFromCentre, (double /*cx*/, double /*cy*/), , 10107, 1, STD) \
  X(void, RecalculateAngle, (), , 10106, 1, STD) \
  X(void, FitToCurve, (CDrawItem* /*piece: reshaped to follow this curve*/, int /*coarse*/), const, 10108, 1, STD) \
  X(CSlope&, GetTangentAt, (CSlope& /*out*/, int /*x*/, int /*y*/), const, 10109, 1, OWN) \
  X(double, GetParameterAt, (int /*x*/, int /*y*/), const, 10110, 1, STD, -1.0) \
  X(int, CanBound, (), const, 10111, 1, STD) \
  X(void, EndEdit, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/), , 10112, 1, STD) \
  X(int, GetEndAt, (int /*x*/, int /*y*/, std::int16_t /*tolerance*/), const, 10113, 1, STD, -1) \
  X(void, CommitEndMoves, (), , 0, 0, STD) \
  X(void, EraseTextBox, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/), , 10499, 1, STD) \
  X(int, GetTurnAt, (int /*x*/, int /*y*/, int /*direction 0..3*/), const, 10114, 1, OWN) \
  X(void, MergeOverlap, (CDrawItem* /*other of the same kind*/), , 10115, 1, STD) \
  X(void, CopyFrom, (const CDrawItem* /*other*/), , 10116, 1, STD) \
  X(void, SetFromArc, (const CDrawItem* /*arc*/), , 10117, 1, STD) \
  X(void, SetFromCircle, (const CDrawItem* /*circle*/), , 10118, 1, STD) \
  X(DrawItemPtr, CreatePiece, (int /*split index*/), const, 10119, 1, STD) \
  X(double, GetTravel, (int /*toX*/, int /*toY*/, int /*fromX*/, int /*fromY*/, int /*direction*/), const, 10120, 1, STD, kFarAway) \
  X(double, GetPickDistance, (const CViewMapping* /*mapping*/), const, 10121, 1, STD, kFarAway) \
  X(double, GetDistanceTo, (int /*x*/, int /*y*/), const, 0, 0, STD, kFarAway) \
  X(void, Draw, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/, int /*colourMode*/, int /*thin*/), const, 10122, 1, STD) \
  X(int, EditKey, (zeph::CDrawContext* /*dc*/, IDrawingWindow* /*window*/, unsigned /*key*/, int /*isKeyDown*/, std::int16_t& /*outcome*/), , 10123, 1, OWN) \
  X(void, CheckSpelling, (IDrawingWindow* /*window*/), , 10124, 1, STD) \
  X(void, DrawEditText, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/), , 10125, 1, STD) \
  X(void, BeginEdit, (int /*caret*/), , 10126, 1, STD) \
  X(void, ProjectPoint, (int& /*x*/, int& /*y*/), const, 10127, 1, STD) \
  X(void, DrawCaret, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/), , 10128, 1, STD) \
  X(double, GetAngle, (), const, 10201, 1, STD) \
  X(int, GetTextTag, (), const, 10203, 1, STD, -1) \
  X(void, GetStart, (int& /*x*/, int& /*y*/), const, 10204, 1, STD) \
  X(CBoundaryLoop*, GetBoundary, (), const, 10205, 1, STD) \
  X(void, GetCentre, (int& /*x*/, int& /*y*/), const, 10206, 1, STD) \
  X(void, GetCentreExact, (double& /*x*/, double& /*y*/), const, 10219, 1, STD) \
  X(void, GetControlPoint, (int /*i*/, double& /*x*/, double& /*y*/), const, 10207, 1, STD) \
  X(std::uint8_t, GetDimensionType, (), const, 10208, 1, STD) \
  X(std::uint8_t, GetDecimals, (), const, 10209, 1, STD) \
  X(int, GetArrowSize, (), const, 10210, 1, STD) \
  X(std::uint8_t, GetLineEnds, (), const, 10211, 1, STD) \
  X(int, GetExtensionGap, (), const, 10212, 1, STD) \
  X(int, GetExtension, (), const, 10213, 1, STD) \
  X(int, GetOffset, (), const, 10214, 1, STD) \
  X(std::uint8_t, GetTextAngleMode, (), const, 10215, 1, STD) \
  X(std::uint8_t, GetTextPosition, (), const, 10216, 1, STD) \
  X(std::uint8_t, GetUnits, (), const, 10218, 1, STD, 1) \
  X(void, GetEnd, (int& /*x*/, int& /*y*/), const, 10220, 1, STD) \
  X(CHatchPattern*, GetHatchPattern, (), const, 10221, 1, STD) \
  X(int, GetFillStyle, (), const, 10223, 1, STD) \
  X(const CFontSpec*, GetFont, (), const, 10225, 1, STD, &g_textFont) \
  X(int, GetFontSize, (), const, 10226, 1, STD) \
  X(void, GetRightmostPoint, (int& /*x*/, int& /*y*/), const, 10224, 1, STD) \
  X(CBoundaryLoop*, GetHole, (int /*i*/), const, 10232, 1, STD) \
  X(void, CalcBoundingBox, (const CViewMapping* /*mapping*/), const, 10233, 1, STD) \
  X(int, IntersectLineWith, (CDrawItem* /*other*/, bool /*beyondEnds*/), , 10231, 1, STD) \
  X(int, IntersectWith, (CDrawItem* /*other*/), , 10230, 1, STD) \
  X(std::uint8_t, GetLineStyle, (), const, 10234, 1, STD) \
  X(int, GetCharIndexAtCursor, (const CViewMapping* /*mapping*/), const, 10235, 1, STD, -1) \
  X(void, GetRadii, (double& /*rx*/, double& /*ry*/), const, 10202, 1, STD) \
  X(void, GetSemiAxes, (int& /*a*/, int& /*b*/), const, 10237, 1, STD) \
  X(int, GetRadius, (), const, 10238, 1, STD) \
  X(int, GetDirectionCode, (int /*ax*/, int /*ay*/, int /*bx*/, int /*by*/), const, 10239, 1, STD) \
  X(double, GetRotation, (), const, 10240, 1, STD) \
  X(QString, GetText, (), const, 10245, 1, STD) \
  X(double, GetTextAngle, (), const, 10246, 1, STD) \
  X(int, GetTextLength, (), const, 10247, 1, STD) \
  X(void, GetPosition, (int& /*x*/, int& /*y*/), const, 10248, 1, STD) \
  X(double, GetTextParameter, (), const, 10250, 1, STD) \
  X(std::uint8_t, GetPenWidth, (), const, 10251, 1, STD, 1) \
  X(double, GetXAt, (double /*t*/), const, 10252, 1, STD) \
  X(int, IntersectScanLine, (int /*y*/), const, 10253, 1, STD) \
  X(double, GetYAt, (double /*t*/), const, 10254, 1, STD) \
  X(int, IntersectSegment, (int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/), const, 10301, 1, STD) \
  X(int, FindSelfIntersection, (int& /*x*/, int& /*y*/), const, 10302, 0, STD) \
  X(int, IsClosed, (), const, 10303, 1, STD) \
  X(int, IsEndReachedGoing, (int /*x*/, int /*y*/, int /*direction*/), const, 10304, 1, STD, 1) \
  X(int, IsHatched, (), const, 0, 0, STD) \
  X(int, IsHorizontal, (), const, 10305, 1, STD) \
  X(int, ContainsPoint, (int /*x*/, int /*y*/), const, 10306, 1, STD) \
  X(int, IsInHole, (int /*x*/, int /*y*/), const, 10307, 1, STD) \
  X(int, IsValid, (), const, 10309, 1, STD) \
  X(int, IsCurve, (), const, 0, 0, STD) \
  X(int, IsVerticalAt, (int /*x*/, int /*y*/), const, 10308, 1, STD) \
  X(int, GetDirectionAt, (int /*x*/, int /*y*/, int /*sense 4 or 5*/), const, 10312, 1, OWN) \
  X(void, Normalise, (), , 0, 0, STD) \
  X(void, MoveBy, (int /*dx*/, int /*dy*/), , 10313, 1, STD) \
  X(void, MoveHandle, (int /*handle*/, int /*dx*/, int /*dy*/), , 10314, 1, STD) \
  X(void, Invalidate, (), , 10315, 1, STD) \
  X(int, GetHoleCount, (), const, 10317, 1, STD) \
  X(int, GetHandleCount, (), const, 10318, 1, STD) \
  X(int, Compare, (const CDrawItem* /*other*/), const, 10319, 1, STD) \
  X(void, AttachText, (const QString& /*text: stored without undo*/), , 10320, 1, STD) \
  X(void, RestoreEnds, (), , 0, 0, STD) \
  X(void, HideCaret, (zeph::CDrawContext* /*dc*/, const CViewMapping* /*mapping*/), , 10321, 1, STD) \
  X(void, Reverse, (), , 10322, 1, STD) \
  X(void, SetAngle, (double /*angle*/), , 10401, 1, STD) \
  X(void, SetTextTag, (int /*tag*/), , 10403, 1, STD) \
  X(void, SetStart, (int /*x*/, int /*y*/), , 10404, 1, STD) \
  X(void, SetCaret, (int /*index*/), , 10405, 1, STD) \
  X(void, SetCentre, (int /*x*/, int /*y*/), , 10406, 1, STD) \
  X(void, SetCentreExact, (double /*x*/, double /*y*/), , 10421, 1, STD) \
  X(void, SetControlAngle, (int /*i*/, double /*angle*/), , 10407, 1, STD) \
  X(void, SetControlLength, (int /*i*/, double /*length*/), , 10408, 1, STD) \
  X(void, SetControlPoint, (int /*i*/, double /*x*/, double /*y*/), , 10409, 1, STD) \
  X(void, SetDimensionType, (std::uint8_t /*type*/), , 10410, 1, STD) \
  X(void, SetDecimals, (std::uint8_t /*decimals*/), , 10411, 1, STD) \
  X(void, SetArrowSize, (int /*size*/), , 10412, 1, STD) \
  X(void, SetLineEnds, (std::uint8_t /*ends*/), , 10413, 1, STD) \
  X(void, SetExtensionGap, (int /*gap*/), , 10414, 1, STD) \
  X(void, SetExtension, (int /*extension*/), , 10415, 1, STD) \
  X(void, SetOffset, (int /*offset*/), , 10416, 1, STD) \
  X(void, SetTextAngleMode, (std::uint8_t /*mode*/), , 10417, 1, STD) \
  X(void, SetTextPosition, (std::uint8_t /*position*/), , 10418, 1, STD) \
  X(void, ChooseTextPosition, (int /*choice*/), , 10419, 1, STD) \
  X(void, SetUnits, (std::uint8_t /*units*/), , 10420, 1, STD) \
  X(void, SetEnd, (int /*x*/, int /*y*/), , 10423, 1, STD) \
  X(void, AttachHatchPattern, (std::unique_ptr<CHatchPattern>&& /*pattern: taken when supported*/), , 10424, 1, STD) \
  X(int, SetHatch, (int /*definition index*/, double /*angle*/, double /*scale*/), , 10425, 1, STD) \
  X(void, SetFillStyle, (int /*style*/), , 10426, 1, STD) \
  X(void, SetFont, (const CFontSpec& /*font*/), , 10427, 1, STD) \
  X(void, SetFontSize, (int /*width percent*/), , 10428, 1, STD) \
  X(int, SetHatchAngle, (double /*angle*/), , 10429, 1, STD) \
  X(int, SetHatchSpacing, (double /*scale*/), , 10430, 1, STD) \
  X(int, SetLineStyle, (std::uint8_t /*style 1..6*/), , 10434, 1, STD) \
  X(void, AttachBoundary, (std::unique_ptr<CBoundaryLoop>&& /*loop: taken when supported*/), , 10435, 1, STD) \
  X(void, SetHandle, (int /*handle*/, int /*x*/, int /*y*/), , 10436, 1, STD) \
  X(void, SetRadii, (double /*rx*/, double /*ry*/), , 10402, 1, STD) \
  X(void, SetSemiAxes, (int /*a*/, int /*b*/), , 10422, 1, STD) \
  X(void, SetRadius, (int /*radius*/), , 10437, 1, STD) \
  X(void, SetRotation, (double /*rotation*/), , 10439, 1, STD) \
  X(int, SetText, (const QString& /*text*/), , 10440, 1, STD) \
  X(void, SetTextAngle, (double /*angle*/), , 10441, 1, STD) \
  X(void, SetPosition, (int /*x*/, int /*y*/), , 10442, 1, STD) \
  X(void, SetTextParameter, (double /*parameter*/), , 10443, 1, STD) \
  X(void, SetPenWidth, (int /*width*/), , 10444, 1, STD) \
  X(void, PublishProperties, (), const, 10445, 1, STD) \
  X(void, PublishInformation, (), const, 10446, 1, STD) \
  X(int, GetEndDirection, (int /*end 0 or 1*/), const, 10447, 1, STD) \
  X(void, Transform, (const CTransform& /*transform*/), , 10449, 1, STD) \
  X(int, GetHandleX, (int /*handle*/), const, 10450, 1, STD) \
  X(int, GetHandleY, (int /*handle*/), const, 10451, 1, STD)
// clang-format on

// One entry per virtual operation, in the table's order.
enum class ItemOperation : int {
#define ZEPH_ITEM_OPERATION_ENUM(R, Name, ...) Name,
  ZEPH_ITEM_OPERATIONS(ZEPH_ITEM_OPERATION_ENUM)
#undef ZEPH_ITEM_OPERATION_ENUM
      Count
};

struct ItemOperationInfo {
  std::string_view name;
  int glitch;  // 0: the base body reports nothing
  int number;  // the glitch's second value
};

inline constexpr std::array<ItemOperationInfo, static_cast<int>(ItemOperation::Count)>
    kItemOperations = {{
#define ZEPH_ITEM_OPERATION_INFO(R, Name, P, Q, Glitch, N, ...) {#Name, Glitch, N},
        ZEPH_ITEM_OPERATIONS(ZEPH_ITEM_OPERATION_INFO)
#undef ZEPH_ITEM_OPERATION_INFO
    }};

constexpr const ItemOperationInfo& GetItemOperationInfo(ItemOperation op) {
  return kItemOperations[static_cast<int>(op)];
}

class CDrawItem {
 public:
  virtual ~CDrawItem();
  CDrawItem(const CDrawItem&) = delete;
  CDrawItem& operator=(const CDrawItem&) = delete;

#define ZEPH_DECLARE_ITEM_OPERATION(R, Name, Params, Quals, ...) virtual R Name Params Quals;
  ZEPH_ITEM_OPERATIONS(ZEPH_DECLARE_ITEM_OPERATION)
#undef ZEPH_DECLARE_ITEM_OPERATION

  // ---- Fields ----
  int GetType() const { return m_type; }
  ItemSerial GetSerial() const { return m_serial; }
  IItemDocument* GetDocument() const { return m_document; }
  int GetColour() const { return m_colour; }
  int GetGroupNumber() const { return m_groupNumber; }
  std::int16_t GetObjectNumber() const { return m_objectNumber; }

  // Stores the owning document (null outside one). When the item leaves a document, that
  // document's cached intersections of the item are dropped: it no longer hears of changes.
  void SetDocument(IItemDocument* document);

  // Setter convention; colour (undo kind 11), object number (23) and group (33) are not
  // geometry. SetObjectNumber answers -1 when the document refuses, else the number.
  void SetColour(int colour);
  std::int16_t SetObjectNumber(std::int16_t number);
  void SetGroupNumber(int group);

  // ---- State bits (no undo) ----
  std::uint8_t GetState() const { return m_state; }
  int IsStateClear() const { return m_state == 0 ? 1 : 0; }
  int IsSelected() const { return (m_state & kStateSelected) != 0 ? 1 : 0; }
  int IsHidden() const { return (m_state & kStateHidden) != 0 ? 1 : 0; }
  int IsInvisible() const { return (m_state & kStateInvisible) != 0 ? 1 : 0; }
  int HasUndoMark() const { return (m_state & kStateUndoMark) != 0 ? 1 : 0; }
  void Select() { m_state |= kStateSelected; }
  void ClearSelected() { m_state &= static_cast<std::uint8_t>(~kStateSelected); }
  void SetSelected(int flag) { flag != 0 ? Select() : ClearSelected(); }
  void SetHidden() { m_state |= kStateHidden; }
  void ClearHidden() { m_state &= static_cast<std::uint8_t>(~kStateHidden); }
  void SetInvisible() { m_state |= kStateInvisible; }
  void ClearInvisible() { m_state &= static_cast<std::uint8_t>(~kStateInvisible); }
  void SetUndoMark() { m_state |= kStateUndoMark; }
  void ClearUndoMark() { m_state &= static_cast<std::uint8_t>(~kStateUndoMark); }

  // Window selection: 1 when the item's box lies inside the device rectangle (edges count as
  // inside). 0 without a mapping.
  int IsInRect(const zeph::DcRect& deviceRect, const CViewMapping* mapping) const;

  // Colour, object number and group number of source, written directly (no undo, no changed
  // mark). A non-zero group goes through the source document's MapGroupNumber.
  void CopyBaseAttributes(const CDrawItem* source);

  // Intersects this item with other and appends each point, with its parameter along this
  // item, to the split list. 1, also for no points; 0 when the list cannot grow.
  int AddSplitPoints(CDrawItem* other);

  // ---- Segment-use marks of the fill search (see usedsegments.h) ----
  // Each creates the list when needed, or forwards to it; without a list the queries log the
  // anomaly and answer their neutral value.
  int MarkUsed(int x1, int y1, int x2, int y2, int code);
  void MarkAllUsed(int code);
  void ClearUsedCode(int code);
  void ClearUsedFrom(int code);
  void RenumberUsed(int from, int to);
  int GetUsedCodeAt(int x, int y) const;
  int GetUsedCodeOver(int x1, int y1, int x2, int y2) const;
  int GetUsedState() const;
  int IsMarkedUsed() const;
  // Moves the point back past the marked pieces that cover it (a no-op without a list).
  void SkipUsedPieces(int& x, int& y) const;
  const CUsedSegmentList* GetUsedSegmentList() const { return m_usedSegments.get(); }

  // On which side of other's travel (direction at the junction (x, y)) this item leaves the
  // junction: 1 left, -1 right, 0 when this item does not end there (or a glitch).
  int CompareTurnAt(CDrawItem* other, int x, int y, int direction);

 protected:
  explicit CDrawItem(int type);

  // ---- The setter convention ----
  // Step 2 for a property of the given undo kind: true when the change may go ahead (the
  // document, if any, has recorded it and is marked changed).
  bool BeginChange(UndoKind kind);
  // Step 2 for a move (kind 41): false for a zero move and when refused.
  bool BeginMove(int dx, int dy);
  // Step 4: the document forgets its cached intersections of this item.
  void GeometryChanged();

  // Steps 1-4 for one field: 1 changed, 0 unchanged, -1 refused.
  template <typename T>
  int UpdateField(T& field, const T& value, UndoKind kind, bool geometric) {
    if (field == value) return 0;
    if (!BeginChange(kind)) return -1;
    field = value;
    if (geometric) GeometryChanged();
    return 1;
  }
  // Steps 1-4 for a point (always geometric).
  int UpdatePoint(std::int32_t& x, std::int32_t& y, int newX, int newY, UndoKind kind);

  // Kinds that cache intersection answers: only pairs whose two items belong to one document
  // are looked up or kept. Find answers -1 when there is nothing to use.
  int FindCachedIntersectionsWith(const CDrawItem* other) const;
  void CacheIntersectionsWith(int count, const CDrawItem* other) const;

  // Ends moved for a while by the fill search (no undo), and where they were before their
  // first such move. Bit 0 of flags: the start has been moved; bit 1: the end.
  struct TemporaryEnds {
    std::int16_t flags = 0;
    std::int32_t startX = 0;
    std::int32_t startY = 0;
    std::int32_t endX = 0;
    std::int32_t endY = 0;
    // Moves end 0 or 1 of the item (its ends given) to (x, y), remembering the end first if
    // this is its first move; false, nothing moved, for another end.
    bool Move(int end, int x, int y, std::int32_t& itemStartX, std::int32_t& itemStartY,
              std::int32_t& itemEndX, std::int32_t& itemEndY);
    // Puts the moved ends back and forgets them; false when none was moved.
    bool Restore(std::int32_t& itemStartX, std::int32_t& itemStartY, std::int32_t& itemEndX,
                 std::int32_t& itemEndY);
  };

  // ---- Bodies shared by several kinds ----
  // 0 when (x, y) is within tolerance (|dx| + |dy|) of the start, else 1 within it of the
  // end, else -1.
  static int EndAtShared(int x, int y, std::int16_t tolerance, int startX, int startY, int endX,
                         int endY);
  // The end with the larger x (then the larger y), moved back past used pieces.
  void RightmostOfEnds(int startX, int startY, int endX, int endY, int& x, int& y) const;
  // CreatePiece's common steps: a new item of the type from split point index to index + 1,
  // with this item's base attributes and pen width, then finished by shape; all made while the
  // document records no undo. Null for an index outside the split list, and (after the
  // message) when memory runs out.
  DrawItemPtr MakeSplitPiece(int index, int type,
                             const std::function<void(CDrawItem& piece)>& shape) const;
  // What trimming or merging two arcs of one kind compares, all taken before either end
  // moves: this arc's sweep (its end past its start), the other's end angles and its ends.
  struct ArcOverlap {
    double s = 0.0;
    double e = 0.0;
    double os = 0.0;
    double oe = 0.0;
    int osx = 0;
    int osy = 0;
    int oex = 0;
    int oey = 0;
  };
  // angles gives an arc's start and end angles about its own centre. False, after the glitch
  // (n 1) with the other's type (-1 for none), when other is not of this item's kind.
  bool ReadArcOverlap(const CDrawItem* other, int glitch,
                      void (*angles)(const CDrawItem& arc, double& start, double& end),
                      ArcOverlap& out) const;
  // SetHandle(handle, handle point + (dx, dy)) unless the move is zero.
  void MoveHandleShared(int handle, int dx, int dy);
  // For kinds whose handles are their defining points. index is the handle, or its low 16
  // bits for the kinds that read only those: true when it names one of the kind's count
  // handles; else glitch (n 1) with the whole handle, and false.
  static bool CheckHandle(int index, int count, int handle, int glitch);
  // SetHandle for kinds whose two handles are their ends: SetStart for index 0, SetEnd for 1,
  // CheckHandle's glitch for any other.
  void SetEndHandle(int index, int handle, int x, int y, int glitch);
  // The coordinate of handle index among the kind's (one per handle, in handle order);
  // 0 after CheckHandle's glitch for any other index.
  static int HandleCoordinate(int index, int handle, std::initializer_list<int> coordinates,
                              int glitch);
  // 0 becomes 1, above 9 becomes 9; only the low byte counts.
  static std::uint8_t ClampPenWidth(int width);
  // Reports the operation's glitch from the table.
  static void ReportUnsupported(ItemOperation op);

 private:
  const std::int32_t m_type;
  const ItemSerial m_serial;
  IItemDocument* m_document = nullptr;
  std::int32_t m_colour = 0;
  std::int32_t m_groupNumber = 0;
  std::int16_t m_objectNumber = 0;
  std::uint8_t m_state = 0;
  std::unique_ptr<CUsedSegmentList> m_usedSegments;
};

// The factory: a new item of the kind (0..8) with no document, or null when memory runs out
// (no message of its own) or for a kind not built into the program. Another type is a glitch
// (2051, n 1) with the type.
DrawItemPtr CreateItem(int type);

// The pen colour of a drawing call: -4 the highlight colour, -2 the item's colour XOR the
// background, -1 the item's colour, anything else that value itself.
int ResolveDrawColour(int colourMode, int itemColour);
// Pen widths times the printer's line or arc thickness factor when printing.
int GetDevicePenWidth(int width, int printing);
int GetDeviceArcPenWidth(int width, int printing);

// Back to the start values of the items' globals (values bar, the font of new texts). Serial
// numbers are never reset. For tests.
void ResetItemGlobals();
