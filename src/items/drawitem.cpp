#include "items/drawitem.h"

#include <cstdlib>
#include <new>

#include "items/arcitem.h"
#include "items/bezieritem.h"
#include "items/dimensionitem.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/lineitem.h"
#include "items/textitem.h"
#include "items/transform.h"
#include "items/usedsegments.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/uiutil.h"

CFontSpec g_textFont;

namespace {

inline constexpr int kGlitchBadItemType = 2051;
inline constexpr int kLogAddSplitPoints = 1781;

// Serial numbers count up for the whole run and are never handed out twice.
ItemSerial NextSerial() {
  static ItemSerial s_last = 0;
  return ++s_last;
}

// ---- The factory table: one maker per type code ----
using ItemMaker = DrawItemPtr (*)();

template <typename Kind>
DrawItemPtr MakeItem() {
  return std::make_unique<Kind>();
}

constexpr std::array<ItemMaker, kItemTypeCount> kItemMakers = {
    &MakeItem<CLineItem>,  // 0 line
    &MakeItem<CArcItem>,   // 1 arc
    &MakeItem<CCircleItem>,  // 2 circle
    &MakeItem<CFillItem>,  // 3 fill
    &MakeItem<CDimensionItem>,  // 4 dimension
    &MakeItem<CEllipseItem>,  // 5 ellipse
    &MakeItem<CTextItem>,  // 6 text
    &MakeItem<CBezierItem>,  // 7 curve
    &MakeItem<CEllipseArcItem>,  // 8 elliptic arc
};

}  // namespace

// ---- Base bodies of the virtual operations ----

#define ZEPH_ITEM_BODY_STD(R, Name, Params, Quals, Glitch, N, ...)       \
  R CDrawItem::Name Params Quals {                                       \
    if constexpr ((Glitch) != 0) ReportUnsupported(ItemOperation::Name); \
    return NeutralValue<R>(__VA_ARGS__);                                 \
  }
#define ZEPH_ITEM_BODY_OWN(...)
#define ZEPH_DEFINE_ITEM_OPERATION(R, Name, Params, Quals, Glitch, N, Body, ...) \
  ZEPH_ITEM_BODY_##Body(R, Name, Params, Quals, Glitch, N, __VA_ARGS__)
ZEPH_ITEM_OPERATIONS(ZEPH_DEFINE_ITEM_OPERATION)
#undef ZEPH_DEFINE_ITEM_OPERATION
#undef ZEPH_ITEM_BODY_OWN
#undef ZEPH_ITEM_BODY_STD

// The few base bodies that answer with one of their arguments.
int CDrawItem::GetCurveWayAt(int, int, int direction) const {
  ReportUnsupported(ItemOperation::GetCurveWayAt);
  return direction;
}

CSlope& CDrawItem::GetTangentAt(CSlope& out, int, int) const {
  ReportUnsupported(ItemOperation::GetTangentAt);
  out = CSlope();
  return out;
}

int CDrawItem::GetTurnAt(int, int, int direction) const {
  ReportUnsupported(ItemOperation::GetTurnAt);
  return direction;
}

int CDrawItem::EditKey(zeph::CDrawContext*, IDrawingWindow*, unsigned, int, std::int16_t& outcome) {
  ReportUnsupported(ItemOperation::EditKey);
  outcome = 0;
  return 0;
}

int CDrawItem::GetDirectionAt(int, int, int sense) const {
  ReportUnsupported(ItemOperation::GetDirectionAt);
  return sense;
}

void CDrawItem::ReportUnsupported(ItemOperation op) {
  const ItemOperationInfo& info = GetItemOperationInfo(op);
  if (info.glitch != 0) ReportGlitch(info.glitch, info.number);
}

// ---- Life ----

CDrawItem::CDrawItem(int type) : m_type(type), m_serial(NextSerial()) {}

CDrawItem::~CDrawItem() {
  // The serial is never reused, so this only keeps the document's cache from filling up
  // with entries nobody can ask for.
  if (m_document != nullptr) m_document->DropCachedIntersections(this);
}

void CDrawItem::SetDocument(IItemDocument* document) {
  if (m_document != nullptr && m_document != document) {
    m_document->DropCachedIntersections(this);
  }
  m_document = document;
}

// ---- The setter convention ----

bool CDrawItem::BeginChange(UndoKind kind) {
  if (m_document == nullptr) return true;
  if (m_document->RecordItemChange(kind, this) == kUndoRefused) return false;
  m_document->MarkChanged();
  return true;
}

bool CDrawItem::BeginMove(int dx, int dy) {
  if (dx == 0 && dy == 0) return false;
  if (m_document == nullptr) return true;
  if (m_document->RecordItemMove(UndoKind::kMove, this, dx, dy) == kUndoRefused) return false;
  m_document->MarkChanged();
  return true;
}

void CDrawItem::GeometryChanged() {
  if (m_document != nullptr) m_document->DropCachedIntersections(this);
}

int CDrawItem::UpdatePoint(std::int32_t& x, std::int32_t& y, int newX, int newY, UndoKind kind) {
  if (x == newX && y == newY) return 0;
  if (!BeginChange(kind)) return -1;
  x = newX;
  y = newY;
  GeometryChanged();
  return 1;
}

void CDrawItem::SetColour(int colour) { UpdateField(m_colour, colour, UndoKind::kColour, false); }

std::int16_t CDrawItem::SetObjectNumber(std::int16_t number) {
  if (UpdateField(m_objectNumber, number, UndoKind::kObjectNumber, false) < 0) return -1;
  return number;
}

void CDrawItem::SetGroupNumber(int group) {
  UpdateField(m_groupNumber, group, UndoKind::kGroupNumber, false);
}

int CDrawItem::FindCachedIntersectionsWith(const CDrawItem* other) const {
  if (m_document == nullptr || other == nullptr || other->m_document != m_document) return -1;
  return m_document->FindCachedIntersections(this, other);
}

void CDrawItem::CacheIntersectionsWith(int count, const CDrawItem* other) const {
  if (m_document == nullptr || other == nullptr || other->m_document != m_document) return;
  m_document->CacheIntersections(count, this, other);
}

// ---- Plain operations ----

int CDrawItem::IsInRect(const zeph::DcRect& deviceRect, const CViewMapping* mapping) const {
  if (mapping == nullptr) return 0;
  CalcBoundingBox(mapping);
  const int left = mapping->DeviceToDrawingX(deviceRect.left);
  const int right = mapping->DeviceToDrawingX(deviceRect.right);
  const int bottom = mapping->DeviceToDrawingY(deviceRect.bottom, 0);
  const int top = mapping->DeviceToDrawingY(deviceRect.top, 0);
  return (g_itemBounds.minX >= left && g_itemBounds.maxX <= right && g_itemBounds.minY >= bottom &&
          g_itemBounds.maxY <= top)
             ? 1
             : 0;
}

void CDrawItem::CopyBaseAttributes(const CDrawItem* source) {
  if (source == nullptr) return;
  m_colour = source->m_colour;
  m_objectNumber = source->m_objectNumber;
  int group = source->m_groupNumber;
  if (group != 0 && source->m_document != nullptr) {
    group = source->m_document->MapGroupNumber(group);
  }
  m_groupNumber = group;
}

int CDrawItem::AddSplitPoints(CDrawItem* other) {
  const int count = IntersectWith(other);
  if (count <= 0) return 1;
  if (!ReserveSplitList(count)) {
    LogAction(kLogAddSplitPoints, 1, kLogMinorFailure);
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    const int x = g_intersectX[i];
    const int y = g_intersectY[i];
    g_splitX[g_splitCount] = x;
    g_splitY[g_splitCount] = y;
    g_splitParam[g_splitCount] = GetParameterAt(x, y);
    ++g_splitCount;
  }
  return 1;
}

// ---- Shared bodies ----

bool CDrawItem::TemporaryEnds::Move(int end, int x, int y, std::int32_t& itemStartX,
                                    std::int32_t& itemStartY, std::int32_t& itemEndX,
                                    std::int32_t& itemEndY) {
  if (end == 0) {
    if ((flags & 1) == 0) {
      startX = itemStartX;
      startY = itemStartY;
      flags |= 1;
    }
    itemStartX = x;
    itemStartY = y;
  } else if (end == 1) {
    if ((flags & 2) == 0) {
      endX = itemEndX;
      endY = itemEndY;
      flags |= 2;
    }
    itemEndX = x;
    itemEndY = y;
  } else {
    return false;
  }
  return true;
}

bool CDrawItem::TemporaryEnds::Restore(std::int32_t& itemStartX, std::int32_t& itemStartY,
                                       std::int32_t& itemEndX, std::int32_t& itemEndY) {
  if (flags == 0) return false;
  if ((flags & 1) != 0) {
    itemStartX = startX;
    itemStartY = startY;
  }
  if ((flags & 2) != 0) {
    itemEndX = endX;
    itemEndY = endY;
  }
  flags = 0;
  return true;
}

int CDrawItem::EndAtShared(int x, int y, std::int16_t tolerance, int startX, int startY, int endX,
                           int endY) {
  const auto gap = [x, y](int px, int py) {
    return std::llabs(static_cast<std::int64_t>(x) - px) +
           std::llabs(static_cast<std::int64_t>(y) - py);
  };
  if (tolerance >= gap(startX, startY)) return 0;
  if (tolerance < gap(endX, endY)) return -1;
  return 1;
}

void CDrawItem::RightmostOfEnds(int startX, int startY, int endX, int endY, int& x, int& y) const {
  const bool start = startX > endX || (startX == endX && startY > endY);
  x = start ? startX : endX;
  y = start ? startY : endY;
  SkipUsedPieces(x, y);
}

DrawItemPtr CDrawItem::MakeSplitPiece(int index, int type,
                                      const std::function<void(CDrawItem& piece)>& shape) const {
  if (index < 0 || index >= g_splitCount - 1) return nullptr;
  DrawItemPtr piece = CreateItem(type);
  if (!piece) {
    ShowOutOfMemory();
    return nullptr;
  }
  IItemDocument* document = GetDocument();
  const int recording = document != nullptr ? document->EnableUndo(0) : 0;
  piece->CopyBaseAttributes(this);
  piece->SetStart(g_splitX[index], g_splitY[index]);
  piece->SetEnd(g_splitX[index + 1], g_splitY[index + 1]);
  piece->SetPenWidth(GetPenWidth());
  shape(*piece);
  if (document != nullptr) document->EnableUndo(recording);
  return piece;
}

bool CDrawItem::ReadArcOverlap(const CDrawItem* other, int glitch,
                               void (*angles)(const CDrawItem& arc, double& start, double& end),
                               ArcOverlap& out) const {
  if (other == nullptr || other->GetType() != GetType()) {
    SetGlitchValue(other != nullptr ? other->GetType() : -1);
    ReportGlitch(glitch, 1);
    return false;
  }
  angles(*this, out.s, out.e);
  if (out.e < out.s) out.e += g_twoPi;
  angles(*other, out.os, out.oe);
  other->GetStart(out.osx, out.osy);
  other->GetEnd(out.oex, out.oey);
  return true;
}

void CDrawItem::MoveHandleShared(int handle, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const int x = ClampInt64ToInt(static_cast<std::int64_t>(GetHandleX(handle)) + dx);
  const int y = ClampInt64ToInt(static_cast<std::int64_t>(GetHandleY(handle)) + dy);
  SetHandle(handle, x, y);
}

bool CDrawItem::CheckHandle(int index, int count, int handle, int glitch) {
  if (index >= 0 && index < count) return true;
  SetGlitchValue(handle);
  ReportGlitch(glitch, 1);
  return false;
}

void CDrawItem::SetEndHandle(int index, int handle, int x, int y, int glitch) {
  if (!CheckHandle(index, 2, handle, glitch)) return;
  if (index == 0) {
    SetStart(x, y);
  } else {
    SetEnd(x, y);
  }
}

int CDrawItem::HandleCoordinate(int index, int handle, std::initializer_list<int> coordinates,
                                int glitch) {
  if (!CheckHandle(index, static_cast<int>(coordinates.size()), handle, glitch)) return 0;
  return coordinates.begin()[index];
}

std::uint8_t CDrawItem::ClampPenWidth(int width) {
  const auto low = static_cast<std::uint8_t>(width & 0xFF);
  if (low == 0) return 1;
  return low > 9 ? 9 : low;
}

// ---- Global operations ----

DrawItemPtr CreateItem(int type) {
  const ItemMaker maker = (type >= 0 && type < kItemTypeCount) ? kItemMakers[type] : nullptr;
  if (maker == nullptr) {
    SetGlitchValue(type);
    ReportGlitch(kGlitchBadItemType, 1);
    return nullptr;
  }
  try {
    return maker();
  } catch (const std::bad_alloc&) {
    return nullptr;  // the caller shows the out-of-memory message
  }
}

int ResolveDrawColour(int colourMode, int itemColour) {
  switch (colourMode) {
    case kDrawHighlight:
      return static_cast<int>(g_highlightColour);
    case kDrawXor:
      return static_cast<int>(static_cast<std::uint32_t>(itemColour) ^ g_backgroundColour);
    case kDrawOwnColour:
      return itemColour;
    default:
      return colourMode;
  }
}

int GetDevicePenWidth(int width, int printing) {
  return printing != 0 ? width * GetPrinterLineThickness() : width;
}

int GetDeviceArcPenWidth(int width, int printing) {
  return printing != 0 ? width * GetPrinterArcThickness() : width;
}

void ResetItemGlobals() {
  g_textFont = CFontSpec();
  ResetValueFields();
}
