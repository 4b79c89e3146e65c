#include "support/options.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "platform/presenter.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/file_bytes.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/settings.h"
#include "support/sharedconfig.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QString StatusTexts(int id) { return id == 260 ? Q("The options have been saved.") : QString(); }

class CountingApp final : public IAppServices {
 public:
  bool HasActiveDocument() const override { return false; }
  QString GetActiveDocumentPath() const override { return {}; }
  int GetActiveDocumentItemCount() const override { return 0; }
  void ReapplyPrintSettings() override { ++reapplied; }
  int reapplied = 0;
};

// Every folder the store reads or writes lies in a temporary folder of the test: the
// manager's folder and, through XDG_CONFIG_HOME, the user's roaming data folder.
class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(Q("config"))));
    ResetLogState();
    ResetFileStatus();
    ResetAppGlobals();
    ResetDataFolders();
    ResetSettingsState();
    ResetSharedConfigState();
    ResetHelpState();
    ResetOptionsState();
    SetStringTable(StatusTexts);
    SetAppServices(&m_app);
    zeph::SetPresenter(&m_presenter);
    g_optionsFileName = Q("Zeph.ini");
    g_optionsFileHeader = Q("[Zephorin]");
    g_managerFileName = Q("Zeph.cmf");
    g_sharedSettingsFolder = m_dir.filePath(Q("manager"));
    QDir().mkpath(g_sharedSettingsFolder);
  }
  void TearDown() override {
    // Every operation closes its own entry in the log's call stack, whichever way it ends.
    EXPECT_EQ(g_callDepth, 0);
    zeph::SetPresenter(nullptr);
    SetAppServices(nullptr);
    ResetFileStatus();
    ResetOptionsState();
    ResetSharedConfigState();
    ResetSettingsState();
    ResetDataFolders();
    ResetAppGlobals();
    ResetLogState();
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
  }

  QString AllUsersFile() const { return g_sharedSettingsFolder + Q("/Zeph.ini"); }
  QString UserFile() const {
    return m_dir.filePath(Q("config/Corvelle Software/Zephorin3/Zeph.ini"));
  }

  QTemporaryDir m_dir;
  QByteArray m_oldConfig;
  CountingApp m_app;
  zeph::ScriptedPresenter m_presenter;
};

// ---- Defaults and access by index ----

TEST_F(OptionsTest, ResetWithoutRereadingGivesTheBuiltInDefaults) {
  WriteFile(AllUsersFile(), "[Zephorin]\r\nGridDistance=5\r\n");
  SetOptionShort(kOptionHuntDistance, 75);
  SetOptionFlag(kOptionGridSnap, 1);
  ResetOptions(0);

  struct FontCase {
    int index;
    int size;
  };
  for (const FontCase& c :
       {FontCase{kOptionFontPrintFooter, 11}, FontCase{kOptionFontDrawingText, 24},
        FontCase{kOptionFontDimensionText, 16}}) {
    const CFontSpec* font = GetOptionFont(static_cast<std::int16_t>(c.index));
    EXPECT_EQ(font->GetFaceName(), Q("Arial"));
    EXPECT_TRUE(font->HasFaceName());
    EXPECT_EQ(font->GetSize(), c.size);
    EXPECT_EQ(font->IsBold(), 0);
    EXPECT_EQ(font->IsItalic(), 0);
  }
  const double margins[] = {2.0, 2.0, 1.0, 1.5, 1.2, 0.0};
  for (int i = 0; i < kOptionDoubleCount; ++i) {
    EXPECT_EQ(GetOptionDouble(static_cast<std::int16_t>(i)), margins[i]) << i;
  }
  const int shorts[] = {0, 0, 0, 3, 0, 1, 2, 2, 50, 2, 10, 3, 60, 8, 1, 1, 2, 0, 0};
  for (int i = 0; i < kOptionShortCount; ++i) {
    EXPECT_EQ(GetOptionShort(static_cast<std::int16_t>(i)), shorts[i]) << i;
  }
  const int flags[] = {0, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 0, 0};
  for (int i = 0; i < kOptionFlagCount; ++i) {
    EXPECT_EQ(GetOptionFlag(static_cast<std::int16_t>(i)), flags[i]) << i;
  }
  for (int changed : g_optionShortChanged) EXPECT_EQ(changed, 0);
  for (int changed : g_optionFlagChanged) EXPECT_EQ(changed, 0);
  EXPECT_EQ(m_app.reapplied, 1);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(OptionsTest, DefaultsLeaveAFontsWidthAlone) {
  CFontSpec narrow;
  narrow.Set(Q("Verdana"), 14, true, false);
  narrow.SetWidthPercent(80);
  ASSERT_EQ(SetOptionFont(kOptionFontDrawingText, narrow), 1);
  ResetOptions(0);
  const CFontSpec* font = GetOptionFont(kOptionFontDrawingText);
  EXPECT_EQ(font->GetFaceName(), Q("Arial"));
  EXPECT_EQ(font->GetSize(), 24);
  EXPECT_EQ(font->IsBold(), 0);
  EXPECT_EQ(font->GetWidthPercent(), 80);
}

TEST_F(OptionsTest, ABadIndexIsAGlitchWithANeutralAnswer) {
  struct Case {
    const char* what;
    int code;
    int index;
  };
  const Case cases[] = {
      {"font getter", 3711, 3},   {"double getter", 3712, 6}, {"short getter", 3713, 19},
      {"flag getter", 3714, -1},  {"font setter", 3741, -2},  {"double setter", 3742, 6},
      {"short setter", 3743, 19}, {"flag setter", 3744, 22},
  };
  CFontSpec font;
  font.Set(Q("Verdana"), 9, false, false);
  for (const Case& c : cases) {
    ResetLogState();
    const auto index = static_cast<std::int16_t>(c.index);
    int result = -5;
    switch (c.code) {
      case 3711: {
        const CFontSpec* bad = GetOptionFont(index);
        EXPECT_EQ(bad, &g_badIndexFont);
        EXPECT_EQ(bad->GetFaceName(), Q("Arial"));
        EXPECT_EQ(bad->GetSize(), 8);
        result = 0;
        break;
      }
      case 3712:
        result = static_cast<int>(GetOptionDouble(index));
        break;
      case 3713:
        result = GetOptionShort(index);
        break;
      case 3714:
        result = GetOptionFlag(index);
        break;
      case 3741:
        result = SetOptionFont(index, font);
        break;
      case 3742:
        result = SetOptionDouble(index, 4.0);
        break;
      case 3743:
        result = SetOptionShort(index, 4);
        break;
      case 3744:
        result = SetOptionFlag(index, 1);
        break;
    }
    EXPECT_EQ(result, 0) << c.what;
    EXPECT_EQ(g_glitchCount, 1) << c.what;
    EXPECT_EQ(g_firstGlitchCode, c.code) << c.what;
    EXPECT_EQ(g_firstGlitchNumber, 1) << c.what;
    ASSERT_EQ(g_firstGlitchValueCount, 1) << c.what;
    EXPECT_EQ(g_firstGlitchValues[0], c.index) << c.what;
  }
  // Nothing was stored by the refused setters.
  for (int changed : g_optionFontChanged) EXPECT_EQ(changed, 0);
  for (int changed : g_optionDoubleChanged) EXPECT_EQ(changed, 0);
}

TEST_F(OptionsTest, SettersReportAChangeOnlyWhenTheValueDiffers) {
  ResetOptions(0);
  EXPECT_EQ(SetOptionShort(kOptionGridDistance, 3), 0);
  EXPECT_EQ(g_optionShortChanged[kOptionGridDistance], 0);
  EXPECT_EQ(SetOptionShort(kOptionGridDistance, 5), 1);
  EXPECT_EQ(g_optionShortChanged[kOptionGridDistance], 1);
  EXPECT_EQ(GetOptionShort(kOptionGridDistance), 5);

  EXPECT_EQ(SetOptionFlag(kOptionToolBar, 1), 0);
  EXPECT_EQ(SetOptionFlag(kOptionToolBar, 0), 1);
  EXPECT_EQ(GetOptionFlag(kOptionToolBar), 0);

  EXPECT_EQ(SetOptionDouble(kOptionPrintTopMargin, 1.0), 0);
  EXPECT_EQ(SetOptionDouble(kOptionPrintTopMargin, 1.25), 1);
  EXPECT_EQ(GetOptionDouble(kOptionPrintTopMargin), 1.25);
  // A value that could never be written to the options file is not taken.
  EXPECT_EQ(SetOptionDouble(kOptionPrintLeftMargin, std::nan("")), 0);
  EXPECT_EQ(SetOptionDouble(kOptionPrintLeftMargin, std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(GetOptionDouble(kOptionPrintLeftMargin), 2.0);
  EXPECT_EQ(g_optionDoubleChanged[kOptionPrintLeftMargin], 0);

  CFontSpec same;
  same.Set(Q("Arial"), 11, false, false);
  EXPECT_EQ(SetOptionFont(kOptionFontPrintFooter, same), 0);
  same.SetItalic(true);
  EXPECT_EQ(SetOptionFont(kOptionFontPrintFooter, same), 1);
  EXPECT_EQ(GetOptionFont(kOptionFontPrintFooter)->IsItalic(), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Reading the options files ----

TEST_F(OptionsTest, TheUsersFileOverridesTheAllUsersFile) {
  WriteFile(AllUsersFile(),
            "[Zephorin]\r\nGridDistance=5\r\nHuntDistance=20\r\nToolBar=No\r\n"
            "PrintTopMargin=3\r\n");
  WriteFile(UserFile(), "[Zephorin]\r\nHuntDistance = 30\r\nPrintTopMargin=0.5\r\n");
  ResetOptions(1);
  EXPECT_EQ(GetOptionShort(kOptionGridDistance), 5);
  EXPECT_EQ(GetOptionShort(kOptionHuntDistance), 30);
  EXPECT_EQ(GetOptionFlag(kOptionToolBar), 0);
  EXPECT_EQ(GetOptionDouble(kOptionPrintTopMargin), 0.5);
  EXPECT_EQ(g_optionShortChanged[kOptionGridDistance], 1);
  EXPECT_EQ(g_optionShortChanged[kOptionJoinDistance], 0);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(m_app.reapplied, 1);
  EXPECT_EQ(g_glitchCount, 0);

  // Without the manager's leave the user's own options are not read.
  g_keepOptions = 0;
  ResetOptions(1);
  EXPECT_EQ(GetOptionShort(kOptionHuntDistance), 20);
  EXPECT_EQ(GetOptionDouble(kOptionPrintTopMargin), 3.0);
}

TEST_F(OptionsTest, LoadOptionsTakesKeepOptionsFromTheManagerFile) {
  WriteFile(g_sharedSettingsFolder + Q("/Zeph.cmf"), "KeepOptions=No\r\n");
  WriteFile(UserFile(), "[Zephorin]\r\nZoomStart=4\r\n");
  LoadOptions();
  EXPECT_EQ(g_keepOptions, 0);
  EXPECT_EQ(GetOptionShort(kOptionZoomStart), 8);
}

TEST_F(OptionsTest, AFileWithAnotherFirstLineIsIgnoredWhole) {
  for (const char* header : {"[zephorin]", " [Zephorin]", ""}) {
    WriteFile(UserFile(), QByteArray(header) + "\r\nGridSnap=Yes\r\nZoomStart=4\r\n");
    ResetOptions(1);
    EXPECT_EQ(GetOptionFlag(kOptionGridSnap), 0) << header;
    EXPECT_EQ(GetOptionShort(kOptionZoomStart), 8) << header;
  }
}

TEST_F(OptionsTest, BadAndOutOfRangeValuesFallBack) {
  struct Case {
    const char* line;
    int index;  // short option checked, or -1 for a double, -2 for a flag, -3 for a font
  };
  const Case cases[] = {
      {"GridSnap=maybe", -2},
      {"GridDistance=7", kOptionGridDistance},
      {"GridDistance=-1", kOptionGridDistance},
      {"GridDistance=2.5", kOptionGridDistance},
      {"ZoomStart=0", kOptionZoomStart},
      {"ZoomStart=14", kOptionZoomStart},
      {"HelpTextSize=4", kOptionHelpTextSize},
      {"DormantColour=7", kOptionDormantColour},
      {"DisplayUnits=5", kOptionDisplayUnits},
      {"HatchPatternAcross=0", kOptionHatchPatternAcross},
      {"HuntDistance=-5", kOptionHuntDistance},
      {"HuntDistance=abc", kOptionHuntDistance},
      {"HuntDistance=40000", kOptionHuntDistance},
      {"PrintLeftMargin=-1", -1},
      {"PrintLeftMargin=two", -1},
      {"PrintLeftMargin=", -1},
      {"FontDrawingText=Bold,Arial", -3},
      {"FontDrawingText=0,Arial", -3},
      {"FontDrawingText=12,", -3},
      {"FontDrawingText=Heavy,12,Arial", -3},
      {"FontDrawingText=12,Arial,Narrow", -3},
      {"G=1", -2},
      {"=5", -2},
  };
  for (const Case& c : cases) {
    // The all-users file sets the option; a bad value in the user's file leaves that value,
    // and without it the default.
    WriteFile(UserFile(), QByteArray("[Zephorin]\r\n") + c.line + "\r\n");
    ResetOptions(1);
    switch (c.index) {
      case -1:
        EXPECT_EQ(GetOptionDouble(kOptionPrintLeftMargin), 2.0) << c.line;
        EXPECT_EQ(g_optionDoubleChanged[kOptionPrintLeftMargin], 0) << c.line;
        break;
      case -2:
        EXPECT_EQ(GetOptionFlag(kOptionGridSnap), 0) << c.line;
        EXPECT_EQ(g_optionFlagChanged[kOptionGridSnap], 0) << c.line;
        break;
      case -3:
        EXPECT_EQ(GetOptionFont(kOptionFontDrawingText)->GetSize(), 24) << c.line;
        EXPECT_EQ(GetOptionFont(kOptionFontDrawingText)->IsBold(), 0) << c.line;
        EXPECT_EQ(g_optionFontChanged[kOptionFontDrawingText], 0) << c.line;
        break;
      default: {
        const std::int16_t defaults[kOptionShortCount] = {0,  0, 0,  3, 0, 1, 2, 2, 50, 2,
                                                          10, 3, 60, 8, 1, 1, 2, 0, 0};
        EXPECT_EQ(GetOptionShort(static_cast<std::int16_t>(c.index)), defaults[c.index]) << c.line;
        EXPECT_EQ(g_optionShortChanged[static_cast<std::size_t>(c.index)], 0) << c.line;
      }
    }
  }
  // A bad value in the user's file keeps what the all-users file gave.
  WriteFile(AllUsersFile(), "[Zephorin]\r\nGridDistance=5\r\n");
  WriteFile(UserFile(), "[Zephorin]\r\nGridDistance=9\r\n");
  ResetOptions(1);
  EXPECT_EQ(GetOptionShort(kOptionGridDistance), 5);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(OptionsTest, FontValues) {
  struct Case {
    const char* value;
    const char* face;
    int size;
    int bold;
    int italic;
  };
  const Case cases[] = {
      {"Bold, Italic, 12, Times New Roman", "Times New Roman", 12, 1, 1},
      {"12,Arial", "Arial", 12, 0, 0},
      {",italic,,30,Verdana", "Verdana", 30, 0, 1},
      {"bold,12,14, Courier New ", "Courier New", 14, 1, 0},
  };
  for (const Case& c : cases) {
    WriteFile(UserFile(), QByteArray("[Zephorin]\r\nFontDimensionText=") + c.value + "\r\n");
    ResetOptions(1);
    const CFontSpec* font = GetOptionFont(kOptionFontDimensionText);
    EXPECT_EQ(font->GetFaceName(), Q(c.face)) << c.value;
    EXPECT_EQ(font->GetSize(), c.size) << c.value;
    EXPECT_EQ(font->IsBold(), c.bold) << c.value;
    EXPECT_EQ(font->IsItalic(), c.italic) << c.value;
    EXPECT_EQ(g_optionFontChanged[kOptionFontDimensionText], 1) << c.value;
  }
}

TEST_F(OptionsTest, AnUnknownFileChoiceIsAGlitch) {
  ReadOptionsFile(2);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 3722);
  EXPECT_EQ(g_firstGlitchNumber, 2);
  EXPECT_EQ(g_firstGlitchValues[0], 2);

  ResetLogState();
  EXPECT_EQ(WriteOptionsFile(-1), 0);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 3732);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  EXPECT_EQ(g_firstGlitchValues[0], -1);
}

// ---- Writing the options files ----

TEST_F(OptionsTest, WritingGivesOnlyChangedOptionsInTableOrder) {
  WriteFile(UserFile(),
            "[Zephorin]\r\nGridSnap = yes\r\nHuntDistance=75\r\nPrintLeftMargin=2.5\r\n"
            "FontDrawingText=Italic,30,Verdana\r\n");
  ResetOptions(1);
  EXPECT_EQ(GetOptionFlag(kOptionGridSnap), 1);
  ASSERT_EQ(WriteOptionsFile(kOptionsFileUser), 1);
  EXPECT_EQ(ReadFile(UserFile()),
            QByteArray("[Zephorin]\r\nFontDrawingText=Italic,30,Verdana\r\nPrintLeftMargin=2.5\r\n"
                       "HuntDistance=75\r\nGridSnap=Yes\r\n"));
  EXPECT_EQ(LastStatusText(), Q("The options have been saved."));
  EXPECT_TRUE(m_presenter.shown().empty());

  // What the manager set for all users is written into the user's file too.
  WriteFile(AllUsersFile(), "[Zephorin]\r\nStatusBar=NO\r\n");
  ResetOptions(1);
  CFontSpec bold;
  bold.Set(Q("Arial"), 11, true, false);
  SetOptionFont(kOptionFontPrintFooter, bold);
  SetOptionDouble(kOptionPrintMultiPageMargin, 0.125);
  SetOptionShort(kOptionGridColour, 2);
  ASSERT_EQ(WriteOptionsFile(kOptionsFileUser), 1);
  EXPECT_EQ(ReadFile(UserFile()),
            QByteArray("[Zephorin]\r\nFontPrintFooter=Bold,11,Arial\r\n"
                       "FontDrawingText=Italic,30,Verdana\r\nPrintLeftMargin=2.5\r\n"
                       "PrintMultiPageMargin=0.125\r\nGridColour=2\r\nHuntDistance=75\r\n"
                       "GridSnap=Yes\r\nStatusBar=No\r\n"));

  // And reading it back gives the same store.
  ResetOptions(1);
  EXPECT_EQ(GetOptionFont(kOptionFontPrintFooter)->IsBold(), 1);
  EXPECT_EQ(GetOptionDouble(kOptionPrintMultiPageMargin), 0.125);
  EXPECT_EQ(GetOptionShort(kOptionGridColour), 2);
}

TEST_F(OptionsTest, TheManagerWritesTheAllUsersFile) {
  ResetOptions(0);
  SetOptionFlag(kOptionSpellCheck, 0);
  ASSERT_EQ(WriteOptionsFile(kOptionsFileAllUsers), 1);
  EXPECT_EQ(ReadFile(AllUsersFile()), QByteArray("[Zephorin]\r\nSpellCheck=No\r\n"));
  // Nothing else is left in the folder.
  EXPECT_EQ(QDir(g_sharedSettingsFolder).entryList(QDir::Files), QStringList{Q("Zeph.ini")});
}

TEST_F(OptionsTest, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  WriteFile(UserFile(), "[Zephorin]\r\nZoomStart=4\r\n");
  ResetOptions(1);
  // A face name that the file's encoding cannot hold would come back garbled.
  CFontSpec foreign;
  foreign.Set(QString::fromUtf8("\xd0\xa8\xd1\x80\xd0\xb8\xd1\x84\xd1\x82"), 12, false, false);
  SetOptionFont(kOptionFontDrawingText, foreign);
  EXPECT_EQ(WriteOptionsFile(kOptionsFileUser), 0);
  EXPECT_EQ(ReadFile(UserFile()), QByteArray("[Zephorin]\r\nZoomStart=4\r\n"));
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_TRUE(m_presenter.shown()[0].text.startsWith(UserFile()))
      << m_presenter.shown()[0].text.toStdString();
  EXPECT_TRUE(m_presenter.shown()[0].text.contains(Q("unable to save")));
  const QString folder = UserFile().left(UserFile().lastIndexOf(u'/'));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{Q("Zeph.ini")});
}

TEST_F(OptionsTest, AReadOnlyOptionsFileIsNotReplaced) {
  WriteFile(AllUsersFile(), "[Zephorin]\r\nZoomStart=4\r\n");
  ASSERT_TRUE(QFile::setPermissions(AllUsersFile(), QFile::ReadOwner | QFile::ReadGroup));
  ResetOptions(1);
  SetOptionShort(kOptionZoomStart, 6);
  EXPECT_EQ(WriteOptionsFile(kOptionsFileAllUsers), 0);
  EXPECT_EQ(g_fileStatus, kFileReadOnly);
  EXPECT_EQ(ReadFile(AllUsersFile()), QByteArray("[Zephorin]\r\nZoomStart=4\r\n"));
  EXPECT_EQ(m_presenter.shown().size(), 1u);
}

TEST_F(OptionsTest, WithoutAManagerFolderNothingIsReadOrWritten) {
  g_sharedSettingsFolder.clear();
  ResetOptions(1);
  EXPECT_EQ(GetOptionShort(kOptionZoomStart), 8);
  // Missing options files are no failure for the next file operation.
  EXPECT_EQ(g_fileStatus, kFileOk);
  SetOptionShort(kOptionZoomStart, 6);
  EXPECT_EQ(WriteOptionsFile(kOptionsFileAllUsers), 0);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_TRUE(m_presenter.shown()[0].text.contains(Q("unable to create")));
  EXPECT_FALSE(QFile::exists(Q("Zeph.ini")));
}

}  // namespace
