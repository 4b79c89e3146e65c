// The sheet of hatch-pattern samples as the hatch chooser shows it, laid out through the fill
// search and painted on the Qt back buffer into a PNG under the build folder for a look. The
// frames, the hatching inside every cell and the captions under them are checked.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "document/document.h"
#include "items/render/render_support.h"
#include "items/drawitem.h"
#include "items/hatch.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace {

constexpr int kZoomLevel = 7;  // 1000 units a pixel



TEST(HatchSamplesRender, SheetOfThreeColumns) {
  const auto app = MakeGuiApplication();
  ResetLogState();
  const std::int16_t savedAcross = GetOptionShort(kOptionHatchPatternAcross);
  const std::int16_t savedDown = GetOptionShort(kOptionHatchPatternDown);
  SetOptionShort(kOptionHatchPatternAcross, 3);
  SetOptionShort(kOptionHatchPatternDown, 60);
  CZephDoc sheet(DocumentRole::kAuxiliary);
  const int built = sheet.BuildHatchSamples(400);
  SetOptionShort(kOptionHatchPatternAcross, savedAcross);
  SetOptionShort(kOptionHatchPatternDown, savedDown);
  ASSERT_EQ(built, 1);
  ASSERT_EQ(sheet.GetItemCount(), kHatchDefinitionCount * 6);

  CViewMapping mapping;
  mapping.SetZoomLevel(kZoomLevel);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(kZoomLevel);
  mapping.originX = 0;
  mapping.originY = 110000;
  QImage image(210, 450, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  for (int i = 0; i < sheet.GetItemCount(); ++i) {
    sheet.GetItem(i)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("hatch_samples.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  EXPECT_EQ(g_glitchCount, 0);

  // Cells of 53333 by 31999 units, 10000 apart, rows 31999 + 15000 apart.
  const int cell = 53333;
  const int height = 31999;
  for (int j = 0; j < kHatchDefinitionCount; ++j) {
    SCOPED_TRACE(g_hatchDefinitions[static_cast<std::size_t>(j)].GetName().toStdString());
    const int left = (j % 3) * (cell + 10000) + 10000;
    const int top = 100000 - (j / 3) * (height + 15000);
    const int x1 = mapping.DrawingToDeviceX(left);
    const int x2 = mapping.DrawingToDeviceX(left + cell);
    const int y1 = mapping.DrawingToDeviceY(top);
    const int y2 = mapping.DrawingToDeviceY(top - height);
    // The frame's corner, hatching well inside the frame, the caption just below it.
    EXPECT_EQ(image.pixel(x1, y1), qRgb(static_cast<int>(g_colourTable[8] & 0xFF),
                                        static_cast<int>((g_colourTable[8] >> 8) & 0xFF),
                                        static_cast<int>((g_colourTable[8] >> 16) & 0xFF)));
    EXPECT_GT(InkIn(image, x1 + 3, y1 + 3, x2 - 3, y2 - 3), 10);
    EXPECT_GT(InkIn(image, x1, y2 + 2, x2, y2 + 14), 5);
  }
  // Nothing beside the sheet.
  EXPECT_EQ(InkIn(image, 195, 0, 209, 449), 0);
}

}  // namespace
