#pragma once
// Options > Manager: the sheet "System Manager" for whoever manages a shared installation:
// where users' names are kept, whether users keep their own options, the folder the file
// dialogs start in, per-printer drawing settings, the sample drawings and the file types.
// Anyone may open it; below the administrator's privilege its inputs are disabled.
#include <QString>
#include <array>
#include <cstdint>

#include "controls/propertysheet.h"
#include "support/printer.h"

class QComboBox;
class QLineEdit;

namespace zeph {

class CCheckFileTypesPage;
class CTableWnd;

inline constexpr int kIdcSaveNameRegistry = 1569;
inline constexpr int kIdcSaveNameMyDocuments = 1570;
inline constexpr int kIdcSaveNameNo = 1571;
inline constexpr int kIdcSaveNameAppData = 1572;
inline constexpr int kIdcKeepOptions = 1154;
inline constexpr int kIdcSaveOptionsForAll = 1004;
inline constexpr int kIdcStartPath = 1083;
inline constexpr int kIdcBrowse = 7;
inline constexpr int kIdcPrinterList = 1030;
inline constexpr int kIdcHatchDotSize = 1031;
inline constexpr int kIdcLineThickness = 1032;
inline constexpr int kIdcArcThickness = 1034;
inline constexpr int kIdcColourPrinter = 1130;
inline constexpr int kIdcSamplesFolder = 1041;
inline constexpr int kIdcSamplesTable = 1042;
inline constexpr int kIdcMoveSamples = 1033;

// What the manager pages share: the read-only flag that disables their inputs.
class CManagerPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CManagerPage(int templateId, const QString& caption, int helpTopic);
  int GetHelpTopic() const override { return m_helpTopic; }
  void SetReadOnly(int readOnly) { m_readOnly = readOnly; }
  int IsReadOnly() const { return m_readOnly; }

 protected:
  // The base's opening, the light background, and in read-only mode the inputs disabled.
  void FinishOpening(std::initializer_list<int> inputs);

 private:
  int m_helpTopic;
  std::int32_t m_readOnly = 0;
};

class CEditSaveNamePage : public CManagerPage {
  Q_OBJECT

 public:
  CEditSaveNamePage();
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  // 0 registry, 1 application data, 2 documents, 3 not kept.
  std::int32_t m_choice = -1;
};

class CEditKeepOptionsPage : public CManagerPage {
  Q_OBJECT

 public:
  CEditKeepOptionsPage();
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  // "Save the current option values for all users".
  void OnSaveForAll();
  std::int32_t m_keepOptions = 0;
};

class CEditFolderPage : public CManagerPage {
  Q_OBJECT

 public:
  CEditFolderPage();
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  void OnBrowse();
  QString m_path;
};

class CEditPrintersPage : public CManagerPage {
  Q_OBJECT

 public:
  CEditPrintersPage();
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  bool OnKillActive() override;
  // Another printer chosen in the list: the shown values are taken back first (a value out of
  // 1..20 keeps the shown printer), then the new one's are shown.
  void OnPrinterChosen(int index);

  std::array<std::int32_t, kPrinterTableSize> m_line{};
  std::array<std::int32_t, kPrinterTableSize> m_arc{};
  std::array<std::int32_t, kPrinterTableSize> m_hatch{};
  std::array<std::int32_t, kPrinterTableSize> m_colour{};
  std::int16_t m_shown = -1;
  std::int32_t m_shownLine = 0;
  std::int32_t m_shownArc = 0;
  std::int32_t m_shownHatch = 0;
  std::int32_t m_shownColour = 0;

 private:
  // The shown values back from the controls into the arrays; false when one was refused.
  bool TakeShownValues();
  void ShowPrinter(int index);
  QComboBox* m_list = nullptr;
};

class CSampleFilesPage : public CManagerPage {
  Q_OBJECT

 public:
  CSampleFilesPage();
  bool OnInitDialog() override;
  // The samples folder and its drawings.
  void Refresh();
  std::int16_t m_extensionCount = 1;
  std::array<QString, 5> m_extensions{QStringLiteral("zpd")};
};

class CManagerSheet : public CPropertySheetPlus {
  Q_OBJECT

 public:
  // privilegeLevel: 1 standard user, 2 administrator, 3 elevated administrator.
  CManagerSheet(QWidget* parent, int privilegeLevel);
  // After OK: the shared settings and the printer file written when they changed.
  void WriteSettings();

  CEditSaveNamePage* m_saveName;
  CEditKeepOptionsPage* m_keepOptions;
  CEditFolderPage* m_folder;
  CEditPrintersPage* m_printers;
  CSampleFilesPage* m_samples;
  CCheckFileTypesPage* m_fileTypes;
};

// Options > Manager with the user's privilege level. Answers the sheet's result.
int ShowManagerSheet(QWidget* parent, int privilegeLevel);

}  // namespace zeph
