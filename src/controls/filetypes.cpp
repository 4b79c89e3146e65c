#include "controls/filetypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include "controls/dialogplus.h"
#include "controls/resources.h"
#include "controls/table.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace zeph {

std::array<CFileTypeInfo, 3> g_fileTypes = {
    CFileTypeInfo(QStringLiteral("Zephorin file"), QStringLiteral(".zpd"), 10,
                  QStringLiteral("application/x-zephorin-drawing")),
    CFileTypeInfo(QStringLiteral("Zephorin backup file"), QStringLiteral(".zpk"), 10,
                  QStringLiteral("application/x-zephorin-backup")),
    CFileTypeInfo(QStringLiteral("Zephorin symbol file"), QStringLiteral(".zsy"), 12,
                  QStringLiteral("application/x-zephorin-symbols")),
};

QString g_programPath;
QString g_fileTypeDataFolder;

namespace {

constexpr char16_t kDesktopFileName[] = u"zephorin.desktop";

// The desktop's icon name of a type: its mime type with '/' as '-'.
QString IconName(const CFileTypeInfo& type) {
  QString name = type.GetMimeType();
  name.replace(QLatin1Char('/'), QLatin1Char('-'));
  return name;
}

// The program's own icon of that index.
QString IconResourceName(int iconIndex) {
  return iconIndex == 12 ? QStringLiteral("symbols") : QStringLiteral("drawing");
}

QString ExpectedExecLine(const QString& programPath) {
  // The path as one quoted argument: a double quote, backquote, dollar or backslash takes a
  // backslash before it, and a percent sign is doubled, since a single one starts a field
  // code; %f is the file opened.
  QString quoted;
  for (const QChar c : programPath) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c == u'%' ? QStringLiteral("%%") : QString(c);
  }
  // Then the escapes of every string value, which the reader undoes before the quoting.
  QString value;
  for (const QChar c : quoted) {
    switch (c.unicode()) {
      case u'\\':
        value += QStringLiteral("\\\\");
        break;
      case u'\n':
        value += QStringLiteral("\\n");
        break;
      case u'\t':
        value += QStringLiteral("\\t");
        break;
      case u'\r':
        value += QStringLiteral("\\r");
        break;
      default:
        value += c;
    }
  }
  return QStringLiteral("Exec=\"%1\" %f").arg(value);
}

enum class ReadResult { kMissing, kUnreadable, kRead };

ReadResult ReadWhole(const QString& path, QByteArray& content) {
  QFile file(path);
  if (!file.exists()) return ReadResult::kMissing;
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return ReadResult::kUnreadable;
  content = file.readAll();
  return file.error() == QFileDevice::NoError ? ReadResult::kRead : ReadResult::kUnreadable;
}

// What a mime package declares: per mime type its globs and icon name.
struct DeclaredType {
  QString mimeType;
  QStringList globs;
  QString iconName;
};

bool ParseMimePackage(const QByteArray& content, std::vector<DeclaredType>& types) {
  QXmlStreamReader reader(content);
  DeclaredType* current = nullptr;
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement()) continue;
    const auto name = reader.name();
    if (name == QLatin1String("mime-type")) {
      types.push_back({reader.attributes().value(QLatin1String("type")).toString(), {}, {}});
      current = &types.back();
    } else if (current != nullptr && name == QLatin1String("glob")) {
      current->globs << reader.attributes().value(QLatin1String("pattern")).toString();
    } else if (current != nullptr && name == QLatin1String("icon")) {
      current->iconName = reader.attributes().value(QLatin1String("name")).toString();
    }
  }
  return !reader.hasError();
}

// The mime type the desktop's compiled glob list gives the extension; empty when none.
QString CompiledGlobOwner(const QString& extension) {
  QByteArray content;
  const QString globs = GetFileTypeDataFolder() + QStringLiteral("/mime/globs2");
  if (ReadWhole(globs, content) != ReadResult::kRead) return {};
  const QString pattern = QLatin1Char('*') + extension;
  for (const QByteArray& line : content.split('\n')) {
    // weight:mime/type:pattern[:flags]
    const QList<QByteArray> fields = line.split(':');
    if (fields.size() >= 3 && QString::fromUtf8(fields[2]) == pattern) {
      return QString::fromUtf8(fields[1]);
    }
  }
  return {};
}

bool WriteWhole(const QString& path, const QByteArray& content) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(content) != content.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

// The desktop's mime database is rebuilt from the packages when its tool is there; without
// it the packages still stand and are read when the desktop next rebuilds.
void UpdateMimeDatabase() {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
  if (tool.isEmpty()) return;
  QProcess process;
  process.start(tool, {GetFileTypeDataFolder() + QStringLiteral("/mime")});
  if (process.waitForStarted(5000)) process.waitForFinished(20000);
}

void ShowCannotChangeSettings() { ShowWarning(kIdsCannotChangeSettings); }

}  // namespace

// ---- The records ----

CFileTypeInfo::CFileTypeInfo(const QString& typeName, const QString& extension,
                             std::int32_t iconIndex, const QString& mimeType)
    : m_typeName(typeName), m_extension(extension), m_iconIndex(iconIndex), m_mimeType(mimeType) {}

QString CFileTypeInfo::GetFileTypeMessage(int index) const {
  if (index < 0 || index >= m_problemCount) return {};
  return m_problems.value(index);
}

void CFileTypeInfo::ClearProblems() {
  m_problems.clear();
  m_problemCount = 0;
}

void CFileTypeInfo::AddProblem(const QString& message) {
  if (m_problemCount >= kFileTypeProblemLimit) return;
  m_problems << message;
  ++m_problemCount;
}

// ---- Where and what ----

QString GetFileTypeDataFolder() {
  if (!g_fileTypeDataFolder.isEmpty()) return g_fileTypeDataFolder;
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString GetMimePackagePath(const CFileTypeInfo& type) {
  return GetFileTypeDataFolder() + QStringLiteral("/mime/packages/") + IconName(type) +
         QStringLiteral(".xml");
}

QString GetFileTypeDesktopPath() {
  return GetFileTypeDataFolder() + QStringLiteral("/applications/") +
         QString::fromUtf16(kDesktopFileName);
}

QString GetFileTypeIconPath(const CFileTypeInfo& type) {
  return GetFileTypeDataFolder() + QStringLiteral("/icons/hicolor/scalable/mimetypes/") +
         IconName(type) + QStringLiteral(".svg");
}

QString MakeMimePackage(const CFileTypeInfo& type) {
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
             "  <mime-type type=\"%1\">\n"
             "    <comment>%2</comment>\n"
             "    <icon name=\"%3\"/>\n"
             "    <glob pattern=\"*%4\"/>\n"
             "  </mime-type>\n"
             "</mime-info>\n")
      .arg(type.GetMimeType(), type.GetFileTypeName().toHtmlEscaped(), IconName(type),
           type.GetExtension());
}

QString MakeDesktopEntry(const QString& programPath) {
  QString mimeTypes;
  for (const CFileTypeInfo& type : g_fileTypes) mimeTypes += type.GetMimeType() + QLatin1Char(';');
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Zephorin\n"
             "Comment=Drawings, backups and symbol libraries\n"
             "%1\n"
             "MimeType=%2\n"
             "NoDisplay=true\n"
             "Terminal=false\n")
      .arg(ExpectedExecLine(programPath), mimeTypes);
}

QByteArray MakeFileTypeIcon(const CFileTypeInfo& type) {
  const QString name = IconResourceName(type.GetIconIndex());
  // Loading the icon registers the program's resources.
  const QString own = LoadOwnIcon(name).isNull() ? QStringLiteral("zephorin") : name;
  (void)LoadOwnIcon(own);
  QFile file(QStringLiteral(":/zephorin/icons/%1.svg").arg(own));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// ---- Check and repair ----

int CheckFileType(CFileTypeInfo& type, const QString& programPath) {
  LogScope trace(23201);
  type.ClearProblems();
  const QString extension = type.GetExtension();
  // The extension: a package declaring its glob, owned by our type here and in the compiled
  // list the desktop goes by.
  QByteArray package;
  std::vector<DeclaredType> declared;
  const ReadResult packageRead = ReadWhole(GetMimePackagePath(type), package);
  const bool parsed = packageRead == ReadResult::kRead && ParseMimePackage(package, declared);
  const QString pattern = QLatin1Char('*') + extension;
  const DeclaredType* ours = nullptr;
  QString owner;
  for (const DeclaredType& entry : declared) {
    if (entry.mimeType == type.GetMimeType()) ours = &entry;
    if (owner.isEmpty() && entry.globs.contains(pattern)) owner = entry.mimeType;
  }
  const QString compiledOwner = CompiledGlobOwner(extension);
  if (!compiledOwner.isEmpty() && compiledOwner != type.GetMimeType()) owner = compiledOwner;
  if (packageRead == ReadResult::kMissing || (parsed && owner.isEmpty())) {
    type.AddProblem(QStringLiteral("File extension ") + extension +
                    QStringLiteral(" does not exist."));
  } else if (!parsed) {
    type.AddProblem(QStringLiteral("File extension ") + extension +
                    QStringLiteral(" cannot be read."));
  } else if (owner != type.GetMimeType()) {
    type.AddProblem(QStringLiteral("File extension ") + extension +
                    QStringLiteral(" is being used by a different program."));
  }
  // The type itself.
  if (ours == nullptr) {
    type.AddProblem(QStringLiteral("Missing file type."));
    return trace.Return(type.GetProblemCount());
  }
  QByteArray desktop;
  switch (ReadWhole(GetFileTypeDesktopPath(), desktop)) {
    case ReadResult::kMissing:
      type.AddProblem(QStringLiteral("Missing program link for this file type."));
      break;
    case ReadResult::kUnreadable:
      type.AddProblem(QStringLiteral("Cannot read the program link for this file type."));
      break;
    case ReadResult::kRead: {
      bool execRight = false;
      bool listed = false;
      for (const QString& line : QString::fromUtf8(desktop).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
          execRight = line == ExpectedExecLine(programPath);
        if (line.startsWith(QLatin1String("MimeType="))) {
          listed = line.mid(9).split(QLatin1Char(';')).contains(type.GetMimeType());
        }
      }
      if (!execRight || !listed) {
        type.AddProblem(QStringLiteral("Unexpected program link for this file type."));
      }
      break;
    }
  }
  QByteArray icon;
  switch (ReadWhole(GetFileTypeIconPath(type), icon)) {
    case ReadResult::kMissing:
      type.AddProblem(QStringLiteral("Missing icon for this file type."));
      break;
    case ReadResult::kUnreadable:
      type.AddProblem(QStringLiteral("Cannot read the icon for this file type."));
      break;
    case ReadResult::kRead:
      if (icon != MakeFileTypeIcon(type) || ours->iconName != IconName(type)) {
        type.AddProblem(QStringLiteral("Unexpected icon for this file type."));
      }
      break;
  }
  return trace.Return(type.GetProblemCount());
}

int RepairFileType(CFileTypeInfo& type, const QString& programPath) {
  LogScope trace(23202);
  int result = 1;
  const auto fail = [&](int step) {
    trace.Step(step, 2000);
    result = 0;
  };
  // The extension and the type: one package.
  const QString package = GetMimePackagePath(type);
  if (!QDir().mkpath(QFileInfo(package).absolutePath())) {
    fail(9);
  } else if (!WriteWhole(package, MakeMimePackage(type).toUtf8())) {
    fail(2);
  }
  const QString icon = GetFileTypeIconPath(type);
  const QByteArray iconContent = MakeFileTypeIcon(type);
  if (!QDir().mkpath(QFileInfo(icon).absolutePath())) {
    fail(4);
  } else if (iconContent.isEmpty() || !WriteWhole(icon, iconContent)) {
    fail(3);
  }
  const QString desktop = GetFileTypeDesktopPath();
  if (!QDir().mkpath(QFileInfo(desktop).absolutePath())) {
    fail(6);
  } else if (!WriteWhole(desktop, MakeDesktopEntry(programPath).toUtf8())) {
    fail(5);
  }
  if (result != 0) UpdateMimeDatabase();
  return trace.Return(result);
}

// ---- The page ----

CCheckFileTypesPage::CCheckFileTypesPage() : CPropertyPagePlus(kIddCheckFileTypes, 0) {
  setWindowTitle(QStringLiteral("File types"));
}

CTableWnd* CCheckFileTypesPage::GetTable() const {
  return qobject_cast<CTableWnd*>(GetDlgItem(kIdcFileTypesTable));
}

bool CCheckFileTypesPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  auto* table = new CTableWnd(this);
  SetControlId(table, kIdcFileTypesTable);
  table->setMinimumSize(360, 180);
  layout->addWidget(table, 1);
  auto* repair = new QPushButton(QStringLiteral("&Repair damaged file types"), this);
  SetControlId(repair, kIdcRepairFileTypes);
  connect(repair, &QPushButton::clicked, this, &CCheckFileTypesPage::OnRepair);
  layout->addWidget(repair, 0, Qt::AlignLeft);
  CPropertyPagePlus::OnInitDialog();
  CreateBackgroundBrush(static_cast<ColourRef>(-1));
  EnableControl(kIdcRepairFileTypes, m_readOnly == 0 ? 1 : 0);
  FillTable();
  return true;
}

void CCheckFileTypesPage::FillTable() {
  LogScope trace(23303);
  if (g_programPath.isEmpty()) {
    ReportGlitch(23303, 1);
    return;
  }
  CTableWnd* table = GetTable();
  if (table == nullptr) {
    ReportGlitch(23303, 2);
    return;
  }
  table->RemoveAllRows();
  if (table->SetSize(2, 10) == 0) {
    trace.Exit(kLogMemory);
    ShowOutOfMemory();
    return;
  }
  table->SetColumn(0, QStringLiteral("File Type"), 1, 1, 0);
  table->SetColumn(1, QStringLiteral("Status"), 1, 1, 0);
  bool allRight = true;
  for (CFileTypeInfo& type : g_fileTypes) {
    const int expected = table->GetRowCount();
    if (table->AddRow() != expected) {
      trace.Exit(kLogMemory);
      ShowOutOfMemory();
      return;
    }
    table->SetCellText(0, type.GetFileTypeName());
    const int problems = CheckFileType(type, g_programPath);
    if (problems == 0) {
      table->SetCellText(1, QStringLiteral("OK"));
      continue;
    }
    allRight = false;
    table->SetCellText(1, type.GetFileTypeMessage(0));
    for (int i = 1; i < problems; ++i) {
      const int row = table->GetRowCount();
      if (table->AddRow() != row) {
        trace.Exit(kLogMemory);
        ShowOutOfMemory();
        return;
      }
      table->SetCellText(1, type.GetFileTypeMessage(i));
    }
  }
  table->update();
  EnableControl(kIdcRepairFileTypes, m_readOnly == 0 && !allRight ? 1 : 0);
  trace.Exit();
}

void CCheckFileTypesPage::OnRepair() {
  LogScope trace(23302);
  if (g_programPath.isEmpty()) {
    ReportGlitch(23302, 1);
    return;
  }
  for (CFileTypeInfo& type : g_fileTypes) {
    if (RepairFileType(type, g_programPath) == 0) {
      ShowCannotChangeSettings();
      break;
    }
  }
  FillTable();
  trace.Exit();
}

void ResetFileTypesState() {
  for (CFileTypeInfo& type : g_fileTypes) type.ClearProblems();
  g_programPath.clear();
  g_fileTypeDataFolder.clear();
}

}  // namespace zeph
