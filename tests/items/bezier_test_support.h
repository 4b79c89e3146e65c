#pragma once
// What the curve tests share: a document that records what items ask of it and keeps a real
// intersection cache, stand-ins for the circle and the arc (read only through the getters the
// intersection routines use), and curve makers.
#include <cmath>
#include <memory>
#include <vector>

#include "items/bezieritem.h"
#include "items/drawitem.h"
#include "items/intersect.h"
#include "items/itemdocument.h"
#include "support/constants.h"

namespace curvetest {

class CCurveTestDocument final : public IItemDocument {
 public:
  struct Record {
    UndoKind kind{};
    int dx = 0;
    int dy = 0;
  };
  std::int16_t recordAnswer = 1;
  std::vector<Record> records;
  int changedCount = 0;
  int undoOn = 1;
  std::vector<int> enableUndoCalls;
  std::vector<ItemSerial> drops;
  CIntersectionCacheList cache;
  int findCalls = 0;

  std::int16_t RecordItemChange(UndoKind kind, CDrawItem*) override {
    records.push_back({kind, 0, 0});
    return undoOn != 0 ? recordAnswer : std::int16_t{0};
  }
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem*, int dx, int dy) override {
    records.push_back({kind, dx, dy});
    return undoOn != 0 ? recordAnswer : std::int16_t{0};
  }
  int EnableUndo(int on) override {
    enableUndoCalls.push_back(on);
    const int previous = undoOn;
    undoOn = on;
    return previous;
  }
  void MarkChanged() override { ++changedCount; }
  void DropCachedIntersections(const CDrawItem* item) override {
    drops.push_back(item->GetSerial());
    cache.Drop(item->GetSerial());
  }
  int FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) override {
    ++findCalls;
    return cache.Find(a->GetSerial(), b->GetSerial());
  }
  void CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) override {
    cache.Add(count, a->GetSerial(), b->GetSerial());
  }
  int MapGroupNumber(int group) override { return group; }
  int GetFillOrder(const CDrawItem*, int&, int&) const override { return 0; }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return 0.0; }
  double GetAutomaticPrintScale() const override { return 1.0; }
  double GetRealWorldScale() const override { return 1.0; }
};

// A circle as the intersection routines see it: integer centre and radius.
class CTestCircle final : public CDrawItem {
 public:
  CTestCircle(int cx, int cy, int r) : CDrawItem(kItemCircle), m_cx(cx), m_cy(cy), m_r(r) {}
  void GetCentre(int& x, int& y) const override {
    x = m_cx;
    y = m_cy;
  }
  int GetRadius() const override { return m_r; }
  int IntersectWith(CDrawItem* other) override { return other->IntersectWith(this); }
  void MoveBy(int dx, int dy) override {
    m_cx += dx;
    m_cy += dy;
    if (GetDocument() != nullptr) GetDocument()->DropCachedIntersections(this);
  }

 private:
  int m_cx;
  int m_cy;
  int m_r;
};

// A counter-clockwise arc from its start to its end about (cx, cy), ends rounded.
class CTestArc final : public CDrawItem {
 public:
  CTestArc(double cx, double cy, double r, double startAngle, double endAngle)
      : CDrawItem(kItemArc), m_cx(cx), m_cy(cy), m_r(r) {
    m_sx = static_cast<int>(std::lround(cx + r * std::cos(startAngle)));
    m_sy = static_cast<int>(std::lround(cy + r * std::sin(startAngle)));
    m_ex = static_cast<int>(std::lround(cx + r * std::cos(endAngle)));
    m_ey = static_cast<int>(std::lround(cy + r * std::sin(endAngle)));
  }
  void GetCircle(double& cx, double& cy, double& r) const override {
    cx = m_cx;
    cy = m_cy;
    r = m_r;
  }
  void GetStart(int& x, int& y) const override {
    x = m_sx;
    y = m_sy;
  }
  void GetEnd(int& x, int& y) const override {
    x = m_ex;
    y = m_ey;
  }
  void SetEnds(int sx, int sy, int ex, int ey) {
    m_sx = sx;
    m_sy = sy;
    m_ex = ex;
    m_ey = ey;
  }
  int IntersectWith(CDrawItem* other) override { return other->IntersectWith(this); }

 private:
  double m_cx;
  double m_cy;
  double m_r;
  int m_sx = 0;
  int m_sy = 0;
  int m_ex = 0;
  int m_ey = 0;
};

// An item with no outline (a text's type code).
class CTestText final : public CDrawItem {
 public:
  CTestText() : CDrawItem(kItemText) {}
};

inline std::unique_ptr<CBezierItem> MakeCurve(int sx, int sy, double c1x, double c1y, double c2x,
                                              double c2y, int ex, int ey) {
  auto curve = std::make_unique<CBezierItem>();
  curve->SetStart(sx, sy);
  curve->SetEnd(ex, ey);
  curve->SetControlPoint(0, c1x, c1y);
  curve->SetControlPoint(1, c2x, c2y);
  curve->SetPenWidth(1);
  return curve;
}

struct PointD {
  double x;
  double y;
};

// The curve's points at n + 1 even parameter steps: the dense reference of the tests.
inline std::vector<PointD> DenseSamples(const CDrawItem& curve, int n) {
  std::vector<PointD> points;
  points.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    const double t = static_cast<double>(i) / n;
    points.push_back({curve.GetXAt(t), curve.GetYAt(t)});
  }
  return points;
}

// The distance from (x, y) to the dense polyline of the samples.
inline double DistanceToPolyline(const std::vector<PointD>& line, double x, double y) {
  double best = 1e300;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const double dx = line[i + 1].x - line[i].x;
    const double dy = line[i + 1].y - line[i].y;
    const double n = dx * dx + dy * dy;
    double u = n > 0 ? ((x - line[i].x) * dx + (y - line[i].y) * dy) / n : 0.0;
    u = u < 0 ? 0 : (u > 1 ? 1 : u);
    best = std::min(best, std::hypot(x - line[i].x - u * dx, y - line[i].y - u * dy));
  }
  return best;
}

}  // namespace curvetest
