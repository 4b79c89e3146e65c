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

CQtPrinterSystem::CQtPrinterSystem(const QString& pdfPath) : m_pdfPath(pdfPath) {}

std::unique_ptr<QPrinter> CQtPrinterSystem::MakePrinter() const {
  if (QPrinterInfo::defaultPrinter().isNull() && m_pdfPath.isEmpty()) return nullptr;
  std::unique_ptr<QPrinter> printer = MakeDefaultPrinter(m_pdfPath);
  if (printer != nullptr && m_orientation.has_value()) {
    printer->setPageOrientation(*m_orientation == PageOrientation::kLandscape
                                    ? QPageLayout::Landscape
                                    : QPageLayout::Portrait);
  }
  return printer;
}

bool CQtPrinterSystem::GetDefaults(PrinterDefaults& defaults) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() && m_pdfPath.isEmpty()) return false;
  defaults.name = info.isNull() ? QString::fromUtf16(kPdfPrinterName) : info.printerName();
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
  if (QPrinterInfo::defaultPrinter().isNull() && m_pdfPath.isEmpty()) return false;
  m_orientation = orientation;
  return true;
}

}  // namespace zeph
