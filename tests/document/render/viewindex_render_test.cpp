// Drawing a view through the document's index changes no pixel: random drawings of every curve
// kind (long lines, large circles, arcs, upright and turned ellipses, elliptic arcs, curves,
// pens of one to four pixels), views of every size and zoom, before and after the drawing
// changes, each painted through the index and by drawing every item.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <random>

#include "document/document.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kPi = 3.14159265358979323846;

class ViewIndexRender : public testing::Test {
 protected:
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

  DrawItemPtr RandomItem() {
    const int x = Uniform(0, 1000000);
    const int y = Uniform(0, 1000000);
    DrawItemPtr item;
    switch (Uniform(0, 6)) {
      case 0:
        item = CreateItem(kItemLine);
        item->SetStart(x, y);
        item->SetEnd(Uniform(0, 1000000), Uniform(0, 1000000));
        item->SetLineStyle(kLineStyleUnbroken);
        break;
      case 1:
        item = CreateItem(kItemCircle);
        item->SetCentre(x, y);
        item->SetRadius(Uniform(1000, 400000));
        break;
      case 2: {
        item = CreateItem(kItemArc);
        const int r = Uniform(1000, 300000);
        const double from = Uniform(0, 359) * kPi / 180;
        const double sweep = Uniform(20, 340) * kPi / 180;
        item->SetStart(static_cast<int>(x + r * std::cos(from)),
                       static_cast<int>(y + r * std::sin(from)));
        item->SetEnd(static_cast<int>(x + r * std::cos(from + sweep)),
                     static_cast<int>(y + r * std::sin(from + sweep)));
        item->SetAngle(sweep);
        item->Recalculate();
        break;
      }
      case 3:
      case 4:
        item = CreateItem(kItemEllipse);
        item->SetCentre(x, y);
        item->SetSemiAxes(Uniform(2000, 300000), Uniform(1000, 200000));
        item->SetRotation(Uniform(0, 1) == 0 ? 0.0 : Uniform(1, 89) * kPi / 180);
        break;
      case 5: {
        item = CreateItem(kItemEllipseArc);
        const int a = Uniform(2000, 200000);
        const int b = Uniform(1000, 100000);
        item->SetStart(x + a, y);
        item->SetEnd(x, y + b);
        item->SetCentreExact(x, y);
        item->SetRadii(a, b);
        break;
      }
      default:
        item = CreateItem(kItemBezier);
        item->SetStart(x, y);
        item->SetEnd(Uniform(0, 1000000), Uniform(0, 1000000));
        item->SetControlPoint(0, Uniform(-200000, 1200000), Uniform(-200000, 1200000));
        item->SetControlPoint(1, Uniform(-200000, 1200000), Uniform(-200000, 1200000));
        break;
    }
    item->SetColour(Uniform(0, 0xFFFFFF));
    item->SetPenWidth(Uniform(1, 4));
    return item;
  }

  CViewMapping RandomView() {
    CViewMapping mapping;
    mapping.scaleX = mapping.scaleY = Uniform(0, 3) == 0 ? Uniform(50, 500) : Uniform(500, 5000);
    mapping.originX = Uniform(-100000, 900000);
    mapping.originY = Uniform(100000, 1100000);
    mapping.windowWidth = kWidth;
    mapping.windowHeight = kHeight;
    mapping.anchorY = kHeight;
    return mapping;
  }

  static QImage Paint(const CZephDoc& doc, const CViewMapping& mapping, const zeph::DcRect& clip,
                      bool indexed) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    zeph::CImageContext dc(image);
    dc.SetClipRect(clip);
    if (indexed) {
      doc.DrawItemsInView(
          dc, mapping, [&](const CDrawItem& item) { item.Draw(&dc, &mapping, kDrawOwnColour, 0); });
    } else {
      for (int i = 0; i < doc.GetItemCount(); ++i) {
        doc.GetItem(i)->Draw(&dc, &mapping, kDrawOwnColour, 0);
      }
    }
    return image;
  }

  void ExpectSamePixels(const CZephDoc& doc, const char* after) {
    SCOPED_TRACE(after);
    for (int view = 0; view < 12; ++view) {
      const CViewMapping mapping = RandomView();
      const int left = Uniform(0, kWidth - 1);
      const int top = Uniform(0, kHeight - 1);
      const zeph::DcRect clip =
          view == 0 ? zeph::DcRect{0, 0, kWidth, kHeight}
                    : zeph::DcRect{left, top, Uniform(left + 1, kWidth), Uniform(top + 1, kHeight)};
      EXPECT_TRUE(Paint(doc, mapping, clip, true) == Paint(doc, mapping, clip, false))
          << "view " << view << " at " << mapping.originX << ", " << mapping.originY << " scale "
          << mapping.scaleX;
    }
  }

  std::mt19937 random{97};
};

TEST_F(ViewIndexRender, ViewsThroughTheIndexHaveEveryPixelOfTheWholeDrawing) {
  CZephDoc doc;
  while (doc.GetItemCount() < 400) {
    DrawItemPtr item = RandomItem();
    if (item->IsValid() == 0) continue;
    ASSERT_EQ(doc.AddItem(item), 1);
  }
  ExpectSamePixels(doc, "drawn");
  for (int i = 0; i < 40; ++i)
    doc.GetItem(Uniform(0, doc.GetItemCount() - 1))->MoveBy(Uniform(-90000, 90000), 5000);
  for (int i = 0; i < 20; ++i) doc.RemoveItemAt(Uniform(0, doc.GetItemCount() - 1));
  ExpectSamePixels(doc, "changed");
  for (int i = 0; i < 30; ++i) doc.Undo(nullptr, nullptr, 1);
  ExpectSamePixels(doc, "undone");
}

}  // namespace
