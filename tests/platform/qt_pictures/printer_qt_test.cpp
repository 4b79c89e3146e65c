// The printer set-up over Qt. Where no printer is installed (as in CI) pages go to a PDF file.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "platform/qt/printercontext.h"
#include "platform/qt/qtprintersystem.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/screen.h"

namespace {

class QtPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    ResetPrinterState();
    ResetScreenState();
    g_logFolder = m_folder.path();
  }
  void TearDown() override {
    ResetPrinterState();  // closes the printer before its system goes
    zeph::SetPrinterSystem(nullptr);
    ResetScreenState();
    ResetLogState();
  }

  // The page sizes of the PDF file, in points.
  static QList<QSizeF> PdfPageSizes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLatin1(file.readAll());
    QList<QSizeF> sizes;
    const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])"));
    for (auto it = box.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      sizes.append({m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return sizes;
  }

  QTemporaryDir m_folder;
};

TEST_F(QtPrinterTest, PdfPageIsMeasuredAsA4AtThePrintersResolution) {
  const QString pdf = m_folder.filePath(QStringLiteral("page.pdf"));
  zeph::CQtPrinterSystem system(pdf);
  zeph::SetPrinterSystem(&system);
  MeasurePrinter();
  ASSERT_EQ(g_printerDCExists, 1);
  ASSERT_GE(g_currentPrinter, 0);
  EXPECT_EQ(g_printerNames[g_currentPrinter], QString::fromUtf16(zeph::kPdfPrinterName));
  EXPECT_EQ(g_printerDpiX, g_printerDpiY);
  const int dpi = g_printerDpiX;
  EXPECT_GT(dpi, 0);
  // The whole sheet, margins included, is 210 x 297 mm at the printer's resolution (across,
  // near-equal margins are made equal, within 0.02 inch).
  const double sheetWidth = g_printerLeftMargin + g_printerWidthInches + g_printerRightMargin;
  const double sheetHeight = g_printerTopMargin + g_printerHeightInches + g_printerBottomMargin;
  EXPECT_NEAR(sheetWidth * dpi, 210 / 25.4 * dpi, 0.02 * dpi);
  EXPECT_NEAR(sheetHeight * dpi, 297 / 25.4 * dpi, 1.0);
  EXPECT_EQ(g_printerLineThickness[g_currentPrinter], std::max(1, dpi / 150));
  EXPECT_EQ(g_printerScreenRatio, std::max(1, (dpi + 48) / 96));

  // A page printed on the shared context lands in the file as one A4 page.
  auto* device = dynamic_cast<zeph::CQtPrinterDevice*>(g_printerDC.get());
  ASSERT_NE(device, nullptr);
  zeph::CPrinterContext& dc = device->context();
  const zeph::DeviceCaps caps = dc.GetDeviceCaps();
  EXPECT_NEAR(caps.physicalWidth, 210 / 25.4 * dpi, 1.0);
  EXPECT_NEAR(caps.physicalHeight, 297 / 25.4 * dpi, 1.0);
  ASSERT_TRUE(dc.BeginDocument());
  dc.FillRect({0, 0, caps.width / 2, caps.height / 2}, 0x0000FF);
  dc.TextOut(dpi, dpi, QStringLiteral("Zephorin"));
  ASSERT_TRUE(dc.EndDocument());
  const QList<QSizeF> pages = PdfPageSizes(pdf);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_NEAR(pages[0].width(), 595.3, 1.0);
  EXPECT_NEAR(pages[0].height(), 841.9, 1.0);
}

TEST_F(QtPrinterTest, LandscapeTurnsTheMeasuredPage) {
  const QString pdf = m_folder.filePath(QStringLiteral("landscape.pdf"));
  zeph::CQtPrinterSystem system(pdf);
  zeph::SetPrinterSystem(&system);
  MeasurePrinter();
  const double portraitWidth = g_printerWidthInches;
  const double portraitHeight = g_printerHeightInches;
  EXPECT_LT(portraitWidth, portraitHeight);
  EXPECT_EQ(SetPrinterOrientation(0), 0);
  EXPECT_EQ(SetPrinterOrientation(1), 1);
  EXPECT_DOUBLE_EQ(g_printerWidthInches, portraitHeight);
  EXPECT_DOUBLE_EQ(g_printerHeightInches, portraitWidth);
  EXPECT_EQ(SetPrinterOrientation(1), 0);

  auto* device = dynamic_cast<zeph::CQtPrinterDevice*>(g_printerDC.get());
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(device->context().BeginDocument());
  ASSERT_TRUE(device->context().EndDocument());
  const QList<QSizeF> pages = PdfPageSizes(pdf);
  ASSERT_EQ(pages.size(), 1);
  EXPECT_GT(pages[0].width(), pages[0].height());
}

TEST_F(QtPrinterTest, WithoutPrinterOrFileTheA4FallbackHolds) {
  zeph::CQtPrinterSystem system;
  zeph::SetPrinterSystem(&system);
  MeasurePrinter();
  EXPECT_EQ(g_printerDCExists, -1);
  EXPECT_EQ(GetPrinterDC(nullptr), nullptr);
  EXPECT_DOUBLE_EQ(g_printerWidthInches, 8.267716535433072);
  EXPECT_DOUBLE_EQ(g_printerHeightInches, 11.692913385826772);
  EXPECT_EQ(g_printerDpiX, 300);
  EXPECT_EQ(g_printerScreenRatio, 3);
  EXPECT_EQ(SetPrinterOrientation(1), 0);
  EXPECT_DOUBLE_EQ(g_printerWidthInches, 11.692913385826772);
}

}  // namespace
