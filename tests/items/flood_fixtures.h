#pragma once
// Boundary edges and loops built in code for the edge, loop and rendering tests.
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "items/boundaryloop.h"
#include "items/floodedge.h"

namespace flood_test {

struct Pt {
  int x = 0;
  int y = 0;
};

inline std::unique_ptr<CLineEdge> Line(Pt a, Pt b) {
  auto edge = std::make_unique<CLineEdge>();
  edge->SetStart(a.x, a.y);
  edge->SetEnd(b.x, b.y);
  return edge;
}

// direction: 1 counter-clockwise, 0 clockwise.
inline std::unique_ptr<CArcEdge> Arc(Pt a, Pt b, double cx, double cy, double radius,
                                     int direction) {
  auto edge = std::make_unique<CArcEdge>();
  edge->SetStart(a.x, a.y);
  edge->SetEnd(b.x, b.y);
  edge->SetArcCentre(cx, cy);
  edge->SetRadius(radius);
  edge->SetDirection(static_cast<std::int16_t>(direction));
  return edge;
}

inline std::unique_ptr<CEllipseEdge> Ellipse(Pt a, Pt b, double cx, double cy, double rx, double ry,
                                             double rotation, int direction) {
  auto edge = std::make_unique<CEllipseEdge>();
  edge->SetStart(a.x, a.y);
  edge->SetEnd(b.x, b.y);
  edge->SetEllipseCentre(cx, cy);
  edge->SetRadii(rx, ry);
  edge->SetRotation(rotation);
  edge->SetDirection(static_cast<std::int16_t>(direction));
  return edge;
}

// The piece from a to b of the curve p0, c0, c1, p3.
inline std::unique_ptr<CBezierEdge> Bezier(Pt a, Pt b, Pt p0, double c0x, double c0y, double c1x,
                                           double c1y, Pt p3) {
  auto edge = std::make_unique<CBezierEdge>();
  edge->SetStart(a.x, a.y);
  edge->SetEnd(b.x, b.y);
  edge->SetCurveStart(p0.x, p0.y);
  edge->SetCurveEnd(p3.x, p3.y);
  edge->SetControlPoint(0, c0x, c0y);
  edge->SetControlPoint(1, c1x, c1y);
  return edge;
}

// A loop of the edges, joined.
inline std::unique_ptr<CBoundaryLoop> LoopOf(std::vector<std::unique_ptr<CFloodEdge>> edges) {
  auto loop = std::make_unique<CBoundaryLoop>();
  for (auto& edge : edges) loop->Append(std::move(edge));
  loop->JoinEnds();
  return loop;
}

// A polygon of line edges through the vertices in order.
inline std::unique_ptr<CBoundaryLoop> Polygon(std::initializer_list<Pt> vertices) {
  std::vector<std::unique_ptr<CFloodEdge>> edges;
  for (const Pt& p : vertices) edges.push_back(Line(p, p));
  return LoopOf(std::move(edges));
}

template <typename... E>
std::vector<std::unique_ptr<CFloodEdge>> Edges(std::unique_ptr<E>... edges) {
  std::vector<std::unique_ptr<CFloodEdge>> list;
  (list.push_back(std::move(edges)), ...);
  return list;
}

// The scan crossings of a loop as a list.
inline std::vector<int> Spans(const CBoundaryLoop& loop, int y, int inclusive) {
  std::vector<int> xs(static_cast<std::size_t>(loop.GetMaxCrossings()) + 1, -999);
  const int n = loop.GetScanCrossings(y, xs.data(), inclusive);
  xs.resize(static_cast<std::size_t>(n));
  return xs;
}

}  // namespace flood_test
