#pragma once
// A fixture whose home, XDG and temporary folders are fresh temporary folders for each test
// (the common documents folder is the first of XDG_DATA_DIRS), with the data folders, the
// settings globals, the log and the file status as at program start, on a system of the
// newest class. Everything is put back afterwards.
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/env_sandbox.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/settings.h"
#include "support/sysinfo.h"

class FolderSandbox : public EnvSandbox {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_root.isValid());
    m_home = MakeFolder(QStringLiteral("home"));
    m_config = Path(QStringLiteral("home/.config"));
    m_data = Path(QStringLiteral("home/.local/share"));
    m_common = Path(QStringLiteral("share"));
    m_logs = MakeFolder(QStringLiteral("logs"));
    SetEnv("HOME", m_home);
    SetEnv("XDG_CONFIG_HOME", m_config);
    SetEnv("XDG_DATA_HOME", m_data);
    SetEnv("XDG_DATA_DIRS", m_common + QStringLiteral(":/usr/share"));
    SetEnv("TMPDIR", MakeFolder(QStringLiteral("tmp")));
    for (const char* name : {"XDG_DOCUMENTS_DIR", "XDG_MUSIC_DIR", "XDG_PICTURES_DIR"})
      UnsetEnv(name);
    m_documents = m_home + QStringLiteral("/Documents");
    m_music = m_home + QStringLiteral("/Music");
    m_pictures = m_home + QStringLiteral("/Pictures");

    ResetLogState();
    ResetDataFolders();
    ResetSettingsState();
    ResetFileStatus();
    ResetAppGlobals();
    m_oldVista = g_isVistaOrLater;
    g_isVistaOrLater = 1;
    // A glitch report goes here, never into the folders under test.
    g_logFolder = m_logs;
  }

  void TearDown() override {
    // Every operation closes its own entry in the log's call stack, whichever way it ends.
    EXPECT_EQ(g_callDepth, 0);
    ResetLogState();
    ResetDataFolders();
    ResetSettingsState();
    ResetFileStatus();
    ResetAppGlobals();
    g_isVistaOrLater = m_oldVista;
    RestoreEnv();
  }

  // The XDG user folders as the user's "user-dirs.dirs" names them.
  void SetUserDirs(const QByteArray& lines) const {
    QDir().mkpath(m_config);
    WriteBytes(m_config + QStringLiteral("/user-dirs.dirs"), lines);
  }

  static QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
  }

  QString m_home;
  QString m_config;
  QString m_data;
  QString m_common;
  QString m_logs;
  QString m_documents;
  QString m_music;
  QString m_pictures;

 private:
  std::int32_t m_oldVista = 0;
};
