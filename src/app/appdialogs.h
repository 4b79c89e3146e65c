#pragma once
// Three small dialogs of the application: the user's name (asked at start-up when none is
// remembered, and by Options > Name), the About box, and the result of the latest-version
// check (Help > Check for updates); and the runs of them that the application's commands make.
#include <QString>
#include <cstdint>

#include "controls/dialogplus.h"

class QLineEdit;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

// The program's release number, shown by the About box and the update check.
extern std::int32_t g_releaseNumber;

namespace zeph {

// Dialog templates, control ids and help topics.
inline constexpr int kIddEditName = 4027;
inline constexpr int kIddAbout = 100;
inline constexpr int kIddCheckUpdates = 4261;
inline constexpr int kIdcNameEdit = 1152;
inline constexpr int kIdcKeepName = 1154;
inline constexpr int kIdcProgramIcon = 1376;
inline constexpr int kIdcVersion = 1315;
inline constexpr int kIdcRelease = 1319;
inline constexpr int kIdcBuild = 1318;
inline constexpr int kIdcBuildButton = 1004;
inline constexpr int kIdcUpdateText = 1140;
inline constexpr int kIdcContactDetails = 1141;
inline constexpr int kTopicDialogName = 64;
inline constexpr int kTopicDialogHelpAbout = 58;
inline constexpr int kTopicDialogCheckForUpdates = 47;
// The longest name the name dialog accepts.
inline constexpr int kNameDialogLimit = 36;

class CEditNameDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CEditNameDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kTopicDialogName; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  QString m_name;
  std::int32_t m_keep = 0;
  // The check box cannot be used: names are not kept on this installation.
  std::int32_t m_keepLocked = 0;

 private:
  QLineEdit* m_edit;
  QCheckBox* m_keepBox;
};

class CAboutDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CAboutDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kTopicDialogHelpAbout; }
  bool OnInitDialog() override;
  bool OnCommand(int id) override;
  // The build button: the build number into its line.
  void OnBuild();
  // The program icon: closes the box with OK.
  void OnProgramIcon();
};

class CCheckUpdatesDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CCheckUpdatesDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kTopicDialogCheckForUpdates; }
  bool OnInitDialog() override;

  // Negative while the contact-details button is hidden, which is how the dialog is made.
  std::int16_t m_contactMode = -1;
};

// What the update check's dialog says for the latest version found (0: none yet; negative: the
// check's error code).
QString UpdateCheckText(std::int32_t latestVersion);

// ---- The application's commands ----
// Options > Name, and start-up when no name is remembered: the name dialog on g_userName; on
// OK the name trimmed and cut to 36 characters, and where names may be kept, whether to keep
// it, stored. Answers the dialog's result.
int RunEditNameDialog(QWidget* parent);
// Help > About.
int RunAboutDialog(QWidget* parent);
// Help > Check for updates.
int RunCheckUpdatesDialog(QWidget* parent);

}  // namespace zeph
