// The system information sheet: the time zone as shown, a machine without printers, a
// missing usage file, and the two settings it may change (the log file with its messages).
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

#include "app/sysinfosheet.h"
#include "sheets_fixture.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/settings.h"

namespace zeph::testing {
namespace {

class SysInfoSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    GetLogHooks().writeMachineSetting = [this](const QString& key, const QString& value) {
      m_written.push_back(key + u'=' + value);
      return m_writeResult;
    };
    ResetSettingsState();
    ResetPrinterState();
    ASSERT_TRUE(m_folder.isValid());
    m_savedData = g_sharedDataFolder;
    g_sharedDataFolder = m_folder.path();
    g_sharedSettingsFolder = m_folder.path();
    g_machineSettingsName = QStringLiteral("Zeph.lmf");
  }
  void TearDown() override {
    g_sharedDataFolder = m_savedData;
    ResetPrinterState();
    ResetSettingsState();
    SheetTest::TearDown();
  }
  // The rows a page showed as it opened.
  std::vector<std::pair<QString, QString>> RowsOf(int page) {
    std::vector<std::pair<QString, QString>> rows;
    Play([&](CPropertySheetPlus& sheet) {
      sheet.SetActivePage(page);
      rows = static_cast<CSystemInfoPage*>(sheet.GetPage(page))->GetRows();
      Cancel(sheet);
    });
    ShowSystemInformation(nullptr);
    return rows;
  }
  static QString ValueOf(const std::vector<std::pair<QString, QString>>& rows,
                         const QString& label) {
    for (const auto& [name, value] : rows) {
      if (name == label) return value;
    }
    return QStringLiteral("<none>");
  }

  QTemporaryDir m_folder;
  QString m_savedData;
  QStringList m_written;
  int m_writeResult = 1;
};

TEST_F(SysInfoSheetTest, TimeZoneOffsets) {
  const struct {
    int seconds;
    const char* shown;
  } cases[] = {{3600, "+1:00.00"}, {0, "0:00.00"}, {-19800, "-5:30.00"}, {20700, "+5:45.00"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatTimeZoneOffset(c.seconds), QString::fromLatin1(c.shown)) << c.seconds;
  }
}

TEST_F(SysInfoSheetTest, AMachineWithoutPrinters) {
  const auto rows = RowsOf(4);
  EXPECT_EQ(ValueOf(rows, QStringLiteral("Printer: ")), QStringLiteral("None available"));
  EXPECT_EQ(ValueOf(rows, QStringLiteral("Colour: ")), QStringLiteral("Unknown"));
  g_printerCount = 1;
  g_printerNames[0] = QStringLiteral("Laser");
  g_currentPrinter = 3;
  EXPECT_EQ(ValueOf(RowsOf(4), QStringLiteral("Printer: ")), QStringLiteral("Illegal selection"));
  g_currentPrinter = 0;
  EXPECT_EQ(ValueOf(RowsOf(4), QStringLiteral("Printer: ")), QStringLiteral("Laser"));
}

TEST_F(SysInfoSheetTest, AMissingUsageFile) {
  const auto rows = RowsOf(6);
  EXPECT_EQ(ValueOf(rows, QStringLiteral("Successful runs:")), QStringLiteral("Missing csv file."));
  EXPECT_EQ(ValueOf(rows, QStringLiteral("Crashes:")), QStringLiteral("<none>"));
}

TEST_F(SysInfoSheetTest, TheLogBoxSwitchesTheLogFileAndSavesTheSetting) {
  g_logFileOption = false;
  g_loggingOn = false;
  Play([](CPropertySheetPlus& sheet) {
    On<QCheckBox>(sheet, 8, kIdcSaveLog)->setChecked(true);
    Ok(sheet);
  });
  EXPECT_EQ(ShowSystemInformation(nullptr), kIdOk);
  EXPECT_TRUE(g_logFileOption);
  EXPECT_TRUE(g_loggingOn) << "the log file is written at once";
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_EQ(m_written, QStringList{QStringLiteral("LogFile=Yes")});
  // Switched off and saved: the user hears it holds for the next run.
  Play([](CPropertySheetPlus& sheet) {
    On<QCheckBox>(sheet, 8, kIdcSaveLog)->setChecked(false);
    Ok(sheet);
  });
  ShowSystemInformation(nullptr);
  EXPECT_FALSE(g_logFileOption);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_TRUE(m_presenter.shown()[0].text.startsWith(QStringLiteral("The new setting for saving")));
  g_loggingOn = false;
}

TEST_F(SysInfoSheetTest, ASettingThatCannotBeSavedHoldsForThisRunWithAWarning) {
  m_writeResult = 0;
  g_showGlitch = false;
  g_logFileOption = false;
  Play([](CPropertySheetPlus& sheet) {
    On<QCheckBox>(sheet, 7, kIdcShowGlitches)->setChecked(true);
    On<QCheckBox>(sheet, 8, kIdcSaveLog)->setChecked(true);
    Ok(sheet);
  });
  ShowSystemInformation(nullptr);
  EXPECT_TRUE(g_showGlitch);
  EXPECT_TRUE(g_logFileOption);
  EXPECT_EQ(m_written,
            (QStringList{QStringLiteral("ShowGlitch=Yes"), QStringLiteral("LogFile=Yes")}));
  ASSERT_EQ(m_presenter.shown().size(), 2u);
  EXPECT_TRUE(m_presenter.shown()[0].text.contains(QStringLiteral("showing glitches")));
  EXPECT_TRUE(m_presenter.shown()[1].text.contains(QStringLiteral("saving the log file")));
  g_showGlitch = false;
  g_loggingOn = false;
}

TEST_F(SysInfoSheetTest, PicturesOfThePages) {
  Play([](CPropertySheetPlus& sheet) {
    SaveSheetPictures(sheet, QStringLiteral("sysinfo"));
    Cancel(sheet);
  });
  ShowSystemInformation(nullptr);
  EXPECT_TRUE(QFile::exists(QStringLiteral(ZEPH_RENDER_DIR "/sysinfo_8.png")));
}

}  // namespace
}  // namespace zeph::testing
