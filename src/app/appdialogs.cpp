#include "app/appdialogs.h"
#include "app/sysinfosheet.h"
#include "app/valuedialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/resources.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/sharedconfig.h"
#include "support/textutil.h"
#include "support/uiutil.h"

std::int32_t g_releaseNumber = 1;

namespace zeph {
namespace {

constexpr int kLogOnOptionsName = 1008;
constexpr int kLogAboutIcon = 2301;
constexpr int kLogCheckUpdatesInit = 2303;

QString VersionText() { return QString::fromUtf16(kVersionText); }
QString ReleaseText() { return QStringLiteral("Release %1").arg(g_releaseNumber); }

// A text line the dialog fills in, known by its id.
QLabel* AddLine(QWidget& dialog, int id, const QString& text) {
  auto* label = new QLabel(text, &dialog);
  SetControlId(label, id);
  return label;
}

// The program icon as a flat button.
QToolButton* MakeProgramIcon(QWidget& dialog) {
  auto* icon = new QToolButton(&dialog);
  icon->setIcon(LoadOwnIcon(QStringLiteral("zephorin")));
  icon->setIconSize(QSize(32, 32));
  icon->setAutoRaise(true);
  icon->setFocusPolicy(Qt::NoFocus);
  SetControlId(icon, kIdcProgramIcon);
  return icon;
}

// The version, release and build lines the version dialogs open with, in the column that goes
// beside the program icon; build, when asked for, is the build line.
QVBoxLayout* AddVersionLines(QWidget& dialog, QLabel** build = nullptr) {
  QLabel* version = AddLine(dialog, kIdcVersion, QStringLiteral("Version"));
  QLabel* release = AddLine(dialog, kIdcRelease, QStringLiteral("Release"));
  QLabel* buildLine = AddLine(dialog, kIdcBuild, QString());
  if (build != nullptr) *build = buildLine;
  auto* lines = new QVBoxLayout;
  lines->addWidget(version);
  lines->addWidget(release);
  lines->addWidget(buildLine);
  return lines;
}

// The default button, OK.
QPushButton* AddOkButton(CDialogPlus& dialog) {
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  dialog.ConnectCommand(ok, kIdOk);
  ok->setDefault(true);
  return ok;
}

// The version dialogs' frame: the program icon beside their lines, then a column of OK and one
// more button.
void LayOutBesideIcon(QWidget& dialog, QToolButton* icon, QLayout* lines, QPushButton* ok,
                      QPushButton* other) {
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(lines, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(other);
  buttons->addStretch();
  top->addLayout(buttons);
  dialog.setLayout(top);
}

}  // namespace

// ---- CEditNameDialog ----

CEditNameDialog::CEditNameDialog(QWidget* parent) : CDialogPlus(kIddEditName, parent) {
  setWindowTitle(QStringLiteral("Type in your name"));
  auto* label = new QLabel(QStringLiteral("&Name:"), this);
  m_edit = new QLineEdit(this);
  SetControlId(m_edit, kIdcNameEdit);
  label->setBuddy(m_edit);
  m_keepBox = new QCheckBox(QStringLiteral("&Keep your name on disk"), this);
  SetControlId(m_keepBox, kIdcKeepName);
  auto* buttons = new QVBoxLayout;
  AddDialogButtons(*this, *buttons);

  auto* fields = new QGridLayout;
  fields->addWidget(label, 0, 0);
  fields->addWidget(m_edit, 0, 1);
  fields->addWidget(m_keepBox, 1, 1);
  fields->setColumnMinimumWidth(1, 220);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
}

bool CEditNameDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  if (m_keepLocked != 0) EnableControl(kIdcKeepName, 0);
  return true;
}

void CEditNameDialog::DoDataExchange(CDataExchange& dx) {
  if (dx.Failed()) return;
  QLineEdit* edit = dx.PrepareEditCtrl(kIdcNameEdit);
  if (edit == nullptr) return;
  if (!dx.IsSaving()) {
    edit->setText(m_name);
    edit->setMaxLength(kNameDialogLimit);
    m_keepBox->setChecked(m_keep != 0);
    return;
  }
  const QString text = edit->text();
  if (text.size() > kNameDialogLimit) {
    GetPresenter().ShowMessageBox(
        QStringLiteral("Please enter no more than %1 characters.").arg(kNameDialogLimit),
        QString::fromUtf16(kProductName), kMbOk | kMbIconExclamation);
    dx.Fail();
    return;
  }
  m_name = text;
  m_keep = m_keepBox->isChecked() ? 1 : 0;
}

// ---- CAboutDialog ----

CAboutDialog::CAboutDialog(QWidget* parent) : CDialogPlus(kIddAbout, parent) {
  setWindowTitle(QStringLiteral("About Zephorin 3"));
  QToolButton* icon = MakeProgramIcon(*this);
  connect(icon, &QToolButton::clicked, this, [this]() { OnProgramIcon(); });
  QLabel* build = nullptr;
  QVBoxLayout* lines = AddVersionLines(*this, &build);
  build->setMinimumWidth(120);
  QPushButton* ok = AddOkButton(*this);
  auto* buildButton = new QPushButton(QStringLiteral("&Build"), this);
  ConnectCommand(buildButton, kIdcBuildButton);
  LayOutBesideIcon(*this, icon, lines, ok, buildButton);
}

bool CAboutDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  SetControlText(kIdcVersion, VersionText());
  SetControlText(kIdcRelease, ReleaseText());
  return true;
}

bool CAboutDialog::OnCommand(int id) {
  if (id == kIdcBuildButton) {
    OnBuild();
    return true;
  }
  return CDialogPlus::OnCommand(id);
}

void CAboutDialog::OnBuild() {
  SetControlText(kIdcBuild, QStringLiteral("Build %1").arg(kBuildNumber));
}

void CAboutDialog::OnProgramIcon() {
  LogScope trace(kLogAboutIcon);
  // The program icon is the way to the system information.
  ShowSystemInformation(this);
  EndDialog(kIdOk);
  trace.Exit();
}

// ---- CCheckUpdatesDialog ----

QString UpdateCheckText(std::int32_t latestVersion) {
  if (latestVersion == 0) return QStringLiteral("\nWaiting to check for updates ...");
  if (latestVersion < 0) {
    // Widened first: the most negative code has no positive of its own width.
    const std::int64_t code = -static_cast<std::int64_t>(latestVersion);
    return QStringLiteral("Sorry - there was an error when checking for updates.\nCode: %1 ")
        .arg(code);
  }
  if (latestVersion <= kVersionNumber) return QStringLiteral("\nThis version is up-to-date.");
  const QString newest = QStringLiteral("The most recent version of this program is %1")
                             .arg(latestVersion / 100.0, 0, 'f', 2);
  if (latestVersion / 100 == kVersionNumber / 100) {
    return newest + QStringLiteral("\nYou can download it from our website.");
  }
  return newest + QStringLiteral("\nPlease contact Corvelle Software Ltd if you would") +
         QStringLiteral("\nlike to purchase an upgrade to this new version.");
}

CCheckUpdatesDialog::CCheckUpdatesDialog(QWidget* parent) : CDialogPlus(kIddCheckUpdates, parent) {
  setWindowTitle(QStringLiteral("Checking for updates"));
  QToolButton* icon = MakeProgramIcon(*this);
  QVBoxLayout* lines = AddVersionLines(*this);
  QLabel* current = AddLine(*this, kIdcUpdateText, QStringLiteral("Current"));
  current->setMinimumSize(320, 60);
  current->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lines->addSpacing(8);
  lines->addWidget(current, 1);
  QPushButton* ok = AddOkButton(*this);
  auto* contact = new QPushButton(QStringLiteral("&Contact details"), this);
  SetControlId(contact, kIdcContactDetails);
  LayOutBesideIcon(*this, icon, lines, ok, contact);
}

bool CCheckUpdatesDialog::OnInitDialog() {
  LogScope trace(kLogCheckUpdatesInit);
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  SetControlText(kIdcVersion, VersionText());
  SetControlText(kIdcRelease, ReleaseText());
  SetControlText(kIdcUpdateText, UpdateCheckText(g_latestVersion));
  ShowControl(kIdcContactDetails, m_contactMode < 0 ? 0 : 1);
  return trace.Return(true);
}

// ---- The application's commands ----

int RunEditNameDialog(QWidget* parent) {
  LogScope trace(kLogOnOptionsName);
  LogNumber(g_saveNameMode);
  CEditNameDialog dialog(parent);
  dialog.m_name = g_userName;
  if (g_saveNameMode < 0) {
    dialog.m_keepLocked = 1;
    dialog.m_keep = 0;
  } else {
    dialog.m_keepLocked = 0;
    dialog.m_keep = g_userNameKept;
  }
  const int answer = dialog.DoModal();
  if (answer != kIdOk) return trace.Return(answer, kLogHandled, 1);
  QString name = dialog.m_name.left(kNameDialogLimit);
  TrimText(name);
  g_userName = name;
  if (g_saveNameMode >= 0) {
    g_userNameKept = dialog.m_keep;
    SaveUserName();
  }
  return trace.Return(answer);
}

int RunAboutDialog(QWidget* parent) {
  CAboutDialog dialog(parent);
  return dialog.DoModal();
}

int RunCheckUpdatesDialog(QWidget* parent) {
  // The wait cursor while the dialog is made; the user reads the dialog with the arrow.
  ShowWaitCursor();
  CCheckUpdatesDialog dialog(parent);
  HideWaitCursor();
  return dialog.DoModal();
}

}  // namespace zeph
