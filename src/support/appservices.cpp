#include "support/appservices.h"

QString g_userName;
QString g_programFolder;
QString g_documentsFolder;
int g_startFolderGiven = 0;
QString g_managerFileName;
QString g_optionsFileName;
QString g_optionsFileHeader;
QString g_settingsHeader;
QString g_machineSettingsName;
QString g_userSettingsName;

namespace {
class NoApplication final : public IAppServices {
 public:
  bool HasActiveDocument() const override { return false; }
  QString GetActiveDocumentPath() const override { return {}; }
  int GetActiveDocumentItemCount() const override { return 0; }
};
NoApplication g_noApplication;
IAppServices* g_appServices = nullptr;
}  // namespace

IAppServices& GetAppServices() {
  return g_appServices != nullptr ? *g_appServices : g_noApplication;
}

void SetAppServices(IAppServices* services) { g_appServices = services; }

void ResetAppGlobals() {
  g_userName.clear();
  g_programFolder.clear();
  g_documentsFolder.clear();
  g_startFolderGiven = 0;
  g_managerFileName.clear();
  g_optionsFileName.clear();
  g_optionsFileHeader.clear();
  g_settingsHeader.clear();
  g_machineSettingsName.clear();
  g_userSettingsName.clear();
}
