// Operations that look at every item of a drawing: picking the item or handle nearest to the
// cursor, hunt snapping, extending a line end, the extents, transforming the chosen items in
// place or as copies, the sheet of hatch-pattern samples, the values of a shape group and the
// colours of the chosen items.
#include "document/wholedrawing.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "document/document.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/uiutil.h"

std::int16_t g_snapDistance = 0;
std::int32_t g_shapeSideCount = 0;
double g_shapeSideLength = 0.0;
double g_shapeWidth = 0.0;
double g_shapeRotation = 0.0;

void ResetWholeDrawingGlobals() {
  g_snapDistance = 0;
  g_shapeSideCount = 0;
  g_shapeSideLength = 0.0;
  g_shapeWidth = 0.0;
  g_shapeRotation = 0.0;
}

namespace {

constexpr int kLogMakeEllipseFromCircle = 1208;
constexpr int kLogMakeEllipseArcFromArc = 1209;
constexpr int kLogExtendLineEnd = 1216;
constexpr int kLogBuildHatchSamples = 1276;
constexpr int kLogPublishShapeValues = 1278;
constexpr int kLogTransformItems = 1280;

constexpr int kGlitchExtendLineEnd = 1216;
constexpr int kGlitchHatchSamples = 1276;

// The sample sheet: the gap between cells and the top of the first row, in drawing units.
constexpr int kSampleGap = 10000;
constexpr int kSampleTop = 100000;

CItemRef MakeRef(int item, int handle) {
  return CItemRef(static_cast<std::int32_t>(item), static_cast<std::int16_t>(handle));
}

bool IsCurveKind(int type) {
  return type == kItemLine || type == kItemArc || type == kItemCircle || type == kItemEllipse ||
         type == kItemBezier || type == kItemEllipseArc;
}

bool PassesPickFilter(int type, int filter) {
  switch (filter) {
    case kPickNoTexts:
      return type != kItemText;
    case kPickCurves:
      return IsCurveKind(type);
    case kPickDimensions:
      return type == kItemDimension;
    case kPickLines:
      return type == kItemLine;
    default:
      return true;
  }
}

// The kinds whose handles FindNearestPoint offers under its filter (fills never have any).
bool PassesPointFilter(const CDrawItem& item, int filter, int ungroupedOnly) {
  const int type = item.GetType();
  if (type == kItemFill) return false;
  if (filter == kPointNoTextsOrDimensions && (type == kItemText || type == kItemDimension)) {
    return false;
  }
  if (filter == kPointLinesOnly && type != kItemLine) return false;
  if (ungroupedOnly != 0 && item.GetGroupNumber() != 0) return false;
  return true;
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

// ---- Picking ----

CDrawItem* CZephDoc::FindNearestItem(const CViewMapping* mapping, int filter,
                                     const CDrawItem* previous, double maxDistance) const {
  // A small drawing is measured whole; a large one only where the index says items may be
  // nearer than the nearest found so far.
  constexpr std::size_t kIndexedPickMinimum = 64;
  if (m_items.size() < kIndexedPickMinimum) {
    return FindNearestItemByWalk(mapping, filter, previous, maxDistance);
  }
  double best = kFarAway;
  m_pickTies.clear();
  // Boxes are widened beyond rounding, so a box's distance never exceeds its item's.
  m_spatial.VisitNearest(
      g_cursorPoint.x, g_cursorPoint.y, m_items, kFarAway,
      [&](const CDrawItem* item, double) -> double {
        if (item->IsInvisible() == 0 && PassesPickFilter(item->GetType(), filter)) {
          CDrawItem* mutableItem = const_cast<CDrawItem*>(item);
          const double distance = item->GetPickDistance(mapping);
          if (distance < best) {
            best = distance;
            m_pickTies.clear();
            m_pickTies.emplace_back(0, mutableItem);
          } else if (distance == best) {
            m_pickTies.emplace_back(0, mutableItem);
          }
        }
        return best < kFarAway ? best + 1.0 : kFarAway;
      });
  // Nothing measurable (every distance "far away" or not a number): the walk's own rules.
  if (m_pickTies.empty() || !(best < kFarAway)) {
    return FindNearestItemByWalk(mapping, filter, previous, maxDistance);
  }
  // Of the equally near items, in list order, the last wins; or the one before previous when
  // previous is one of them but not the first.
  for (auto& tie : m_pickTies) tie.first = m_spatial.RankOf(tie.second);
  std::sort(m_pickTies.begin(), m_pickTies.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  CDrawItem* result = m_pickTies.back().second;
  for (std::size_t i = 1; i < m_pickTies.size(); ++i) {
    if (m_pickTies[i].second == previous) {
      result = m_pickTies[i - 1].second;
      break;
    }
  }
  if (maxDistance > 0.0 && best > maxDistance) return nullptr;
  return result;
}

void CZephDoc::DrawItemsInView(zeph::CDrawContext& dc, const CViewMapping& mapping,
                               const std::function<void(const CDrawItem&)>& draw) const {
  const zeph::DcRect clip = dc.GetClipBox();
  if (dc.IsPrinting()) {
    for (const DrawItemPtr& slot : m_items) {
      if (slot) draw(*slot);
    }
    return;
  }
  if (clip.IsEmpty()) return;
  // The clip box in drawing units, widened by the widest pen and a pixel of rounding.
  const std::int64_t reach = m_spatial.GetWidestPen() + 2;
  const double sx = mapping.GetScaleX();
  const double sy = mapping.GetScaleY();
  CSpatialIndex::Box box;
  box.minX = mapping.originX + static_cast<double>(clip.left - reach) * sx;
  box.maxX = mapping.originX + static_cast<double>(clip.right + reach) * sx;
  box.maxY = mapping.originY - static_cast<double>(clip.top - reach) * sy;
  box.minY = mapping.originY - static_cast<double>(clip.bottom + reach) * sy;
  if (box.maxX < box.minX) std::swap(box.minX, box.maxX);
  if (box.maxY < box.minY) std::swap(box.minY, box.maxY);
  // The kept storage is borrowed for the call, so that drawing may ask the document again.
  std::vector<const CDrawItem*> shown;
  shown.swap(m_viewItems);
  m_spatial.Collect(box, m_items, shown);
  for (const CDrawItem* item : shown) draw(*item);
  shown.swap(m_viewItems);
}

CDrawItem* CZephDoc::FindNearestItemByWalk(const CViewMapping* mapping, int filter,
                                           const CDrawItem* previous, double maxDistance) const {
  CDrawItem* result = nullptr;
  double best = kFarAway;
  bool stop = false;
  for (const DrawItemPtr& slot : m_items) {
    CDrawItem* item = slot.get();
    if (item == nullptr || item->IsInvisible() != 0) continue;
    if (!PassesPickFilter(item->GetType(), filter)) continue;
    const double distance = item->GetPickDistance(mapping);
    if (distance < best) {
      best = distance;
      result = item;
      stop = false;
    } else if (distance == best) {
      // Among equally near items the one before the previous answer wins, so that repeated
      // clicks on one spot step through them.
      if (stop || item == previous) {
        stop = true;
      } else {
        result = item;
      }
    }
  }
  if (maxDistance > 0.0 && best > maxDistance) return nullptr;
  return result;
}

CItemRef CZephDoc::FindNearestPoint(const CViewMapping* mapping, int filter,
                                    int ungroupedOnly) const {
  CItemRef winner;
  int best = 0;
  int winnerX = 0;
  int winnerY = 0;
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
    if (item == nullptr || item->IsInvisible() != 0) continue;
    if (!PassesPointFilter(*item, filter, ungroupedOnly)) continue;
    const int handles = ReachableHandles(*item);
    for (int h = 0; h < handles; ++h) {
      const int x = item->GetHandleX(h);
      const int y = item->GetHandleY(h);
      if (IsPointVisible(mapping, x, y) == 0) continue;
      const int distance = GetCursorDistance(x, y);
      if (winner.IsInvalid() != 0 || distance < best) {
        winner = MakeRef(i, h);
        best = distance;
        winnerX = x;
        winnerY = y;
      }
    }
  }
  if (winner.IsInvalid() != 0 || filter == kPointAnyItem) return winner;

  // Items meeting at the winner's point: the one the cursor is over wins (the later of equally
  // near ones). Only handles the filter admits are offered, as in the first pass.
  CItemRef chosen = winner;
  double nearest = kFarAway;
  bool any = false;
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
    if (item == nullptr || item->IsInvisible() != 0) continue;
    if (!PassesPointFilter(*item, filter, ungroupedOnly)) continue;
    const int handles = ReachableHandles(*item);
    bool measured = false;
    double pick = kFarAway;
    for (int h = 0; h < handles; ++h) {
      if (item->GetHandleX(h) != winnerX || item->GetHandleY(h) != winnerY) continue;
      if (!measured) {
        pick = item->GetPickDistance(mapping);
        measured = true;
      }
      if (!any || pick <= nearest) {
        chosen = MakeRef(i, h);
        nearest = pick;
        any = true;
      }
    }
  }
  return chosen;
}

void CZephDoc::SnapToNearestPoint(const CViewMapping* mapping) const {
  const CItemRefList& selected = m_selectedPoints;
  const std::uint16_t listed = selected.GetCount();
  std::uint16_t next = 0;
  bool found = false;
  int best = 0;
  int bestX = 0;
  int bestY = 0;
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
    if (item == nullptr || item->IsInvisible() != 0 || item->GetType() == kItemText) continue;
    const int handles = ReachableHandles(*item);
    for (int h = 0; h < handles; ++h) {
      const CItemRef ref = MakeRef(i, h);
      // The sorted list is walked in step with the handles. Entries the walk can never meet
      // (emptied ones, texts, items not shown) are passed over, so that they cannot stop the
      // later selected points from being left out.
      while (next < listed &&
             (selected.GetAt(next).IsInvalid() != 0 || ref.IsAfter(selected.GetAt(next)) != 0)) {
        ++next;
      }
      if (next < listed && selected.GetAt(next).Equals(ref) != 0) {
        ++next;
        continue;
      }
      const int x = item->GetHandleX(h);
      const int y = item->GetHandleY(h);
      const int distance = GetCursorDistance(x, y);
      if (!found || distance < best) {
        found = true;
        best = distance;
        bestX = x;
        bestY = y;
      }
    }
  }
  const std::int64_t reach =
      mapping != nullptr ? static_cast<std::int64_t>(g_snapDistance) * mapping->scaleX : 0;
  if (found && best <= reach) {
    g_snapPoint = DrawingPoint{bestX, bestY};
  } else {
    g_snapPoint = g_cursorPoint;
  }
}

int CZephDoc::SnapToNearestHandle(int& x, int& y, int x2, int y2,
                                  const std::unordered_set<const CDrawItem*>* ignored) const {
  bool found = false;
  double best = 0.0;
  int bestX = 0;
  int bestY = 0;
  for (const DrawItemPtr& slot : m_items) {
    const CDrawItem* item = slot.get();
    if (item == nullptr || (ignored != nullptr && ignored->count(item) != 0)) continue;
    const int handles = ReachableHandles(*item);
    for (int h = 0; h < handles; ++h) {
      const int hx = item->GetHandleX(h);
      const int hy = item->GetHandleY(h);
      const double distance = DistanceToSegment(hx, hy, x, y, x2, y2);
      if (!found || distance < best) {
        found = true;
        best = distance;
        bestX = hx;
        bestY = hy;
      }
    }
  }
  if (!found || !(best < kSegmentHandleDistance)) return 0;
  x = bestX;
  y = bestY;
  return 1;
}

// ---- Extend ----

int CZephDoc::ExtendLineEnd(const CItemRef& ref) {
  LogScope trace(kLogExtendLineEnd);
  CDrawItem* line = GetRefItem(ref);
  if (line == nullptr) {
    SetGlitchValue(ref.GetItem());
    ReportGlitch(kGlitchExtendLineEnd, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  if (line->GetType() != kItemLine) {
    SetGlitchValue(line->GetType());
    ReportGlitch(kGlitchExtendLineEnd, 2);
    return trace.Return(0, kLogInvalid, 2);
  }
  const int end = ref.GetPoint();
  const int x = line->GetHandleX(end);
  const int y = line->GetHandleY(end);
  const int direction = line->GetEndDirection(end);
  bool found = false;
  double best = 0.0;
  int bestX = 0;
  int bestY = 0;
  for (const DrawItemPtr& slot : m_items) {
    CDrawItem* other = slot.get();
    if (other == nullptr || other == line || other->IsHidden() != 0) continue;
    const int count = line->IntersectLineWith(other, true);
    for (int k = 0; k < count; ++k) {
      const int cx = g_intersectX[static_cast<std::size_t>(k)];
      const int cy = g_intersectY[static_cast<std::size_t>(k)];
      // A crossing in the line's own direction lies on it or behind the end.
      if (line->GetDirectionCode(x, y, cx, cy) == direction) continue;
      const double distance = Hypot(static_cast<double>(cx) - x, static_cast<double>(cy) - y);
      if (distance == 0.0) continue;
      if (!found || distance < best) {
        found = true;
        best = distance;
        bestX = cx;
        bestY = cy;
      }
    }
  }
  if (!found) return trace.Return(0, kLogHandled, 3);
  line->SetHandle(end, bestX, bestY);
  return trace.Return(1);
}

// ---- Extents ----

int CZephDoc::ComputeExtents(const CViewMapping* mapping, int skipInvisible) {
  bool any = false;
  std::int64_t minX = 0;
  std::int64_t minY = 0;
  std::int64_t maxX = 0;
  std::int64_t maxY = 0;
  for (const DrawItemPtr& slot : m_items) {
    const CDrawItem* item = slot.get();
    if (item == nullptr || (skipInvisible != 0 && item->IsInvisible() != 0)) continue;
    item->CalcBoundingBox(mapping);
    const ItemBounds box = g_itemBounds;
    if (!any) {
      minX = box.minX;
      minY = box.minY;
      maxX = box.maxX;
      maxY = box.maxY;
      any = true;
      continue;
    }
    minX = std::min<std::int64_t>(minX, box.minX);
    minY = std::min<std::int64_t>(minY, box.minY);
    maxX = std::max<std::int64_t>(maxX, box.maxX);
    maxY = std::max<std::int64_t>(maxY, box.maxY);
  }
  if (!any || (minX == maxX && minY == maxY)) return 0;
  SetExtents(ClampToInt(minX - kExtentsMargin), ClampToInt(minY - kExtentsMargin),
             ClampToInt(maxX + kExtentsMargin), ClampToInt(maxY + kExtentsMargin));
  return 1;
}

int CZephDoc::GetExtents(const CViewMapping* mapping, int& minX, int& minY, int& maxX, int& maxY,
                         int skipInvisible) {
  const int result = ComputeExtents(mapping, skipInvisible);
  GetExtents(minX, minY, maxX, maxY);
  return result;
}

// ---- Transforming ----

DrawItemPtr CZephDoc::MakeEllipseFromCircle(const CDrawItem* circle) {
  LogScope trace(kLogMakeEllipseFromCircle);
  if (circle == nullptr) return trace.Return(DrawItemPtr(), kLogInvalid, 1);
  DrawItemPtr ellipse;
  try {
    ellipse = CreateItem(kItemEllipse);
  } catch (const std::bad_alloc&) {
    ellipse.reset();
  }
  if (!ellipse) return trace.Return(DrawItemPtr(), kLogMemory, 2);
  ellipse->SetFromCircle(circle);
  // Colour, object and the group (through the group remapping of a transformation).
  ellipse->CopyBaseAttributes(circle);
  if (ellipse->IsValid() != 0) return trace.Return(std::move(ellipse));
  // No valid ellipse has this shape: the circle goes on as a copy of itself.
  ellipse.reset();
  return trace.Return(CopyItem(circle), kLogHandled, 3);
}

DrawItemPtr CZephDoc::MakeEllipseArcFromArc(const CDrawItem* arc) {
  LogScope trace(kLogMakeEllipseArcFromArc);
  if (arc == nullptr) return trace.Return(DrawItemPtr(), kLogInvalid, 1);
  DrawItemPtr ellipseArc;
  try {
    ellipseArc = CreateItem(kItemEllipseArc);
  } catch (const std::bad_alloc&) {
    ellipseArc.reset();
  }
  if (!ellipseArc) return trace.Return(DrawItemPtr(), kLogMemory, 2);
  ellipseArc->SetFromArc(arc);
  ellipseArc->CopyBaseAttributes(arc);
  if (ellipseArc->IsValid() != 0) return trace.Return(std::move(ellipseArc));
  ellipseArc.reset();
  return trace.Return(CopyItem(arc), kLogHandled, 3);
}

int CZephDoc::TransformItems(const CTransform& transform, int which, int copyIndex) {
  LogScope trace(kLogTransformItems);
  const int count = GetItemCount();
  if (count == 0) return trace.Return(1);
  std::vector<DrawItemPtr> copies;
  try {
    copies.reserve(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return trace.Return(0, kLogMemory, 1);
  }
  const bool uneven = transform.GetKind() == kTransformStretch && transform.GetParameter() != 1.0;
  const bool inPlace = which != kTransformChosenKeepOriginals;

  // Remapping ends however the loop ends; copies not yet added are freed with the array.
  SetGroupRemapping(1);
  struct RemappingGuard {
    CZephDoc& doc;
    ~RemappingGuard() { doc.SetGroupRemapping(0); }
  } remapping{*this};

  for (int i = 0; i < count; ++i) {
    CDrawItem* original = m_items[static_cast<std::size_t>(i)].get();
    if (original == nullptr) continue;
    if (which != kTransformAllItems && original->GetState() != 0) continue;

    DrawItemPtr made;
    if (uneven && original->GetType() == kItemCircle) {
      made = MakeEllipseFromCircle(original);
    } else if (uneven && original->GetType() == kItemArc) {
      made = MakeEllipseArcFromArc(original);
    } else {
      made = CopyItem(original);
    }
    if (!made) return trace.Return(0, kLogMemory, 2);
    const bool converted = made->GetType() != original->GetType();
    // The number is given while the new item has no document, so it records nothing.
    if (copyIndex != kNoCopyIndex) {
      made->SetObjectNumber(
          static_cast<std::int16_t>(GetCopyObjectNumber(made->GetObjectNumber(), copyIndex)));
    }

    if (!inPlace) {
      made->Transform(transform);
      copies.push_back(std::move(made));
      // The original becomes dormant: the next action transforms the copy instead.
      original->Select();
      continue;
    }

    const std::uint8_t state = original->GetState();
    const int answer = RecordListChange(UndoKind::kItemReplaced, i);
    if (answer == kUndoRefused) return trace.Return(0, kLogFailed, 3);
    const std::size_t slot = static_cast<std::size_t>(i);
    if (answer != 1) {
      if (!converted) {
        // Nothing keeps the original: it is transformed itself.
        made.reset();
        original->Transform(transform);
        if (copyIndex != kNoCopyIndex) {
          original->SetObjectNumber(static_cast<std::int16_t>(
              GetCopyObjectNumber(original->GetObjectNumber(), copyIndex)));
        }
        m_changed = 1;
        continue;
      }
      MarkUnlisted(original);
      m_items[slot].reset();
    }
    // The journal has taken the original, or it is gone: the new item takes its place and
    // its state (dormant, hidden).
    made->Transform(transform);
    made->SetSelected((state & kStateSelected) != 0 ? 1 : 0);
    if ((state & kStateHidden) != 0) made->SetHidden();
    if ((state & kStateInvisible) != 0) made->SetInvisible();
    CDrawItem* raw = made.get();
    raw->SetDocument(this);
    MarkListed(raw);
    m_items[slot] = std::move(made);
    m_changed = 1;
  }
  SetGroupRemapping(0);

  int refused = 0;
  for (DrawItemPtr& copy : copies) {
    if (refused != 0) {
      copy.reset();
      continue;
    }
    const int answer = AddItem(copy);
    if (answer == -1) refused = 1;
    if (answer != 1) copy.reset();
  }
  m_changed = 1;
  if (refused != 0) return trace.Return(0, kLogMemory, 4);
  return trace.Return(1);
}

// ---- Hatch-pattern samples ----

int CZephDoc::BuildHatchSamples(int width) {
  LogScope trace(kLogBuildHatchSamples);
  const int across = std::max<int>(1, GetOptionShort(kOptionHatchPatternAcross));
  const int down = GetOptionShort(kOptionHatchPatternDown);
  const std::int64_t cell64 =
      (static_cast<std::int64_t>(width) * 500 - kSampleGap) / across - kSampleGap;
  const int cell = ClampToInt(cell64);
  const int height = ClampToInt(static_cast<std::int64_t>(down) * cell / 100);

  std::int16_t fontSize = 14;
  int lineHeight = 10000;
  if (across == 1) {
    fontSize = 32;
    lineHeight = 30000;
  } else if (across == 2) {
    fontSize = 24;
    lineHeight = 20000;
  } else if (across == 3) {
    fontSize = 18;
    lineHeight = 15000;
  }
  CFontSpec captionFont;
  captionFont.Set(QStringLiteral("Arial"), fontSize, false, false);
  const int frameColour = static_cast<int>(g_colourTable[8]);
  const int inkColour = static_cast<int>(g_colourTable[0]);

  int column = 0;
  int top = kSampleTop;
  for (int j = 0; j < kHatchDefinitionCount; ++j) {
    const CHatchDefinition& definition = g_hatchDefinitions[static_cast<std::size_t>(j)];
    const std::int16_t number = definition.GetNumber();
    const int left =
        ClampToInt(static_cast<std::int64_t>(column) * (cell + kSampleGap) + kSampleGap);
    const int right = ClampToInt(static_cast<std::int64_t>(left) + cell);
    const int bottom = ClampToInt(static_cast<std::int64_t>(top) - height);

    // The frame: top, left, bottom and right side.
    const int sides[4][4] = {{left, top, right, top},
                             {left, top, left, bottom},
                             {left, bottom, right, bottom},
                             {right, top, right, bottom}};
    for (const auto& side : sides) {
      DrawItemPtr line = CreateItem(kItemLine);
      if (!line) return trace.Return(0, kLogMinorFailure, 1);
      line->SetStart(side[0], side[1]);
      line->SetEnd(side[2], side[3]);
      line->SetColour(frameColour);
      line->SetLineStyle(kLineStyleUnbroken);
      line->SetObjectNumber(number);
      line->SetPenWidth(1);
      const int answer = AddItem(line);
      if (answer == -1) return trace.Return(0, kLogMinorFailure, 2);
      if (answer != 1) {
        ReportGlitch(kGlitchHatchSamples, 1);
        return trace.Return(0, kLogInvalid, 5);
      }
    }

    // The sample: the region the fill search finds inside the frame, hatched with the
    // pattern.
    DrawItemPtr fill =
        FillAreaAtPoint(ClampToInt((static_cast<std::int64_t>(left) * 2 + cell) / 2),
                        ClampToInt((static_cast<std::int64_t>(top) * 2 - height) / 2));
    if (!fill) {
      ReportGlitch(kGlitchHatchSamples, 2);
      return trace.Return(0, kLogInvalid, 6);
    }
    fill->SetColour(inkColour);
    fill->SetObjectNumber(number);
    fill->SetFillStyle(kFillHatch);
    fill->SetHatch(j, 0.0, 1.0);
    if (AddItem(fill) != 1) {
      ReportGlitch(kGlitchHatchSamples, 3);
      return trace.Return(0, kLogInvalid, 7);
    }

    // The caption under the cell.
    DrawItemPtr text = CreateItem(kItemText);
    if (!text) return trace.Return(0, kLogMinorFailure, 3);
    text->SetPosition(left, ClampToInt(static_cast<std::int64_t>(bottom) - lineHeight / 12));
    text->SetText(definition.GetName());
    text->SetColour(inkColour);
    text->SetFont(captionFont);
    text->SetFontSize(100);
    text->SetTextAngle(0.0);
    text->SetTextParameter(0.0);
    text->SetObjectNumber(number);
    const int answer = AddItem(text);
    if (answer == -1) return trace.Return(0, kLogMinorFailure, 4);
    if (answer != 1) {
      ReportGlitch(kGlitchHatchSamples, 2);
      return trace.Return(0, kLogInvalid, 8);
    }

    if (++column == across) {
      column = 0;
      top = ClampToInt(static_cast<std::int64_t>(top) - height - lineHeight);
    }
  }
  return trace.Return(1);
}

// ---- Shape values and colours ----

void CZephDoc::PublishShapeValues(int group) const {
  LogScope trace(kLogPublishShapeValues);
  int count = 0;
  const CDrawItem* side = nullptr;
  int sideStartY = 0;
  for (const DrawItemPtr& slot : m_items) {
    const CDrawItem* item = slot.get();
    if (item == nullptr || item->GetGroupNumber() != group) continue;
    ++count;
    // Only lines have the sides a shape is measured by.
    if (item->GetType() != kItemLine) continue;
    int sx = 0;
    int sy = 0;
    int ex = 0;
    int ey = 0;
    item->GetStart(sx, sy);
    item->GetEnd(ex, ey);
    // The lowest side, a horizontal one winning on its level.
    if (side == nullptr || sy < sideStartY || (sy == sideStartY && ey == sy)) {
      side = item;
      sideStartY = sy;
    }
  }
  if (side == nullptr) {
    // An empty group (or one without lines) has no shape to describe.
    PublishFieldIds({});
    return trace.Exit(kLogHandled, 1);
  }
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  side->GetStart(sx, sy);
  side->GetEnd(ex, ey);
  const double dx = static_cast<double>(ex) - sx;
  const double dy = static_cast<double>(ey) - sy;
  const double length = Hypot(dx, dy);
  const double angle = AngleOf(dy, dx);

  bool rectangle = false;
  double width = 0.0;
  if (count == 4) {
    for (const DrawItemPtr& slot : m_items) {
      const CDrawItem* item = slot.get();
      if (item == nullptr || item == side || item->GetGroupNumber() != group ||
          item->GetType() != kItemLine) {
        continue;
      }
      int ax = 0;
      int ay = 0;
      int bx = 0;
      int by = 0;
      item->GetStart(ax, ay);
      item->GetEnd(bx, by);
      const bool touches = (ax == sx && ay == sy) || (ax == ex && ay == ey) ||
                           (bx == sx && by == sy) || (bx == ex && by == ey);
      if (!touches) continue;
      const double other = Hypot(static_cast<double>(bx) - ax, static_cast<double>(by) - ay);
      if (NearlyEqual(other, length) == 0) {
        rectangle = true;
        width = other;
      }
      break;
    }
  }
  g_shapeSideCount = count;
  g_shapeSideLength = length;
  g_shapeWidth = width;
  g_shapeRotation = angle;
  if (rectangle) {
    PublishFieldIds({kFieldRectangle, kFieldShapeRotation});
  } else {
    PublishFieldIds({kFieldSidesLength, kFieldShapeRotation});
  }
  trace.Exit();
}

int CZephDoc::CollectUsedColours(int& count,
                                 std::array<std::int32_t, kUsedColourLimit>& colours) const {
  std::array<std::int32_t, kUsedColourLimit> found{};
  int n = 0;
  for (const DrawItemPtr& slot : m_items) {
    const CDrawItem* item = slot.get();
    if (item == nullptr || item->IsInvisible() != 0 || item->IsSelected() != 0) continue;
    const std::int32_t colour = item->GetColour();
    if (std::find(found.begin(), found.begin() + n, colour) != found.begin() + n) continue;
    found[static_cast<std::size_t>(n++)] = colour;
    if (n == kUsedColourLimit) break;
  }
  if (n == count) {
    bool same = true;
    for (int k = 0; k < count && same; ++k) {
      same = std::find(found.begin(), found.begin() + n, colours[static_cast<std::size_t>(k)]) !=
             found.begin() + n;
    }
    if (same) return 0;
  }
  colours = found;
  count = n;
  return 1;
}
