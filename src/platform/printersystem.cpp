#include "platform/printersystem.h"

namespace zeph {
namespace {

class CNoPrinterSystem final : public IPrinterSystem {
 public:
  bool GetDefaults(PrinterDefaults&) override { return false; }
  std::unique_ptr<CPrinterDevice> OpenDefaultPrinter() override { return nullptr; }
  bool SetDefaultOrientation(PageOrientation) override { return false; }
};

IPrinterSystem* g_printerSystem = nullptr;

}  // namespace

IPrinterSystem& GetPrinterSystem() {
  static CNoPrinterSystem standIn;
  return g_printerSystem != nullptr ? *g_printerSystem : standIn;
}

void SetPrinterSystem(IPrinterSystem* system) { g_printerSystem = system; }

}  // namespace zeph
