// Print jobs on the shared Qt printer: the print dialog over it, and its pages.
#include <QApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

#include "editor/zephview.h"
#include "platform/printersystem.h"
#include "platform/qt/printercontext.h"
#include "platform/qt/qtprintersystem.h"

namespace {

class CQtPrintJobDriver final : public IPrintJobDriver {
 public:
  bool DoPreparePrinting(CPrintInfo& info) override {
    zeph::CQtPrinterDevice* device = Device();
    if (device == nullptr) return false;
    QPrinter& printer = device->printer();
    PrintDialogChoices& choices = info.choices;
    if (info.direct) {
      printer.setCopyCount(choices.copies);
      if (choices.fromPage > 1 || choices.toPage < choices.maxPage) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(choices.fromPage, std::min<int>(choices.toPage, choices.maxPage));
      } else {
        printer.setPrintRange(QPrinter::AllPages);
      }
      return true;
    }
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setMinMax(static_cast<int>(info.minPage), static_cast<int>(choices.maxPage));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
      choices.fromPage = static_cast<std::uint16_t>(printer.fromPage());
      choices.toPage = static_cast<std::uint16_t>(std::max(printer.fromPage(), printer.toPage()));
    } else {
      choices.fromPage = 1;
      choices.toPage = 0xFFFF;
    }
    choices.copies = static_cast<std::uint16_t>(std::max(1, printer.copyCount()));
    // The paper chosen in the dialog becomes the printer's, as the orientation check reads it.
    zeph::GetPrinterSystem().SetDefaultOrientation(printer.pageLayout().orientation() ==
                                                           QPageLayout::Landscape
                                                       ? zeph::PageOrientation::kLandscape
                                                       : zeph::PageOrientation::kPortrait);
    return true;
  }

  zeph::CDrawContext* BeginJob(const CPrintInfo& /*info*/) override {
    zeph::CQtPrinterDevice* device = Device();
    if (device == nullptr || !device->context().BeginDocument()) return nullptr;
    m_firstPage = true;
    return &device->context();
  }

  bool StartPage(int /*page*/) override {
    zeph::CQtPrinterDevice* device = Device();
    if (device == nullptr) return false;
    if (m_firstPage) {
      m_firstPage = false;
      return true;
    }
    return device->context().NewPage();
  }

  void EndPage() override {}

  void EndJob(bool aborted) override {
    zeph::CQtPrinterDevice* device = Device();
    if (device == nullptr) return;
    if (aborted) {
      device->context().AbortDocument();
    } else {
      device->context().EndDocument();
    }
  }

 private:
  static zeph::CQtPrinterDevice* Device() {
    if (g_printerDCExists != 1) return nullptr;
    return dynamic_cast<zeph::CQtPrinterDevice*>(g_printerDC.get());
  }

  bool m_firstPage = true;
};

IPrintJobDriver* g_printJobDriver = nullptr;

}  // namespace

IPrintJobDriver& GetPrintJobDriver() {
  static CQtPrintJobDriver qtDriver;
  return g_printJobDriver != nullptr ? *g_printJobDriver : qtDriver;
}

void SetPrintJobDriver(IPrintJobDriver* driver) { g_printJobDriver = driver; }
