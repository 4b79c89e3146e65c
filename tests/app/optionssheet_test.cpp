// Options > Preferences: what OK writes and Cancel leaves, the dormant colour's redraw, a
// distance typed as letters, and pages never opened.
#include <QComboBox>
#include <QFile>
#include <QRadioButton>

#include "app/optionssheet.h"
#include "sheets_fixture.h"

namespace zeph::testing {
namespace {

using OptionsSheetTest = SheetTest;

TEST_F(OptionsSheetTest, CancelChangesNothingAndStillTellsTheEditingView) {
  SetOptionShort(kOptionHuntDistance, 6);
  SetOptionFlag(kOptionSpellCheck, 1);
  Play([](CPropertySheetPlus& sheet) {
    On<QAbstractButton>(sheet, 0, kIdcSpellCheck)->setChecked(false);
    On<QLineEdit>(sheet, 2, kIdcHuntDistance)->setText(QStringLiteral("25"));
    Cancel(sheet);
  });
  EXPECT_EQ(ShowOptionsSheet(nullptr), kIdCancel);
  EXPECT_EQ(GetOptionShort(kOptionHuntDistance), 6);
  EXPECT_EQ(GetOptionFlag(kOptionSpellCheck), 1);
  EXPECT_EQ(m_host.calls, (std::vector<std::string>{"editing view"}));
}

TEST_F(OptionsSheetTest, OkWritesWhatThePagesShow) {
  Play([](CPropertySheetPlus& sheet) {
    On<QAbstractButton>(sheet, 0, kIdcCrossHairs)->setChecked(true);
    On<QLineEdit>(sheet, 1, kIdcDecimalPlaces)->setText(QStringLiteral("3"));
    On<QComboBox>(sheet, 1, kIdcDisplayUnits)->setCurrentIndex(2);
    On<QLineEdit>(sheet, 2, kIdcJoinDistance)->setText(QStringLiteral("9"));
    On<QAbstractButton>(sheet, 3, kIdcTransformKeepOriginal)->setChecked(false);
    On<QAbstractButton>(sheet, 5, kIdcCreateBackupSeries)->setChecked(true);
    Ok(sheet);
  });
  EXPECT_EQ(ShowOptionsSheet(nullptr), kIdOk);
  EXPECT_EQ(GetOptionFlag(kOptionCrossHairsCursor), 1);
  EXPECT_EQ(GetOptionShort(kOptionDecimalPlaces), 3);
  EXPECT_EQ(GetOptionShort(kOptionDisplayUnits), 2);
  EXPECT_EQ(GetOptionShort(kOptionJoinDistance), 9);
  EXPECT_EQ(GetOptionFlag(kOptionTransformKeepOriginal), 0);
  EXPECT_EQ(GetOptionFlag(kOptionCreateBackupSeries), 1);
  EXPECT_EQ(m_host.calls, (std::vector<std::string>{"title", "editing view"}));
}

TEST_F(OptionsSheetTest, ADormantColourChangeRedrawsAndTheSameColourDoesNot) {
  struct Case {
    int start;
    int chosen;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {0, 6, {"refresh", "editing view"}},
      {3, 3, {"title", "editing view"}},
  };
  for (const Case& c : cases) {
    m_host.calls.clear();
    SetOptionShort(kOptionDormantColour, static_cast<std::int16_t>(c.start));
    ApplyDormantColour();
    const ColourRef before = g_highlightColour;
    Play([&](CPropertySheetPlus& sheet) {
      On<QRadioButton>(sheet, 4, kIdcDormantGrey + c.chosen)->setChecked(true);
      Ok(sheet);
    });
    EXPECT_EQ(ShowOptionsSheet(nullptr), kIdOk);
    EXPECT_EQ(GetOptionShort(kOptionDormantColour), c.chosen);
    EXPECT_EQ(m_host.calls, c.calls) << c.chosen;
    EXPECT_EQ(g_highlightColour != before, c.start != c.chosen) << "the colours are applied";
  }
}

TEST_F(OptionsSheetTest, LettersInADistanceKeepThePageWithMessage19) {
  Play([this](CPropertySheetPlus& sheet) {
    On<QLineEdit>(sheet, 2, kIdcHuntDistance)->setText(QStringLiteral("ten"));
    sheet.SetActivePage(0);
    EXPECT_EQ(sheet.GetActiveIndex(), 2) << "the page cannot be left";
    Ok(sheet);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    ASSERT_EQ(m_presenter.shown().size(), 2u);
    EXPECT_EQ(m_presenter.shown().back().text,
              QStringLiteral("Please type  a small whole number."));
    On<QLineEdit>(sheet, 2, kIdcHuntDistance)->setText(QStringLiteral("12"));
    Ok(sheet);
  });
  EXPECT_EQ(ShowOptionsSheet(nullptr), kIdOk);
  EXPECT_EQ(GetOptionShort(kOptionHuntDistance), 12);
}

TEST_F(OptionsSheetTest, PagesNeverOpenedKeepTheirValues) {
  SetOptionShort(kOptionColourPickDistance, 7);
  SetOptionShort(kOptionDormantColour, 5);
  SetOptionFlag(kOptionUseBackupFolder, 1);
  SetOptionFlag(kOptionTransformKeepOriginal, 0);
  COptionsSheet* seen = nullptr;
  Play([&](CPropertySheetPlus& sheet) {
    seen = static_cast<COptionsSheet*>(&sheet);
    Ok(sheet);
  });
  EXPECT_EQ(ShowOptionsSheet(nullptr), kIdOk);
  EXPECT_EQ(GetOptionShort(kOptionColourPickDistance), 7);
  EXPECT_EQ(GetOptionShort(kOptionDormantColour), 5);
  EXPECT_EQ(GetOptionFlag(kOptionUseBackupFolder), 1);
  EXPECT_EQ(GetOptionFlag(kOptionTransformKeepOriginal), 0);
  EXPECT_NE(seen, nullptr);
}

TEST_F(OptionsSheetTest, PicturesOfThePages) {
  SetOptionShort(kOptionHuntDistance, 10);
  SetOptionShort(kOptionDormantColour, 2);
  Play([](CPropertySheetPlus& sheet) {
    SaveSheetPictures(sheet, QStringLiteral("options"));
    Cancel(sheet);
  });
  ShowOptionsSheet(nullptr);
  EXPECT_TRUE(QFile::exists(QStringLiteral(ZEPH_RENDER_DIR "/options_5.png")));
}

}  // namespace
}  // namespace zeph::testing
