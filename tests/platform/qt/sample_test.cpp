// Draws a few of everything into a PNG under the build folder, for a person to look at.
#include "pixels.h"

#include <gtest/gtest.h>
#include <QDir>

namespace zeph {
namespace {

TEST(ImageContextSample, WritesAPictureOfThePrimitives) {
  testing::Canvas canvas(480, 320);
  CDrawContext& dc = canvas.dc;
  const ColourRef red = MakeColour(220, 0, 0), blue = MakeColour(0, 0, 200);
  const ColourRef green = MakeColour(0, 150, 0), grey = MakeColour(192, 192, 192);

  // A fan of thin lines, and thick lines with flat and round ends.
  for (int i = 0; i <= 12; ++i) {
    dc.MoveTo(60, 60);
    dc.LineTo(60 + (i <= 6 ? 50 : 50 - 50 * (i - 6) / 3), 60 - (i <= 6 ? 50 * i / 6 : 50));
  }
  dc.SelectPen({PenStyle::kGeometricFlat, 9, blue});
  dc.MoveTo(20, 140);
  dc.LineTo(110, 100);
  dc.SelectPen({PenStyle::kSolid, 9, red});
  dc.MoveTo(20, 170);
  dc.LineTo(110, 130);

  // Ellipses: a filled one with a thick pen, a hollow one, small ones.
  dc.SelectPen({PenStyle::kSolid, 1, 0});
  dc.SelectBrush({BrushStyle::kSolid, grey});
  dc.Ellipse(130, 20, 231, 81);
  dc.SelectBrush({BrushStyle::kNull, 0});
  dc.SelectPen({PenStyle::kSolid, 4, green});
  dc.Ellipse(140, 95, 221, 176);
  dc.SelectPen({PenStyle::kSolid, 1, 0});
  for (int s = 1; s <= 8; ++s) dc.Ellipse(130 + 12 * s, 190, 131 + 13 * s, 191 + s);

  // Arcs: a quarter from the right to the top, and three quarters from the top to the right.
  dc.SelectPen({PenStyle::kSolid, 1, red});
  dc.Arc(250, 20, 331, 101, 400, 60, 290, 0);
  dc.SelectPen({PenStyle::kSolid, 3, blue});
  dc.Arc(255, 25, 326, 96, 290, 0, 400, 60);

  // A self-crossing polygon and a looping curve.
  const DcPoint star[] = {{400, 10}, {430, 100}, {355, 42}, {445, 42}, {370, 100}};
  dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 220, 120)});
  dc.SelectPen({PenStyle::kSolid, 1, 0});
  dc.Polygon(star);
  dc.SelectPen({PenStyle::kSolid, 2, green});
  dc.PolyBezier({DcPoint{250, 200}, DcPoint{420, 100}, DcPoint{240, 110}, DcPoint{400, 200}});

  // Exclusive or: a band across a filled rectangle and the ellipse above.
  dc.FillRect({20, 220, 220, 260}, blue);
  dc.SetRasterOp(RasterOp::kXor);
  dc.SelectPen({PenStyle::kSolid, 12, 0x00FFFFFF});
  dc.MoveTo(10, 240);
  dc.LineTo(240, 240);
  dc.SelectPen({PenStyle::kSolid, 1, 0x00FFFFFF});
  dc.MoveTo(120, 10);
  dc.LineTo(240, 100);
  dc.SetRasterOp(RasterOp::kCopy);

  // Text: plain, opaque, centred, turned about its anchor (marked red).
  DcFont font;
  font.face = QStringLiteral("Arial");
  font.height = 16;
  dc.SelectFont(font);
  dc.SetBkMode(BkMode::kTransparent);
  dc.TextOut(20, 270, u"Arial 16 px transparent");
  font.face = QStringLiteral("Times New Roman");
  font.bold = true;
  dc.SelectFont(font);
  dc.SetBkMode(BkMode::kOpaque);
  dc.SetBkColour(MakeColour(255, 255, 160));
  dc.TextOut(20, 292, u"Times bold on opaque");
  font = DcFont{QStringLiteral("Courier New"), 14, 0, 300, false, true};
  dc.SelectFont(font);
  dc.SetTextColour(blue);
  dc.TextOut(300, 300, u"Courier turned 30");
  dc.SetPixel(300, 300, red);
  font.escapement = 900;
  dc.SelectFont(font);
  dc.TextOut(460, 300, u"up 90");
  dc.SetPixel(460, 300, red);

  const QString path = QDir::current().absoluteFilePath(QStringLiteral("drawcontext_sample.png"));
  EXPECT_TRUE(canvas.image.save(path));
  EXPECT_GT(testing::PixelsNot(canvas.image).size(), 1000u);
}

}  // namespace
}  // namespace zeph
