// The printer system where no printer is installed: the PDF printer's file is asked for afresh
// each time a printer is opened (a print job names it after the drawing it prints), and what
// the printer set-up chose holds for the printers opened after it.
#include "platform/qt/qtprintersystem.h"

#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace zeph {
namespace {

TEST(QtPrinterSystem, ThePdfFileIsNamedAfreshForEachPrinterAndTheSetUpsPaperHolds) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
  QString next = QStringLiteral("/home/pupil/Documents/Bridge.pdf");
  int asked = 0;
  CQtPrinterSystem printers([&] {
    ++asked;
    return next;
  });
  std::unique_ptr<QPrinter> printer = printers.MakePrinter();
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->outputFileName(), next);
  next = QStringLiteral("/home/pupil/Documents/House.pdf");
  EXPECT_EQ(printers.MakePrinter()->outputFileName(), next);
  EXPECT_EQ(asked, 2);

  // The set-up chose A5 landscape.
  QPrinter chosen(QPrinter::HighResolution);
  chosen.setOutputFormat(QPrinter::PdfFormat);
  chosen.setPageSize(QPageSize(QPageSize::A5));
  chosen.setPageOrientation(QPageLayout::Landscape);
  printers.ChoosePrinter(chosen);
  printer = printers.MakePrinter();
  EXPECT_EQ(printer->pageLayout().pageSize().id(), QPageSize::A5);
  EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_EQ(printer->outputFileName(), next);  // the file is still the print job's own
  PrinterDefaults defaults;
  ASSERT_TRUE(printers.GetDefaults(defaults));
  EXPECT_EQ(defaults.orientation, PageOrientation::kLandscape);

  // No file to write: no printer.
  next.clear();
  EXPECT_EQ(printers.MakePrinter(), nullptr);
  EXPECT_EQ(printers.OpenDefaultPrinter(), nullptr);
}

}  // namespace
}  // namespace zeph
