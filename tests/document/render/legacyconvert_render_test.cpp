// An old drawing whose hatches were stored as segments, read and converted into hatched fills,
// painted on the Qt back buffer into a PNG under the build folder for a look: a room with an
// island (a hole of its fill), a room hatched both ways, and a room
// without its right wall, closed for the conversion by a temporary line that is gone again.
// The painted pixels are checked where the answer is certain.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

#include "document/document.h"
#include "items/render/render_support.h"
#include "document/drawingfile.h"
#include "items/drawitem.h"
#include "items/hatch.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/options.h"

namespace {

constexpr int kZoomLevel = 8;  // 500 units a pixel

QString LegacyFixture(const char* name) {
  return QStringLiteral(ZEPH_TEST_DATA_DIR "/drawings/legacy/") + QString::fromLatin1(name);
}


TEST(LegacyConvertRender, OldPlanWithHatchesBecomesFills) {
  ResetLogState();
  ApplyOptionDefaults();
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(LegacyFixture("plan.zpd"), kReadOpen), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  int fills = 0;
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    EXPECT_NE(item->GetObjectNumber(), kObjectNumberConversion);
    if (item->GetType() == kItemFill) ++fills;
  }
  ASSERT_EQ(fills, 3);
  EXPECT_EQ(doc.GetItem(0)->GetHoleCount(), 1);
  EXPECT_EQ(doc.GetItem(1)->GetHatchPattern()->GetLineCount(), 2);

  CViewMapping mapping;
  mapping.SetZoomLevel(kZoomLevel);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(kZoomLevel);
  mapping.originX = -10000;
  mapping.originY = 140000;
  QImage image(480, 320, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    doc.GetItem(i)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("legacy_plan.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  EXPECT_EQ(g_glitchCount, 0);

  auto ink = [&](int x1, int y1, int x2, int y2) {
    return InkIn(image, mapping.DrawingToDeviceX(x1), mapping.DrawingToDeviceY(y2),
                 mapping.DrawingToDeviceX(x2), mapping.DrawingToDeviceY(y1));
  };
  // Hatching all round the island, none inside it.
  EXPECT_GT(ink(5000, 5000, 35000, 95000), 100);
  EXPECT_GT(ink(65000, 5000, 95000, 95000), 100);
  EXPECT_EQ(ink(43000, 44000, 57000, 56000), 0);
  // Both ways in the second room: a column and a row between the lines of the other family.
  EXPECT_GT(ink(112000, 2000, 114000, 58000), 10);
  EXPECT_GT(ink(112000, 2000, 208000, 4000), 10);
  // The room without a right wall is hatched up to where the wall would be, not beyond.
  EXPECT_GT(ink(115000, 75000, 205000, 125000), 100);
  EXPECT_EQ(ink(212000, 70000, 228000, 128000), 0);
  // Nothing between the rooms.
  EXPECT_EQ(ink(102000, 5000, 108000, 95000), 0);
}

}  // namespace
