#pragma once
// The system's default printer: its name and paper orientation, and a printing context on it
// for measuring and printing pages. The Qt printer system is installed at start-up; until
// then, and in tests, a stand-in has no printer.
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/drawcontext.h"

namespace zeph {

enum class PageOrientation : std::uint8_t { kPortrait = 1, kLandscape = 2 };

struct PrinterDefaults {
  QString name;
  bool hasOrientation = false;  // whether the printer's paper orientation can be chosen
  PageOrientation orientation = PageOrientation::kPortrait;
};

// An open printer and the printing context on it, which lives as long as this does.
class CPrinterDevice {
 public:
  virtual ~CPrinterDevice() = default;
  virtual CDrawContext& Dc() = 0;
};

class IPrinterSystem {
 public:
  virtual ~IPrinterSystem() = default;
  // The default printer's settings for new print jobs; false when there is no default
  // printer.
  virtual bool GetDefaults(PrinterDefaults& defaults) = 0;
  // The default printer as set up now (a changed default printer is picked up); null when
  // there is none or it cannot be opened.
  virtual std::unique_ptr<CPrinterDevice> OpenDefaultPrinter() = 0;
  // Sets the paper orientation of new print jobs; false when the printer does not take it.
  virtual bool SetDefaultOrientation(PageOrientation orientation) = 0;
};

// The printer system in use; the stand-in until one is installed.
IPrinterSystem& GetPrinterSystem();
// Installs a printer system (not owned); null restores the stand-in.
void SetPrinterSystem(IPrinterSystem* system);

}  // namespace zeph
