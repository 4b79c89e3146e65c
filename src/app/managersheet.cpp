#include "app/managersheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/sheetexchange.h"
#include "controls/filetypes.h"
#include "controls/folderbrowser.h"
#include "controls/table.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/log.h"
#include "support/options.h"
#include "support/registry.h"
#include "support/sharedconfig.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace zeph {

namespace {

constexpr int kTopicKeepOptions = 59;
constexpr int kTopicPrinters = 60;
constexpr int kTopicSampleFiles = 61;
constexpr int kTopicSaveName = 62;
constexpr int kTopicWorkFolder = 63;
constexpr int kIdsSavedForAllUsers = 1262;
constexpr int kIdsEnterIntegerBetween = 61714;
constexpr int kSmallestSetting = 1;
constexpr int kLargestSetting = 20;

void ShowIntegerRange() {
  const QString text =
      LoadProgramString(kIdsEnterIntegerBetween).arg(kSmallestSetting).arg(kLargestSetting);
  GetPresenter().ShowMessageBox(text, QString::fromUtf16(kProductName), kMbOk | kMbIconExclamation);
}

QLineEdit* SettingEdit(QWidget& page, QFormLayout& layout, int id, const QString& label) {
  auto* edit = new QLineEdit(&page);
  SetControlId(edit, id);
  edit->setMaximumWidth(60);
  layout.addRow(label, edit);
  return edit;
}

}  // namespace

// ---- The pages' base ----

CManagerPage::CManagerPage(int templateId, const QString& caption, int helpTopic)
    : CPropertyPagePlus(templateId, 0), m_helpTopic(helpTopic) {
  setWindowTitle(caption);
}

void CManagerPage::FinishOpening(std::initializer_list<int> inputs) {
  CPropertyPagePlus::OnInitDialog();
  CreateBackgroundBrush(static_cast<ColourRef>(-1));
  if (m_readOnly != 0) {
    for (int id : inputs) EnableControl(id, 0);
  }
}

// ---- Save name ----

CEditSaveNamePage::CEditSaveNamePage()
    : CManagerPage(4233, QStringLiteral("Save name"), kTopicSaveName) {}

bool CEditSaveNamePage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  const struct {
    int id;
    const char* caption;
  } radios[] = {{kIdcSaveNameRegistry, "Save the user's name in their Registry entry"},
                {kIdcSaveNameAppData, "Save the user's name in their Application Data folder"},
                {kIdcSaveNameMyDocuments, "Save the user's name in their My Documents folder"},
                {kIdcSaveNameNo, "Do not allow the user to save their name"}};
  for (const auto& radio : radios) {
    auto* button = new QRadioButton(QString::fromLatin1(radio.caption), this);
    SetControlId(button, radio.id);
    layout->addWidget(button);
  }
  layout->addStretch(1);
  FinishOpening(
      {kIdcSaveNameRegistry, kIdcSaveNameAppData, kIdcSaveNameMyDocuments, kIdcSaveNameNo});
  return UpdateData(false);
}

void CEditSaveNamePage::DoDataExchange(CDataExchange& dx) {
  DDX_Radio(dx, *this,
            {kIdcSaveNameRegistry, kIdcSaveNameAppData, kIdcSaveNameMyDocuments, kIdcSaveNameNo},
            m_choice);
}

// ---- Keep options ----

CEditKeepOptionsPage::CEditKeepOptionsPage()
    : CManagerPage(4234, QStringLiteral("Keep options"), kTopicKeepOptions) {}

bool CEditKeepOptionsPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  auto* box = new QCheckBox(QStringLiteral("&Allow each user to keep their options on disk"), this);
  SetControlId(box, kIdcKeepOptions);
  layout->addWidget(box);
  auto* save =
      new QPushButton(QStringLiteral("&Save the current option values for all users"), this);
  SetControlId(save, kIdcSaveOptionsForAll);
  connect(save, &QPushButton::clicked, this, &CEditKeepOptionsPage::OnSaveForAll);
  layout->addWidget(save, 0, Qt::AlignLeft);
  layout->addStretch(1);
  FinishOpening({kIdcKeepOptions, kIdcSaveOptionsForAll});
  return UpdateData(false);
}

void CEditKeepOptionsPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcKeepOptions, m_keepOptions);
}

void CEditKeepOptionsPage::OnSaveForAll() {
  if (WriteOptionsFile(1) != 0) {
    ShowInformation(kIdsSavedForAllUsers);
  } else {
    ShowWarning(kIdsCannotChangeSettings);
  }
}

// ---- Start in ----

CEditFolderPage::CEditFolderPage()
    : CManagerPage(4221, QStringLiteral("Start in"), kTopicWorkFolder) {}

bool CEditFolderPage::OnInitDialog() {
  auto* layout = new QHBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&Pathname:"), this);
  auto* edit = new QLineEdit(this);
  SetControlId(edit, kIdcStartPath);
  label->setBuddy(edit);
  auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
  SetControlId(browse, kIdcBrowse);
  connect(browse, &QPushButton::clicked, this, &CEditFolderPage::OnBrowse);
  layout->addWidget(label);
  layout->addWidget(edit, 1);
  layout->addWidget(browse);
  layout->setAlignment(Qt::AlignTop);
  FinishOpening({kIdcStartPath, kIdcBrowse});
  return UpdateData(false);
}

void CEditFolderPage::DoDataExchange(CDataExchange& dx) {
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcStartPath));
  if (edit == nullptr || dx.Failed()) return;
  if (dx.IsSaving()) {
    m_path = edit->text();
  } else {
    edit->setText(m_path);
  }
}

void CEditFolderPage::OnBrowse() {
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcStartPath));
  if (edit == nullptr) return;
  const QString chosen = BrowseForFolder(this, QStringLiteral("Please select a folder."),
                                         kBifReturnOnlyFsDirs, edit->text(), 0);
  if (chosen.isEmpty()) return;
  const QString symbolic = ContractSamplePath(chosen);
  edit->setText(symbolic.isEmpty() ? chosen : symbolic);
}

// ---- Printers ----

CEditPrintersPage::CEditPrintersPage()
    : CManagerPage(4257, QStringLiteral("Printers"), kTopicPrinters) {
  for (int i = 0; i < kPrinterTableSize; ++i) {
    const auto index = static_cast<std::size_t>(i);
    m_line[index] = g_printerLineThickness[index];
    m_arc[index] = g_printerArcThickness[index];
    m_hatch[index] = g_printerHatchDotSize[index];
    m_colour[index] = g_printerIsColour[index];
  }
}

bool CEditPrintersPage::OnInitDialog() {
  auto* layout = new QFormLayout(this);
  m_list = new QComboBox(this);
  SetControlId(m_list, kIdcPrinterList);
  for (int i = 0; i < g_printerCount && i < kPrinterTableSize; ++i) {
    m_list->addItem(g_printerNames[static_cast<std::size_t>(i)]);
  }
  layout->addRow(QStringLiteral("Printer:"), m_list);
  SettingEdit(*this, *layout, kIdcLineThickness, QStringLiteral("Line thickness:"));
  SettingEdit(*this, *layout, kIdcArcThickness, QStringLiteral("Arc thickness:"));
  SettingEdit(*this, *layout, kIdcHatchDotSize, QStringLiteral("Hatch dot size:"));
  auto* colour = new QCheckBox(QStringLiteral("Colour printer"), this);
  SetControlId(colour, kIdcColourPrinter);
  layout->addRow(QString(), colour);
  FinishOpening({kIdcLineThickness, kIdcArcThickness, kIdcHatchDotSize, kIdcColourPrinter});
  if (g_currentPrinter >= 0 && g_currentPrinter < g_printerCount) ShowPrinter(g_currentPrinter);
  connect(m_list, &QComboBox::activated, this, &CEditPrintersPage::OnPrinterChosen);
  return true;
}

void CEditPrintersPage::DoDataExchange(CDataExchange& dx) {
  const auto setting = [&](int id, std::int32_t& value) {
    std::int16_t number = static_cast<std::int16_t>(value);
    DDX_Short(dx, id, number);
    if (dx.Failed() || !dx.IsSaving()) return;
    if (number < kSmallestSetting || number > kLargestSetting) {
      ShowIntegerRange();
      dx.Fail();
      return;
    }
    value = number;
  };
  setting(kIdcLineThickness, m_shownLine);
  setting(kIdcArcThickness, m_shownArc);
  setting(kIdcHatchDotSize, m_shownHatch);
  DDX_Check(dx, *this, kIdcColourPrinter, m_shownColour);
}

bool CEditPrintersPage::TakeShownValues() {
  // Read-only values cannot have been changed.
  if (m_shown < 0 || IsReadOnly() != 0) return true;
  if (!UpdateData(true)) return false;
  const auto index = static_cast<std::size_t>(m_shown);
  m_line[index] = m_shownLine;
  m_arc[index] = m_shownArc;
  m_hatch[index] = m_shownHatch;
  m_colour[index] = m_shownColour;
  return true;
}

void CEditPrintersPage::ShowPrinter(int index) {
  const auto at = static_cast<std::size_t>(index);
  m_shown = static_cast<std::int16_t>(index);
  m_shownLine = m_line[at];
  m_shownArc = m_arc[at];
  m_shownHatch = m_hatch[at];
  m_shownColour = m_colour[at];
  if (m_list != nullptr) m_list->setCurrentIndex(index);
  UpdateData(false);
}

void CEditPrintersPage::OnPrinterChosen(int index) {
  if (index == m_shown) return;
  if (!TakeShownValues()) {
    if (m_list != nullptr) m_list->setCurrentIndex(m_shown);
    return;
  }
  if (index >= 0 && index < g_printerCount) ShowPrinter(index);
}

bool CEditPrintersPage::OnKillActive() { return TakeShownValues(); }

// ---- Sample files ----

CSampleFilesPage::CSampleFilesPage()
    : CManagerPage(4262, QStringLiteral("Sample files"), kTopicSampleFiles) {}

bool CSampleFilesPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("The sample files are currently stored in:"), this));
  auto* folder = new QLabel(this);
  SetControlId(folder, kIdcSamplesFolder);
  folder->setWordWrap(true);
  layout->addWidget(folder);
  layout->addWidget(new QLabel(QStringLiteral("Sample files:"), this));
  auto* table = new CTableWnd(this);
  SetControlId(table, kIdcSamplesTable);
  table->setMinimumSize(300, 140);
  layout->addWidget(table, 1);
  auto* move =
      new QPushButton(QStringLiteral("&Move the sample files to the network server"), this);
  SetControlId(move, kIdcMoveSamples);
  layout->addWidget(move, 0, Qt::AlignLeft);
  FinishOpening({});
  // No network folder of the installation is known here, so there is nowhere to move to.
  EnableControl(kIdcMoveSamples, 0);
  Refresh();
  return true;
}

void CSampleFilesPage::Refresh() {
  if (auto* folder = qobject_cast<QLabel*>(GetDlgItem(kIdcSamplesFolder))) {
    folder->setText(g_samplesFolder);
  }
  auto* table = qobject_cast<CTableWnd*>(GetDlgItem(kIdcSamplesTable));
  if (table == nullptr) return;
  table->RemoveAllRows();
  if (g_samplesFolder.isEmpty()) return;
  QStringList patterns;
  for (int i = 0; i < m_extensionCount && i < static_cast<int>(m_extensions.size()); ++i) {
    patterns << QStringLiteral("*.") + m_extensions[static_cast<std::size_t>(i)];
  }
  ShowWaitCursor();
  const QStringList files = QDir(g_samplesFolder).entryList(patterns, QDir::Files, QDir::NoSort);
  if (table->SetSize(1, static_cast<int>(files.size())) == 0) {
    HideWaitCursor();
    ShowOutOfMemory();
    return;
  }
  table->SetColumn(0, QStringLiteral("File"), 1, 1, 0);
  for (const QString& file : files) {
    if (table->AddRow() < 0) break;
    table->SetCellText(0, file);
  }
  HideWaitCursor();
  table->update();
}

// ---- The sheet ----

CManagerSheet::CManagerSheet(QWidget* parent, int privilegeLevel)
    : CPropertySheetPlus(QStringLiteral("System Manager"), parent, 0),
      m_saveName(new CEditSaveNamePage),
      m_keepOptions(new CEditKeepOptionsPage),
      m_folder(new CEditFolderPage),
      m_printers(new CEditPrintersPage),
      m_samples(new CSampleFilesPage),
      m_fileTypes(new CCheckFileTypesPage) {
  const int readOnly =
      privilegeLevel == kPrivilegeAdministrator || privilegeLevel == kPrivilegeElevated ? 0 : 1;
  for (CManagerPage* page : std::initializer_list<CManagerPage*>{m_saveName, m_keepOptions,
                                                                 m_folder, m_printers, m_samples}) {
    page->SetReadOnly(readOnly);
    AddPage(page);
    GetTabControl()->setTabText(GetPageCount() - 1, page->windowTitle());
  }
  m_fileTypes->SetReadOnly(privilegeLevel == kPrivilegeElevated ? 0 : 1);
  AddPage(m_fileTypes);
  GetTabControl()->setTabText(GetPageCount() - 1, m_fileTypes->windowTitle());
  m_saveName->m_choice = g_saveNameMode == kSaveNameNo ? 3 : g_saveNameMode;
  m_keepOptions->m_keepOptions = g_keepOptions == 1 ? 1 : 0;
  m_folder->m_path = g_managerStartFolder;
}

void CManagerSheet::WriteSettings() {
  // Nothing is written for a user who may not change the shared settings.
  if (m_saveName->IsReadOnly() != 0) return;
  const std::int16_t oldMode = g_saveNameMode;
  const std::int16_t oldKeep = g_keepOptions;
  const QString oldStart = g_managerStartFolder;
  const int choice = m_saveName->m_choice;
  if (choice >= 0 && choice <= 3) {
    g_saveNameMode = static_cast<std::int16_t>(choice == 3 ? kSaveNameNo : choice);
  }
  g_keepOptions = static_cast<std::int16_t>(m_keepOptions->m_keepOptions != 0 ? 1 : 0);
  g_managerStartFolder = m_folder->m_path;
  if ((g_saveNameMode != oldMode || g_keepOptions != oldKeep || g_managerStartFolder != oldStart) &&
      WriteManagerFile() == 0) {
    ShowWarning(kIdsCannotChangeSettings);
    g_saveNameMode = oldMode;
    g_keepOptions = oldKeep;
    g_managerStartFolder = oldStart;
  }
  bool printersChanged = false;
  for (int i = 0; i < g_printerCount && i < kPrinterTableSize; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const auto take = [&](std::int32_t& table, std::int32_t value) {
      if (table == value) return;
      table = value;
      g_printerSaved[at] = 1;
      printersChanged = true;
    };
    take(g_printerLineThickness[at], m_printers->m_line[at]);
    take(g_printerArcThickness[at], m_printers->m_arc[at]);
    take(g_printerHatchDotSize[at], m_printers->m_hatch[at]);
    take(g_printerIsColour[at], m_printers->m_colour[at]);
  }
  if (printersChanged && WritePrinterSettings() == 0) ShowWarning(kIdsCannotChangeSettings);
}

int ShowManagerSheet(QWidget* parent, int privilegeLevel) {
  LogScope trace(26143);
  CManagerSheet sheet(parent, privilegeLevel);
  const int result = sheet.DoModal();
  if (result == kIdOk) sheet.WriteSettings();
  return trace.Return(result);
}

}  // namespace zeph
