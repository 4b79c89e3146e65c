#pragma once
// The printer system over Qt: the system's default printer, or, where none is installed and a
// file is given, a PDF printer writing that file. The paper orientation asked for applies to
// every printer opened afterwards.
#include "platform/printersystem.h"

#include <QPageLayout>
#include <QString>
#include <functional>
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
  // pdfName gives that file afresh each time the printer is opened (after the drawing being
  // printed, say); an empty answer makes no PDF printer.
  explicit CQtPrinterSystem(std::function<QString()> pdfName);

  bool GetDefaults(PrinterDefaults& defaults) override;
  std::unique_ptr<CPrinterDevice> OpenDefaultPrinter() override;
  bool SetDefaultOrientation(PageOrientation orientation) override;

  // A printer as the next print job gets it, for the printer set-up to show; null when there
  // is none.
  std::unique_ptr<QPrinter> MakePrinter() const;
  // The printer and paper chosen in the printer set-up, for every printer opened afterwards.
  void ChoosePrinter(const QPrinter& printer);

 private:
  bool HasPdfPrinter() const { return static_cast<bool>(m_pdfName); }

  std::function<QString()> m_pdfName;
  std::optional<PageOrientation> m_orientation;
  QString m_chosenPrinter;  // empty: the system's default printer
  std::optional<QPageLayout> m_chosenLayout;
};

// The name under which the PDF printer is known.
inline constexpr char16_t kPdfPrinterName[] = u"PDF file";

}  // namespace zeph
