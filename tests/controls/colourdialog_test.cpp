// The recent colours of the colour dialog, the dialog's custom colours in and out, and the
// file reader's hook.
#include <QColorDialog>

#include "controls/colourdialog.h"
#include "controls/dialogplus.h"
#include "controls_fixture.h"
#include "support/textfile.h"

namespace zeph::testing {
namespace {

class ColourDialogTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ResetRecentColours();
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    SetRecentColourHandler(nullptr);
    ResetRecentColours();
    ControlsTest::TearDown();
  }
};

// Colours that are not basic: 0x010101, 0x020202, ...
ColourRef Grey(int n) { return MakeColour(n, n, n); }

TEST_F(ColourDialogTest, RecentColoursComeMostRecentFirst) {
  for (int i = 1; i <= 5; ++i) AddRecentColour(Grey(i));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g_recentColours[static_cast<std::size_t>(i)], Grey(5 - i));
  for (int i = 5; i < kRecentColourCount; ++i) {
    EXPECT_EQ(g_recentColours[static_cast<std::size_t>(i)], kEmptyColourSlot) << i;
  }

  // A listed colour keeps its place.
  AddRecentColour(Grey(3));
  EXPECT_EQ(g_recentColours[0], Grey(5));
  EXPECT_EQ(g_recentColours[2], Grey(3));

  // Sixteen fill the list; the seventeenth drops the oldest.
  for (int i = 6; i <= 17; ++i) AddRecentColour(Grey(i));
  EXPECT_EQ(g_recentColours[0], Grey(17));
  EXPECT_EQ(g_recentColours[15], Grey(2));
  EXPECT_EQ(std::count(g_recentColours.begin(), g_recentColours.end(), Grey(1)), 0);
}

TEST_F(ColourDialogTest, BasicColoursAndTheTopByteNeverEnterTheList) {
  AddRecentColour(MakeColour(255, 0, 0));      // basic red
  AddRecentColour(0x00FFFFFF);                 // white marks an empty slot and is basic
  AddRecentColour(MakeColour(0x40, 0, 0x40));  // listed twice among the basic colours
  EXPECT_EQ(g_recentColours[0], kEmptyColourSlot);
  AddRecentColour(kPaletteColourFlag | Grey(7));
  EXPECT_EQ(g_recentColours[0], Grey(7));
  AddRecentColour(Grey(7));
  EXPECT_EQ(g_recentColours[1], kEmptyColourSlot);
  EXPECT_EQ(g_basicColours[0], MakeColour(0xFF, 0x80, 0x80));
  EXPECT_EQ(g_basicColours[47], 0x00FFFFFFu);
  EXPECT_EQ(IsBasicColour(MakeColour(0x00, 0x80, 0xC0)), 1);
}

TEST_F(ColourDialogTest, TheDialogShowsAndTakesBackTheRecentColours) {
  AddRecentColour(Grey(1));
  AddRecentColour(Grey(2));
  QColor seenCurrent;
  std::vector<QColor> seenCustom;
  CScriptedDialogRunner runner([&](QDialog& dialog) {
    auto& colours = static_cast<QColorDialog&>(dialog);
    seenCurrent = colours.currentColor();
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
      seenCustom.push_back(QColorDialog::customColor(i));
    }
    EXPECT_TRUE(dialog.grab().save(RenderPath(QStringLiteral("colour_dialog.png"))));
    // The user sets the second slot of the first row to a basic colour and a new one in the
    // first slot of the second row (Qt counts its grid down the columns).
    QColorDialog::setCustomColor(2, QColor(0xFF, 0x00, 0x00));
    QColorDialog::setCustomColor(1, QColor(9, 9, 9));
    colours.setCurrentColor(QColor(10, 20, 30));
    colours.accept();
  });
  SetDialogRunner(&runner);

  CColourDialog dialog;
  dialog.SetInitialColour(0x02000000 | MakeColour(0x12, 0x34, 0x56));
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(seenCurrent, QColor(0x12, 0x34, 0x56));
  ASSERT_EQ(seenCustom.size(), 16u);
  EXPECT_EQ(seenCustom[0], QColor(0x12, 0x34, 0x56));  // the initial colour joined the list
  EXPECT_EQ(seenCustom[2], QColor(2, 2, 2));           // row 0, column 1
  EXPECT_EQ(seenCustom[4], QColor(1, 1, 1));
  EXPECT_EQ(seenCustom[1], QColor(255, 255, 255));  // row 1: empty
  EXPECT_EQ(dialog.GetColour(), MakeColour(10, 20, 30));

  EXPECT_EQ(g_recentColours[0], MakeColour(0x12, 0x34, 0x56));
  EXPECT_EQ(g_recentColours[1], kEmptyColourSlot);  // became a basic colour
  EXPECT_EQ(g_recentColours[2], Grey(1));
  EXPECT_EQ(g_recentColours[8], Grey(9));

  // Cancelled, the edited custom colours are still taken back.
  CScriptedDialogRunner cancel([](QDialog& dialog) {
    QColorDialog::setCustomColor(0, QColor(7, 7, 7));
    dialog.reject();
  });
  SetDialogRunner(&cancel);
  CColourDialog second;
  EXPECT_EQ(second.DoModal(), kIdCancel);
  EXPECT_EQ(g_recentColours[0], Grey(7));
}

TEST_F(ColourDialogTest, ColoursReadFromFilesJoinTheList) {
  ::AddRecentColour(Grey(3));  // no hook yet: goes nowhere
  EXPECT_EQ(g_recentColours[0], kEmptyColourSlot);
  InstallRecentColourHook();
  ::AddRecentColour(Grey(3));
  EXPECT_EQ(g_recentColours[0], Grey(3));
}

}  // namespace
}  // namespace zeph::testing
