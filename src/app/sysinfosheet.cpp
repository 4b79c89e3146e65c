#include "app/sysinfosheet.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTabWidget>

#include "app/appdialogs.h"
#include "app/sheetexchange.h"
#include "controls/table.h"
#include "platform/presenter.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/help.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/registry.h"
#include "support/screen.h"
#include "support/settings.h"
#include "support/timevalue.h"
#include "support/uiutil.h"
#include "support/usagelog.h"

namespace zeph {

namespace {

constexpr int kTopicSupport = 106;

QString TimeText(CTime time) {
  return QDateTime::fromSecsSinceEpoch(time.GetTime())
      .toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString DurationText(CTime start, CTime stop) {
  const qint64 seconds = std::max<qint64>(stop.GetTime() - start.GetTime(), 0);
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString Plural(int count, const char* word) {
  return QStringLiteral("%1 %2%3")
      .arg(count)
      .arg(QString::fromLatin1(word))
      .arg(count == 1 ? "" : "s");
}

}  // namespace

QString FormatTimeZoneOffset(int seconds) {
  const int magnitude = std::abs(seconds);
  const QString sign = seconds > 0   ? QStringLiteral("+")
                       : seconds < 0 ? QStringLiteral("-")
                                     : QString();
  return sign + QStringLiteral("%1:%2.%3")
                    .arg(magnitude / 3600)
                    .arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

// ---- The pages' base ----

CSystemInfoPage::CSystemInfoPage(int templateId, const QString& caption)
    : CPropertyPagePlus(templateId, 0) {
  setWindowTitle(caption);
}

int CSystemInfoPage::GetHelpTopic() const { return kTopicSupport; }

bool CSystemInfoPage::OnInitDialog() {
  auto* layout = new QFormLayout(this);
  m_rows.clear();
  CollectRows();
  for (const auto& [label, value] : m_rows) {
    auto* shown = new QLabel(value, this);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shown->setWordWrap(true);
    layout->addRow(label, shown);
  }
  AddControls(*layout);
  CPropertyPagePlus::OnInitDialog();
  CreateBackgroundBrush(static_cast<ColourRef>(-1));
  return UpdateData(false);
}

void CSystemInfoPage::AddControls(QFormLayout&) {}

// ---- Program ----

CSystemProgramPage::CSystemProgramPage() : CSystemInfoPage(4255, QStringLiteral("Program")) {}

void CSystemProgramPage::CollectRows() {
  AddRow(QStringLiteral("Program: "), QString::fromUtf16(kVersionText));
  AddRow(QStringLiteral("Build: "), QStringLiteral("1278"));
  AddRow(QStringLiteral("Release: "), QString::number(g_releaseNumber));
}

// ---- Folders ----

CSystemFoldersPage::CSystemFoldersPage() : CSystemInfoPage(4230, QStringLiteral("Folders")) {}

void CSystemFoldersPage::CollectRows() {
  const auto help = static_cast<std::size_t>(g_currentHelpFile);
  AddRow(QStringLiteral("Program"), g_programFolder);
  AddRow(QStringLiteral("Start in"), g_documentsFolder);
  AddRow(QStringLiteral("Samples"), g_samplesFolder);
  AddRow(QStringLiteral("System file"), g_sharedDataFolder + u'/' + g_machineSettingsName);
  AddRow(QStringLiteral("Master ini/cmf"), g_sharedSettingsFolder);
  AddRow(QStringLiteral("Common"), g_sharedDataFolder);
  AddRow(QStringLiteral("Help system"),
         help < g_helpFileNames.size() ? g_helpFileNames[help] : QString());
  AddRow(QStringLiteral("Log / Glitch"), g_logFolder);
}

void CSystemFoldersPage::AddControls(QFormLayout&) {
  // Shown as a table of folder and value rather than as labelled lines.
  auto* layout = static_cast<QFormLayout*>(this->layout());
  while (layout->rowCount() > 0) layout->removeRow(0);
  auto* table = new CTableWnd(this);
  SetControlId(table, kIdcInfoTable);
  table->setMinimumSize(420, 200);
  layout->addRow(table);
  if (table->SetSize(2, static_cast<int>(m_rows.size())) == 0) {
    ShowOutOfMemory();
    return;
  }
  table->SetColumn(0, QStringLiteral("Folder"), 1, 1, 0);
  table->SetColumn(1, QStringLiteral("Value"), 3, 1, 0);
  for (const auto& [label, value] : m_rows) {
    if (table->AddRow() < 0) break;
    table->SetCellText(0, label);
    table->SetCellText(1, value.isEmpty() ? QString(kTableMarker) : value);
  }
}

// ---- System ----

CSystemDetailsPage::CSystemDetailsPage() : CSystemInfoPage(4243, QStringLiteral("System")) {}

void CSystemDetailsPage::CollectRows() {
  AddRow(QStringLiteral("Operating System: "), QSysInfo::prettyProductName());
  AddRow(QStringLiteral("Processor: "),
         QSysInfo::WordSize == 64 ? QStringLiteral("64 bit") : QStringLiteral("32 bit"));
  AddRow(QStringLiteral("Time zone: "),
         FormatTimeZoneOffset(static_cast<int>(-GetTimeZoneDifference())));
  const QScreen* screen = QGuiApplication::primaryScreen();
  QString colours = QStringLiteral("unknown.");
  if (screen != nullptr) {
    const int depth = screen->depth();
    if (depth == 4) colours = QStringLiteral("16");
    if (depth == 8) colours = QStringLiteral("256");
    if (depth >= 24) colours = QStringLiteral("16,777,216");
  }
  AddRow(QStringLiteral("Number of colours: "), colours);
  const QSize size = screen != nullptr ? screen->size() : QSize();
  AddRow(QStringLiteral("Screen dimensions: "),
         QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
  AddRow(QStringLiteral("Screen pixels per inch: "),
         QStringLiteral("%1 x %2").arg(g_screenDpiX).arg(g_screenDpiY));
}

// ---- User ----

CSystemUserPage::CSystemUserPage() : CSystemInfoPage(4253, QStringLiteral("User")) {}

void CSystemUserPage::CollectRows() {
  AddRow(QStringLiteral("Computer: "), QSysInfo::machineHostName());
  AddRow(QStringLiteral("User: "), qEnvironmentVariable("USER", g_userName));
  QString status = QStringLiteral("Unknown");
  switch (GetUserPrivilegeLevel()) {
    case kPrivilegeStandardUser:
      status = QStringLiteral("Standard user");
      break;
    case kPrivilegeAdministrator:
      status = QStringLiteral("Administrator: not elevated");
      break;
    case kPrivilegeElevated:
      status = QStringLiteral("Administrator: elevated");
      break;
    default:
      break;
  }
  AddRow(QStringLiteral("Status: "), status);
}

// ---- Printer ----

CSystemPrinterPage::CSystemPrinterPage() : CSystemInfoPage(4244, QStringLiteral("Printer")) {}

void CSystemPrinterPage::CollectRows() {
  QString name;
  if (g_printerCount <= 0) {
    name = QStringLiteral("None available");
  } else if (g_currentPrinter < 0) {
    name = QStringLiteral("None selected");
  } else if (g_currentPrinter >= g_printerCount || g_currentPrinter >= kPrinterTableSize) {
    name = QStringLiteral("Illegal selection");
  } else {
    name = g_printerNames[static_cast<std::size_t>(g_currentPrinter)];
  }
  AddRow(QStringLiteral("Printer: "), name);
  if (g_printerDCExists == 1 && g_printerDC) {
    const DeviceCaps caps = g_printerDC->Dc().GetDeviceCaps();
    const qint64 colours = caps.colourBits >= 31 ? -1 : (qint64{1} << caps.colourBits);
    AddRow(QStringLiteral("Colour: "),
           (colours < 0 ? QStringLiteral("16,777,216+") : QString::number(colours)) +
               QStringLiteral(" colours, ") + Plural(caps.colourBits, "bit") +
               QStringLiteral(", ") + Plural(1, "plane"));
    AddRow(QStringLiteral("Pixels per inch: "),
           QStringLiteral("%1 x %2").arg(caps.dpiX).arg(caps.dpiY));
  } else {
    AddRow(QStringLiteral("Colour: "), QStringLiteral("Unknown"));
    AddRow(QStringLiteral("Pixels per inch: "), QStringLiteral("Unknown"));
  }
}

// ---- Internet ----

CSystemInternetPage::CSystemInternetPage() : CSystemInfoPage(4301, QStringLiteral("Internet")) {}

void CSystemInternetPage::CollectRows() {}

CTableWnd* CSystemInternetPage::GetTable() const {
  return qobject_cast<CTableWnd*>(GetDlgItem(kIdcInfoTable));
}

void CSystemInternetPage::AddControls(QFormLayout& layout) {
  auto* table = new CTableWnd(this);
  SetControlId(table, kIdcInfoTable);
  table->setMinimumSize(420, 160);
  layout.addRow(table);
  auto* refresh = new QPushButton(QStringLiteral("&Refresh ..."), this);
  SetControlId(refresh, kIdcRefreshInternet);
  connect(refresh, &QPushButton::clicked, this, &CSystemInternetPage::OnRefresh);
  layout.addRow(refresh);
  FillTable();
}

void CSystemInternetPage::FillTable() {
  CTableWnd* table = GetTable();
  if (table == nullptr) return;
  table->RemoveAllRows();
  const int count = g_internet != nullptr ? g_internet->GetTaskCount() : 0;
  if (table->SetSize(2, count) == 0) {
    ShowOutOfMemory();
    return;
  }
  table->SetColumn(0, QStringLiteral("Internet task"), 1, 1, 0);
  table->SetColumn(1, QStringLiteral("Status"), 2, 1, 0);
  for (int i = 0; i < count; ++i) {
    const CInternetTask* task = g_internet->GetTask(i);
    if (task == nullptr) continue;
    const int expected = table->GetRowCount();
    if (table->AddRow() != expected) {
      SetGlitchValue(expected);
      ReportGlitch(26144, 1);
      return;
    }
    table->SetCellText(0, task->GetTypeName());
    table->SetCellText(1, task->GetStageText());
  }
  table->update();
}

void CSystemInternetPage::OnRefresh() {
  if (g_internet != nullptr) g_internet->AdvanceTasksUntilWaiting();
  FillTable();
}

// ---- Use ----

CSystemProglogPage::CSystemProglogPage() : CSystemInfoPage(4300, QStringLiteral("Use")) {}

void CSystemProglogPage::CollectRows() {
  CProglog log;
  log.Read();
  QString runs;
  switch (log.runs) {
    case -1:
      runs = QStringLiteral("Not initialised.");
      break;
    case -2:
      runs = QStringLiteral("Missing csv file.");
      break;
    case -3:
      runs = QStringLiteral("Error when reading csv file.");
      break;
    case -4:
      runs = QStringLiteral("Wrong header for csv file.");
      break;
    default:
      runs = QString::number(log.runs);
      break;
  }
  AddRow(QStringLiteral("Successful runs:"), runs);
  if (log.runs > 0) {
    AddRow(QStringLiteral("First run:"), TimeText(log.firstRunStart) + QStringLiteral(" for ") +
                                             DurationText(log.firstRunStart, log.firstRunStop));
    AddRow(QStringLiteral("Longest run:"),
           TimeText(log.longestRunStart) + QStringLiteral(" for ") +
               DurationText(log.longestRunStart, log.longestRunStop));
    AddRow(QStringLiteral("Most recent run:"), TimeText(log.lastRunStart) +
                                                   QStringLiteral(" for ") +
                                                   DurationText(log.lastRunStart, log.lastRunStop));
  }
  if (log.runs >= 0) {
    AddRow(QStringLiteral("Crashes:"), QString::number(log.crashes));
    AddRow(QStringLiteral("Errors:"), QString::number(log.errors));
    if (log.crashes > 0) AddRow(QStringLiteral("Most recent crash:"), TimeText(log.lastCrash));
  }
}

// ---- Glitch ----

CSystemGlitchPage::CSystemGlitchPage() : CSystemInfoPage(4232, QStringLiteral("Glitch")) {}

void CSystemGlitchPage::CollectRows() {
  AddRow(QStringLiteral("Number of glitches so far"), QString::number(g_glitchCount));
  if (g_glitchCount > 0) {
    AddRow(QStringLiteral("First glitch"),
           QStringLiteral("%1, %2").arg(g_firstGlitchCode).arg(g_firstGlitchNumber));
    AddRow(QStringLiteral("First glitch values"), g_firstGlitchValuesText);
  }
  if (g_glitchReportOff != 0) AddRow(QStringLiteral("Glitch report system is off."), QString());
}

void CSystemGlitchPage::AddControls(QFormLayout& layout) {
  auto* box = new QCheckBox(QStringLiteral("&Show glitches as soon as they happen."), this);
  SetControlId(box, kIdcShowGlitches);
  layout.addRow(box);
}

void CSystemGlitchPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcShowGlitches, m_showGlitch);
}

// ---- Log file ----

CSystemLogPage::CSystemLogPage() : CSystemInfoPage(4231, QStringLiteral("Log file")) {}

void CSystemLogPage::CollectRows() {
  AddRow(QStringLiteral("Number of log actions so far"), QString::number(g_logActionCount));
  AddRow(QStringLiteral("Is the log file active ? "),
         g_loggingOn ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void CSystemLogPage::AddControls(QFormLayout& layout) {
  auto* box = new QCheckBox(QStringLiteral("&Save log actions to the log file."), this);
  SetControlId(box, kIdcSaveLog);
  layout.addRow(box);
}

void CSystemLogPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcSaveLog, m_saveLog);
}

// ---- The sheet ----

CSystemInfoSheet::CSystemInfoSheet(QWidget* parent)
    : CPropertySheetPlus(QStringLiteral("System information"), parent, 0),
      m_glitch(new CSystemGlitchPage),
      m_log(new CSystemLogPage),
      m_internet(new CSystemInternetPage) {
  for (CPropertyPagePlus* page : std::initializer_list<CPropertyPagePlus*>{
           new CSystemProgramPage, new CSystemFoldersPage, new CSystemDetailsPage,
           new CSystemUserPage, new CSystemPrinterPage, m_internet, new CSystemProglogPage,
           m_glitch, m_log}) {
    AddPage(page);
    GetTabControl()->setTabText(GetPageCount() - 1, page->windowTitle());
  }
  m_glitch->m_showGlitch = g_showGlitch ? 1 : 0;
  m_log->m_saveLog = g_logFileOption ? 1 : 0;
}

void CSystemInfoSheet::ApplySettings() {
  const bool showGlitch = m_glitch->m_showGlitch != 0;
  if (showGlitch != g_showGlitch) {
    g_showGlitch = showGlitch;
    if (SaveShowGlitchOption() == 0) ShowWarning(kIdsGlitchSettingLost);
  }
  const bool saveLog = m_log->m_saveLog != 0;
  if (saveLog != g_logFileOption) {
    if (saveLog) g_loggingOn = true;
    if (SetLogFileOption(saveLog) == 0) {
      // The new setting holds for this run only.
      g_logFileOption = saveLog;
      ShowWarning(kIdsLogSettingLost);
    } else if (!saveLog) {
      ShowInformation(kIdsLogSettingSaved);
    }
  }
}

int ShowSystemInformation(QWidget* parent) {
  LogScope trace(26145);
  CSystemInfoSheet sheet(parent);
  const int result = sheet.DoModal();
  if (result == kIdOk) sheet.ApplySettings();
  return trace.Return(result);
}

}  // namespace zeph
