#pragma once
// What the support library needs from the layers above it (the drawing document and the
// application). The application sets the globals at start-up and registers its services;
// until then, and in tests, neutral answers or a fake stand in.
#include <QString>

#include "support/timevalue.h"

// Set by the application at start-up.
extern QString g_userName;
extern QString g_programFolder;    // no trailing separator
extern QString g_documentsFolder;
extern int g_startFolderGiven;     // the command line held "/S"
extern QString g_managerFileName;      // "Zeph.cmf"
extern QString g_optionsFileName;      // "Zeph.ini"
extern QString g_optionsFileHeader;    // "[Zephorin]"
extern QString g_settingsHeader;       // "[Zephorin]"
extern QString g_machineSettingsName;  // "Zeph.lmf"
extern QString g_userSettingsName;     // "Zeph.luf"

// The few operations of the application and its active drawing that support code calls.
class IAppServices {
 public:
  virtual ~IAppServices() = default;
  // False when there is no main window or no active drawing.
  virtual bool HasActiveDocument() const = 0;
  // The active drawing's full path; empty for one never saved.
  virtual QString GetActiveDocumentPath() const = 0;
  virtual int GetActiveDocumentItemCount() const = 0;
  // After the options store was reset: the active drawing takes its print settings from the
  // options again and the printer follows. Nothing to do without an application.
  virtual void ReapplyPrintSettings() {}
};

// The registered services, or a stand-in that has no active drawing.
IAppServices& GetAppServices();
// Registers the services (not owned); null restores the stand-in.
void SetAppServices(IAppServices* services);

// Gives every global above its value before the application sets it (empty, 0).
void ResetAppGlobals();
