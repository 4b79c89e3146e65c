#include "support/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>

#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/registry.h"
#include "support/safesave.h"
#include "support/sharedconfig.h"
#include "support/textfile.h"
#include "support/textutil.h"

QString g_sharedSettingsFolder;
std::int32_t g_glitchReportOff = 0;

namespace {

constexpr int kCodeReadSettingsKey = 20452;
constexpr int kCodeReadMachineSetting = 20453;
constexpr int kCodeReadUserSetting = 20454;
constexpr int kCodeWriteSettingsKey = 20462;
constexpr int kCodeWriteMachineSetting = 20463;
constexpr int kCodeWriteUserSetting = 20464;
constexpr int kCodeResolveManagerFolder = 3745;
constexpr int kCodeChangeManagerFolder = 3746;

constexpr int kTemporaryNameTries = 1000;

// The names the application sets at start-up; the same names until it has, so that a file is
// never written without its header.
QString NameOr(const QString& name, const char16_t* fallback) {
  return name.isEmpty() ? QString::fromUtf16(fallback) : name;
}
QString SettingsHeader() { return NameOr(g_settingsHeader, u"[Zephorin]"); }
QString MachineSettingsPath() {
  return JoinPath(g_sharedDataFolder, NameOr(g_machineSettingsName, u"Zeph.lmf"));
}
QString UserSettingsPath() {
  return JoinPath(g_localDataFolder, NameOr(g_userSettingsName, u"Zeph.luf"));
}
QString ManagerFileName() { return NameOr(g_managerFileName, u"Zeph.cmf"); }

QString WithoutTrailingSeparator(QString folder) {
  while (folder.size() > 1 && (folder.back() == u'/' || folder.back() == u'\\')) folder.chop(1);
  return folder;
}

QString WithoutSpaces(QString text) {
  text.remove(u' ');
  return text;
}

// The index of the '=' that ends the line's key when the key part, spaces removed, equals
// key without case; -1 otherwise (also for a line without '=' or beginning with it).
qsizetype KeyEnd(const QString& line, const QString& key) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals <= 0) return -1;
  return CompareNoCase(WithoutSpaces(line.left(equals)), WithoutSpaces(key)) == 0 ? equals : -1;
}

// Lines that a rewrite carries over are read and written in the one encoding whose 255
// non-zero bytes and characters correspond one to one, so that they keep their bytes whatever
// they hold. These convert between that carried form and the text of encoding 0.
QString OemTextOfCarried(const QString& carried) {
  QString text;
  text.reserve(carried.size());
  for (QChar c : carried) text.append(QChar(DecodeOemByte(EncodeWindows1252Char(c.unicode()))));
  return text;
}
QString CarriedOfOemText(const QString& text) {
  QString carried;
  carried.reserve(text.size());
  for (QChar c : text) carried.append(QChar(DecodeWindows1252Byte(EncodeOemChar(c.unicode()))));
  return carried;
}

// A text that encoding 0 holds exactly and that stays on one line.
bool FitsOneOemLine(const QString& text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0 || u == u'\r' || u == u'\n') return false;
    if (EncodeOemChar(u) == '?' && u != u'?') return false;
  }
  return true;
}

// The first free name of path with its extension replaced by 1, 2, ...; empty when none.
QString FindTemporaryName(const QString& path) {
  for (int n = 1; n <= kTemporaryNameTries; ++n) {
    QString number;
    AppendInt(number, n);
    QString candidate = path;
    SetExtension(candidate, number, 0);
    if (GetFileAttributesOf(candidate) == -1) return candidate;
  }
  return {};
}

}  // namespace

// ---- Generic reader and writer ----

int ReadSettingsKey(const QString& path, const QString& header, const QString& key,
                    QString& value) {
  LogScope trace(kCodeReadSettingsKey);
  try {
    LogString(key);
    auto reader = std::make_unique<CTextFileReader>();
    reader->SetOemEncoding();
    if (reader->Open(path) == 0) return trace.Return(0, kLogOk, 1);
    QString line;
    if (!header.isEmpty()) {
      reader->ReadLine(line);
      if (g_fileStatus != kFileOk || CompareNoCase(line, header) != 0) {
        reader->Close();
        return trace.Return(0, kLogOk, 2);
      }
    }
    for (;;) {
      reader->ReadLine(line);
      if (g_fileStatus != kFileOk) break;
      const qsizetype equals = KeyEnd(line, key);
      if (equals >= 0) {
        value = line.mid(equals + 1);
        reader->Close();
        return trace.Return(1);
      }
    }
    reader->Close();
    return trace.Return(0, kLogOk, 4);
  } catch (const std::exception& e) {
    SetGlitchValue(GetExceptionKind(e));
    SetGlitchMessage(path);
    ReportGlitch(kCodeReadSettingsKey, 1);
    return trace.Return(0, kLogFailed, 5);
  }
}

int WriteSettingsKey(const QString& path, const QString& header, const QString& key,
                     const QString& value) {
  LogScope trace(kCodeWriteSettingsKey);
  QString temporary;
  try {
    // A key or value that would not read back as written, or would split into more lines,
    // is refused before anything is touched.
    if (WithoutSpaces(key).isEmpty() || key.contains(u'=') || !FitsOneOemLine(key) ||
        !FitsOneOemLine(value)) {
      return trace.Return(0, kLogInvalid, 2);
    }

    // 1. The old lines: after the header when there is one, else from the first line.
    const bool exists = GetFileAttributesOf(path) != -1;
    auto reader = std::make_unique<CTextFileReader>();
    QString line;
    bool lineAtHand = false;
    if (reader->Open(path) != 0) {
      reader->ReadLine(line);
      if (g_fileStatus == kFileOk && !header.isEmpty()) {
        if (CompareNoCase(OemTextOfCarried(line), header) != 0) {
          reader->Close();
          return trace.Return(0, kLogFailed, 1);
        }
        reader->ReadLine(line);
      }
      lineAtHand = g_fileStatus == kFileOk;
      if (!lineAtHand) {
        reader->Close();
        if (g_fileStatus != kFileEndedTooSoon) return trace.Return(0, kLogFailed, 1);
      }
    } else if (exists) {
      // A file that is there but cannot be read is never replaced by one without its lines.
      return trace.Return(0, kLogFailed, 1);
    }
    // A protected file is left as it is.
    if (exists && IsReadOnlyFile(path) != 0) {
      reader->Close();
      return trace.Return(0, kLogInvalid, 1);
    }

    // 2. The temporary file beside it: "Zeph.lmf" is rewritten through "Zeph.1".
    temporary = FindTemporaryName(path);
    if (temporary.isEmpty()) {
      reader->Close();
      return trace.Return(0, kLogFailed, 2);
    }

    // 3. to 5. Header, the old lines but the key's, then the key's one line.
    auto writer = std::make_unique<CTextFileWriter>();
    if (writer->Open(temporary) == 0) {
      reader->Close();
      temporary.clear();  // nothing was made
      return trace.Return(0, kLogFailed, 3);
    }
    if (!header.isEmpty()) writer->WriteLine(CarriedOfOemText(header));
    if (lineAtHand) {
      for (;;) {
        if (KeyEnd(OemTextOfCarried(line), key) < 0) writer->WriteLine(line);
        if (g_fileStatus != kFileOk) break;
        reader->ReadLine(line);
        if (g_fileStatus != kFileOk) break;
      }
      reader->Close();
      if (g_fileStatus != kFileEndedTooSoon) {
        writer->Close();
        DeleteFileClearingAttributes(temporary, 1);
        return trace.Return(0, kLogFailed, 4);
      }
      g_fileStatus = kFileOk;
    }
    writer->WriteLine(CarriedOfOemText(key + u'=' + value));

    // 6. Only a complete copy that has reached the disk replaces the old file, in one step.
    writer->Close();
    if (g_fileStatus == kFileOk && !SyncToDisk(temporary, false)) g_fileStatus = kFileCannotSave;
    if (g_fileStatus != kFileOk) {
      DeleteFileClearingAttributes(temporary, 1);
      return trace.Return(0, kLogFailed, 6);
    }
    // The new file keeps the old one's permissions (a machine file may be shared on purpose).
    struct stat old;
    if (exists && ::stat(QFile::encodeName(path).constData(), &old) == 0) {
      ::chmod(QFile::encodeName(temporary).constData(), old.st_mode & 07777);
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0) {
      DeleteFileClearingAttributes(temporary, 1);
      return trace.Return(0, kLogInvalid, 1);
    }
    return trace.Return(1);
  } catch (const std::bad_alloc&) {
    if (!temporary.isEmpty()) QFile::remove(temporary);
    return trace.Return(0, kLogMemory, 7);
  }
}

// ---- The two settings files ----

int ReadMachineSetting(const QString& key, QString& value) {
  LogScope trace(kCodeReadMachineSetting);
  if (GetSharedDataFolder(0) == 0) return trace.Return(0, kLogOk, 1);
  const int found = ReadSettingsKey(MachineSettingsPath(), SettingsHeader(), key, value);
  return found != 0 ? trace.Return(1) : trace.Return(0, kLogOk, 2);
}

int WriteMachineSetting(const QString& key, const QString& value) {
  LogScope trace(kCodeWriteMachineSetting);
  if (GetSharedDataFolder(1) == 0) return trace.Return(0, kLogFailed, 1);
  const int written = WriteSettingsKey(MachineSettingsPath(), SettingsHeader(), key, value);
  return written != 0 ? trace.Return(1) : trace.Return(0, kLogFailed, 2);
}

int ReadUserSetting(const QString& key, QString& value) {
  LogScope trace(kCodeReadUserSetting);
  if (GetLocalDataFolder() == 0) return trace.Return(0, kLogOk, 1);
  const int found = ReadSettingsKey(UserSettingsPath(), SettingsHeader(), key, value);
  return found != 0 ? trace.Return(1) : trace.Return(0, kLogOk, 2);
}

void WriteUserSetting(const QString& key, const QString& value) {
  LogScope trace(kCodeWriteUserSetting);
  if (GetLocalDataFolder() == 0) {
    trace.Exit(kLogFailed, 1);
    return;
  }
  if (WriteSettingsKey(UserSettingsPath(), SettingsHeader(), key, value) == 0) {
    trace.Exit(kLogFailed, 2);
    return;
  }
  trace.Exit();
}

// ---- Start-up settings and the manager folder ----

void ReadGlitchReportOption() {
  QString value;
  if (ReadMachineSetting(QStringLiteral("GlitchReport"), value) != 0 &&
      CompareNoCase(value, QStringLiteral("No")) == 0) {
    g_glitchReportOff = 1;
  }
}

void ResolveManagerFolder() {
  LogScope trace(kCodeResolveManagerFolder);
  try {
    QString folder;
    if (ReadMachineSetting(QStringLiteral("CmfIni"), folder) != 0) {
      folder = WithoutTrailingSeparator(folder);
      if (!folder.isEmpty() && FolderExists(folder) != 0) {
        g_sharedSettingsFolder = folder;
        trace.Exit(kLogOk, 1);
        return;
      }
      trace.Step(2, kLogHandled);
    }
    if (GetSharedDataFolder(1) != 0) {
      g_sharedSettingsFolder = WithoutTrailingSeparator(g_sharedDataFolder);
      trace.Exit(kLogOk, 3);
      return;
    }
    trace.Exit(kLogFailed, 4);
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 5);
  }
}

void ChangeManagerFolder(const QString& folder, int flags) {
  LogScope trace(kCodeChangeManagerFolder);
  try {
    const QString target = WithoutTrailingSeparator(folder);
    if ((flags & 1) != 0) {
      QString stored;
      if (ReadMachineSetting(QStringLiteral("CmfIni"), stored) != 0 &&
          WithoutTrailingSeparator(stored) == target) {
        trace.Step(1);
        flags &= ~1;
      } else if ((flags & 2) != 0 || FileExists(JoinPath(target, ManagerFileName())) != 0) {
        trace.Step(2);
        WriteMachineSetting(QStringLiteral("CmfIni"), target);
        ResolveManagerFolder();
      } else {
        // A folder without a manager file is taken only when the file is to be copied there.
        trace.Step(3, kLogHandled);
        flags &= ~1;
      }
    }
    if ((flags & 2) != 0) {
      trace.Step(4);
      EnsureManagerFile();
    }
    trace.Exit();
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 5);
  }
}

// ---- Wiring ----

void InstallSupportHooks() {
  LogHooks& hooks = GetLogHooks();
  hooks.readMachineSetting = [](const QString& key) {
    QString value;
    ReadMachineSetting(key, value);
    return value;
  };
  hooks.writeMachineSetting = [](const QString& key, const QString& value) {
    return WriteMachineSetting(key, value);
  };
  hooks.roamingDataFolder = [] {
    return GetRoamingDataFolder() != 0 ? g_roamingDataFolder : QString();
  };
  hooks.myDocumentsFolder = [] {
    QString folder;
    GetMyDocumentsFolder(folder);
    return folder;
  };
  SetHelpCopier(CopyHelpFileToLocal);
}

void ResetSettingsState() {
  g_sharedSettingsFolder.clear();
  g_glitchReportOff = 0;
}
