#pragma once
// A fixture for the usage log, the internet tasks and the upload: fresh home, XDG and data
// folders for each test (the shared data folder is under the first of XDG_DATA_DIRS), and the
// log, folders, settings, file status and the state of those three as at program start.
#include <QByteArray>
#include <QString>

#include "support/appservices.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/env_sandbox.h"
#include "support/filestatus.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/reportupload.h"
#include "support/settings.h"
#include "support/usagelog.h"

class NetSandbox : public EnvSandbox {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_root.isValid());
    const QString home = MakeFolder(QStringLiteral("home"));
    SetEnv("HOME", home);
    SetEnv("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    SetEnv("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    SetEnv("XDG_DATA_DIRS", MakeFolder(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
    SetEnv("TMPDIR", MakeFolder(QStringLiteral("tmp")));
    m_home = home;
    ResetAll();
    // Glitch reports go here, never into the folders under test.
    g_logFolder = MakeFolder(QStringLiteral("logs"));
    m_oldStartTime = g_startTime;
  }

  void TearDown() override {
    ResetAll();
    g_startTime = m_oldStartTime;
    RestoreEnv();
  }

  static void ResetAll() {
    ResetLogState();
    ResetDataFolders();
    ResetSettingsState();
    ResetFileStatus();
    ResetAppGlobals();
    ResetInternetState();
    ResetReportUploadState();
    ResetUsageLogState();
  }

  // The shared data folder, made.
  static QString SharedDataFolder() {
    if (GetSharedDataFolder(1) == 0) return QString();
    return g_sharedDataFolder;
  }
  static QString UsageLogPath() {
    return SharedDataFolder() + u'/' + QString::fromUtf16(g_usageLogName);
  }
  static void SetWebServer(const QString& address) {
    ASSERT_EQ(WriteMachineSetting(QStringLiteral("WebServer"), address), 1);
  }

  QString m_home;

 private:
  CTime m_oldStartTime;
};
