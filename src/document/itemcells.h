#pragma once
// The cells of a square grid that an item's curve passes through. Indexes that file items by
// their boxes meet a long line or a large circle everywhere its box reaches; by the cells its
// curve crosses, it is met only where it is.
//
// A curve is followed as a chain of straight pieces, each thickened by the margin asked for
// plus the most it strays from its chord, so that every point within the margin of the curve
// lies in a cell that is named. Points outside the grid count in its border cells.
#include <cstdint>
#include <vector>

class CDrawItem;

struct CellGridShape {
  double originX = 0.0;  // the lower left corner of cell (0, 0)
  double originY = 0.0;
  double cellSize = 1.0;
  int columns = 1;
  int rows = 1;

  int ColumnOf(double x) const;
  int RowOf(double y) const;
  std::uint32_t CellOf(int column, int row) const {
    return static_cast<std::uint32_t>(row) * static_cast<std::uint32_t>(columns) +
           static_cast<std::uint32_t>(column);
  }
  std::uint32_t CellCount() const {
    return static_cast<std::uint32_t>(columns) * static_cast<std::uint32_t>(rows);
  }
  // A grid of about `cells` square cells (at least one) over the rectangle.
  static CellGridShape Over(double minX, double minY, double maxX, double maxY, double cellSize,
                            double maxCells);
};

// Appends to `cells` every cell that a point within `margin` of the item's curve may lie in
// (a cell may come more than once); with `centres`, the centre of a circle or ellipse too.
// False when the item is of no curve kind or its values cannot be followed; nothing is added
// then.
bool AddCurveCells(const CDrawItem& item, const CellGridShape& grid, double margin, bool centres,
                   std::vector<std::uint32_t>& cells);

// The same for a straight piece and for a rectangle.
void AddSegmentCells(double x1, double y1, double x2, double y2, double halfWidth,
                     const CellGridShape& grid, std::vector<std::uint32_t>& cells);
void AddRectCells(double minX, double minY, double maxX, double maxY, const CellGridShape& grid,
                  std::vector<std::uint32_t>& cells);

// Whether the segment comes within halfWidth of the rectangle (measured across each axis).
bool SegmentMeetsRect(double x1, double y1, double x2, double y2, double minX, double minY,
                      double maxX, double maxY, double halfWidth);
// Whether the circle comes within margin of the rectangle.
bool CircleMeetsRect(double cx, double cy, double r, double minX, double minY, double maxX,
                     double maxY, double margin);

// Values filed under cells, gathered cell by cell in the order given: the values of cell c
// become values[start[c]] .. values[start[c + 1] - 1]. next is scratch storage.
void GatherByCell(const std::vector<std::uint32_t>& cellOf,
                  const std::vector<std::uint32_t>& valueOf, std::uint32_t cellCount,
                  std::vector<std::uint32_t>& start, std::vector<std::uint32_t>& values,
                  std::vector<std::uint32_t>& next);

// Whether the item's curve comes within `margin` of the rectangle: exact for lines and whole
// circles, by the curve's chain of pieces for the other curve kinds; true for every other kind.
bool CurveMeetsRect(const CDrawItem& item, double minX, double minY, double maxX, double maxY,
                    double margin);
