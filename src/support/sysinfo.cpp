#include "support/sysinfo.h"

#include <sys/utsname.h>

#include <QSysInfo>
#include <QVersionNumber>
#include <new>

#include "support/help.h"
#include "support/log.h"
#include "support/registry.h"
#include "support/textutil.h"

std::int32_t g_osClass = 0;
std::int32_t g_uiOsClass = 0;
std::int32_t g_isVistaOrLater = 0;
std::uint8_t g_isServer = 0;
std::int32_t g_windowsBitness = 0;
QString g_machineDescription;
QString g_systemCode;

namespace {

constexpr int kCodeDetect = 25001;
constexpr std::int32_t kClassNewest = 2;

QChar VersionLetter(int number) {
  if (number < 0) return u'a';
  if (number < 26) return QChar(u'a' + number);
  if (number < 52) return QChar(u'A' + (number - 26));
  return u'Z';
}

// The kernel as uname names it: system name, release and machine.
struct KernelFacts {
  QString system;
  QString release;
  QString machine;
};

KernelFacts ReadKernelFacts() {
  KernelFacts facts;
  utsname names{};
  if (uname(&names) == 0) {
    facts.system = QString::fromLocal8Bit(names.sysname);
    facts.release = QString::fromLocal8Bit(names.release);
    facts.machine = QString::fromLocal8Bit(names.machine);
  }
  if (facts.system.isEmpty()) facts.system = QSysInfo::kernelType();
  if (facts.release.isEmpty()) facts.release = QSysInfo::kernelVersion();
  if (facts.machine.isEmpty()) facts.machine = QSysInfo::currentCpuArchitecture();
  return facts;
}

// The first check of the help-topic table: the entry at index i must have the number i.
void CheckHelpTopicTable() {
  const int count = static_cast<int>(g_helpTopics.size());
  for (int i = 0; i < kHelpTopicCount; ++i) {
    if (i >= count || g_helpTopics[static_cast<std::size_t>(i)].GetNumber() != i) {
      SetGlitchValue(i);
      ReportGlitch(kCodeDetect, 1);
      return;
    }
  }
}

}  // namespace

QString MakeSystemCode(bool server, int major, int minor, int servicePack) {
  QString code;
  code += server ? u'1' : u'0';
  code += VersionLetter(major);
  code += VersionLetter(minor);
  code += QChar(u'0' + (servicePack < 0 ? 0 : servicePack > 9 ? 9 : servicePack));
  return code;
}

std::int32_t BitnessOfMachine(const QString& machine) {
  const QString name = machine.toLower();
  if (name.isEmpty()) return 0;
  if (name.contains(u"64") || name == u"s390x" || name == u"alpha") return 2;
  return 1;
}

QString FormatMachineDescription(const QString& name, const QString& detail) {
  return detail.isEmpty() ? name : name + QStringLiteral(" [") + detail + u']';
}

void DetectWindowsVersion() {
  LogScope trace(kCodeDetect);
  try {
    const KernelFacts kernel = ReadKernelFacts();
    const QVersionNumber version = QVersionNumber::fromString(kernel.release);
    g_isServer = 0;
    g_osClass = kClassNewest;
    g_systemCode =
        MakeSystemCode(g_isServer != 0, version.majorVersion(), version.minorVersion(), 0);

    // The distribution names the system; the kernel stands where a service pack would.
    QString name = QSysInfo::prettyProductName();
    QString detail = kernel.system;
    if (!kernel.release.isEmpty()) detail += u' ' + kernel.release;
    TrimString(detail);
    if (name.isEmpty() || name == detail || name == QStringLiteral("unknown")) {
      name = detail.isEmpty() ? QStringLiteral("Unknown system") : detail;
      detail.clear();
    }
    g_machineDescription = FormatMachineDescription(name, detail);
    g_isVistaOrLater = g_osClass == kClassNewest ? 1 : 0;

    g_windowsBitness = BitnessOfMachine(kernel.machine);
    if (g_windowsBitness == 0) g_windowsBitness = sizeof(void*) == 8 ? 2 : 1;
  } catch (const std::exception& e) {
    // Set-up goes on with what it has.
    LogString(QString::fromLocal8Bit(e.what()));
    LogNumber(GetExceptionKind(e));
  }
  CheckHelpTopicTable();
  g_uiOsClass = g_osClass;
  trace.Exit(kLogOk);
}

void FreeSupportResources() { FreeLogResources(); }

void ResetSystemInfo() {
  g_osClass = 0;
  g_uiOsClass = 0;
  g_isVistaOrLater = 0;
  g_isServer = 0;
  g_windowsBitness = 0;
  g_machineDescription.clear();
  g_systemCode.clear();
}
