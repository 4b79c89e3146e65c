#pragma once
// The sheet "System information" that the About box opens: nine read-only pages of what
// support staff need to know (program, folders, system, user, printer, internet tasks, use,
// glitches, log file). Two settings may be changed on it: showing glitches as they happen and
// writing the activity log to its file.
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "controls/propertysheet.h"

class QFormLayout;

namespace zeph {

class CTableWnd;

inline constexpr int kIdcShowGlitches = 1001;
inline constexpr int kIdcSaveLog = 1002;
inline constexpr int kIdcRefreshInternet = 1693;
inline constexpr int kIdcInfoTable = 1042;
inline constexpr int kIdsGlitchSettingLost = 720;
inline constexpr int kIdsLogSettingLost = 721;
inline constexpr int kIdsLogSettingSaved = 722;

// The offset from UTC as "+h:mm.ss" (east of Greenwich), "-h:mm.ss" (west) or "0:00.00".
QString FormatTimeZoneOffset(int seconds);

// A page of labelled values, or of a two-column table.
class CSystemInfoPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CSystemInfoPage(int templateId, const QString& caption);
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  // The rows shown (label, value), as the page found them when it opened.
  const std::vector<std::pair<QString, QString>>& GetRows() const { return m_rows; }

 protected:
  // Fills the rows; called as the page opens.
  virtual void CollectRows() = 0;
  // Controls of the page's own below the rows.
  virtual void AddControls(QFormLayout& layout);
  void AddRow(const QString& label, const QString& value) { m_rows.emplace_back(label, value); }
  std::vector<std::pair<QString, QString>> m_rows;
};

class CSystemProgramPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemProgramPage();

 protected:
  void CollectRows() override;
};

class CSystemFoldersPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemFoldersPage();

 protected:
  void CollectRows() override;
  void AddControls(QFormLayout& layout) override;
};

class CSystemDetailsPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemDetailsPage();

 protected:
  void CollectRows() override;
};

class CSystemUserPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemUserPage();

 protected:
  void CollectRows() override;
};

class CSystemPrinterPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemPrinterPage();

 protected:
  void CollectRows() override;
};

class CSystemInternetPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemInternetPage();
  // "&Refresh ...": the tasks advance until they wait for the network; the table anew.
  void OnRefresh();
  CTableWnd* GetTable() const;

 protected:
  void CollectRows() override;
  void AddControls(QFormLayout& layout) override;

 private:
  void FillTable();
};

class CSystemProglogPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemProglogPage();

 protected:
  void CollectRows() override;
};

class CSystemGlitchPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemGlitchPage();
  void DoDataExchange(CDataExchange& dx) override;
  std::int32_t m_showGlitch = 0;

 protected:
  void CollectRows() override;
  void AddControls(QFormLayout& layout) override;
};

class CSystemLogPage : public CSystemInfoPage {
  Q_OBJECT
 public:
  CSystemLogPage();
  void DoDataExchange(CDataExchange& dx) override;
  std::int32_t m_saveLog = 0;

 protected:
  void CollectRows() override;
  void AddControls(QFormLayout& layout) override;
};

class CSystemInfoSheet : public CPropertySheetPlus {
  Q_OBJECT

 public:
  explicit CSystemInfoSheet(QWidget* parent);
  // After OK: the two settings taken over and saved.
  void ApplySettings();

  CSystemGlitchPage* m_glitch;
  CSystemLogPage* m_log;
  CSystemInternetPage* m_internet;
};

// Shows the sheet. Answers its result.
int ShowSystemInformation(QWidget* parent);

}  // namespace zeph
