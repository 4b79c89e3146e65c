// One item of each of the nine kinds, made by the item factory and set up through the item
// interface, drawn on the Qt back buffer into a PNG under the build folder for a person to look
// at, and measured: each kind leaves its ink in its own cell of the sheet, and the fill leaves
// its hole empty.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "items/boundaryloop.h"
#include "items/dimensionitem.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/itemdocument.h"
#include "items/itemservices.h"
#include "items/measure.h"
#include "items/render/render_support.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/constants.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr int kScale = 264;  // drawing units per pixel: 96 dots per inch at full size
constexpr int kCell = 200;   // pixels per side of each item's cell
constexpr int kColumns = 3;

// The centre of cell i in drawing units (device y runs downwards, drawing y upwards).
struct Centre {
  int x;
  int y;
};
Centre CellCentre(int i) {
  return {((i % kColumns) * kCell + kCell / 2) * kScale,
          -((i / kColumns) * kCell + kCell / 2) * kScale};
}

// Pixels to drawing units.
constexpr int U(int pixels) { return pixels * kScale; }

std::unique_ptr<CBoundaryLoop> PolygonLoop(const std::vector<std::pair<int, int>>& vertices) {
  auto loop = std::make_unique<CBoundaryLoop>();
  for (const auto& [x, y] : vertices) {
    std::unique_ptr<CFloodEdge> edge = CreateFloodEdge(kEdgeLine);
    edge->SetStart(x, y);
    loop->Append(std::move(edge));
  }
  loop->JoinEnds();
  return loop;
}

std::unique_ptr<CBoundaryLoop> CircleLoop(int cx, int cy, int radius) {
  auto edge = std::make_unique<CArcEdge>();
  edge->SetStart(cx + radius, cy);
  edge->SetEnd(cx + radius, cy);
  edge->SetArcCentre(cx, cy);
  edge->SetRadius(radius);
  edge->SetDirection(kEdgeCounterClockwise);
  auto loop = std::make_unique<CBoundaryLoop>();
  loop->Append(std::move(edge));
  return loop;
}

TEST(NineKindsRender, OneItemOfEachKind) {
  ResetLogState();
  auto app = MakeGuiApplication();
  CImageView view;
  SetEditingView(&view);
  CPlainDocument document(1.0);

  const std::array<zeph::ColourRef, kItemTypeCount> colours = {
      zeph::MakeColour(0, 0, 0),    zeph::MakeColour(200, 0, 0),   zeph::MakeColour(0, 130, 0),
      zeph::MakeColour(0, 0, 200),  zeph::MakeColour(150, 0, 150), zeph::MakeColour(0, 130, 130),
      zeph::MakeColour(160, 90, 0), zeph::MakeColour(90, 90, 90),  zeph::MakeColour(220, 0, 120)};
  // The fill's hole: a circle of 30 pixels in the middle of its cell.
  const Centre fillCentre = CellCentre(kItemFill);

  std::vector<DrawItemPtr> items;
  for (int type = 0; type < kItemTypeCount; ++type) {
    DrawItemPtr item = CreateItem(type);
    ASSERT_NE(item, nullptr) << "kind " << type << " is not built";
    const Centre c = CellCentre(type);
    switch (type) {
      case kItemLine:
        item->SetStart(c.x - U(70), c.y - U(50));
        item->SetEnd(c.x + U(70), c.y + U(50));
        item->SetLineStyle(kLineStyleUnbroken);
        item->SetPenWidth(3);
        break;
      case kItemArc: {
        const double from = 30.0 * g_radiansPerDegree;
        const double to = 250.0 * g_radiansPerDegree;
        item->SetStart(c.x + RoundToInt(U(70) * std::cos(from)),
                       c.y + RoundToInt(U(70) * std::sin(from)));
        item->SetEnd(c.x + RoundToInt(U(70) * std::cos(to)),
                     c.y + RoundToInt(U(70) * std::sin(to)));
        item->SetAngleFromCentre(c.x, c.y);
        item->Recalculate();
        item->SetPenWidth(2);
        break;
      }
      case kItemCircle:
        item->SetCentre(c.x, c.y);
        item->SetRadius(U(70));
        item->SetPenWidth(2);
        break;
      case kItemFill:
        item->AttachBoundary(PolygonLoop({{c.x - U(80), c.y - U(70)},
                                          {c.x + U(80), c.y - U(70)},
                                          {c.x + U(60), c.y + U(80)},
                                          {c.x - U(40), c.y + U(60)}}));
        item->AddHole(CircleLoop(c.x, c.y, U(30)));
        item->SetFillStyle(kFillHatch);
        // "Oblique squares" at 0.3 of its size: lines about 9 pixels apart.
        ASSERT_EQ(item->SetHatch(FindHatchDefinition(6), 0.0, 0.3), 1);
        break;
      case kItemDimension:
        item->SetDocument(&document);
        item->SetStart(c.x - U(80), c.y - U(40));
        item->SetEnd(c.x + U(80), c.y - U(40));
        item->SetOffset(U(60));
        item->SetTextAngleMode(kTextAngleLine);
        item->SetTextPosition(kTextInLine);
        item->SetLineEnds(kLineEndsNormal);
        item->SetArrowSize(U(6));
        item->SetExtension(U(4));
        item->SetExtensionGap(U(3));
        item->SetUnits(kUnitsAutomatic);
        item->SetDecimals(1);
        item->SetFont(Font(10));
        break;
      case kItemEllipse:
        item->SetCentre(c.x, c.y);
        item->SetSemiAxes(U(85), U(40));
        item->SetRotation(0.5);
        item->SetPenWidth(2);
        break;
      case kItemText:
        item->SetPosition(c.x - U(75), c.y - U(20));
        item->SetText(QStringLiteral("Rotated text"));
        item->SetFont(Font(16));
        item->SetTextAngle(30.0 * g_radiansPerDegree);
        break;
      case kItemBezier:
        item->SetStart(c.x - U(80), c.y - U(50));
        item->SetEnd(c.x + U(80), c.y + U(50));
        item->SetControlPoint(0, c.x - U(20), c.y + U(140));
        item->SetControlPoint(1, c.x + U(20), c.y - U(140));
        item->SetPenWidth(2);
        break;
      case kItemEllipseArc: {
        const double a = U(80);
        const double b = U(45);
        const double rotation = -0.4;
        item->SetCentreExact(c.x, c.y);
        item->SetRadii(a, b);
        item->SetRotation(rotation);
        for (int end = 0; end < 2; ++end) {
          const double phi = end == 0 ? 0.6 : 4.6;
          const double x = a * std::cos(phi);
          const double y = b * std::sin(phi);
          item->SetHandle(end, RoundToInt(c.x + x * std::cos(rotation) - y * std::sin(rotation)),
                          RoundToInt(c.y + x * std::sin(rotation) + y * std::cos(rotation)));
        }
        item->SetPenWidth(2);
        break;
      }
      default:
        break;
    }
    item->SetColour(static_cast<int>(colours[static_cast<std::size_t>(type)]));
    EXPECT_EQ(item->IsValid(), 1) << "kind " << type;
    items.push_back(std::move(item));
  }

  QImage image(kColumns * kCell, 3 * kCell, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = kScale;  // device (x, y) is drawing (264 x, -264 y)
  // Fills first, as the document keeps them.
  items[kItemFill]->Draw(&dc, &mapping, kDrawOwnColour, 0);
  for (const DrawItemPtr& item : items) {
    if (item->GetType() != kItemFill) item->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("nine_kinds.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  EXPECT_EQ(g_glitchCount, 0);

  // Every inked pixel has the colour of the kind whose cell it lies in, and every kind has
  // left plenty of ink.
  std::array<int, kItemTypeCount> ink{};
  int strays = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (pixel == kWhite) continue;
      const int cell = (y / kCell) * kColumns + x / kCell;
      const zeph::ColourRef own = colours[static_cast<std::size_t>(cell)];
      if (pixel == qRgb(zeph::RedOf(own), zeph::GreenOf(own), zeph::BlueOf(own))) {
        ++ink[static_cast<std::size_t>(cell)];
      } else {
        ++strays;
      }
    }
  }
  EXPECT_EQ(strays, 0);
  for (int type = 0; type < kItemTypeCount; ++type) {
    EXPECT_GT(ink[static_cast<std::size_t>(type)], 150) << "kind " << type;
  }

  // Nothing inside the fill's hole (a margin of two pixels inside its edge).
  const int hx = mapping.DrawingToDeviceX(fillCentre.x);
  const int hy = mapping.DrawingToDeviceY(fillCentre.y);
  for (int dy = -28; dy <= 28; ++dy) {
    for (int dx = -28; dx <= 28; ++dx) {
      if (dx * dx + dy * dy > 28 * 28) continue;
      EXPECT_EQ(image.pixel(hx + dx, hy + dy), kWhite) << dx << ',' << dy;
    }
  }

  for (DrawItemPtr& item : items) item->SetDocument(nullptr);
  ResetItemServices();
}

}  // namespace
