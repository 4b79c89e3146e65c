#include "app/optionssheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/sheetexchange.h"
#include "document/dochost.h"
#include "platform/presenter.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph {

namespace {

// Help topics of the pages.
constexpr int kTopicBackupOptions = 66;
constexpr int kTopicColours = 67;
constexpr int kTopicGeneral = 68;
constexpr int kTopicNearby = 69;
constexpr int kTopicToolbox = 70;
constexpr int kTopicValues = 71;

QCheckBox* AddCheck(QWidget& page, QVBoxLayout& layout, int id, const QString& text) {
  auto* box = new QCheckBox(text, &page);
  SetControlId(box, id);
  layout.addWidget(box);
  return box;
}

QLineEdit* AddNumber(QWidget& page, QFormLayout& layout, int id, const QString& label) {
  auto* edit = new QLineEdit(&page);
  SetControlId(edit, id);
  edit->setMaximumWidth(80);
  auto* caption = new QLabel(label, &page);
  caption->setBuddy(edit);
  layout.addRow(caption, edit);
  return edit;
}

}  // namespace

// ---- General ----

COptionsGeneralPage::COptionsGeneralPage() : CPropertyPagePlus(4241, 0) {
  setWindowTitle(QStringLiteral("General"));
}
int COptionsGeneralPage::GetHelpTopic() const { return kTopicGeneral; }

bool COptionsGeneralPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  AddCheck(*this, *layout, kIdcCrossHairs, QStringLiteral("Cross &hairs cursor "));
  AddCheck(*this, *layout, kIdcFlashDelete, QStringLiteral("&Flash selected items during delete"));
  AddCheck(*this, *layout, kIdcObjectListTriangles,
           QStringLiteral("&Show triangles in corners of objects list"));
  AddCheck(*this, *layout, kIdcSpellCheck, QStringLiteral("&Check spelling for text items"));
  AddCheck(*this, *layout, kIdcFullPathname,
           QStringLiteral("Show the full pathname in the &title"));
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsGeneralPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcCrossHairs, m_crossHairsCursor);
  DDX_Check(dx, *this, kIdcFlashDelete, m_flashDelete);
  DDX_Check(dx, *this, kIdcObjectListTriangles, m_objectListTriangles);
  DDX_Check(dx, *this, kIdcSpellCheck, m_spellCheck);
  DDX_Check(dx, *this, kIdcFullPathname, m_fullPathnameTitle);
}

// ---- Values ----

COptionsValuesPage::COptionsValuesPage() : CPropertyPagePlus(4245, 0) {
  setWindowTitle(QStringLiteral("Values"));
}
int COptionsValuesPage::GetHelpTopic() const { return kTopicValues; }

bool COptionsValuesPage::OnInitDialog() {
  auto* layout = new QFormLayout(this);
  AddNumber(*this, *layout, kIdcDecimalPlaces, QStringLiteral("&Decimal places "));
  auto* units = new QComboBox(this);
  SetControlId(units, kIdcDisplayUnits);
  units->addItems({QStringLiteral("Automatic"), QStringLiteral("mm"), QStringLiteral("cm"),
                   QStringLiteral("m"), QStringLiteral("km")});
  auto* caption = new QLabel(QStringLiteral("Display &units "), this);
  caption->setBuddy(units);
  layout->addRow(caption, units);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsValuesPage::DoDataExchange(CDataExchange& dx) {
  DDX_Short(dx, kIdcDecimalPlaces, m_decimalPlaces);
  DDX_CBIndex(dx, *this, kIdcDisplayUnits, m_displayUnits);
}

// ---- Nearby ----

COptionsDistancePage::COptionsDistancePage() : CPropertyPagePlus(4242, 0) {
  setWindowTitle(QStringLiteral("Nearby"));
}
int COptionsDistancePage::GetHelpTopic() const { return kTopicNearby; }

bool COptionsDistancePage::OnInitDialog() {
  auto* layout = new QFormLayout(this);
  AddNumber(*this, *layout, kIdcHuntDistance, QStringLiteral("Hun&t distance "));
  AddNumber(*this, *layout, kIdcJoinDistance, QStringLiteral("&Nearby distance "));
  AddNumber(*this, *layout, kIdcClickFillDistance, QStringLiteral("Click &fill distance "));
  AddNumber(*this, *layout, kIdcColourPickDistance, QStringLiteral("Pick c&olour distance "));
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsDistancePage::DoDataExchange(CDataExchange& dx) {
  DDX_Short(dx, kIdcHuntDistance, m_huntDistance);
  DDX_Short(dx, kIdcJoinDistance, m_joinDistance);
  DDX_Short(dx, kIdcClickFillDistance, m_clickFillDistance);
  DDX_Short(dx, kIdcColourPickDistance, m_colourPickDistance);
}

// ---- Toolbox ----

COptionsToolboxPage::COptionsToolboxPage() : CPropertyPagePlus(4249, 0) {
  setWindowTitle(QStringLiteral("Toolbox"));
}
int COptionsToolboxPage::GetHelpTopic() const { return kTopicToolbox; }

bool COptionsToolboxPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  AddCheck(*this, *layout, kIdcCopyNewObject,
           QStringLiteral("&Create new objects when items are copied"));
  AddCheck(*this, *layout, kIdcTransformNewObject,
           QStringLiteral("Create new objects when items are \nrotated, reflected, enlarged or "
                          "stretched "));
  AddCheck(*this, *layout, kIdcTransformKeepOriginal,
           QStringLiteral("Keep the original items when items are \nrotated, reflected, enlarged "
                          "or stretched "));
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsToolboxPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcCopyNewObject, m_copyNewObject);
  DDX_Check(dx, *this, kIdcTransformNewObject, m_transformNewObject);
  DDX_Check(dx, *this, kIdcTransformKeepOriginal, m_transformKeepOriginal);
}

// ---- Colours ----

COptionsColoursPage::COptionsColoursPage() : CPropertyPagePlus(4302, 0) {
  setWindowTitle(QStringLiteral("Colours"));
}
int COptionsColoursPage::GetHelpTopic() const { return kTopicColours; }

bool COptionsColoursPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("Colour used for un-selected items:"), this);
  auto* column = new QVBoxLayout(group);
  static const char* const kNames[kDormantColourCount] = {"Grey",  "Pink",   "Yellow", "Cyan",
                                                          "Green", "Orange", "Lilac"};
  for (int i = 0; i < kDormantColourCount; ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(kNames[i]), group);
    SetControlId(button, kIdcDormantGrey + i);
    column->addWidget(button);
  }
  layout->addWidget(group);
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsColoursPage::DoDataExchange(CDataExchange& dx) {
  DDX_Radio(dx, *this, kIdcDormantGrey, kDormantColourCount, m_dormantColour);
}

// ---- Backup ----

COptionsBackupPage::COptionsBackupPage() : CPropertyPagePlus(4296, 0) {
  setWindowTitle(QStringLiteral("Backup"));
}
int COptionsBackupPage::GetHelpTopic() const { return kTopicBackupOptions; }

bool COptionsBackupPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  AddCheck(*this, *layout, kIdcUseBackupFolder,
           QStringLiteral("&Save backup files in a folder called Backup"));
  AddCheck(*this, *layout, kIdcCreateBackupSeries,
           QStringLiteral("&Create a new backup file each time"));
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void COptionsBackupPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcUseBackupFolder, m_useBackupFolder);
  DDX_Check(dx, *this, kIdcCreateBackupSeries, m_createBackupSeries);
}

// ---- The sheet ----

COptionsSheet::COptionsSheet(QWidget* parent)
    : CPropertySheetPlus(QStringLiteral("Options page"), parent, 0),
      m_general(new COptionsGeneralPage),
      m_values(new COptionsValuesPage),
      m_distance(new COptionsDistancePage),
      m_toolbox(new COptionsToolboxPage),
      m_colours(new COptionsColoursPage),
      m_backup(new COptionsBackupPage),
      m_startColour(GetOptionShort(kOptionDormantColour)) {
  for (CPropertyPagePlus* page : std::initializer_list<CPropertyPagePlus*>{
           m_general, m_values, m_distance, m_toolbox, m_colours, m_backup}) {
    AddPage(page);
    // The pages' captions are their own texts.
    GetTabControl()->setTabText(GetPageCount() - 1, page->windowTitle());
  }
  m_general->m_crossHairsCursor = GetOptionFlag(kOptionCrossHairsCursor);
  m_general->m_flashDelete = GetOptionFlag(kOptionFlashDelete);
  m_general->m_objectListTriangles = GetOptionFlag(kOptionObjectListTriangles);
  m_general->m_spellCheck = GetOptionFlag(kOptionSpellCheck);
  m_general->m_fullPathnameTitle = GetOptionFlag(kOptionFullPathnameTitle);
  m_values->m_decimalPlaces = static_cast<std::int16_t>(GetOptionShort(kOptionDecimalPlaces));
  m_values->m_displayUnits = GetOptionShort(kOptionDisplayUnits);
  m_distance->m_huntDistance = static_cast<std::int16_t>(GetOptionShort(kOptionHuntDistance));
  m_distance->m_joinDistance = static_cast<std::int16_t>(GetOptionShort(kOptionJoinDistance));
  m_distance->m_clickFillDistance =
      static_cast<std::int16_t>(GetOptionShort(kOptionClickFillDistance));
  m_distance->m_colourPickDistance =
      static_cast<std::int16_t>(GetOptionShort(kOptionColourPickDistance));
  m_toolbox->m_copyNewObject = GetOptionFlag(kOptionCopyNewObject);
  m_toolbox->m_transformNewObject = GetOptionFlag(kOptionTransformNewObject);
  m_toolbox->m_transformKeepOriginal = GetOptionFlag(kOptionTransformKeepOriginal);
  m_colours->m_dormantColour = m_startColour;
  m_backup->m_useBackupFolder = GetOptionFlag(kOptionUseBackupFolder);
  m_backup->m_createBackupSeries = GetOptionFlag(kOptionCreateBackupSeries);
}

bool COptionsSheet::WriteOptions() {
  SetOptionFlag(kOptionCrossHairsCursor, m_general->m_crossHairsCursor);
  SetOptionFlag(kOptionSpellCheck, m_general->m_spellCheck);
  SetOptionFlag(kOptionObjectListTriangles, m_general->m_objectListTriangles);
  SetOptionFlag(kOptionFlashDelete, m_general->m_flashDelete);
  SetOptionFlag(kOptionFullPathnameTitle, m_general->m_fullPathnameTitle);
  SetOptionShort(kOptionHuntDistance, m_distance->m_huntDistance);
  SetOptionShort(kOptionJoinDistance, m_distance->m_joinDistance);
  SetOptionShort(kOptionClickFillDistance, m_distance->m_clickFillDistance);
  SetOptionShort(kOptionColourPickDistance, m_distance->m_colourPickDistance);
  SetOptionShort(kOptionDecimalPlaces, m_values->m_decimalPlaces);
  // A drop list left without a choice keeps the units in force.
  if (m_values->m_displayUnits >= 0) SetOptionShort(kOptionDisplayUnits, m_values->m_displayUnits);
  SetOptionFlag(kOptionCopyNewObject, m_toolbox->m_copyNewObject);
  SetOptionFlag(kOptionTransformNewObject, m_toolbox->m_transformNewObject);
  SetOptionFlag(kOptionTransformKeepOriginal, m_toolbox->m_transformKeepOriginal);
  bool colourChanged = false;
  const int colour = m_colours->m_dormantColour;
  if (colour >= 0 && colour < kDormantColourCount && colour != m_startColour) {
    SetOptionShort(kOptionDormantColour, colour);
    ApplyDormantColour();
    colourChanged = true;
  }
  SetOptionFlag(kOptionUseBackupFolder, m_backup->m_useBackupFolder);
  SetOptionFlag(kOptionCreateBackupSeries, m_backup->m_createBackupSeries);
  return colourChanged;
}

int ShowOptionsSheet(QWidget* parent) {
  LogScope trace(26140);
  COptionsSheet sheet(parent);
  const int result = sheet.DoModal();
  if (result == kIdOk) {
    if (sheet.WriteOptions()) {
      GetDocumentHost().RefreshDrawing();
    } else {
      GetDocumentHost().UpdateTitle();
    }
  }
  GetDocumentHost().UpdateEditingView();
  return trace.Return(result);
}

}  // namespace zeph
