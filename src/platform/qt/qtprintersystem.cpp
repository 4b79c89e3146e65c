#include "platform/qt/qtprintersystem.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/qt/printercontext.h"

namespace zeph {

CQtPrinterDevice::CQtPrinterDevice(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer)), m_context(std::make_unique<CPrinterContext>(*m_printer)) {}

// The context goes first: it may still hold a painter on the printer.
CQtPrinterDevice::~CQtPrinterDevice() { m_context.reset(); }

CDrawContext& CQtPrinterDevice::Dc() { return *m_context; }

CQtPrinterSystem::CQtPrinterSystem(const QString& pdfPath) {
  if (!pdfPath.isEmpty()) m_pdfName = [pdfPath] { return pdfPath; };
}

CQtPrinterSystem::CQtPrinterSystem(std::function<QString()> pdfName)
    : m_pdfName(std::move(pdfName)) {}

std::unique_ptr<QPrinter> CQtPrinterSystem::MakePrinter() const {
  if (QPrinterInfo::defaultPrinter().isNull() && !HasPdfPrinter()) return nullptr;
  std::unique_ptr<QPrinter> printer;
  const QPrinterInfo chosen =
      m_chosenPrinter.isEmpty() ? QPrinterInfo() : QPrinterInfo::printerInfo(m_chosenPrinter);
  if (!chosen.isNull()) {
    printer = std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
  } else {
    const QString pdfPath = HasPdfPrinter() ? m_pdfName() : QString();
    if (QPrinterInfo::defaultPrinter().isNull() && pdfPath.isEmpty()) return nullptr;
    printer = MakeDefaultPrinter(pdfPath);
  }
  if (printer != nullptr && m_chosenLayout.has_value()) printer->setPageLayout(*m_chosenLayout);
  if (printer != nullptr && m_orientation.has_value()) {
    printer->setPageOrientation(*m_orientation == PageOrientation::kLandscape
                                    ? QPageLayout::Landscape
                                    : QPageLayout::Portrait);
  }
  return printer;
}

bool CQtPrinterSystem::GetDefaults(PrinterDefaults& defaults) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() && !HasPdfPrinter()) return false;
  const QPrinterInfo chosen =
      m_chosenPrinter.isEmpty() ? QPrinterInfo() : QPrinterInfo::printerInfo(m_chosenPrinter);
  defaults.name = !chosen.isNull() ? chosen.printerName()
                  : info.isNull()  ? QString::fromUtf16(kPdfPrinterName)
                                   : info.printerName();
  defaults.hasOrientation = true;
  if (m_orientation.has_value()) {
    defaults.orientation = *m_orientation;
  } else {
    const std::unique_ptr<QPrinter> printer = MakePrinter();
    defaults.orientation =
        printer != nullptr && printer->pageLayout().orientation() == QPageLayout::Landscape
            ? PageOrientation::kLandscape
            : PageOrientation::kPortrait;
  }
  return true;
}

std::unique_ptr<CPrinterDevice> CQtPrinterSystem::OpenDefaultPrinter() {
  std::unique_ptr<QPrinter> printer = MakePrinter();
  if (printer == nullptr || !printer->isValid()) return nullptr;
  return std::make_unique<CQtPrinterDevice>(std::move(printer));
}

bool CQtPrinterSystem::SetDefaultOrientation(PageOrientation orientation) {
  if (QPrinterInfo::defaultPrinter().isNull() && !HasPdfPrinter()) return false;
  m_orientation = orientation;
  return true;
}

void CQtPrinterSystem::ChoosePrinter(const QPrinter& printer) {
  // The PDF printer stands in where none is installed; it is no printer to choose by name.
  m_chosenPrinter =
      printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
  m_chosenLayout = printer.pageLayout();
  m_orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                      ? PageOrientation::kLandscape
                      : PageOrientation::kPortrait;
}

}  // namespace zeph
