// Writes the seed corpora of the fuzz targets with the program's own writers, so the seeds
// are files as the program makes them:  zeph_fuzz_seeds <corpus folder> [main dictionary]
// Each seed goes to <corpus folder>/<target>/<name>. Targets whose first byte chooses a
// variant get that byte in front of the file. A main dictionary named on the command line
// becomes a seed of the dictionary target, with a few words to look up in front of it.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <vector>

#include "fuzzcommon.h"
#include "items/boundaryloop.h"
#include "items/floodedge.h"
#include "items/hatch.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/fontspec.h"
#include "support/options.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/sharedconfig.h"
#include "support/textfile.h"
#include "support/usagelog.h"

namespace {

QString g_root;

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Seed(const char* target, const char* name, const QByteArray& bytes) {
  const QString path = g_root + u'/' + QString::fromLatin1(target) + u'/' + QString::fromLatin1(name);
  fuzz::Check(fuzz::WriteInput(path, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               std::size_t(bytes.size())));
}

QString Scratch(const char* name) { return fuzz::Home() + QStringLiteral("/tmp/") + QString::fromLatin1(name); }

template <typename Record>
QByteArray Written(const Record& record) {
  const QString path = Scratch("record.txt");
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(path) == 1);
    record.Write(writer);
  }
  fuzz::Check(g_fileStatus == kFileOk);
  return FileBytes(path);
}

template <typename Edge>
std::unique_ptr<Edge> EdgeFrom(int x0, int y0, int x1, int y1) {
  auto edge = std::make_unique<Edge>();
  edge->SetStart(x0, y0);
  edge->SetEnd(x1, y1);
  return edge;
}

void BoundaryLoops() {
  CBoundaryLoop square;
  for (auto [x, y] : {std::pair{0, 0}, {400, 0}, {400, 300}, {0, 300}}) {
    square.Append(EdgeFrom<CLineEdge>(x, y, x, y));
  }
  square.JoinEnds();
  Seed("fuzz_boundaryloop", "square", Written(square));

  CBoundaryLoop mixed;
  mixed.Append(EdgeFrom<CLineEdge>(0, 0, 0, 0));
  auto arc = EdgeFrom<CArcEdge>(300, 0, 0, 0);
  arc->SetArcCentre(300, 100);
  arc->SetRadius(100);
  arc->SetDirection(1);
  mixed.Append(std::move(arc));
  auto ellipse = EdgeFrom<CEllipseEdge>(300, 200, 0, 0);
  ellipse->SetEllipseCentre(150, 200);
  ellipse->SetRadii(150, 75);
  ellipse->SetRotation(0.0);
  ellipse->SetDirection(1);
  mixed.Append(std::move(ellipse));
  auto bezier = EdgeFrom<CBezierEdge>(0, 200, 0, 0);
  bezier->SetCurveStart(0, 200);
  bezier->SetCurveEnd(0, 0);
  bezier->SetControlPoint(0, -100, 150);
  bezier->SetControlPoint(1, -100, 50);
  mixed.Append(std::move(bezier));
  mixed.JoinEnds();
  Seed("fuzz_boundaryloop", "every-kind", Written(mixed));
  Seed("fuzz_boundaryloop", "empty", Written(CBoundaryLoop()));
}

void Hatches() {
  for (int index : {0, 5, 13, 26}) {
    CHatchPattern pattern;
    fuzz::Check(pattern.Build(index, 0.5, 2.0) == 1);
    const QByteArray name = "pattern-" + QByteArray::number(index);
    Seed("fuzz_hatch", name.constData(), Written(pattern));
  }
  CHatchLine line;
  fuzz::Check(line.Parse(QStringLiteral("45,0,0,3.175,1.5,2,6.35,-3.175")) == 1);
  Seed("fuzz_hatch", "family", Written(line));
}

void Options() {
  ResetOptionsState();
  CFontSpec font;
  font.Set(QStringLiteral("Times New Roman"), 14, true, false);
  SetOptionFont(kOptionFontDrawingText, font);
  SetOptionDouble(kOptionPrintLeftMargin, 1.75);
  SetOptionShort(kOptionGridDistance, 5);
  SetOptionShort(kOptionZoomStart, 13);
  SetOptionFlag(kOptionGridSnap, 1);
  SetOptionFlag(kOptionSpellCheck, 0);
  fuzz::Check(WriteOptionsFile(kOptionsFileUser) == 1);
  const QByteArray file = FileBytes(g_roamingDataFolder + QStringLiteral("/Zeph.ini"));
  Seed("fuzz_options", "user", "\x00" + file);
  Seed("fuzz_options", "all-users", "\x01" + file);
  ResetOptionsState();
}

void Settings() {
  const QString path = Scratch("Zeph.lmf");
  QFile::remove(path);
  const QString header = QStringLiteral("[Zephorin]");
  fuzz::Check(WriteSettingsKey(path, header, QStringLiteral("LogFile"), QStringLiteral("No")) == 1);
  fuzz::Check(WriteSettingsKey(path, header, QStringLiteral("GlitchReport"), QStringLiteral("No")) == 1);
  fuzz::Check(WriteSettingsKey(path, header, QStringLiteral("CmfIni"), fuzz::Home() + QStringLiteral("/manager")) == 1);
  fuzz::Check(WriteSettingsKey(path, header, QStringLiteral("WindowPosition"), QStringLiteral("12,40,800,600")) == 1);
  const QByteArray file = FileBytes(path);
  Seed("fuzz_settings", "machine", "\x01" + file);
  Seed("fuzz_settings", "user", "\x00" + file);
}

void Registry() {
  RegistryKey key;
  fuzz::Check(OpenRegistryPath(RegistryKey::CurrentUser(),
                               {QStringLiteral("SOFTWARE"), QStringLiteral("Corvelle Software"),
                                QStringLiteral("Zephorin3")},
                               key, true, false) == 2);
  fuzz::Check(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("Jo Bloggs")) == 1);
  fuzz::Check(WriteRegistryString(key, QStringLiteral("Folder"), QStringLiteral("C:\\Drawings\\a=b")) == 1);
  RegistryKey other;
  fuzz::Check(OpenRegistryPath(RegistryKey::CurrentUser(), {QStringLiteral("SOFTWARE\\Classes\\.zph")},
                               other, true, false) == 2);
  fuzz::Check(WriteRegistryString(other, QString(), QStringLiteral("Zephorin.Drawing")) == 1);
  QByteArray file = FileBytes(GetRegistryStorePath(RegistryRoot::kCurrentUser));
  Seed("fuzz_registry", "written", "\x01" + file);
  // The other two types of value, which the program reads but does not write.
  file += "[SOFTWARE\\Corvelle Software\\Counts]\r\nRuns=dword:12\r\nHome=expand_sz:%HOME%\\\\x\r\n";
  Seed("fuzz_registry", "typed", "\x02" + file);
}

void ManagerFiles() {
  ResetSharedConfigState();
  g_sharedSettingsFolder = fuzz::Home() + QStringLiteral("/manager");
  QDir().mkpath(g_sharedSettingsFolder);
  g_managerSamples = QStringLiteral("/srv/school/samples");
  g_managerStartFolder = QStringLiteral("%MYDOCUMENTS%\\Drawings");
  g_saveNameMode = kSaveNameMyDocuments;
  g_keepOptions = 0;
  fuzz::Check(WriteManagerFile() == 1);
  const QByteArray manager = FileBytes(g_sharedSettingsFolder + QStringLiteral("/Zeph.cmf"));
  Seed("fuzz_managerfiles", "manager", manager);

  GetPrinterTableHooks().savedPrinters = [] {
    return std::vector<PrinterSettingsRow>{{QStringLiteral("Laser, room 4"), 2, 3, 1, 0},
                                           {QStringLiteral("Colour inkjet"), 1, 1, 2, 1}};
  };
  fuzz::Check(WritePrinterSettings() == 1);
  QString path;
  GetMakerSettingsPath(path);
  const QByteArray printers = FileBytes(path);
  Seed("fuzz_managerfiles", "printers", printers);
  Seed("fuzz_managerfiles", "both", manager + printers);
  ResetSharedConfigState();
  ResetSettingsState();
}

void UserName() {
  for (std::int16_t mode : {kSaveNameUserCorvDir, kSaveNameMyDocuments}) {
    ResetSharedConfigState();
    g_saveNameMode = mode;
    g_userName = QStringLiteral("Jo Bloggs");
    g_userNameKept = 1;
    SaveUserName();
    QString folder;
    if (mode == kSaveNameUserCorvDir) {
      folder = g_roamingMakerFolder;
    } else {
      GetMyDocumentsFolder(folder);
    }
    const QByteArray file = FileBytes(folder + QStringLiteral("/Name.ini"));
    fuzz::Check(!file.isEmpty());
    Seed("fuzz_username", mode == kSaveNameUserCorvDir ? "roaming" : "documents",
         QByteArray(1, char(mode == kSaveNameUserCorvDir ? 1 : 0)) + file);
  }
  ResetSharedConfigState();
}

void UsageLog() {
  fuzz::Check(GetSharedDataFolder(1) == 1);
  const QString path = g_sharedDataFolder + QStringLiteral("/ZP3use.csv");
  QFile::remove(path);
  SetLoginNameSource([] { return QStringLiteral("jo \"the\" pupil"); });
  const CTime start = CTime::FromLocal(2026, 12, 8, 9, 5, 7);
  for (int run = 0; run < 3; ++run) {
    g_startTime = CTime(start.GetTime() + run * 86400);
    LogProgramStart();
    if (run != 1) LogProgramStop();  // the second run ends without a stop row
  }
  Seed("fuzz_usagelog", "three-runs", FileBytes(path));
  ResetUsageLogState();
}

void UserDictionary() {
  const QString path = Scratch("USERDICT.SCF");
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(path) == 1);
    for (const char* word : {"Zephorin", "hatchings", "isometric", "Bloggs", "don't", "ice-cream",
                             "caf\xe9"}) {
      writer.WriteLine(QString::fromLatin1(word));
    }
  }
  Seed("fuzz_userdict", "words", FileBytes(path));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: zeph_fuzz_seeds <corpus folder> [main dictionary]\n");
    return 2;
  }
  LLVMFuzzerInitialize(&argc, &argv);
  QCoreApplication app(argc, argv);
  g_root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  ResetFileStatus();
  BoundaryLoops();
  Hatches();
  Options();
  Settings();
  Registry();
  ManagerFiles();
  UserName();
  UsageLog();
  UserDictionary();
  if (argc == 3) {
    const QByteArray dictionary = FileBytes(QString::fromLocal8Bit(argv[2]));
    if (!dictionary.isEmpty()) Seed("fuzz_dictionary", "main-dictionary", "\x0c" "cattle houze" + dictionary);
  }
  return 0;
}
