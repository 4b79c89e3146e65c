// The conversion of old hatches. Files "Zephorin2" and "Zephorin3" stored a hatch as the
// parallel segments that drew it; after such a file is read every hatch is rebuilt as a
// hatched fill. The pieces of each hatch line are joined, each segment end is attached to the
// drawing item it meets, and a walk from end to end and from item to item gives the hatch's
// closed outline and its holes. Where the ends of a hatch touch nothing, or an outline has a
// gap, temporary lines close it for the walk; they are removed when the pass ends. A hatch
// whose outline cannot be closed becomes plain lines, never nothing, and the user may be
// told how many did.
//
// A segment end names the item it is attached to by a link number, an index into the pass's
// own table of items; the temporary lines are known by identity, so an item of the drawing
// that happens to carry the temporary lines' object number is left alone.
#include "document/legacyconvert.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <numbers>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/document.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/intersect.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogConvertLegacy = 1206;
constexpr int kLogHatchToLines = 1227;
constexpr int kIdsHatchNotConverted = 277;
constexpr int kIdsHatchesNotConverted = 278;

// End states.
constexpr int kEndOpen = 0;
constexpr int kEndUsed = 1;  // on the outline being built
constexpr int kEndDone = 2;
constexpr int kEndSkipped = 3;  // left out of the present search

// Hatch line kinds.
constexpr int kKindDots = 1;
constexpr int kKindStaggered = 2;
constexpr int kKindDashed = 3;
constexpr int kKindWorkedOut = 4;  // spacing worked out from the offsets

constexpr double kPi = std::numbers::pi;
constexpr double kMergeDirection = 0.1;
constexpr int kAttachDistance = 500;
constexpr int kFamilyLimit = 20;
constexpr double kFamilyDirection = 0.01;
constexpr int kEdgeCode = 101;
constexpr int kWalkSlack = 200;
constexpr int kNearEndDistance = 2000;
constexpr double kArcRangeMargin = 0.005;
constexpr double kVerticalTolerance = 1e-5;
constexpr int kBridgeReach = 400;
constexpr double kBridgeTie = 10.0;
constexpr double kLooseDirection = 0.1;
constexpr int kLooseSlack = 200;
constexpr int kStrayDistance = 500;
constexpr int kNoSpacing = INT_MAX;

// What one run of the pass keeps beside the records.
struct HatchPass {
  // Link number v (1 and up) names linkItems[v - 1]; 0 names nothing.
  std::vector<CDrawItem*> linkItems;
  std::unordered_map<const CDrawItem*, int> linkNumbers;
  // The temporary lines made by this pass.
  std::unordered_set<const CDrawItem*> temporaries;
  // Records that need no line of their own: absorbed by another piece, drawn by a fill of
  // this pass, or already made a line.
  std::vector<std::uint8_t> drawn;
  // The records of each object number, in order.
  std::unordered_map<int, std::vector<int>> byObject;
  // The end the outline being traced started from, which the walk must leave open for the
  // outline to close on.
  int startS = -1;
  int startE = -1;
  // The most rounds of one tracing loop.
  int roundLimit = 0;
};

HatchPass* g_hatchPass = nullptr;
int g_roundLimitForTest = 0;

const std::vector<int> kNoRecords;

std::int16_t End(int e) { return static_cast<std::int16_t>(e); }

void EndPoint(const CLegacySegment& r, int e, int& x, int& y) { r.GetEndPoint(End(e), x, y); }

int Spacing(const CLegacySegment& r) { return r.GetCode(); }
int Kind(const CLegacySegment& r) { return r.GetState(); }

bool IsDoneAtBothEnds(const CLegacySegment& r) {
  return r.GetEndState(0) == kEndDone && r.GetEndState(1) == kEndDone;
}

CDrawItem* LinkOf(const CLegacySegment& r, int e) {
  if (g_hatchPass == nullptr) return nullptr;
  const int v = r.GetLink(End(e));
  if (v <= 0 || v > static_cast<int>(g_hatchPass->linkItems.size())) return nullptr;
  return g_hatchPass->linkItems[static_cast<std::size_t>(v - 1)];
}

void SetLinkItem(CLegacySegment& r, int e, CDrawItem* item) {
  if (g_hatchPass == nullptr || item == nullptr) {
    r.SetLink(End(e), 0);
    return;
  }
  HatchPass& pass = *g_hatchPass;
  auto found = pass.linkNumbers.find(item);
  if (found == pass.linkNumbers.end()) {
    pass.linkItems.push_back(item);
    found = pass.linkNumbers.emplace(item, static_cast<int>(pass.linkItems.size())).first;
  }
  r.SetLink(End(e), found->second);
}

const std::vector<int>& RecordsOf(int objectNumber) {
  if (g_hatchPass == nullptr) return kNoRecords;
  const auto found = g_hatchPass->byObject.find(objectNumber);
  return found == g_hatchPass->byObject.end() ? kNoRecords : found->second;
}

// A after B in x, then y order.
bool IsAfter(int ax, int ay, int bx, int by) { return ax > bx || (ax == bx && ay > by); }

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -INT_MAX, INT_MAX));
}

int AddClamped(int a, int b) {
  return ClampToInt(static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b));
}

double Distance(int x1, int y1, int x2, int y2) {
  return Hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
}

std::int64_t FloorDiv(std::int64_t v, std::int64_t d) {
  std::int64_t q = v / d;
  if (v % d != 0 && v < 0) --q;
  return q;
}

// The index of the merge: open records by object number, spacing and the 400-unit cell of
// their start. The starts never move, so the index is built once.
struct MergeKey {
  int object = 0;
  int spacing = 0;
  std::int64_t cx = 0;
  std::int64_t cy = 0;
  bool operator==(const MergeKey&) const = default;
};

struct MergeKeyHash {
  std::size_t operator()(const MergeKey& k) const {
    std::uint64_t h = static_cast<std::uint32_t>(k.object);
    h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(k.spacing);
    h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(k.cx);
    h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(k.cy);
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// Record i absorbs record j when j joins on where i ended (ex, ey).
bool TryAbsorb(std::vector<CLegacySegment>& records, std::size_t i, std::size_t j, int ex, int ey) {
  CLegacySegment& a = records[i];
  CLegacySegment& b = records[j];
  if (b.GetEndState(0) != kEndOpen) return false;
  if (b.GetGroupNumber() != a.GetGroupNumber() || Spacing(b) != Spacing(a)) return false;
  if (std::fabs(a.GetDirection() - b.GetDirection()) > kMergeDirection) return false;
  int sx = 0, sy = 0;
  EndPoint(b, 0, sx, sy);
  if (VectorLength(sx - ex, sy - ey) > kLegacyMergeGap) return false;
  int jx = 0, jy = 0;
  EndPoint(b, 1, jx, jy);
  a.SetEnd(jx, jy);
  b.SetEndState(0, kEndDone);
  b.SetEndState(1, kEndDone);
  return true;
}

// Step 4: each open end is attached to the nearest item within 500; a line serves only the
// end of a record that it is nearer to.
void AttachHatchEnds(CZephDoc& doc, std::vector<CLegacySegment>& records) {
  const int count = doc.GetItemCount();
  for (CLegacySegment& r : records) {
    int points[2][2] = {};
    EndPoint(r, 0, points[0][0], points[0][1]);
    EndPoint(r, 1, points[1][0], points[1][1]);
    CDrawItem* links[2] = {nullptr, nullptr};
    for (int e = 0; e < 2; ++e) {
      if (r.GetEndState(End(e)) != kEndOpen) continue;
      CDrawItem* best = nullptr;
      double bestDistance = 0.0;
      for (int i = 0; i < count; ++i) {
        CDrawItem* item = doc.GetItem(i);
        const double d = item->GetDistanceTo(points[e][0], points[e][1]);
        if (item->GetType() == kItemLine) {
          const double other = item->GetDistanceTo(points[1 - e][0], points[1 - e][1]);
          if (e == 0 ? other < d : other <= d) continue;
        }
        if (best == nullptr || d < bestDistance) {
          best = item;
          bestDistance = d;
        }
      }
      if (best != nullptr && bestDistance <= kAttachDistance) links[e] = best;
    }
    SetLinkItem(r, 0, links[0]);
    SetLinkItem(r, 1, links[1]);
  }
}

// The kind-4 spacing of one group: the smallest non-zero rounded difference of two offsets.
// The offsets are sorted, so for each one only the first later offset far enough away counts.
int SmallestOffsetStep(std::vector<double>& offsets) {
  std::sort(offsets.begin(), offsets.end());
  int best = kNoSpacing;
  std::size_t j = 0;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    j = std::max(j, i + 1);
    while (j < offsets.size() && RoundToInt(offsets[j] - offsets[i]) == 0) ++j;
    if (j == offsets.size()) break;
    best = std::min(best, RoundToInt(offsets[j] - offsets[i]));
  }
  return best;
}

// One hatch line family of the fill being made.
struct Family {
  int spacing = 0;
  double direction = 0.0;
  int kind = 0;
};

// The intersections of the line through (qx, qy) in direction h with the circle: false when
// it misses.
bool MeetCircle(double qx, double qy, double h, double cx, double cy, double r, double& a1,
                double& a2) {
  if (std::fabs(h - kPi / 2) <= kVerticalTolerance ||
      std::fabs(h - 3 * kPi / 2) <= kVerticalTolerance) {
    const double u = qx - cx;
    const double d = r * r - u * u;
    if (!(d >= 0.0)) return false;
    const double v = std::sqrt(d);
    a1 = AngleOf(v, u);
    a2 = AngleOf(-v, u);
    return true;
  }
  // With the centre as origin: y = m x + c.
  const double m = std::tan(h);
  const double c = (qy - cy) + m * (cx - qx);
  const double qa = 1.0 + m * m;
  const double qb = 2.0 * m * c;
  const double qc = c * c - r * r;
  const double d = qb * qb - 4.0 * qa * qc;
  if (!(d >= 0.0) || !std::isfinite(d)) return false;
  const double root = std::sqrt(d);
  const double u1 = (-qb + root) / (2.0 * qa);
  const double u2 = (-qb - root) / (2.0 * qa);
  a1 = AngleOf(m * u1 + c, u1);
  a2 = AngleOf(m * u2 + c, u2);
  return true;
}

// A loop of straight edges whose area is exactly zero.
bool EnclosesNothing(const CBoundaryLoop& loop) {
  int x0 = 0, y0 = 0;
  loop.GetVertex(0, x0, y0);
  __int128 area = 0;
  for (int i = 0; i < loop.GetCount(); ++i) {
    const CFloodEdge* edge = loop.GetEdge(i);
    if (edge->GetKind() != kEdgeLine) return false;
    const std::int64_t ax = static_cast<std::int64_t>(edge->GetStartX()) - x0;
    const std::int64_t ay = static_cast<std::int64_t>(edge->GetStartY()) - y0;
    const std::int64_t bx = static_cast<std::int64_t>(edge->GetEndX()) - x0;
    const std::int64_t by = static_cast<std::int64_t>(edge->GetEndY()) - y0;
    area += static_cast<__int128>(ax) * by - static_cast<__int128>(ay) * bx;
  }
  return area == 0;
}

}  // namespace

void SetHatchRoundLimitForTest(int limit) { g_roundLimitForTest = limit; }

// ---- The steps on the plain record array ----

bool PrepareLegacySegments(std::vector<CLegacySegment>& records) {
  bool worked = false;
  for (CLegacySegment& r : records) {
    int sx = 0, sy = 0, ex = 0, ey = 0;
    EndPoint(r, 0, sx, sy);
    EndPoint(r, 1, ex, ey);
    r.SetLink(0, 0);
    r.SetLink(1, 0);
    if (sx == ex && sy == ey) {
      r.SetEndState(0, kEndDone);
      r.SetEndState(1, kEndDone);
      continue;
    }
    double direction = std::atan2(static_cast<double>(ey) - sy, static_cast<double>(ex) - sx);
    if (direction < 0.0) direction += kPi;
    r.SetDirection(direction);
    r.SetOffset(DistanceToLine(0, 0, sx, sy, ex, ey));
    r.SetEndState(0, kEndOpen);
    r.SetEndState(1, kEndOpen);
    if (Kind(r) == kKindDashed || Kind(r) == kKindWorkedOut) {
      r.SetState(kKindWorkedOut);
      worked = true;
    }
  }
  return worked;
}

int MergeLegacyPiecesByPairs(std::vector<CLegacySegment>& records) {
  int absorbed = 0;
  bool merged = true;
  while (merged) {
    merged = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].GetEndState(0) != kEndOpen) continue;
      int ex = 0, ey = 0;
      EndPoint(records[i], 1, ex, ey);
      for (std::size_t j = 0; j < records.size(); ++j) {
        if (j == i) continue;
        if (TryAbsorb(records, i, j, ex, ey)) {
          ++absorbed;
          merged = true;
        }
      }
    }
  }
  return absorbed;
}

int MergeLegacyPieces(std::vector<CLegacySegment>& records) {
  constexpr std::int64_t cell = kLegacyMergeGap;
  std::unordered_map<MergeKey, std::vector<std::size_t>, MergeKeyHash> starts;
  for (std::size_t j = 0; j < records.size(); ++j) {
    const CLegacySegment& r = records[j];
    if (r.GetEndState(0) != kEndOpen) continue;
    int sx = 0, sy = 0;
    EndPoint(r, 0, sx, sy);
    starts[MergeKey{r.GetGroupNumber(), Spacing(r), FloorDiv(sx, cell), FloorDiv(sy, cell)}]
        .push_back(j);
  }
  int absorbed = 0;
  bool merged = true;
  std::vector<std::size_t> candidates;
  while (merged) {
    merged = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const CLegacySegment& r = records[i];
      if (r.GetEndState(0) != kEndOpen) continue;
      int ex = 0, ey = 0;
      EndPoint(r, 1, ex, ey);
      // A start within 400 of the end lies in the end's cell or one next to it.
      const std::int64_t cx = FloorDiv(ex, cell);
      const std::int64_t cy = FloorDiv(ey, cell);
      candidates.clear();
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
          const auto found =
              starts.find(MergeKey{r.GetGroupNumber(), Spacing(r), cx + dx, cy + dy});
          if (found == starts.end()) continue;
          candidates.insert(candidates.end(), found->second.begin(), found->second.end());
        }
      }
      // In list order, as a pass over every record takes them.
      std::sort(candidates.begin(), candidates.end());
      for (const std::size_t j : candidates) {
        if (j == i) continue;
        if (TryAbsorb(records, i, j, ex, ey)) {
          ++absorbed;
          merged = true;
        }
      }
    }
  }
  return absorbed;
}

void SetLegacyGroupSpacing(std::vector<CLegacySegment>& records) {
  std::vector<std::size_t> group;
  std::vector<double> offsets;
  for (;;) {
    std::size_t first = records.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].GetEndState(0) == kEndOpen && Kind(records[i]) == kKindWorkedOut) {
        first = i;
        break;
      }
    }
    if (first == records.size()) return;
    const int objectNumber = records[first].GetGroupNumber();
    group.clear();
    for (std::size_t i = first; i < records.size(); ++i) {
      const CLegacySegment& r = records[i];
      if (r.GetEndState(0) == kEndOpen && Kind(r) == kKindWorkedOut &&
          r.GetGroupNumber() == objectNumber) {
        group.push_back(i);
      }
    }
    int spacing = kNoSpacing;
    try {
      offsets.clear();
      for (const std::size_t i : group) offsets.push_back(records[i].GetOffset());
      spacing = SmallestOffsetStep(offsets);
    } catch (const std::bad_alloc&) {
      // Without room for the offsets, the old program's guess.
      if (group.size() > 1)
        spacing = ClampToInt(2 * static_cast<std::int64_t>(Spacing(records[first])));
    }
    for (const std::size_t i : group) {
      records[i].SetCode(spacing);
      records[i].SetState(kKindDashed);
    }
  }
}

// ---- The pass ----

void CZephDoc::ConvertLegacySegments() {
  LogScope trace(kLogConvertLegacy);
  std::vector<CLegacySegment>& records = m_legacySegments;
  if (records.empty() || g_hatchPass != nullptr) {
    trace.Exit();
    return;
  }
  int failed = 0;
  HatchPass pass;
  g_hatchPass = &pass;
  try {
    // An inserted drawing's objects were given new numbers; its hatches follow them.
    if (!m_loadNumbers.read.empty()) {
      std::unordered_map<int, int> given;
      for (std::size_t i = 0; i < m_loadNumbers.read.size() && i < m_loadNumbers.given.size();
           ++i) {
        given.emplace(m_loadNumbers.read[i], m_loadNumbers.given[i]);
      }
      for (CLegacySegment& r : records) {
        const auto found = given.find(r.GetGroupNumber());
        if (found != given.end()) r.SetGroupNumber(static_cast<std::int16_t>(found->second));
      }
    }

    // Steps 1 to 3: prepare, join the pieces, work out the spacings.
    const bool worked = PrepareLegacySegments(records);
    MergeLegacyPieces(records);
    pass.drawn.assign(records.size(), 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (IsDoneAtBothEnds(records[i])) pass.drawn[i] = 1;
    }
    if (worked) SetLegacyGroupSpacing(records);
    for (std::size_t i = 0; i < records.size(); ++i) {
      pass.byObject[records[i].GetGroupNumber()].push_back(static_cast<int>(i));
    }
    pass.roundLimit =
        g_roundLimitForTest > 0
            ? g_roundLimitForTest
            : static_cast<int>(std::min<std::size_t>(records.size(), INT_MAX / 4)) * 2 + 16;

    // Steps 4 and 5: attach the ends, bridge the loose ones.
    AttachHatchEnds(*this, records);
    bool loose = false;
    for (const CLegacySegment& r : records) {
      for (int e = 0; e < 2; ++e) {
        if (r.GetEndState(End(e)) != kEndDone && LinkOf(r, e) == nullptr) loose = true;
      }
    }
    if (loose) BridgeLooseHatchEnds();

    // Step 6: one fill per closed outline.
    for (;;) {
      bool open = false;
      for (CLegacySegment& r : records) {
        for (int e = 0; e < 2; ++e) {
          if (r.GetEndState(End(e)) == kEndUsed) r.SetEndState(End(e), kEndDone);
          if (r.GetEndState(End(e)) == kEndOpen) open = true;
        }
      }
      if (!open) break;
      int s = 0, e = 0;
      if (!FindHatchStart(s, e)) break;
      const CLegacySegment& first = records[static_cast<std::size_t>(s)];
      const int objectNumber = first.GetGroupNumber();
      std::unique_ptr<CBoundaryLoop> loop = TraceHatchBoundary(0, s, e);
      if (!loop) {
        ConvertHatchToLines(objectNumber);
        ++failed;
        continue;
      }

      std::vector<Family> families;
      families.push_back(Family{Spacing(first), first.GetDirection(), Kind(first)});
      for (const CLegacySegment& r : records) {
        if (r.GetEndState(0) != kEndUsed && r.GetEndState(1) != kEndUsed) continue;
        bool joined = false;
        for (Family& f : families) {
          if (f.spacing == Spacing(r) &&
              std::fabs(f.direction - r.GetDirection()) <= kFamilyDirection) {
            if (Kind(r) == kKindStaggered && f.kind == kKindDots) f.kind = kKindStaggered;
            joined = true;
            break;
          }
        }
        if (!joined && static_cast<int>(families.size()) < kFamilyLimit) {
          families.push_back(Family{Spacing(r), r.GetDirection(), Kind(r)});
        }
      }

      DrawItemPtr fill = CreateItem(kItemFill);
      std::unique_ptr<CHatchPattern> pattern;
      if (fill) pattern = std::make_unique<CHatchPattern>();
      if (!fill || !pattern) {
        // The hatch is not lost: it stays as lines.
        trace.Step(fill ? 2 : 1, kLogHandled);
        ConvertHatchToLines(objectNumber);
        ++failed;
        continue;
      }
      fill->AttachBoundary(std::move(loop));
      fill->SetColour(first.GetColour());
      fill->SetObjectNumber(static_cast<std::int16_t>(objectNumber));
      fill->SetFillStyle(kFillHatch);
      for (std::size_t i = 0; i < families.size(); ++i) {
        const Family& f = families[i];
        auto line = std::make_unique<CHatchLine>();
        line->SetSpacing(f.spacing);
        if (f.kind == kKindDashed) {
          // The dashes take the other family's spacing; a family on its own takes its own.
          int d = f.spacing;
          if (families.size() > 1) d = i == 0 ? families[1].spacing : families[0].spacing;
          line->SetDashes(d, -static_cast<double>(d));
          line->SetStagger(d);
        } else if (f.kind == kKindDots) {
          line->SetDashes(0.0, -static_cast<double>(f.spacing));
          line->SetStagger(0.0);
        } else if (f.kind == kKindStaggered) {
          line->SetDashes(0.0, -static_cast<double>(f.spacing));
          line->SetStagger(f.spacing / 2);
        }
        line->SetAngle(f.direction);
        line->SetOrigin(0.0, 0.0);
        pattern->AddLine(std::move(line));
      }
      fill->AttachHatchPattern(std::move(pattern));

      int hs = 0, he = 0;
      while (FindHatchHoleStart(*fill->GetBoundary(), objectNumber, hs, he)) {
        std::unique_ptr<CBoundaryLoop> hole = TraceHatchBoundary(1, hs, he);
        if (!hole) break;
        fill->AddHole(std::move(hole));
      }

      const int added = AddItem(fill);
      if (added != 1) {
        fill.reset();
        ConvertHatchToLines(objectNumber);
        ++failed;
        // A list that takes nothing more ends the pass.
        if (added < 0) break;
        continue;
      }
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].GetEndState(0) == kEndUsed || records[i].GetEndState(1) == kEndUsed) {
          pass.drawn[i] = 1;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    trace.Step(3, kLogMemory);
  }

  // Step 7: the temporary lines go, the drawing's own items stay whatever their number. Inside
  // an insert their coming and going is recorded like every other change of the step: the
  // journal's records name list positions, which an unrecorded removal would shift.
  for (int i = GetItemCount() - 1; i >= 0; --i) {
    if (pass.temporaries.count(GetItem(i)) != 0) RemoveItemAt(i);
  }
  g_hatchPass = nullptr;

  if (failed > 0 && GetOptionFlag(kOptionWarnHatchConversionFailure) != 0) {
    if (failed == 1) {
      ShowWarning(kIdsHatchNotConverted);
    } else {
      ShowWarning(kIdsHatchesNotConverted, QString::number(failed));
    }
  }
  LogNumber(failed);
  trace.Exit();
}

int CZephDoc::ConvertHatchToLines(int objectNumber) {
  LogScope trace(kLogHatchToLines);
  std::vector<CLegacySegment>& records = m_legacySegments;
  int added = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    CLegacySegment& r = records[i];
    if (r.GetGroupNumber() != objectNumber) continue;
    int sx = 0, sy = 0, ex = 0, ey = 0;
    EndPoint(r, 0, sx, sy);
    EndPoint(r, 1, ex, ey);
    // A piece absorbed by another, or a record already drawn, needs no line.
    const bool drawn =
        g_hatchPass != nullptr && i < g_hatchPass->drawn.size() && g_hatchPass->drawn[i] != 0;
    if (!drawn && (sx != ex || sy != ey)) {
      DrawItemPtr line = CreateItem(kItemLine);
      if (!line) return trace.Return(added, kLogMemory, 1);
      line->SetStart(sx, sy);
      line->SetEnd(ex, ey);
      line->SetColour(r.GetColour());
      line->SetLineStyle(kLineStyleUnbroken);
      line->SetPenWidth(1);
      line->SetObjectNumber(static_cast<std::int16_t>(objectNumber));
      const int answer = AddItem(line);
      if (answer < 0) return trace.Return(added, kLogMemory, 2);
      if (answer == 0) {
        SetGlitchValue(static_cast<int>(i));
        ReportGlitch(kLogHatchToLines, 1);
        line.reset();
      } else {
        ++added;
      }
      if (g_hatchPass != nullptr && i < g_hatchPass->drawn.size()) g_hatchPass->drawn[i] = 1;
    }
    r.SetEndState(0, kEndDone);
    r.SetEndState(1, kEndDone);
  }
  LogNumber(added);
  return trace.Return(added);
}

bool CZephDoc::FindHatchStart(int& s, int& e) const {
  bool found = false;
  int bestX = 0;
  for (std::size_t i = 0; i < m_legacySegments.size(); ++i) {
    const CLegacySegment& r = m_legacySegments[i];
    for (int end = 0; end < 2; ++end) {
      if (r.GetEndState(End(end)) != kEndOpen) continue;
      int x = 0, y = 0;
      EndPoint(r, end, x, y);
      if (!found || x < bestX) {
        found = true;
        bestX = x;
        s = static_cast<int>(i);
        e = end;
      }
    }
  }
  return found;
}

bool CZephDoc::FindHatchHoleStart(const CBoundaryLoop& loop, int objectNumber, int& s,
                                  int& e) const {
  bool found = false;
  int bestX = 0;
  for (std::size_t i = 0; i < m_legacySegments.size(); ++i) {
    const CLegacySegment& r = m_legacySegments[i];
    if (r.GetGroupNumber() != objectNumber) continue;
    for (int end = 0; end < 2; ++end) {
      if (r.GetEndState(End(end)) != kEndOpen) continue;
      int x = 0, y = 0;
      EndPoint(r, end, x, y);
      if (loop.ContainsPoint(x, y, 0) == 0) continue;
      if (!found || x < bestX) {
        found = true;
        bestX = x;
        s = static_cast<int>(i);
        e = end;
      }
    }
  }
  return found;
}

std::unique_ptr<CBoundaryLoop> CZephDoc::TraceHatchBoundary(int hole, int s0, int e0) {
  std::vector<CLegacySegment>& records = m_legacySegments;
  if (g_hatchPass == nullptr || s0 < 0 || s0 >= static_cast<int>(records.size()) || e0 < 0 ||
      e0 > 1) {
    return nullptr;
  }
  HatchPass& pass = *g_hatchPass;
  auto loop = std::make_unique<CBoundaryLoop>();
  CDrawItem* current = LinkOf(records[static_cast<std::size_t>(s0)], e0);
  int s = s0;
  int e = e0;
  pass.startS = s0;
  pass.startE = e0;
  bool closed = false;
  // Every round moves on to another item of the outline; an outline that takes more rounds
  // than there are segment ends goes round in circles and is given up.
  for (int round = 0; round < pass.roundLimit && !closed; ++round) {
    const int previousS = s;
    const int previousE = e;
    WalkHatchEnds(s, e);
    CDrawItem* next = nullptr;
    if (HopToNextBoundary(s, e)) {
      records[static_cast<std::size_t>(s)].SetEndState(End(e), kEndUsed);
      next = LinkOf(records[static_cast<std::size_t>(s)], e);
      if (next == nullptr) break;
    } else {
      CDrawItem* bridge = BridgeHatchGap(s, e, previousS, previousE);
      if (bridge == nullptr || current == nullptr) break;
      if (current->IntersectWith(bridge) < 1) break;
      const int x = g_intersectX[0];
      const int y = g_intersectY[0];
      if (loop->AddEdge(x, y, bridge, kDirectionDown, kEdgeCode) == 0) break;
      records[static_cast<std::size_t>(s)].SetEndState(End(e), kEndUsed);
      current = bridge;
      next = LinkOf(records[static_cast<std::size_t>(s)], e);
      if (next == nullptr) break;
    }
    if (current == nullptr || current->IntersectWith(next) < 1) break;
    const int x = g_intersectX[0];
    const int y = g_intersectY[0];
    int px = 0, py = 0;
    EndPoint(records[static_cast<std::size_t>(s)], e, px, py);
    if (loop->AddEdge(x, y, next, next->GetDirectionCode(x, y, px, py), kEdgeCode) == 0) break;
    if (s == s0 && e == e0) {
      closed = true;
    } else {
      current = next;
    }
  }
  pass.startS = -1;
  pass.startE = -1;
  if (!closed || loop->GetCount() == 0) return nullptr;
  loop->JoinEnds();
  // An outline that encloses nothing (straight edges there and back) bounds no fill.
  if (loop->IsValid() == 0 || EnclosesNothing(*loop)) return nullptr;
  const int sense = loop->GetSense();
  if ((hole == 0 && sense != 0) || (hole != 0 && sense == 0)) loop->Reverse();
  return loop;
}

void CZephDoc::WalkHatchEnds(int& s, int& e) {
  std::vector<CLegacySegment>& records = m_legacySegments;
  if (g_hatchPass == nullptr || s < 0 || s >= static_cast<int>(records.size())) return;
  const HatchPass& pass = *g_hatchPass;
  const CLegacySegment& from = records[static_cast<std::size_t>(s)];
  const CDrawItem* item = LinkOf(from, e);
  const double h = from.GetDirection();
  const std::vector<int>& hatch = RecordsOf(from.GetGroupNumber());
  int px = 0, py = 0;
  EndPoint(from, e, px, py);
  for (int step = 0; step < pass.roundLimit; ++step) {
    int bestS = -1;
    int bestE = 0;
    double best = 0.0;
    for (const int k : hatch) {
      const CLegacySegment& r = records[static_cast<std::size_t>(k)];
      for (int f = 0; f < 2; ++f) {
        if ((k == s && f == e) || r.GetEndState(End(f)) != kEndOpen || LinkOf(r, f) != item)
          continue;
        // The end the outline must come back to.
        if (k == pass.startS && f == pass.startE) continue;
        int x = 0, y = 0;
        EndPoint(r, f, x, y);
        const double d = Distance(px, py, x, y);
        if (!(d > 0.0)) continue;
        if (bestS < 0 || d < best) {
          bestS = k;
          bestE = f;
          best = d;
        }
      }
    }
    if (bestS < 0) return;
    CLegacySegment& r = records[static_cast<std::size_t>(bestS)];
    int x = 0, y = 0;
    EndPoint(r, bestE, x, y);
    const double a = std::atan2(static_cast<double>(y) - py, static_cast<double>(x) - px);
    if (a == h ||
        std::fabs(best * std::sin(a - h)) > static_cast<double>(Spacing(r)) + kWalkSlack) {
      return;
    }
    r.SetEndState(End(bestE), kEndUsed);
    s = bestS;
    e = bestE;
    px = x;
    py = y;
  }
}

bool CZephDoc::HopToNextBoundary(int& s, int& e) {
  std::vector<CLegacySegment>& records = m_legacySegments;
  if (g_hatchPass == nullptr || s < 0 || s >= static_cast<int>(records.size())) return false;
  const CLegacySegment& from = records[static_cast<std::size_t>(s)];
  CDrawItem* a = LinkOf(from, e);
  int px = 0, py = 0;
  EndPoint(from, e, px, py);
  const std::vector<int>& hatch = RecordsOf(from.GetGroupNumber());
  bool repeated = false;
  bool moved = false;
  // Every repetition leaves at least one end out, so the ends bound it.
  for (int tries = 0; tries < g_hatchPass->roundLimit; ++tries) {
    int bestS = -1;
    int bestE = 0;
    double best = 0.0;
    for (const int k : hatch) {
      const CLegacySegment& r = records[static_cast<std::size_t>(k)];
      for (int f = 0; f < 2; ++f) {
        if ((k == s && f == e) || r.GetEndState(End(f)) != kEndOpen) continue;
        const CDrawItem* b = LinkOf(r, f);
        if (b == nullptr || b == a) continue;
        int x = 0, y = 0;
        EndPoint(r, f, x, y);
        const double d = Distance(px, py, x, y);
        if (bestS < 0 || d < best) {
          bestS = k;
          bestE = f;
          best = d;
        }
      }
    }
    if (bestS < 0) break;
    CDrawItem* b = LinkOf(records[static_cast<std::size_t>(bestS)], bestE);
    const int count = a != nullptr ? a->IntersectWith(b) : 0;
    const int x = count > 0 ? g_intersectX[0] : 0;
    const int y = count > 0 ? g_intersectY[0] : 0;
    if (count < 1 || !IsNearHatchEnd(s, e, x, y)) {
      ExcludeEndsLinkedTo(b);
      repeated = true;
      continue;
    }
    if (!IsNearHatchEnd(bestS, bestE, x, y)) {
      records[static_cast<std::size_t>(bestS)].SetEndState(End(bestE), kEndSkipped);
      repeated = true;
      continue;
    }
    // The end on the new item nearest to the corner (of equal distances the later one).
    int nearS = bestS;
    int nearE = bestE;
    double nearest = 0.0;
    bool any = false;
    for (const int k : hatch) {
      const CLegacySegment& r = records[static_cast<std::size_t>(k)];
      for (int f = 0; f < 2; ++f) {
        if (r.GetEndState(End(f)) != kEndOpen || LinkOf(r, f) != b) continue;
        int ex = 0, ey = 0;
        EndPoint(r, f, ex, ey);
        const double d = Distance(x, y, ex, ey);
        if (!any || d <= nearest) {
          any = true;
          nearS = k;
          nearE = f;
          nearest = d;
        }
      }
    }
    s = nearS;
    e = nearE;
    moved = true;
    break;
  }
  if (repeated) {
    for (CLegacySegment& r : records) {
      for (int f = 0; f < 2; ++f) {
        if (r.GetEndState(End(f)) == kEndSkipped) r.SetEndState(End(f), kEndOpen);
      }
    }
  }
  return moved;
}

void CZephDoc::ExcludeEndsLinkedTo(const CDrawItem* item) {
  for (CLegacySegment& r : m_legacySegments) {
    for (int f = 0; f < 2; ++f) {
      if (r.GetEndState(End(f)) == kEndOpen && LinkOf(r, f) == item) {
        r.SetEndState(End(f), kEndSkipped);
      }
    }
  }
}

bool CZephDoc::IsNearHatchEnd(int s, int e, int x, int y) const {
  if (s < 0 || s >= static_cast<int>(m_legacySegments.size())) return false;
  const CLegacySegment& r = m_legacySegments[static_cast<std::size_t>(s)];
  const CDrawItem* link = LinkOf(r, e);
  if (link == nullptr) return false;
  int px = 0, py = 0;
  EndPoint(r, e, px, py);
  if (link->GetType() == kItemLine) {
    int dx = 0, dy = 0;
    if (!GetHatchStepOnLine(s, e, dx, dy)) return false;
    return DistanceToSegment(x, y, AddClamped(px, -dx), AddClamped(py, -dy), AddClamped(px, dx),
                             AddClamped(py, dy)) <= kNearEndDistance;
  }
  if (link->GetType() == kItemArc) {
    double low = 0.0, high = 0.0;
    if (!GetHatchArcRange(s, e, low, high)) return false;
    double cx = 0.0, cy = 0.0, radius = 0.0;
    link->GetCircle(cx, cy, radius);
    const double angle = AngleOf(y - cy, x - cx);
    return angle >= low - kArcRangeMargin && angle <= high + kArcRangeMargin;
  }
  return false;
}

bool CZephDoc::GetHatchStepOnLine(int s, int e, int& dx, int& dy) const {
  if (s < 0 || s >= static_cast<int>(m_legacySegments.size())) return false;
  const CLegacySegment& r = m_legacySegments[static_cast<std::size_t>(s)];
  const CDrawItem* link = LinkOf(r, e);
  if (link == nullptr || link->GetType() != kItemLine) return false;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  link->GetStart(x1, y1);
  link->GetEnd(x2, y2);
  const double a = std::atan2(static_cast<double>(y2) - y1, static_cast<double>(x2) - x1);
  const double h = r.GetDirection();
  if (a == h) return false;
  const double length = std::fabs(Spacing(r) / std::sin(a - h));
  dx = ClampToInt(RoundToInt(std::cos(a) * length));
  dy = ClampToInt(RoundToInt(std::sin(a) * length));
  if (dx < 0) {
    dx = -dx;
    dy = -dy;
  } else if (dx == 0 && dy < 0) {
    dy = -dy;
  }
  return true;
}

bool CZephDoc::GetHatchArcRange(int s, int e, double& low, double& high) const {
  if (s < 0 || s >= static_cast<int>(m_legacySegments.size())) return false;
  const CLegacySegment& r = m_legacySegments[static_cast<std::size_t>(s)];
  const CDrawItem* link = LinkOf(r, e);
  if (link == nullptr || link->GetType() != kItemArc) return false;
  double cx = 0.0, cy = 0.0, radius = 0.0;
  link->GetCircle(cx, cy, radius);
  int px = 0, py = 0;
  EndPoint(r, e, px, py);
  const double theta = AngleOf(py - cy, px - cx);
  const double h = r.GetDirection();
  const double spacing = Spacing(r);
  const int vx = RoundToInt(std::sin(h) * spacing);
  const int vy = -RoundToInt(std::cos(h) * spacing);
  auto lower = [theta](double angle) {
    return theta < kPi / 2 && angle > 3 * kPi / 2 ? angle - 2 * kPi : angle;
  };
  double ends[2] = {0.0, 0.0};
  for (int side = 0; side < 2; ++side) {
    const double sign = side == 0 ? 1.0 : -1.0;
    double a1 = 0.0, a2 = 0.0;
    bool nearer = true;
    if (!MeetCircle(px + sign * vx, py + sign * vy, h, cx, cy, radius, a1, a2)) {
      // The segment's own line stands in for a neighbour beyond the arc.
      if (!MeetCircle(px, py, h, cx, cy, radius, a1, a2)) return false;
      nearer = false;
    }
    a1 = lower(a1);
    a2 = lower(a2);
    const bool firstNearer = std::fabs(a1 - theta) <= std::fabs(a2 - theta);
    ends[side] = firstNearer == nearer ? a1 : a2;
  }
  low = ends[0];
  high = ends[1];
  if (high < low) std::swap(low, high);
  return true;
}

// ---- Temporary lines ----

namespace {

// A temporary line of the pass, listed in the drawing (without an undo record: it never
// outlives the pass); null when it cannot be made or the document refuses it. adjust may
// change it before it is listed.
CDrawItem* AddTemporaryLine(CZephDoc& doc, int x1, int y1, int x2, int y2,
                            const CDrawItem* cutBy = nullptr, bool* cut = nullptr) {
  if (g_hatchPass == nullptr) return nullptr;
  DrawItemPtr line = CreateItem(kItemLine);
  if (!line) return nullptr;
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(kLineStyleUnbroken);
  line->SetPenWidth(1);
  line->SetObjectNumber(static_cast<std::int16_t>(kObjectNumberConversion));
  if (cut != nullptr) {
    *cut = false;
    // The line ends where it meets cutBy, when it meets it just once.
    if (cutBy != nullptr && line->IntersectWith(const_cast<CDrawItem*>(cutBy)) == 1) {
      line->SetEnd(g_intersectX[0], g_intersectY[0]);
      *cut = true;
    }
  }
  CDrawItem* raw = line.get();
  g_hatchPass->temporaries.insert(raw);
  const int added = doc.AddItem(line);
  if (added != 1) {
    g_hatchPass->temporaries.erase(raw);
    return nullptr;
  }
  return raw;
}

// Moves (x, y) by (vx, vy): to the handle nearest to that stretch when one lies within 400 of
// it, else half way, then onto the item when one is named.
void MovePoint(const CZephDoc& doc, int& x, int& y, int vx, int vy, const CDrawItem* onto) {
  const std::unordered_set<const CDrawItem*>* ignored =
      g_hatchPass != nullptr ? &g_hatchPass->temporaries : nullptr;
  if (doc.SnapToNearestHandle(x, y, AddClamped(x, vx), AddClamped(y, vy), ignored) != 0) return;
  x = AddClamped(x, vx / 2);
  y = AddClamped(y, vy / 2);
  if (onto != nullptr) onto->ProjectPoint(x, y);
}

}  // namespace

CDrawItem* CZephDoc::BridgeHatchGap(int& s, int& e, int previousS, int previousE) {
  std::vector<CLegacySegment>& records = m_legacySegments;
  const int count = static_cast<int>(records.size());
  if (g_hatchPass == nullptr || s < 0 || s >= count || previousS < 0 || previousS >= count) {
    return nullptr;
  }
  const CLegacySegment& rs = records[static_cast<std::size_t>(s)];
  CDrawItem* a = LinkOf(rs, e);
  int px = 0, py = 0;
  EndPoint(rs, e, px, py);
  const int otherEnd = 1 - e;
  int ex = 0, ey = 0;
  EndPoint(rs, otherEnd, ex, ey);
  int tx = 0, ty = 0;
  if (!GetHatchStepOnLine(s, e, tx, ty)) return nullptr;
  // The step points onwards, away from where the outline came from.
  int qx = 0, qy = 0;
  EndPoint(records[static_cast<std::size_t>(previousS)], previousE, qx, qy);
  const bool backwards = IsAfter(qx, qy, px, py);
  const int sign = backwards ? -1 : 1;
  tx *= sign;
  ty *= sign;
  // Where the next hatch line should meet the boundary.
  const int nextX = AddClamped(px, tx);
  const int nextY = AddClamped(py, ty);
  const std::vector<int>& hatch = RecordsOf(rs.GetGroupNumber());

  // 1. The hatch line that carries on from there.
  int k = -1;
  double bestLine = 0.0;
  double bestSegment = 0.0;
  for (const int j : hatch) {
    const CLegacySegment& r = records[static_cast<std::size_t>(j)];
    if (LinkOf(r, e) == a || IsDoneAtBothEnds(r)) continue;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    EndPoint(r, 0, x1, y1);
    EndPoint(r, 1, x2, y2);
    const double line = DistanceToLine(nextX, nextY, x1, y1, x2, y2);
    const double segment = DistanceToSegment(nextX, nextY, x1, y1, x2, y2);
    if (segment > kBridgeReach && r.GetEndState(End(e)) != kEndOpen) continue;
    if (k < 0 || line < bestLine - kBridgeTie ||
        (std::fabs(line - bestLine) <= kBridgeTie && segment < bestSegment)) {
      k = j;
      bestLine = line;
      bestSegment = segment;
    }
  }

  // 2. No hatch line carries on: across to this line's other end.
  if (k < 0 || bestLine > kBridgeReach) {
    if (rs.GetEndState(End(otherEnd)) != kEndOpen) return nullptr;
    int ux = 0, uy = 0;
    if (!GetHatchStepOnLine(s, otherEnd, ux, uy)) return nullptr;
    MovePoint(*this, px, py, tx, ty, nullptr);
    MovePoint(*this, ex, ey, ux * sign, uy * sign, nullptr);
    CDrawItem* line = AddTemporaryLine(*this, px, py, ex, ey);
    if (line == nullptr) return nullptr;
    e = otherEnd;
    return line;
  }

  // 3. Across to hatch line k.
  const CLegacySegment& rk = records[static_cast<std::size_t>(k)];
  CDrawItem* b = LinkOf(rk, e);
  int kx = 0, ky = 0;
  EndPoint(rk, e, kx, ky);
  const bool reachesNext = bestSegment <= kBridgeReach;
  if (!reachesNext && b == nullptr) {
    // k's end touches nothing: the line stops at the item k's other end (or ours) is on.
    MovePoint(*this, px, py, tx, ty, a);
    CDrawItem* b2 = LinkOf(rk, 1 - e);
    if (b2 == nullptr) b2 = LinkOf(rs, otherEnd);
    if (b2 == nullptr || b2->IntersectSegment(px, py, kx, ky) < 1) return nullptr;
    CDrawItem* line = AddTemporaryLine(*this, px, py, g_intersectX[0], g_intersectY[0]);
    if (line == nullptr) return nullptr;
    records[static_cast<std::size_t>(k)].SetEndState(End(e), kEndUsed);
    s = k;
    e = 1 - e;
    return line;
  }
  if (reachesNext) {
    // A hatch line beyond an island in the boundary: the record m nearest to P on its far
    // side.
    const bool pAfterE = IsAfter(px, py, ex, ey);
    int m = -1;
    double nearest = 0.0;
    for (const int j : hatch) {
      if (j == s) continue;
      const CLegacySegment& r = records[static_cast<std::size_t>(j)];
      if (IsDoneAtBothEnds(r)) continue;
      int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      EndPoint(r, 0, x1, y1);
      EndPoint(r, 1, x2, y2);
      if (IsAfter(x1, y1, px, py) != pAfterE) continue;
      const double d = DistanceToLine(px, py, x1, y1, x2, y2);
      if (m < 0 || d < nearest) {
        m = j;
        nearest = d;
      }
    }
    if (m >= 0 && nearest < kBridgeReach) {
      int fx = 0, fy = 0;
      EndPoint(records[static_cast<std::size_t>(m)], otherEnd, fx, fy);
      int ux = 0, uy = 0;
      if (!GetHatchStepOnLine(m, otherEnd, ux, uy)) return nullptr;
      MovePoint(*this, px, py, tx, ty, a);
      MovePoint(*this, fx, fy, ux * sign, uy * sign,
                LinkOf(records[static_cast<std::size_t>(m)], otherEnd));
      bool cut = false;
      CDrawItem* line = AddTemporaryLine(*this, px, py, fx, fy, b, &cut);
      if (line == nullptr) return nullptr;
      if (cut) {
        s = k;
      } else {
        s = m;
        e = otherEnd;
      }
      return line;
    }
    if (b == nullptr) return nullptr;
  }
  // Back from k's end along the item it is on.
  int ux = 0, uy = 0;
  if (!GetHatchStepOnLine(k, e, ux, uy)) return nullptr;
  MovePoint(*this, px, py, tx, ty, a);
  MovePoint(*this, kx, ky, -ux * sign, -uy * sign, b);
  CDrawItem* line = AddTemporaryLine(*this, px, py, kx, ky);
  if (line == nullptr) return nullptr;
  s = k;
  return line;
}

void CZephDoc::BridgeLooseHatchEnds() {
  if (g_hatchPass == nullptr) return;
  std::vector<CLegacySegment>& records = m_legacySegments;
  struct LooseEnd {
    int s;
    int e;
  };
  std::vector<LooseEnd> ends;
  std::vector<std::uint8_t> marked;
  std::vector<std::size_t> row;
  try {
    for (std::size_t i = 0; i < records.size(); ++i) {
      for (int e = 0; e < 2; ++e) {
        const CLegacySegment& r = records[i];
        if (r.GetEndState(End(e)) != kEndDone && LinkOf(r, e) == nullptr) {
          ends.push_back(LooseEnd{static_cast<int>(i), e});
        }
      }
    }
    marked.assign(ends.size(), 0);
  } catch (const std::bad_alloc&) {
    return;
  }
  if (ends.size() < 3) return;
  auto point = [&](std::size_t i, int& x, int& y) {
    EndPoint(records[static_cast<std::size_t>(ends[i].s)], ends[i].e, x, y);
  };
  std::size_t first = 0;
  for (;;) {
    while (first < ends.size() && marked[first] != 0) ++first;
    if (first == ends.size()) return;
    const std::size_t c = first;
    marked[c] = 1;
    row.clear();
    row.push_back(c);
    const CLegacySegment& rc = records[static_cast<std::size_t>(ends[c].s)];
    const double h = rc.GetDirection();
    const int objectNumber = rc.GetGroupNumber();
    const double spacing = Spacing(rc);
    int count = 0;
    double a0 = 0.0;
    bool stray = false;
    // Extends the row from c's point, end by end, along one line across the hatch.
    auto extend = [&]() {
      int px = 0, py = 0;
      point(c, px, py);
      std::size_t last = c;
      bool again = true;
      while (again) {
        again = false;
        for (std::size_t k = 0; k < ends.size(); ++k) {
          if (marked[k] != 0 || ends[k].e != ends[c].e) continue;
          const CLegacySegment& rk = records[static_cast<std::size_t>(ends[k].s)];
          if (rk.GetGroupNumber() != objectNumber) continue;
          int kx = 0, ky = 0;
          point(k, kx, ky);
          double a = std::atan2(static_cast<double>(ky) - py, static_cast<double>(kx) - px);
          if (a < 0.0) a += kPi;
          if (count > 0 && std::fabs(a - a0) > kLooseDirection) continue;
          if (std::fabs(rk.GetDirection() - h) > kLooseDirection) {
            stray = true;
            continue;
          }
          const double across =
              std::fabs(std::sin(a - rk.GetDirection()) * Distance(px, py, kx, ky));
          if (across - spacing < kLooseSlack) {
            if (count == 0) a0 = a;
            ++count;
            marked[k] = 1;
            row.push_back(k);
            last = k;
            px = kx;
            py = ky;
            again = true;
            break;
          }
        }
      }
      return last;
    };
    const std::size_t far = extend();
    if (count == 0) continue;
    const std::size_t near = extend();
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    point(near, x1, y1);
    point(far, x2, y2);
    // One hatch spacing beyond each end of the row, or the handle there.
    const double a = std::atan2(static_cast<double>(y2) - y1, static_cast<double>(x2) - x1);
    const double step = Distance(x1, y1, x2, y2) / count;
    const int vx = RoundToInt(std::cos(a) * step);
    const int vy = RoundToInt(std::sin(a) * step);
    const auto* ignored = &g_hatchPass->temporaries;
    if (SnapToNearestHandle(x2, y2, AddClamped(x2, vx), AddClamped(y2, vy), ignored) == 0) {
      x2 = AddClamped(x2, vx);
      y2 = AddClamped(y2, vy);
    }
    if (SnapToNearestHandle(x1, y1, AddClamped(x1, -vx), AddClamped(y1, -vy), ignored) == 0) {
      x1 = AddClamped(x1, -vx);
      y1 = AddClamped(y1, -vy);
    }
    if (stray) {
      for (std::size_t k = 0; k < ends.size(); ++k) {
        if (marked[k] != 0) continue;
        int kx = 0, ky = 0;
        point(k, kx, ky);
        if (DistanceToSegment(kx, ky, x2, y2, x1, y1) <= kStrayDistance) {
          marked[k] = 1;
          row.push_back(k);
        }
      }
    }
    CDrawItem* line = AddTemporaryLine(*this, x1, y1, x2, y2);
    if (line == nullptr) return;
    for (const std::size_t k : row) {
      SetLinkItem(records[static_cast<std::size_t>(ends[k].s)], ends[k].e, line);
    }
  }
}
