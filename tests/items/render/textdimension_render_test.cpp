// A turned text and dimensions of each text placement drawn with the machine's fonts into a
// PNG under the build folder for a person to look at, and measured: the turned text's ink
// stays inside the box the item computes for it, and the dimension line is broken where its
// value text sits and drawn up to its arrow tips.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "items/dimensionitem.h"
#include "items/itemdocument.h"
#include "items/itemservices.h"
#include "items/measure.h"
#include "items/render/render_support.h"
#include "items/textitem.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/constants.h"
#include "support/log.h"

namespace {

constexpr int kScale = 264;  // drawing units per pixel: 96 dots per inch at full size

std::unique_ptr<CDimensionItem> MakeDimension(int x1, int y1, int x2, int y2, int offset,
                                              std::uint8_t mode, std::uint8_t position,
                                              std::uint8_t ends, zeph::ColourRef colour,
                                              CPlainDocument& document) {
  auto item = std::make_unique<CDimensionItem>();
  item->SetStart(x1, y1);
  item->SetEnd(x2, y2);
  item->SetOffset(offset);
  item->SetTextAngleMode(mode);
  item->SetTextPosition(position);
  item->SetLineEnds(ends);
  item->SetArrowSize(6 * kScale);
  item->SetExtension(4 * kScale);
  item->SetExtensionGap(3 * kScale);
  item->SetUnits(kUnitsAutomatic);
  item->SetDecimals(2);
  item->SetFont(Font(10));
  item->SetColour(static_cast<int>(colour));
  item->SetDocument(&document);
  return item;
}

int InkInside(const QImage& image, const zeph::DcRect& box, bool inside) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == kWhite) continue;
      const bool in = x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
      if (in == inside) ++count;
    }
  }
  return count;
}

void DrawSheet() {
  ResetLogState();
  CImageView view;
  SetEditingView(&view);
  CPlainDocument document(50.0);  // 1 to 50: metres

  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = kScale;
  mapping.originX = 0;
  mapping.originY = 0;  // device (x, y) is drawing (264 x, -264 y)

  // ---- A text turned by 30 degrees, alone on its own sheet first ----
  QImage textOnly(400, 300, QImage::Format_RGB32);
  textOnly.fill(kWhite);
  zeph::CImageContext textDc(textOnly);
  CTextItem text;
  text.SetPosition(60 * kScale, -220 * kScale);
  text.SetText(QStringLiteral("Turned text 30°"));
  text.SetFont(Font(16));
  text.SetTextAngle(30.0 * g_radiansPerDegree);
  text.SetColour(static_cast<int>(zeph::MakeColour(0, 0, 160)));
  text.Draw(&textDc, &mapping, kDrawOwnColour, 0);
  zeph::DcRect box;
  ASSERT_EQ(text.GetTextDeviceBox(&textDc, 60, 220, &mapping, box), 1);
  const zeph::DcRect roomy{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
  EXPECT_GT(InkInside(textOnly, roomy, true), 100);
  EXPECT_EQ(InkInside(textOnly, roomy, false), 0);
  // The text rises to the right: its box is wider than high and starts at the anchor's left.
  EXPECT_EQ(box.left, 60);
  EXPECT_LT(box.top, 220 - 40);

  // ---- The sheet: the text and four dimensions ----
  QImage image(720, 480, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  text.Draw(&dc, &mapping, kDrawOwnColour, 0);

  // An aligned dimension with its value in a break of the line, arrows and extension lines.
  auto aligned = MakeDimension(380 * kScale, -200 * kScale, 680 * kScale, -60 * kScale, 30 * kScale,
                               kTextAngleLine, kTextInLine, kLineEndsNormal,
                               zeph::MakeColour(160, 0, 0), document);
  // A level one with dashes and its value outside, above the line.
  auto level = MakeDimension(40 * kScale, -300 * kScale, 340 * kScale, -300 * kScale, -20 * kScale,
                             kTextAngleLine, kTextOutside, kLineEndsDashes,
                             zeph::MakeColour(0, 120, 0), document);
  // A horizontal dimension between points at different heights, level text over the line.
  auto horizontal = MakeDimension(40 * kScale, -460 * kScale, 340 * kScale, -420 * kScale,
                                  20 * kScale, kTextAngleHorizontal, kTextOutside, kLineEndsLines,
                                  zeph::MakeColour(120, 0, 120), document);
  horizontal->SetDimensionType(kDimensionHorizontal);
  // A vertical dimension with level text beside it and no line ends.
  auto vertical = MakeDimension(520 * kScale, -380 * kScale, 620 * kScale, -250 * kScale,
                                30 * kScale, kTextAngleHorizontal, kTextOutside, kLineEndsArrows,
                                zeph::MakeColour(0, 100, 140), document);
  vertical->SetDimensionType(kDimensionVertical);
  for (const CDimensionItem* item :
       {aligned.get(), level.get(), horizontal.get(), vertical.get()}) {
    item->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }

  const QString path = QDir::current().absoluteFilePath(QStringLiteral("text_and_dimensions.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();

  // The aligned dimension: ink at both arrow tips, none in the break's margins beside the
  // text, ink again beyond the break.
  aligned->NormalisePoints();
  aligned->Layout(&mapping);
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  aligned->GetDimensionLine(x1, y1, x2, y2);
  const auto pixelAt = [&](double t) {
    const double x = x1 + t * (static_cast<double>(x2) - x1);
    const double y = y1 + t * (static_cast<double>(y2) - y1);
    return image.pixel(mapping.DrawingToDeviceXReal(x), mapping.DrawingToDeviceYReal(y));
  };
  const double length = std::hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
  const double u = (1.0 - aligned->GetTextGap() / length) / 2.0;
  const double pixel = kScale / length;  // one pixel as a fraction of the line
  EXPECT_NE(pixelAt(0.0), kWhite);
  EXPECT_NE(pixelAt(1.0 - pixel), kWhite);
  EXPECT_NE(pixelAt(u - 3 * pixel), kWhite);
  EXPECT_EQ(pixelAt(u + 2 * pixel), kWhite);
  EXPECT_EQ(pixelAt(1.0 - u - 2 * pixel), kWhite);
  EXPECT_NE(pixelAt(1.0 - u + 3 * pixel), kWhite);
  EXPECT_EQ(aligned->GetValueText(), QStringLiteral("4.37m"));

  EXPECT_EQ(g_glitchCount, 0);
  ResetItemServices();
}

TEST(TextDimensionRender, TurnedTextAndDimensions) {
  const std::unique_ptr<QGuiApplication> app = MakeGuiApplication();
  DrawSheet();
}

}  // namespace
