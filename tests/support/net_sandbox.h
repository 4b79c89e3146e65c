#pragma once
// A fixture for the usage log, the internet tasks and the upload: fresh home, XDG and data
// folders for each test (the shared data folder is under the first of XDG_DATA_DIRS), and the
// log, folders, settings, file status and the state of those three as at program start.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "support/appservices.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/filestatus.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/reportupload.h"
#include "support/settings.h"
#include "support/usagelog.h"

// Readable texts in failure messages.
static inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class NetSandbox : public ::testing::Test {
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
    for (auto it = m_savedEnv.rbegin(); it != m_savedEnv.rend(); ++it) {
      if (it->second) {
        qputenv(it->first.constData(), *it->second);
      } else {
        qunsetenv(it->first.constData());
      }
    }
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

  QString MakeFolder(const QString& relative) const {
    const QString path = m_root.path() + u'/' + relative;
    QDir().mkpath(path);
    return path;
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

  static void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
  }

  QString m_home;

 private:
  void SetEnv(const char* name, const QString& value) {
    bool saved = false;
    for (const auto& entry : m_savedEnv) saved = saved || entry.first == name;
    if (!saved) {
      std::optional<QByteArray> old;
      if (qEnvironmentVariableIsSet(name)) old = qgetenv(name);
      m_savedEnv.emplace_back(QByteArray(name), std::move(old));
    }
    qputenv(name, value.toUtf8());
  }

  QTemporaryDir m_root;
  CTime m_oldStartTime;
  std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnv;
};
