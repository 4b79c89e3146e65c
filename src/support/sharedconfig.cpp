#include "support/sharedconfig.h"

#include <unistd.h>

#include <QFile>
#include <QString>

#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/registry.h"
#include "support/safesave.h"
#include "support/settings.h"
#include "support/textfile.h"
#include "support/textutil.h"

QString g_managerSamples;
QString g_managerStartFolder;
std::int16_t g_saveNameMode = kSaveNameRegistry;
std::int16_t g_keepOptions = 1;
std::int32_t g_userNameKept = 0;

namespace {

PrinterTableHooks g_printerTableHooks;

// A handled outcome that ends a function: the point is recorded, then a normal exit closes
// the function's entry in the log's call stack (a handled value alone would leave it open).
void ExitHandled(const LogScope& trace, int phase) {
  trace.Step(phase, kLogHandled);
  trace.Exit();
}

const QString kMakerSettingsName = QStringLiteral("Corvelle.cmf");
const QString kNameFileName = QStringLiteral("Name.ini");

QString RemoveSpaces(const QString& text) {
  QString out = text;
  out.remove(u' ');
  return out;
}

QString Trimmed(const QString& text) {
  QString out = text;
  TrimText(out);
  return out;
}

// Stored folders may come from a file written with '\' separators.
QString WithSlashes(const QString& path) {
  QString out = path;
  out.replace(u'\\', u'/');
  return out;
}

QString ManagerFilePath() { return g_sharedSettingsFolder + u'/' + g_managerFileName; }

// A name beside path that no file or folder has yet; empty when none is free.
QString FreeTemporaryName(const QString& path) {
  QString base = path + u'.';
  AppendInt(base, static_cast<int>(::getpid()));
  for (int n = 0; n < 1000; ++n) {
    QString candidate = base;
    if (n > 0) {
      candidate += u'-';
      AppendInt(candidate, n);
    }
    candidate += QStringLiteral(".tmp");
    if (GetFileAttributesOf(candidate) == -1 && !QFile::exists(candidate)) return candidate;
  }
  return {};
}

// The folder and file name of the user's "Name.ini" for the current mode; empty when the
// mode keeps no file there or the folder is unknown.
QString NameFilePath() {
  if (g_saveNameMode == kSaveNameUserCorvDir) {
    if (GetRoamingDataFolder() == 0) return {};
    return g_roamingMakerFolder + u'/' + kNameFileName;
  }
  if (g_saveNameMode == kSaveNameMyDocuments) {
    QString folder;
    GetMyDocumentsFolder(folder);
    if (folder.isEmpty()) folder = g_documentsFolder;
    RemoveBackslash(folder);
    if (folder.isEmpty()) return {};
    return folder + u'/' + kNameFileName;
  }
  return {};
}

}  // namespace

PrinterTableHooks& GetPrinterTableHooks() { return g_printerTableHooks; }

// ---- Writing a whole text file safely ----

int WriteTextFileReplacing(const QString& path,
                           const std::function<void(CTextFileWriter&)>& write) {
  // An old file that its owner made read-only stays, as opening it for writing would refuse.
  if (FileExists(path) != 0 && IsReadOnlyFile(path) != 0) {
    g_fileStatus = kFileReadOnly;
    return 0;
  }
  const QString temporary = FreeTemporaryName(path);
  if (temporary.isEmpty()) {
    g_fileStatus = kFileCannotCreate;
    return 0;
  }
  {
    CTextFileWriter writer;
    writer.SetOemEncoding();
    if (writer.Open(temporary) == 0) return 0;
    write(writer);
    writer.Close();
  }
  if (g_fileStatus == kFileOk && !SyncToDisk(temporary, false)) g_fileStatus = kFileCannotSave;
  if (g_fileStatus == kFileOk && ::rename(QFile::encodeName(temporary).constData(),
                                          QFile::encodeName(path).constData()) != 0) {
    g_fileStatus = kFileCannotSave;
  }
  if (g_fileStatus != kFileOk) {
    ::unlink(QFile::encodeName(temporary).constData());
    return 0;
  }
  // The new name in the folder must last too; a folder that cannot be synced changes nothing.
  QString folder;
  GetFolderOfPath(path, folder);
  if (!folder.isEmpty()) SyncToDisk(folder, true);
  return 1;
}

void WriteEncodableLine(CTextFileWriter& writer, const QString& line) {
  for (const QChar c : line) {
    if (c != u'?' && EncodeOemChar(c.unicode()) == '?') {
      if (g_fileStatus == kFileOk) g_fileStatus = kFileCannotSave;
      return;
    }
  }
  writer.WriteLine(line);
}

// ---- Manager file ----

void ReadManagerFile() {
  LogScope trace(3720);
  // Without a manager folder there is no manager file (and never one at the root).
  if (g_sharedSettingsFolder.isEmpty()) return ExitHandled(trace, 1);
  CTextFileReader reader;
  reader.SetOemEncoding();
  if (reader.Open(ManagerFilePath()) == 0) {
    // A missing manager file is no failure for whatever file operation comes next.
    g_fileStatus = kFileOk;
    return ExitHandled(trace, 2);
  }
  QString line;
  for (;;) {
    reader.ReadLine(line);
    if (g_fileStatus != kFileOk) break;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 2) continue;
    const QString key = RemoveSpaces(line.left(equals));
    const QString value = Trimmed(line.mid(equals + 1));
    if (CompareNoCase(key, QStringLiteral("Samples")) == 0) {
      g_managerSamples = value;
      g_samplesFolder = WithSlashes(value);
    } else if (CompareNoCase(key, QStringLiteral("Start")) == 0) {
      g_managerStartFolder = value;
      if (g_startFolderGiven == 0) {
        QString folder = WithSlashes(value);
        ExpandFolderName(folder);
        g_documentsFolder = folder;
      }
    } else if (CompareNoCase(key, QStringLiteral("SaveName")) == 0) {
      const QString mode = RemoveSpaces(value);
      if (CompareNoCase(mode, QStringLiteral("Registry")) == 0) {
        g_saveNameMode = kSaveNameRegistry;
      } else if (CompareNoCase(mode, QStringLiteral("UserCorvDir")) == 0) {
        g_saveNameMode = kSaveNameUserCorvDir;
      } else if (CompareNoCase(mode, QStringLiteral("MyDocuments")) == 0) {
        g_saveNameMode = kSaveNameMyDocuments;
      } else if (CompareNoCase(mode, QStringLiteral("No")) == 0) {
        g_saveNameMode = kSaveNameNo;
      }
    } else if (CompareNoCase(key, QStringLiteral("KeepOptions")) == 0) {
      const QString keep = RemoveSpaces(value);
      if (CompareNoCase(keep, QStringLiteral("Yes")) == 0) {
        g_keepOptions = 1;
      } else if (CompareNoCase(keep, QStringLiteral("No")) == 0) {
        g_keepOptions = 0;
      }
    }
  }
  reader.Close();
  g_fileStatus = kFileOk;
  trace.Exit();
}

int WriteManagerFile() {
  LogScope trace(3730);
  if (g_sharedSettingsFolder.isEmpty()) {
    g_fileStatus = kFileCannotCreate;
    return trace.Return(0, kLogFailed, 2);
  }
  const int written = WriteTextFileReplacing(ManagerFilePath(), [](CTextFileWriter& writer) {
    if (!g_managerSamples.isEmpty())
      WriteEncodableLine(writer, QStringLiteral("Samples=") + g_managerSamples);
    if (!g_managerStartFolder.isEmpty()) {
      WriteEncodableLine(writer, QStringLiteral("Start=") + g_managerStartFolder);
    }
    switch (g_saveNameMode) {
      case kSaveNameRegistry:
        WriteEncodableLine(writer, QStringLiteral("SaveName=Registry"));
        break;
      case kSaveNameUserCorvDir:
        WriteEncodableLine(writer, QStringLiteral("SaveName=UserCorvDir"));
        break;
      case kSaveNameMyDocuments:
        WriteEncodableLine(writer, QStringLiteral("SaveName=My Documents"));
        break;
      default:
        WriteEncodableLine(writer, QStringLiteral("SaveName=No"));
        break;
    }
    if (g_keepOptions == 0) WriteEncodableLine(writer, QStringLiteral("KeepOptions=No"));
  });
  if (written == 0) return trace.Return(0, kLogFailed, 1);
  return trace.Return(1);
}

int EnsureManagerFile() {
  LogScope trace(22601);
  if (FileExists(ManagerFilePath()) != 0) return trace.Return(0, kLogOk, 1);
  QString source;
  if (GetSharedDataFolder(1) != 0) {
    QString shared = g_sharedDataFolder;
    QString manager = g_sharedSettingsFolder;
    RemoveBackslash(shared);
    RemoveBackslash(manager);
    const QString candidate = shared + u'/' + g_managerFileName;
    if (shared != manager && FileExists(candidate) != 0) source = candidate;
  }
  if (source.isEmpty()) {
    const QString candidate = g_programFolder + u'/' + g_managerFileName;
    if (!g_programFolder.isEmpty() && FileExists(candidate) != 0) source = candidate;
  }
  if (source.isEmpty()) {
    ExitHandled(trace, 2);
    return 0;
  }
  const int code = CopyFileKeepTime(source, g_sharedSettingsFolder);
  if (code != kCopyDone) {
    LogNumber(code);
    return trace.Return(code, kLogFailed, 3);
  }
  return trace.Return(0);
}

void CopySamplesToManagerFolder() {
  LogScope trace(22602);
  QString source = g_samplesFolder;
  if (source.isEmpty() || FolderExists(source) == 0) {
    source = g_programFolder + QStringLiteral("/Samples");
    if (g_programFolder.isEmpty() || FolderExists(source) == 0) {
      return ExitHandled(trace, 1);
    }
  }
  if (g_sharedSettingsFolder.isEmpty()) return trace.Exit(kLogFailed, 2);
  const QString target = g_sharedSettingsFolder + QStringLiteral("/Samples");
  if (FolderExists(target) == 0) CreateFolderPath(target);
  LogNumber(CopyAllFiles(source, target, 0));
  WriteSettingsKey(ManagerFilePath(), QString(), QStringLiteral("Samples"), target);
  // The manager file now holds the new folder; a later rewrite of it must keep it.
  g_managerSamples = target;
  g_samplesFolder = target;
  trace.Exit();
}

// ---- Maker-wide printer file ----

void GetMakerSettingsPath(QString& path) {
  path = g_sharedSettingsFolder;
  const QString marker = u'/' + QString::fromUtf16(kMakerFolderName) + u'/';
  const int at = FindLastWordNoCase(path, marker, false, static_cast<int>(path.size()));
  if (at >= 0) {
    path.truncate(at + marker.size());
  } else {
    AddBackslash(path);
  }
  path += kMakerSettingsName;
}

int ParsePrinterLine(const QString& line, PrinterSettingsRow& row) {
  const qsizetype equals = line.indexOf(u'=');
  const QString key = Trimmed(equals < 0 ? line : line.left(equals));
  if (key.isEmpty() || CompareNoCase(key, QStringLiteral("Printer")) != 0 || equals < 0) return 0;
  QString rest = line.mid(equals + 1);
  int fields[4] = {0, 0, 0, 0};
  for (int& field : fields) {
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0) return 0;
    const QString text = Trimmed(rest.left(comma));
    rest.remove(0, comma + 1);
    if (text.isEmpty() || TextToInt(text, field) == 0) return 0;
  }
  QString name = Trimmed(rest);
  // A row without a name could never match a printer.
  if (name.isEmpty()) return 0;
  row.name = name;
  row.lineThickness = fields[0];
  row.arcThickness = fields[1];
  row.hatchDotSize = fields[2];
  row.isColour = fields[3] != 0 ? 1 : 0;
  return 1;
}

QString FormatPrinterLine(const PrinterSettingsRow& row) {
  QString line = QStringLiteral("Printer=");
  AppendInt(line, row.lineThickness);
  line += u',';
  AppendInt(line, row.arcThickness);
  line += u',';
  AppendInt(line, row.hatchDotSize);
  line += u',';
  AppendInt(line, row.isColour != 0 ? 1 : 0);
  line += u',';
  line += row.name;
  return line;
}

void ReadPrinterSettings() {
  LogScope trace(3721);
  if (g_sharedSettingsFolder.isEmpty()) return trace.Exit(kLogFailed, 2);
  QString path;
  GetMakerSettingsPath(path);
  CTextFileReader reader;
  reader.SetOemEncoding();
  if (reader.Open(path) == 0) {
    g_fileStatus = kFileOk;
    return trace.Exit(kLogFailed, 1);
  }
  QString line;
  for (;;) {
    reader.ReadLine(line);
    if (g_fileStatus != kFileOk) break;
    PrinterSettingsRow row;
    if (ParsePrinterLine(line, row) == 0) continue;
    if (g_printerTableHooks.registerSavedPrinter) g_printerTableHooks.registerSavedPrinter(row);
  }
  reader.Close();
  // The end of the file is no failure for whatever file operation comes next.
  g_fileStatus = kFileOk;
  trace.Exit();
}

int WritePrinterSettings() {
  LogScope trace(3731);
  // Without the table the file would lose every printer line.
  if (!g_printerTableHooks.savedPrinters) return trace.Return(0, kLogInvalid, 1);
  if (g_sharedSettingsFolder.isEmpty()) {
    g_fileStatus = kFileCannotCreate;
    return trace.Return(0, kLogFailed, 2);
  }
  const std::vector<PrinterSettingsRow> rows = g_printerTableHooks.savedPrinters();
  QString path;
  GetMakerSettingsPath(path);
  const int written = WriteTextFileReplacing(path, [&rows](CTextFileWriter& writer) {
    for (const PrinterSettingsRow& row : rows) WriteEncodableLine(writer, FormatPrinterLine(row));
  });
  if (written == 0) return trace.Return(0, kLogFailed, 3);
  return trace.Return(1);
}

// ---- The user's name ----

void ReadUserName() {
  LogScope trace(3723);
  g_userNameKept = 0;
  g_userName.clear();
  if (g_saveNameMode == kSaveNameRegistry) {
    RegistryKey software;
    if (OpenRegistryPathForRead(RegistryKey::CurrentUser(), {QStringLiteral("SOFTWARE")}, software,
                                false) == 0) {
      return ExitHandled(trace, 1);
    }
    RegistryKey maker;
    if (OpenRegistryPathForRead(software, {QString::fromUtf16(kMakerFolderName)}, maker, false) ==
        0) {
      return ExitHandled(trace, 2);
    }
    QString name;
    if (ReadRegistryString(maker, QStringLiteral("Name"), name, false) == 0) {
      return ExitHandled(trace, 3);
    }
    g_userName = name.left(kUserNameLimit);
    // The manager's way of having the name asked for at every start.
    if (CompareNoCase(g_userName, QStringLiteral("Always ask")) == 0) {
      g_userName.clear();
    } else {
      g_userNameKept = 1;
    }
    return trace.Exit();
  }
  if (g_saveNameMode != kSaveNameUserCorvDir && g_saveNameMode != kSaveNameMyDocuments) {
    return ExitHandled(trace, 4);
  }
  const QString path = NameFilePath();
  if (path.isEmpty()) return ExitHandled(trace, 5);
  CTextFileReader reader;
  reader.SetOemEncoding();
  if (reader.Open(path) == 0) {
    g_fileStatus = kFileOk;
    return ExitHandled(trace, 6);
  }
  QString line;
  reader.ReadLine(line);
  if (g_fileStatus == kFileOk) {
    g_userName = line.left(kUserNameLimit);
    g_userNameKept = 1;
  }
  reader.Close();
  g_fileStatus = kFileOk;
  trace.Exit();
}

void SaveUserName() {
  LogScope trace(3733);
  if (g_saveNameMode == kSaveNameRegistry) {
    RegistryKey maker;
    if (OpenRegistryPath(RegistryKey::CurrentUser(),
                         {QStringLiteral("SOFTWARE"), QString::fromUtf16(kMakerFolderName)}, maker,
                         true, false) != 2) {
      g_userNameKept = 0;
      return trace.Exit(kLogFailed, 1);
    }
    if (g_userNameKept != 0) {
      if (WriteRegistryString(maker, QStringLiteral("Name"), g_userName) == 0) {
        g_userNameKept = 0;
        maker.Close();
        return trace.Exit(kLogFailed, 2);
      }
    } else {
      DeleteRegistryValue(maker, QStringLiteral("Name"));
    }
    maker.Close();
    return trace.Exit();
  }
  if (g_saveNameMode != kSaveNameUserCorvDir && g_saveNameMode != kSaveNameMyDocuments) {
    return ExitHandled(trace, 3);
  }
  const QString path = NameFilePath();
  if (path.isEmpty()) {
    g_userNameKept = 0;
    return trace.Exit(kLogFailed, 4);
  }
  if (g_userNameKept != 0) {
    g_userNameKept = 0;
    if (WriteTextFileReplacing(
            path, [](CTextFileWriter& writer) { WriteEncodableLine(writer, g_userName); }) != 0) {
      g_userNameKept = 1;
    }
    g_fileStatus = kFileOk;
  }
  // A name not to be kept, or one that could not be stored, must not come back next time.
  if (g_userNameKept == 0) DeleteFileClearingAttributes(path, 0);
  if (g_userNameKept == 0) return ExitHandled(trace, 5);
  trace.Exit();
}

void ResetSharedConfigState() {
  g_managerSamples.clear();
  g_managerStartFolder.clear();
  g_saveNameMode = kSaveNameRegistry;
  g_keepOptions = 1;
  g_userNameKept = 0;
  g_printerTableHooks = PrinterTableHooks();
}
