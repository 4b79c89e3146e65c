#pragma once
// Options > Preferences: the sheet "Options page" with the pages General, Values, Nearby,
// Toolbox, Colours and Backup over the options store. The pages are filled from the options
// before the sheet opens; only OK writes them back, and only pages the user opened exchange
// their controls.
#include <cstdint>

#include "controls/propertysheet.h"

class QWidget;

namespace zeph {

class COptionsGeneralPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsGeneralPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_crossHairsCursor = 0;
  std::int32_t m_flashDelete = 0;
  std::int32_t m_objectListTriangles = 0;
  std::int32_t m_spellCheck = 0;
  std::int32_t m_fullPathnameTitle = 0;
};

class COptionsValuesPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsValuesPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int16_t m_decimalPlaces = 0;
  std::int32_t m_displayUnits = -1;  // drop-list index
};

class COptionsDistancePage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsDistancePage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int16_t m_huntDistance = 0;
  std::int16_t m_joinDistance = 0;
  std::int16_t m_clickFillDistance = 0;
  std::int16_t m_colourPickDistance = 0;
};

class COptionsToolboxPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsToolboxPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_copyNewObject = 0;
  std::int32_t m_transformNewObject = 0;
  std::int32_t m_transformKeepOriginal = 1;
};

class COptionsColoursPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsColoursPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_dormantColour = -1;  // radio index
};

class COptionsBackupPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  COptionsBackupPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_useBackupFolder = 0;
  std::int32_t m_createBackupSeries = 0;
};

// Control ids of the pages.
inline constexpr int kIdcCrossHairs = 1232;
inline constexpr int kIdcObjectListTriangles = 1233;
inline constexpr int kIdcFlashDelete = 1234;
inline constexpr int kIdcSpellCheck = 1235;
inline constexpr int kIdcFullPathname = 1236;
inline constexpr int kIdcDecimalPlaces = 1026;
inline constexpr int kIdcDisplayUnits = 1027;
inline constexpr int kIdcHuntDistance = 1024;
inline constexpr int kIdcJoinDistance = 1025;
inline constexpr int kIdcClickFillDistance = 1026;
inline constexpr int kIdcColourPickDistance = 1027;
inline constexpr int kIdcCopyNewObject = 1029;
inline constexpr int kIdcTransformNewObject = 1030;
inline constexpr int kIdcTransformKeepOriginal = 1031;
inline constexpr int kIdcDormantGrey = 1201;  // to 1207 (Lilac)
inline constexpr int kDormantColourCount = 7;
inline constexpr int kIdcUseBackupFolder = 1688;
inline constexpr int kIdcCreateBackupSeries = 1689;

// The sheet with its six pages filled from the options (the sheet takes the pages).
class COptionsSheet : public CPropertySheetPlus {
  Q_OBJECT

 public:
  explicit COptionsSheet(QWidget* parent);

  COptionsGeneralPage* m_general;
  COptionsValuesPage* m_values;
  COptionsDistancePage* m_distance;
  COptionsToolboxPage* m_toolbox;
  COptionsColoursPage* m_colours;
  COptionsBackupPage* m_backup;
  // The dormant colour the sheet started with.
  std::int32_t m_startColour;

  // After OK: the pages' values into the options. Answers whether the dormant colour changed.
  bool WriteOptions();
};

// Options > Preferences: shows the sheet; OK writes the options, redraws the drawing when the
// dormant colour changed (else updates the title); the editing view is told either way.
// Answers the sheet's result (kIdOk or kIdCancel).
int ShowOptionsSheet(QWidget* parent);

}  // namespace zeph
