#pragma once
// The drawings the benchmarks measure, made the same way in every benchmark program: random
// long lines and circles, furnished room plans (one of them too large for the coordinate
// limits, so its edge walls are refused) and a room holding many islands.
#include <cmath>
#include <random>

#include <string>

#include "document/document.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/floodedge.h"
#include "items/geometry.h"

namespace benchdrawings {

// The area of the random drawing, in drawing units: 400 by 280 mm.
constexpr int kRandomWidth = 400000;
constexpr int kRandomHeight = 280000;

inline void AddLine(CZephDoc& doc, int x1, int y1, int x2, int y2) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetColour(0);
  line->SetLineStyle(kLineStyleUnbroken);
  doc.AddItem(line);  // one past the coordinate limits is refused, as the program refuses it
}

inline void AddRect(CZephDoc& doc, int x0, int y0, int x1, int y1) {
  AddLine(doc, x0, y0, x1, y0);
  AddLine(doc, x1, y0, x1, y1);
  AddLine(doc, x1, y1, x0, y1);
  AddLine(doc, x0, y1, x0, y0);
}

inline void AddCircle(CZephDoc& doc, int cx, int cy, int r) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(cx, cy);
  circle->SetRadius(r);
  circle->SetColour(0);
  doc.AddItem(circle);
}

inline void AddArc(CZephDoc& doc, int sx, int sy, int ex, int ey, double angle) {
  DrawItemPtr arc = CreateItem(kItemArc);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  arc->SetAngle(angle);
  arc->Recalculate();
  arc->SetColour(0);
  doc.AddItem(arc);
}

// Three lines in five run between two random points of the area; the rest are circles of
// radius 0.5 to 20 mm. At the zoom that shows the area in 1080 pixels, a line is about 690
// pixels long on average.
inline void RandomLinesAndCircles(CZephDoc& doc, int count, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> x(0, kRandomWidth);
  std::uniform_int_distribution<int> y(0, kRandomHeight);
  std::uniform_int_distribution<int> radius(500, 20000);
  for (int i = 0; i < count; ++i) {
    if (i % 5 < 3) {
      const int x1 = x(random);
      const int y1 = y(random);
      const int x2 = x(random);
      const int y2 = y(random);
      AddLine(doc, x1, y1, x2, y2);
    } else {
      const int cx = x(random);
      const int cy = y(random);
      AddCircle(doc, cx, cy, radius(random));
    }
  }
}

// A point of the random drawing's middle.
inline DrawingPoint RandomDrawingClick() { return {kRandomWidth / 2 + 3, kRandomHeight / 2 + 7}; }

// A furnished plan of rooms x rooms rooms of the given size, each drawn with its own four walls
// (so every inner wall is there twice) and 21 pieces of furniture: 25 items a room. The plan
// is centred on (0, 0); walls past the coordinate limits are refused. The answer is a point on
// the floor of the room nearest the middle, clear of its furniture.
inline DrawingPoint FurnishedPlan(CZephDoc& doc, int rooms, int room) {
  const int u = room / 28;  // 5 cm in a room of 1.4 m
  const auto addRoom = [&](int x, int y) {
    AddRect(doc, x, y, x + room, y + room);
    AddRect(doc, x + 4 * u, y + 4 * u, x + 12 * u, y + 10 * u);  // table
    for (int k = 0; k < 4; ++k) AddCircle(doc, x + (5 + 2 * k) * u, y + 2 * u, u / 2 + u / 4);
    AddRect(doc, x + 16 * u, y + 3 * u, x + 26 * u, y + 15 * u);      // bed
    AddCircle(doc, x + 8 * u, y + 20 * u, 3 * u);                     // rug
    AddLine(doc, x + 27 * u, y + 18 * u, x + 27 * u, y + 26 * u);     // shelf
    AddLine(doc, x + 20 * u, y + 20 * u, x + 24 * u, y + 20 * u);     // lamp flex
    AddArc(doc, x + 6 * u, y + room, x, y + room - 6 * u, M_PI / 2);  // door swing
    AddLine(doc, x, y + room - 6 * u, x + 2 * u, y + room - 6 * u);   // door leaf
    AddRect(doc, x + 14 * u, y + 20 * u, x + 18 * u, y + 24 * u);     // cupboard
  };
  const auto origin = [&](int k) {
    return static_cast<int>(static_cast<long long>(k) * room -
                            static_cast<long long>(rooms) * room / 2);
  };
  for (int row = 0; row < rooms; ++row) {
    for (int column = 0; column < rooms; ++column) addRoom(origin(column), origin(row));
  }
  const int middle = rooms / 2;
  return {origin(middle) + room / 2 + 3, origin(middle) + room * 17 / 28 + 5};
}

// The size of room that fits a plan of rooms x rooms inside the coordinate limits.
inline int RoomThatFits(int rooms) {
  const int fits = static_cast<int>(59000000LL / rooms);
  return std::min(1400000, fits - fits % 28);
}

// One room of 1 m per 32 islands a side holding `islands` square islands (4 lines each) in
// rows, with a point on its floor between them.
inline DrawingPoint IslandRoom(CZephDoc& doc, int islands) {
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(islands))));
  const int pitch = 30000;
  const int size = 12000;
  const int room = side * pitch + pitch;
  AddRect(doc, 0, 0, room, room);
  for (int k = 0; k < islands; ++k) {
    const int x = pitch + (k % side) * pitch;
    const int y = pitch + (k / side) * pitch;
    AddRect(doc, x, y, x + size, y + size);
  }
  // Between two islands of the middle row, level with their middles.
  const int row = side / 2;
  return {pitch + (side / 2) * pitch + size + 5003, pitch + row * pitch + size / 2 + 7};
}

// A fill's outline and holes as text: every edge's kind and ends, loop by loop; "none" for no
// fill. Two searches found the same fill when their texts are equal.
inline std::string FillText(const CDrawItem* fill) {
  if (fill == nullptr || fill->GetBoundary() == nullptr) return "none";
  std::string text;
  const auto add = [&](const CBoundaryLoop& loop) {
    text += "loop";
    for (int i = 0; i < loop.GetCount(); ++i) {
      const CFloodEdge* e = loop.GetEdge(i);
      text += " " + std::to_string(e->GetKind()) + ":" + std::to_string(e->GetStartX()) + "," +
              std::to_string(e->GetStartY()) + "-" + std::to_string(e->GetEndX()) + "," +
              std::to_string(e->GetEndY());
    }
    text += "\n";
  };
  add(*fill->GetBoundary());
  for (int h = 0; h < fill->GetHoleCount(); ++h) add(*fill->GetHole(h));
  return text;
}

}  // namespace benchdrawings
