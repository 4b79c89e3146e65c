// Fills found from clicks on an imperfect plan, painted on the Qt back buffer into a PNG under
// the build folder for a look: walls that overshoot their corners or are drawn in overlapping
// pieces, a bay bounded by a curve, a table and a rug that become holes, a half disc cut by a
// line. The painted pixels are checked where the answer is certain.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <vector>

#include "document/document.h"
#include "items/render/render_support.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"

namespace {

constexpr int kZoomLevel = 8;  // 500 units a pixel

void AddLine(CZephDoc& doc, int x1, int y1, int x2, int y2) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(kLineStyleUnbroken);
  ASSERT_EQ(doc.AddItem(line), 1);
}

void AddCircle(CZephDoc& doc, int cx, int cy, int r) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(cx, cy);
  circle->SetRadius(r);
  ASSERT_EQ(doc.AddItem(circle), 1);
}

void AddCurve(CZephDoc& doc, int sx, int sy, double c1x, double c1y, double c2x, double c2y,
              int ex, int ey) {
  DrawItemPtr curve = CreateItem(kItemBezier);
  curve->SetStart(sx, sy);
  curve->SetEnd(ex, ey);
  curve->SetControlPoint(0, c1x, c1y);
  curve->SetControlPoint(1, c2x, c2y);
  ASSERT_EQ(doc.AddItem(curve), 1);
}

// The plan: a room 0..120000 by 0..100000 with a bay on its right wall.
void DrawPlan(CZephDoc& doc) {
  AddLine(doc, -4000, 0, 124000, 0);           // floor line running past both corners
  AddLine(doc, 0, -3000, 0, 60000);            // left wall in two overlapping pieces
  AddLine(doc, 0, 40000, 0, 100000);
  AddLine(doc, 0, 100000, 120000, 100000);     // top wall, and a copy of it
  AddLine(doc, 120000, 100000, 0, 100000);
  AddLine(doc, 120000, 103000, 120000, 70000);  // right wall, broken by the bay
  AddLine(doc, 120000, 30000, 120000, -2000);
  AddCurve(doc, 120000, 30000, 160000, 30000, 160000, 70000, 120000, 70000);  // the bay
  AddLine(doc, 20000, 20000, 50000, 20000);    // table
  AddLine(doc, 50000, 20000, 50000, 45000);
  AddLine(doc, 50000, 45000, 20000, 45000);
  AddLine(doc, 20000, 45000, 20000, 20000);
  AddCircle(doc, 85000, 65000, 15000);         // rug
  AddLine(doc, 60000, 88000, 100000, 88000);   // a shelf standing free
  AddCircle(doc, 200000, 50000, 30000);        // a round table outside, cut by a line
  AddLine(doc, 160000, 50000, 240000, 50000);
}

struct Click {
  int x;
  int y;
  zeph::ColourRef colour;
};

TEST(FillSearchRender, FillsFromClicksOnAnImperfectPlan) {
  ResetLogState();
  CZephDoc doc;
  DrawPlan(doc);
  const std::vector<Click> clicks = {
      {10000, 90000, zeph::MakeColour(250, 220, 120)},   // the floor: table and rug are holes
      {35000, 30000, zeph::MakeColour(120, 160, 240)},   // the table
      {200000, 60000, zeph::MakeColour(240, 140, 140)},  // the half disc above the line
  };

  QImage image(560, 280, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  CViewMapping mapping;
  mapping.SetZoomLevel(kZoomLevel);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(kZoomLevel);
  mapping.originX = -20 * mapping.scaleX;  // drawing x 0 at device x 20
  mapping.originY = 110000 + 20 * mapping.scaleY;

  std::vector<DrawItemPtr> fills;
  for (const Click& click : clicks) {
    DrawItemPtr fill = doc.FillAreaAtPoint(click.x, click.y);
    ASSERT_NE(fill, nullptr) << click.x << ", " << click.y;
    fill->SetColour(static_cast<int>(click.colour));
    fill->SetFillStyle(kFillSolid);
    fill->Draw(&dc, &mapping, kDrawOwnColour, 0);
    fills.push_back(std::move(fill));
  }
  EXPECT_EQ(fills[0]->GetHoleCount(), 2);
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    doc.GetItem(i)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("fillsearch_plan.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  EXPECT_EQ(g_glitchCount, 0);

  const auto pixel = [&](int x, int y) {
    return image.pixel(mapping.DrawingToDeviceX(x), mapping.DrawingToDeviceY(y));
  };
  const auto rgb = [](zeph::ColourRef c) {
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
  };
  // Each click's own colour where it clicked, and the floor's colour around the furniture.
  for (const Click& click : clicks) EXPECT_EQ(pixel(click.x, click.y), rgb(click.colour));
  EXPECT_EQ(pixel(60000, 20000), rgb(clicks[0].colour));
  EXPECT_EQ(pixel(110000, 90000), rgb(clicks[0].colour));
  EXPECT_EQ(pixel(70000, 94000), rgb(clicks[0].colour));  // above the free shelf
  EXPECT_EQ(pixel(70000, 82000), rgb(clicks[0].colour));  // below it
  EXPECT_EQ(pixel(140000, 50000), rgb(clicks[0].colour));  // in the bay
  // The rug (a hole nobody clicked in), outside the room and below the cut: unpainted.
  EXPECT_EQ(pixel(85000, 65000), kWhite);
  EXPECT_EQ(pixel(60000, -5000), kWhite);
  EXPECT_EQ(pixel(150000, 90000), kWhite);
  EXPECT_EQ(pixel(200000, 40000), kWhite);
}

}  // namespace
