#include "document/itemcells.h"

#include <algorithm>
#include <cmath>

#include "items/drawitem.h"
#include "items/geometry.h"

namespace {

constexpr double kTwoPi = 6.283185307179586476925;
// Pieces a whole turn is cut into at least, and at most.
constexpr int kMinTurnPieces = 8;
constexpr int kMaxTurnPieces = 4096;

bool Finite(double v) { return std::isfinite(v); }

// How many pieces of about `piece` length a curve of `length` is cut into, within the bounds.
int PieceCount(double length, double piece, int least, int most) {
  if (!(piece > 0.0) || !Finite(length)) return most;
  const double n = std::ceil(length / piece);
  if (!(n < most)) return most;
  return std::max(least, static_cast<int>(n));
}

// Calls piece(x1, y1, x2, y2, stray) for a chain of straight pieces that follows the item's
// curve, where stray bounds how far the curve leaves each piece; and point(x, y) for the centre
// of a circle or an ellipse. False (nothing called) for other kinds and for values that are
// not finite.
template <typename Piece, typename Point>
bool FollowCurve(const CDrawItem& item, double pieceLength, Piece&& piece, Point&& point) {
  switch (item.GetType()) {
    case kItemLine: {
      int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      item.GetStart(x1, y1);
      item.GetEnd(x2, y2);
      piece(x1, y1, x2, y2, 0.0);
      return true;
    }
    case kItemCircle:
    case kItemArc: {
      double cx = 0.0, cy = 0.0, r = 0.0;
      double from = 0.0;
      double sweep = kTwoPi;
      if (item.GetType() == kItemCircle) {
        int x = 0, y = 0;
        item.GetCentre(x, y);
        cx = x;
        cy = y;
        r = item.GetRadius();
      } else {
        item.GetCircle(cx, cy, r);
        int sx = 0, sy = 0, ex = 0, ey = 0;
        item.GetStart(sx, sy);
        item.GetEnd(ex, ey);
        from = std::atan2(sy - cy, sx - cx);
        sweep = std::atan2(ey - cy, ex - cx) - from;
        // Counter-clockwise from start to end.
        while (sweep <= 0.0) sweep += kTwoPi;
        while (sweep > kTwoPi) sweep -= kTwoPi;
      }
      r = std::fabs(r);
      if (!Finite(cx) || !Finite(cy) || !Finite(r) || !Finite(from) || !Finite(sweep)) return false;
      const int turn = PieceCount(kTwoPi * r, pieceLength, kMinTurnPieces, kMaxTurnPieces);
      const int n = std::max(1, static_cast<int>(std::ceil(turn * sweep / kTwoPi)));
      const double step = sweep / n;
      const double stray = r * (1.0 - std::cos(step / 2.0)) + 1e-9 * r;
      double px = cx + r * std::cos(from);
      double py = cy + r * std::sin(from);
      for (int k = 1; k <= n; ++k) {
        const double a = from + step * k;
        const double qx = cx + r * std::cos(a);
        const double qy = cy + r * std::sin(a);
        piece(px, py, qx, qy, stray);
        px = qx;
        py = qy;
      }
      if (item.GetType() == kItemCircle) point(cx, cy);
      return true;
    }
    case kItemEllipse:
    case kItemEllipseArc: {
      // The whole ellipse, also for an elliptic arc: its pick takes a slack beyond its ends.
      double cx = 0.0, cy = 0.0, a = 0.0, b = 0.0;
      if (item.GetType() == kItemEllipse) {
        int x = 0, y = 0, ia = 0, ib = 0;
        item.GetCentre(x, y);
        item.GetSemiAxes(ia, ib);
        cx = x;
        cy = y;
        a = ia;
        b = ib;
      } else {
        item.GetCentreExact(cx, cy);
        item.GetRadii(a, b);
      }
      const double th = item.GetRotation();
      a = std::fabs(a);
      b = std::fabs(b);
      if (!Finite(cx) || !Finite(cy) || !Finite(a) || !Finite(b) || !Finite(th)) return false;
      const double big = std::max(a, b);
      const int n = PieceCount(kTwoPi * big, pieceLength, kMinTurnPieces, kMaxTurnPieces);
      const double step = kTwoPi / n;
      // The ellipse is a circle of radius 1 stretched by at most the larger semi-axis.
      const double stray = big * (1.0 - std::cos(step / 2.0)) + 1e-9 * big;
      const double ux = a * std::cos(th), uy = a * std::sin(th);
      const double vx = -b * std::sin(th), vy = b * std::cos(th);
      double px = cx + ux;
      double py = cy + uy;
      for (int k = 1; k <= n; ++k) {
        const double t = step * k;
        const double qx = cx + ux * std::cos(t) + vx * std::sin(t);
        const double qy = cy + uy * std::cos(t) + vy * std::sin(t);
        piece(px, py, qx, qy, stray);
        px = qx;
        py = qy;
      }
      point(cx, cy);
      return true;
    }
    case kItemBezier: {
      int sx = 0, sy = 0, ex = 0, ey = 0;
      double p1x = 0.0, p1y = 0.0, p2x = 0.0, p2y = 0.0;
      item.GetStart(sx, sy);
      item.GetEnd(ex, ey);
      item.GetControlPoint(0, p1x, p1y);
      item.GetControlPoint(1, p2x, p2y);
      if (!Finite(p1x) || !Finite(p1y) || !Finite(p2x) || !Finite(p2y)) return false;
      const double x0 = sx, y0 = sy, x3 = ex, y3 = ey;
      const double polygon = std::hypot(p1x - x0, p1y - y0) + std::hypot(p2x - p1x, p2y - p1y) +
                             std::hypot(x3 - p2x, y3 - p2y);
      const int n = PieceCount(polygon, pieceLength, 4, kMaxTurnPieces);
      // A cubic strays from the chord of a parameter step h by at most h^2 / 8 times the
      // largest second derivative, 6 times the larger second difference of its points.
      const double d1 = std::hypot(x0 - 2 * p1x + p2x, y0 - 2 * p1y + p2y);
      const double d2 = std::hypot(p1x - 2 * p2x + x3, p1y - 2 * p2y + y3);
      const double h = 1.0 / n;
      const double stray = h * h / 8.0 * 6.0 * std::max(d1, d2) + 1e-9 * polygon;
      const auto at = [&](double t, double& x, double& y) {
        const double u = 1.0 - t;
        x = u * u * u * x0 + 3 * u * u * t * p1x + 3 * u * t * t * p2x + t * t * t * x3;
        y = u * u * u * y0 + 3 * u * u * t * p1y + 3 * u * t * t * p2y + t * t * t * y3;
      };
      double px = x0;
      double py = y0;
      for (int k = 1; k <= n; ++k) {
        double qx = 0.0, qy = 0.0;
        if (k == n) {
          qx = x3;
          qy = y3;
        } else {
          at(h * k, qx, qy);
        }
        piece(px, py, qx, qy, stray);
        px = qx;
        py = qy;
      }
      return true;
    }
    default:
      return false;
  }
}

// Liang-Barsky: whether the segment meets the rectangle.
bool SegmentInRect(double x1, double y1, double x2, double y2, double minX, double minY,
                   double maxX, double maxY) {
  double t0 = 0.0;
  double t1 = 1.0;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const auto clip = [&](double p, double q) {
    if (p == 0.0) return q >= 0.0;
    const double r = q / p;
    if (p < 0.0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
    return true;
  };
  return clip(-dx, x1 - minX) && clip(dx, maxX - x1) && clip(-dy, y1 - minY) && clip(dy, maxY - y1);
}

}  // namespace

int CellGridShape::ColumnOf(double x) const {
  const double c = std::floor((x - originX) / cellSize);
  if (!(c > 0.0)) return 0;
  if (!(c < columns - 1)) return columns - 1;
  return static_cast<int>(c);
}

int CellGridShape::RowOf(double y) const {
  const double r = std::floor((y - originY) / cellSize);
  if (!(r > 0.0)) return 0;
  if (!(r < rows - 1)) return rows - 1;
  return static_cast<int>(r);
}

CellGridShape CellGridShape::Over(double minX, double minY, double maxX, double maxY,
                                  double cellSize, double maxCells) {
  CellGridShape grid;
  if (!Finite(minX) || !Finite(minY) || !Finite(maxX) || !Finite(maxY) || maxX < minX ||
      maxY < minY) {
    return grid;
  }
  const double width = maxX - minX;
  const double height = maxY - minY;
  double size = Finite(cellSize) && cellSize > 1.0 ? cellSize : 1.0;
  maxCells = std::max(1.0, maxCells);
  // Never more cells than asked for.
  while ((std::floor(width / size) + 1.0) * (std::floor(height / size) + 1.0) > maxCells) {
    size *= 1.25;
  }
  grid.originX = minX;
  grid.originY = minY;
  grid.cellSize = size;
  grid.columns = static_cast<int>(std::floor(width / size)) + 1;
  grid.rows = static_cast<int>(std::floor(height / size)) + 1;
  return grid;
}

void AddSegmentCells(double x1, double y1, double x2, double y2, double w,
                     const CellGridShape& grid, std::vector<std::uint32_t>& cells) {
  const double size = grid.cellSize;
  const int r0 = grid.RowOf(std::min(y1, y2) - w);
  const int r1 = grid.RowOf(std::max(y1, y2) + w);
  const double dy = y2 - y1;
  for (int r = r0; r <= r1; ++r) {
    // The part of the piece within w of this row's band, widened by w across.
    const double lo = r == r0 ? -INFINITY : grid.originY + size * r - w;
    const double hi = r == r1 ? INFINITY : grid.originY + size * (r + 1) + w;
    double xa = 0.0;
    double xb = 0.0;
    if (dy == 0.0) {
      xa = std::min(x1, x2);
      xb = std::max(x1, x2);
    } else {
      double ta = (lo - y1) / dy;
      double tb = (hi - y1) / dy;
      if (ta > tb) std::swap(ta, tb);
      ta = std::clamp(ta, 0.0, 1.0);
      tb = std::clamp(tb, 0.0, 1.0);
      const double pa = x1 + (x2 - x1) * ta;
      const double pb = x1 + (x2 - x1) * tb;
      xa = std::min(pa, pb);
      xb = std::max(pa, pb);
    }
    const int c0 = grid.ColumnOf(xa - w);
    const int c1 = grid.ColumnOf(xb + w);
    for (int c = c0; c <= c1; ++c) cells.push_back(grid.CellOf(c, r));
  }
}

void AddRectCells(double minX, double minY, double maxX, double maxY, const CellGridShape& grid,
                  std::vector<std::uint32_t>& cells) {
  const int c0 = grid.ColumnOf(minX);
  const int c1 = grid.ColumnOf(maxX);
  const int r0 = grid.RowOf(minY);
  const int r1 = grid.RowOf(maxY);
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) cells.push_back(grid.CellOf(c, r));
  }
}

bool AddCurveCells(const CDrawItem& item, const CellGridShape& grid, double margin, bool centres,
                   std::vector<std::uint32_t>& cells) {
  const std::size_t before = cells.size();
  const bool followed = FollowCurve(
      item, grid.cellSize / 2.0,
      [&](double x1, double y1, double x2, double y2, double stray) {
        AddSegmentCells(x1, y1, x2, y2, margin + stray, grid, cells);
      },
      [&](double x, double y) {
        if (centres) AddSegmentCells(x, y, x, y, margin, grid, cells);
      });
  if (!followed) cells.resize(before);
  return followed;
}

bool SegmentMeetsRect(double x1, double y1, double x2, double y2, double minX, double minY,
                      double maxX, double maxY, double halfWidth) {
  return SegmentInRect(x1, y1, x2, y2, minX - halfWidth, minY - halfWidth, maxX + halfWidth,
                       maxY + halfWidth);
}

bool CircleMeetsRect(double cx, double cy, double r, double minX, double minY, double maxX,
                     double maxY, double margin) {
  // The nearest and farthest points of the rectangle from the centre.
  const double nx = std::max({minX - cx, 0.0, cx - maxX});
  const double ny = std::max({minY - cy, 0.0, cy - maxY});
  const double fx = std::max(std::fabs(minX - cx), std::fabs(maxX - cx));
  const double fy = std::max(std::fabs(minY - cy), std::fabs(maxY - cy));
  return std::hypot(nx, ny) <= r + margin && std::hypot(fx, fy) >= r - margin;
}

void GatherByCell(const std::vector<std::uint32_t>& cellOf,
                  const std::vector<std::uint32_t>& valueOf, std::uint32_t cellCount,
                  std::vector<std::uint32_t>& start, std::vector<std::uint32_t>& values,
                  std::vector<std::uint32_t>& next) {
  start.assign(static_cast<std::size_t>(cellCount) + 1, 0);
  for (const std::uint32_t c : cellOf) ++start[c + 1];
  for (std::uint32_t c = 0; c < cellCount; ++c) start[c + 1] += start[c];
  values.resize(valueOf.size());
  next.assign(start.begin(), start.end() - 1);
  for (std::size_t k = 0; k < cellOf.size(); ++k) values[next[cellOf[k]]++] = valueOf[k];
}

bool CurveMeetsRect(const CDrawItem& item, double minX, double minY, double maxX, double maxY,
                    double margin) {
  if (item.GetType() == kItemCircle) {
    int x = 0, y = 0;
    item.GetCentre(x, y);
    return CircleMeetsRect(x, y, std::fabs(static_cast<double>(item.GetRadius())), minX, minY, maxX,
                           maxY, margin);
  }
  bool meets = false;
  const double size = std::max(maxX - minX, maxY - minY);
  const bool followed = FollowCurve(
      item, size > 0.0 ? size : INFINITY,
      [&](double x1, double y1, double x2, double y2, double stray) {
        const double w = margin + stray;
        if (!meets) meets = SegmentInRect(x1, y1, x2, y2, minX - w, minY - w, maxX + w, maxY + w);
      },
      [](double, double) {});
  return !followed || meets;
}
