#include "items/viewmapping.h"

#include <gtest/gtest.h>

#include "platform/recordingcontext.h"
#include "support/numbers.h"

namespace {

TEST(ViewMappingTest, StartsEmpty) {
  const CViewMapping m;
  int x = 9, y = 9;
  m.GetOrigin(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(m.scaleX, 1);
  EXPECT_EQ(m.scaleY, 1);
  EXPECT_EQ(m.printScaleX, 1.0);
  EXPECT_EQ(m.GetZoomLevel(), 1);
  EXPECT_EQ(m.anchorX, 0);
  EXPECT_EQ(m.anchorY, 0);
}

TEST(ViewMappingTest, EveryZoomLevelMapsOneScaleStepToOnePixel) {
  const int scales[kZoomLevelCount] = {100000, 50000, 20000, 10000, 5000, 2000, 1000,
                                       500,    200,   100,   50,    20,   10};
  for (int level = 1; level <= kZoomLevelCount; ++level) {
    const int s = ZoomScaleOfLevel(level);
    ASSERT_EQ(s, scales[level - 1]);
    CViewMapping m;
    m.SetZoomLevel(level);
    m.scaleX = m.scaleY = s;
    m.originX = -123456;
    m.originY = 654321;
    EXPECT_EQ(m.DrawingToDeviceX(m.originX), 0) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.originY), 0) << level;
    EXPECT_EQ(m.DrawingToDeviceX(m.originX + 7 * s), 7) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.originY - s), 1) << level;  // drawing y runs upwards
    EXPECT_EQ(m.DrawingToDeviceXReal(m.originX + 2.5 * s), 3) << level;
    EXPECT_EQ(m.DrawingToDeviceYReal(m.originY + 2.5 * s), -3) << level;
    // Device to drawing is exact and the way back lands on the same pixel.
    EXPECT_EQ(m.DeviceToDrawingX(7), m.originX + 7 * s) << level;
    EXPECT_EQ(m.DeviceToDrawingY(7, 0), m.originY - 7 * s) << level;
    EXPECT_EQ(m.DrawingToDeviceX(m.DeviceToDrawingX(-31)), -31) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.DeviceToDrawingY(45, 0)), 45) << level;
    EXPECT_EQ(m.GetScaleX(), s) << level;
    EXPECT_EQ(m.GetZoomLevel(), level);
  }
  EXPECT_EQ(ZoomScaleOfLevel(0), 0);
  EXPECT_EQ(ZoomScaleOfLevel(14), 0);
}

TEST(ViewMappingTest, RoundsHalfAwayFromZero) {
  CViewMapping m;
  m.scaleX = m.scaleY = 20;
  EXPECT_EQ(m.DrawingToDeviceX(10), 1);
  EXPECT_EQ(m.DrawingToDeviceX(-10), -1);
  EXPECT_EQ(m.DrawingToDeviceX(9), 0);
  EXPECT_EQ(m.DrawingToDeviceY(10), -1);
  EXPECT_EQ(m.DrawingToDeviceY(-10), 1);
}

TEST(ViewMappingTest, PrinterUsesThePrintScales) {
  CViewMapping m;
  m.scaleX = m.scaleY = 1000;
  m.printScaleX = 84.6;
  m.printScaleY = 40.0;
  m.originX = 1000;
  m.originY = 50000;
  zeph::CRecordingContext printer;
  printer.SetPrinting(true);
  EXPECT_EQ(m.DrawingToDeviceX(1000 + 846, &printer), 10);
  EXPECT_EQ(m.DrawingToDeviceX(1000 + 846), 1);  // the screen scale without a printer
  EXPECT_EQ(m.DrawingToDeviceY(50000 - 400, &printer), 10);
  EXPECT_EQ(m.DrawingToDeviceYReal(50000 - 20.0, &printer), 1);  // half a pixel, away
  EXPECT_EQ(m.GetScaleX(&printer), 84.6);
  EXPECT_EQ(m.GetScaleY(&printer), 40.0);
  EXPECT_EQ(m.GetScaleY(), 1000.0);
  EXPECT_EQ(m.DeviceToDrawingY(10, 1), 50000 - 400);
  EXPECT_EQ(m.DeviceToDrawingY(10, 0), 50000 - 10000);
}

TEST(ViewMappingTest, ExtremeValuesClampInsteadOfWrapping) {
  CViewMapping m;
  m.scaleX = m.scaleY = 100000;
  m.originX = 50000000;
  m.originY = -30000000;
  EXPECT_EQ(m.DeviceToDrawingX(2000000000), kIntRangeMax);
  EXPECT_EQ(m.DeviceToDrawingY(2000000000, 0), -kIntRangeMax);
  m.scaleX = 0;  // no scale set: no division by zero reaches the caller
  EXPECT_EQ(m.DrawingToDeviceX(m.originX + 5), kIntRangeMax);
  EXPECT_EQ(m.DrawingToDeviceX(m.originX), 0);
}

TEST(ViewMappingTest, ZoomLevelOutsideTheTableIsIgnored) {
  CViewMapping m;
  m.SetZoomLevel(7);
  for (const int bad : {0, 14, -1, 65536}) {
    m.SetZoomLevel(bad);
    EXPECT_EQ(m.GetZoomLevel(), 7) << bad;
  }
  m.SetZoomLevel(65536 + 13);  // taken as a 16-bit value
  EXPECT_EQ(m.GetZoomLevel(), 13);
}

TEST(ViewMappingTest, ResizeAndAlignment) {
  CViewMapping m;
  m.scaleX = m.scaleY = 1000;
  m.originY = 500000;
  m.SetClientSize(0, 400);
  m.AdjustForHeight(500);  // 100 pixels taller: the bottom edge keeps its drawing point
  EXPECT_EQ(m.originY, 600000);
  m.SetClientSize(0, 500);
  m.SetWindowExtent(640, 500);
  EXPECT_EQ(m.windowWidth, 640);
  EXPECT_EQ(m.windowHeight, 500);

  // The bottom-left drawing point moves onto a multiple of 10 pixels (10,000 units), toward
  // the anchor's multiple: origin - anchor x scale is truncated.
  m.originX = 12345;
  m.originY = 600000 + 6789;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, 10000);
  EXPECT_EQ(m.originY, 600000);
  m.originX = -12345;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, -10000);

  m.scaleX = 0;  // nothing to align to
  m.originX = 777;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, 777);
}

TEST(ViewMappingTest, GlobalsReset) {
  g_cursorPoint = {5, 6};
  g_realWorldScale = 50.0;
  g_unitFactor = 100.0;
  ResetViewGlobals();
  EXPECT_EQ(g_cursorPoint, (DrawingPoint{0, 0}));
  EXPECT_EQ(g_realWorldScale, 1.0);
  EXPECT_EQ(g_unitFactor, 1.0);
}

}  // namespace
