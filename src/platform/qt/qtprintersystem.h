#pragma once
// The printer system over Qt: the system's default printer, or, where none is installed and a
// file is given, a PDF printer writing that file. The paper orientation asked for applies to
// every printer opened afterwards.
#include "platform/printersystem.h"

#include <QString>
#include <memory>
#include <optional>

class QPrinter;

namespace zeph {

class CPrinterContext;

// An open Qt printer and its printing context, for the printing code that drives the job.
class CQtPrinterDevice final : public CPrinterDevice {
 public:
  explicit CQtPrinterDevice(std::unique_ptr<QPrinter> printer);
  ~CQtPrinterDevice() override;
  CDrawContext& Dc() override;
  QPrinter& printer() { return *m_printer; }
  CPrinterContext& context() { return *m_context; }

 private:
  std::unique_ptr<QPrinter> m_printer;
  std::unique_ptr<CPrinterContext> m_context;
};

class CQtPrinterSystem final : public IPrinterSystem {
 public:
  // pdfPath: the file a PDF printer writes where no printer is installed; empty for none.
  explicit CQtPrinterSystem(const QString& pdfPath = QString());

  bool GetDefaults(PrinterDefaults& defaults) override;
  std::unique_ptr<CPrinterDevice> OpenDefaultPrinter() override;
  bool SetDefaultOrientation(PageOrientation orientation) override;

 private:
  std::unique_ptr<QPrinter> MakePrinter() const;

  QString m_pdfPath;
  std::optional<PageOrientation> m_orientation;
};

// The name under which the PDF printer is known.
inline constexpr char16_t kPdfPrinterName[] = u"PDF file";

}  // namespace zeph
