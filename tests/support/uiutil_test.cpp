#include "support/uiutil.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "folder_sandbox.h"
#include "platform/desktop.h"
#include "platform/presenter.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/settings.h"

namespace {

using ::testing::ElementsAre;
using zeph::ColourRef;
using zeph::CursorShape;
using zeph::DcRect;

std::vector<std::pair<int, int>> LogRecords() {
  std::vector<std::pair<int, int>> records;
  for (int i = 0; i < g_logPosition; ++i) records.emplace_back(g_logCodes[i], g_logValues[i]);
  return records;
}

QString TestStrings(int id) {
  switch (id) {
    case 500:
      return QStringLiteral("Save the changes to %1?");
    case 501:
      return QStringLiteral("%1 and %1 again");
    case 502:
      return QStringLiteral("No insert here");
    default:
      return QString();
  }
}

class UiUtilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    zeph::SetPresenter(&m_presenter);
  }
  void TearDown() override {
    EXPECT_EQ(g_callDepth, 0);
    zeph::SetPresenter(nullptr);
    ResetAll();
  }
  static void ResetAll() {
    ResetLogState();
    ResetUiUtilState();
    ResetPrinterState();
    ResetFileStatus();
    zeph::StandInDesktop().Reset();
  }

  zeph::ScriptedPresenter m_presenter;
};

// ---- Message boxes ----

TEST_F(UiUtilTest, MessageBoxesShowTheStringWithItsInsertAndStyle) {
  SetStringTable(&TestStrings);
  const QString name = QStringLiteral("Plan.zpd");
  const unsigned question = zeph::kMbIconQuestion;
  struct Case {
    const char* name;
    std::function<int()> ask;
    int answerGiven;
    int expected;
    unsigned style;
    QString text;
  };
  const QString insert = name;
  const Case cases[] = {
      {"yes/no", [&] { return AskYesNo(500, insert); }, zeph::kIdNo, zeph::kIdNo,
       zeph::kMbYesNo | question, QStringLiteral("Save the changes to Plan.zpd?")},
      {"yes/no/cancel", [&] { return AskYesNoCancel(500, insert); }, zeph::kIdCancel,
       zeph::kIdCancel, zeph::kMbYesNoCancel | question,
       QStringLiteral("Save the changes to Plan.zpd?")},
      {"every placeholder", [&] { return AskYesNo(501, insert); }, zeph::kIdYes, zeph::kIdYes,
       zeph::kMbYesNo | question, QStringLiteral("Plan.zpd and Plan.zpd again")},
      {"without insert", [&] { return AskYesNo(500); }, zeph::kIdYes, zeph::kIdYes,
       zeph::kMbYesNo | question, QStringLiteral("Save the changes to %1?")},
      {"AskYes: no", [&] { return AskYes(502); }, zeph::kIdNo, 0, zeph::kMbYesNo | question,
       QStringLiteral("No insert here")},
      {"AskYes: yes", [&] { return AskYes(500, insert); }, zeph::kIdYes, 1,
       zeph::kMbYesNo | question, QStringLiteral("Save the changes to Plan.zpd?")},
      {"AskYes: cancel counts as yes", [&] { return AskYes(502); }, zeph::kIdCancel, 1,
       zeph::kMbYesNo | question, QStringLiteral("No insert here")},
  };
  for (const Case& c : cases) {
    m_presenter.Clear();
    m_presenter.QueueAnswer(c.answerGiven);
    EXPECT_EQ(c.ask(), c.expected) << c.name;
    ASSERT_EQ(m_presenter.shown().size(), 1u) << c.name;
    EXPECT_EQ(m_presenter.shown()[0].text, c.text) << c.name;
    EXPECT_EQ(m_presenter.shown()[0].caption, QStringLiteral("Zephorin")) << c.name;
    EXPECT_EQ(m_presenter.shown()[0].style, c.style) << c.name;
  }

  m_presenter.Clear();
  ShowInformation(500, name);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_presenter.shown()[0].style, zeph::kMbOk | zeph::kMbIconInformation);
  SetStringTable(nullptr);
}

TEST_F(UiUtilTest, WarningsAreLoggedWithTheirId) {
  SetStringTable(&TestStrings);
  ShowWarning(502);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_presenter.shown()[0].style, zeph::kMbOk | zeph::kMbIconExclamation);
  EXPECT_THAT(LogRecords(),
              ElementsAre(std::pair{20244, 0}, std::pair{0, 502}, std::pair{20244, 1000}));
  SetStringTable(nullptr);
}

TEST_F(UiUtilTest, OutOfMemoryIsShownWithoutARegisteredStringTable) {
  ShowOutOfMemory();
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_presenter.shown()[0].text,
            QStringLiteral("There is not enough memory\r\nto carry out this command."));
  EXPECT_EQ(m_presenter.shown()[0].style, zeph::kMbOk | zeph::kMbIconExclamation);
  EXPECT_THAT(LogRecords(), ElementsAre(std::pair{20246, 0}, std::pair{20244, 0}, std::pair{0, 224},
                                        std::pair{20244, 1000}, std::pair{20246, 1000}));
}

// ---- Wait cursor ----

TEST_F(UiUtilTest, NestedWaitCursorsRestoreTheFirstCursorOnce) {
  zeph::CStandInDesktop& desktop = zeph::StandInDesktop();
  desktop.SetCursor(CursorShape::kOwn);
  ShowWaitCursor();
  EXPECT_EQ(desktop.cursor(), CursorShape::kWait);
  ASSERT_TRUE(g_savedCursor.has_value());
  EXPECT_EQ(*g_savedCursor, CursorShape::kOwn);
  ShowWaitCursor();
  EXPECT_EQ(desktop.cursor(), CursorShape::kWait);
  EXPECT_EQ(*g_savedCursor, CursorShape::kOwn);

  HideWaitCursor();
  EXPECT_EQ(desktop.cursor(), CursorShape::kOwn);
  EXPECT_FALSE(g_savedCursor.has_value());
  HideWaitCursor();
  EXPECT_EQ(desktop.cursor(), CursorShape::kArrow);

  const std::vector<std::pair<int, int>> records = LogRecords();
  ASSERT_EQ(records.size(), 12u);
  EXPECT_THAT(std::vector(records.begin(), records.begin() + 6),
              ElementsAre(std::pair{20218, 0}, std::pair{20218, 1000}, std::pair{20218, 0},
                          std::pair{20218, 2001}, std::pair{20218, 1000}, std::pair{20223, 0}));
  EXPECT_EQ(records[6], (std::pair{20223, 10}));
  EXPECT_EQ(records[7].first, 0);  // the milliseconds the wait cursor was shown
  EXPECT_GE(records[7].second, 0);
  EXPECT_THAT(std::vector(records.begin() + 8, records.end()),
              ElementsAre(std::pair{20223, 1000}, std::pair{20223, 0}, std::pair{20223, 2000},
                          std::pair{20223, 1000}));
}

// ---- Keys ----

TEST_F(UiUtilTest, KeyMessagesTrackShiftAndCtrlOnly) {
  struct Step {
    unsigned message;
    int key;
    std::int32_t state;
  };
  const Step steps[] = {
      {zeph::kMsgKeyDown, zeph::kVkShift, kKeyStateShift},
      {zeph::kMsgKeyDown, zeph::kVkControl, kKeyStateShift | kKeyStateCtrl},
      {zeph::kMsgKeyDown, zeph::kVkLeft, kKeyStateShift | kKeyStateCtrl},
      {zeph::kMsgChar, zeph::kVkShift, kKeyStateShift | kKeyStateCtrl},
      {zeph::kMsgKeyUp, zeph::kVkShift, kKeyStateCtrl},
      {zeph::kMsgKeyUp, zeph::kVkShift, kKeyStateCtrl},
      {zeph::kMsgKeyUp, zeph::kVkControl, 0},
  };
  for (const Step& s : steps) {
    TrackModifierKeys({s.message, s.key});
    EXPECT_EQ(g_keyState, s.state) << s.message << ' ' << s.key;
  }
  SetModifierKey(zeph::kVkControl, true);
  SetModifierKey(0x41, true);
  EXPECT_EQ(g_keyState, kKeyStateCtrl);
}

// ---- Dialogs ----

class FakeDialog final : public zeph::IDialogWindow {
 public:
  struct Child {
    zeph::DialogChildKind kind;
    DcRect rect;
    bool fontSet = false;
  };

  zeph::TextMetrics GetOwnFontMetrics() const override { return own; }
  zeph::TextMetrics GetFontMetrics(const zeph::DcFont&) const override { return other; }
  DcRect GetWindowRect() const override { return window; }
  zeph::DcSize GetClientSize() const override { return client; }
  void MoveWindow(const DcRect& rect, bool) override {
    window = rect;
    ++moves;
  }
  void SetFont(const zeph::DcFont&, bool) override { ++fontsSet; }
  int GetChildCount() const override { return static_cast<int>(children.size()); }
  zeph::DialogChildKind GetChildKind(int index) const override { return children[index].kind; }
  DcRect GetChildRect(int index) const override { return children[index].rect; }
  void SetChildFont(int index, const zeph::DcFont&) override { children[index].fontSet = true; }
  void MoveChild(int index, const DcRect& rect) override { children[index].rect = rect; }

  static zeph::TextMetrics Metrics(int height, int leading, int width) {
    zeph::TextMetrics tm;
    tm.height = height;
    tm.externalLeading = leading;
    tm.averageCharWidth = width;
    return tm;
  }

  zeph::TextMetrics own = Metrics(12, 1, 6);
  zeph::TextMetrics other;
  DcRect window{100, 50, 310, 180};  // a frame of 10 x 30 around the client area
  zeph::DcSize client{200, 100};
  std::vector<Child> children;
  int moves = 0;
  int fontsSet = 0;
};

TEST_F(UiUtilTest, LargerFontGrowsDialogAboutItsCentreAndScalesControls) {
  FakeDialog dialog;
  dialog.other = FakeDialog::Metrics(24, 2, 9);  // lines twice as high, 1.5 times as wide
  dialog.children = {
      {zeph::DialogChildKind::kOther, {10, 20, 50, 40}},
      {zeph::DialogChildKind::kOther, {7, 7, 13, 13}},
      {zeph::DialogChildKind::kComboBox, {10, 50, 110, 150}},
      {zeph::DialogChildKind::kRealSizePicture, {20, 10, 52, 42}},
  };
  ScaleDialogToFont(dialog, zeph::DcFont());

  // The client area grows to 300 x 200; the window moves up and left by half the growth.
  EXPECT_EQ(dialog.window, (DcRect{50, 0, 360, 230}));
  EXPECT_EQ(dialog.fontsSet, 1);
  EXPECT_EQ(dialog.children[0].rect, (DcRect{15, 40, 75, 80}));
  EXPECT_EQ(dialog.children[1].rect, (DcRect{10, 14, 19, 26}));  // 10.5 and 19.5 truncated
  EXPECT_EQ(dialog.children[2].rect, (DcRect{15, 100, 165, 300}));
  // The picture keeps its 32 x 32 pixels, centred where the scaled centre (54, 52) lies.
  EXPECT_EQ(dialog.children[3].rect, (DcRect{38, 36, 70, 68}));
  for (const FakeDialog::Child& child : dialog.children) EXPECT_TRUE(child.fontSet);
}

TEST_F(UiUtilTest, FontNotLargerLeavesDialogAlone) {
  struct Case {
    const char* name;
    zeph::TextMetrics own;
    zeph::TextMetrics other;
  };
  const Case cases[] = {
      {"lower line", FakeDialog::Metrics(12, 1, 6), FakeDialog::Metrics(11, 1, 9)},
      {"same line, same width", FakeDialog::Metrics(12, 1, 6), FakeDialog::Metrics(12, 1, 6)},
      {"same line, narrower", FakeDialog::Metrics(12, 1, 6), FakeDialog::Metrics(13, 0, 5)},
      {"own font measures nothing", FakeDialog::Metrics(0, 0, 0), FakeDialog::Metrics(12, 1, 6)},
  };
  for (const Case& c : cases) {
    FakeDialog dialog;
    dialog.own = c.own;
    dialog.other = c.other;
    dialog.children = {{zeph::DialogChildKind::kOther, {10, 20, 50, 40}}};
    ScaleDialogToFont(dialog, zeph::DcFont());
    EXPECT_EQ(dialog.moves, 0) << c.name;
    EXPECT_EQ(dialog.fontsSet, 0) << c.name;
    EXPECT_FALSE(dialog.children[0].fontSet) << c.name;
    EXPECT_EQ(dialog.children[0].rect, (DcRect{10, 20, 50, 40})) << c.name;
  }
}

// ---- Colours ----

TEST(UiColours, ChannelsAreTruncatedAndLimited) {
  struct Case {
    const char* name;
    ColourRef result;
    ColourRef expected;
  };
  const ColourRef flag = zeph::kPaletteColourFlag;
  const Case cases[] = {
      {"lighten by half", LightenColour(zeph::MakeColour(100, 0, 255), 0.5),
       flag | zeph::MakeColour(177, 127, 255)},
      {"lighten by 2 is white", LightenColour(zeph::MakeColour(100, 0, 255), 2.0),
       flag | zeph::MakeColour(255, 255, 255)},
      {"lighten by -1 changes nothing", LightenColour(zeph::MakeColour(100, 0, 255), -1.0),
       flag | zeph::MakeColour(100, 0, 255)},
      {"blend black and white", BlendColours(0x000000, 0xFFFFFF, 0.25),
       flag | zeph::MakeColour(191, 191, 191)},
      {"blend ignores the flag byte", BlendColours(flag | 0x0000FF, 0x00FF00, 1.0),
       flag | zeph::MakeColour(255, 0, 0)},
      {"darken past black", DarkenColour(zeph::MakeColour(200, 100, 50), 1.5), flag},
      {"darken by a negative fraction", DarkenColour(zeph::MakeColour(200, 100, 50), -0.5),
       flag | zeph::MakeColour(255, 150, 75)},
      {"darken by a fifth", DarkenColour(zeph::MakeColour(200, 100, 50), 0.2),
       flag | zeph::MakeColour(160, 80, 40)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;

  EXPECT_EQ(ToColourChannel(0.0), 0);
  EXPECT_EQ(ToColourChannel(-3.0), 0);
  EXPECT_EQ(ToColourChannel(0.3 * 3 * 10), 9);  // 8.999999999999998 with the allowance
  EXPECT_EQ(ToColourChannel(300.0), 255);
  EXPECT_EQ(ToColourChannel(std::numeric_limits<double>::quiet_NaN()), 0);

  EXPECT_EQ(SameRgb(0x02123456, 0x00123456), 1);
  EXPECT_EQ(SameRgb(0x00123456, 0x00123457), 0);
}

// ---- Rectangles and scroll bars ----

TEST(UiRects, NormaliseOrdersBothAxes) {
  UiRect r{30, 40, 10, 20};
  NormaliseRect(r);
  EXPECT_EQ(r, (UiRect{10, 20, 30, 40}));
  UiRect ordered{1, 2, 3, 4};
  NormaliseRect(ordered);
  EXPECT_EQ(ordered, (UiRect{1, 2, 3, 4}));
}

TEST(UiScroll, CodesMoveThePositionWithinItsRange) {
  struct Case {
    const char* name;
    int pos;
    unsigned code;
    unsigned thumb;
    int pageUpStep;
    int result;
    int newPos;
  };
  // max 100, page 30, line step 10 throughout.
  const Case cases[] = {
      {"line down to the end", 95, kSbLineDown, 0, -1, 1, 100},
      {"line down at the end", 100, kSbLineDown, 0, -1, 0, 100},
      {"line up to the start", 5, kSbLineUp, 0, -1, 1, 0},
      {"line up at the start", 0, kSbLineUp, 0, -1, 0, 0},
      {"page up by the page", 20, kSbPageUp, 0, -1, 1, 0},
      {"page up by its own step", 50, kSbPageUp, 0, 15, 1, 35},
      {"page down", 50, kSbPageDown, 0, -1, 1, 80},
      {"page down to the end", 80, kSbPageDown, 0, -1, 1, 100},
      {"thumb past the end", 20, kSbThumbTrack, 150, -1, 1, 100},
      {"thumb position", 20, kSbThumbPosition, 40, -1, 1, 40},
      {"thumb where it is", 40, kSbThumbTrack, 40, -1, 0, 40},
      {"top", 40, kSbTop, 0, -1, 1, 0},
      {"top already", 0, kSbTop, 0, -1, 0, 0},
      {"bottom", 40, kSbBottom, 0, -1, 1, 100},
      {"end scroll", 40, kSbEndScroll, 0, -1, 0, 40},
  };
  for (const Case& c : cases) {
    int pos = c.pos;
    EXPECT_EQ(ApplyScrollCode(pos, 100, 30, c.code, c.thumb, c.pageUpStep, 10), c.result) << c.name;
    EXPECT_EQ(pos, c.newPos) << c.name;
  }
}

// ---- Files and settings ----

class UiUtilFilesTest : public FolderSandbox {
 protected:
  void SetUp() override {
    FolderSandbox::SetUp();
    ResetUiUtilState();
    ResetPrinterState();
  }
  void TearDown() override {
    ResetUiUtilState();
    ResetPrinterState();
    FolderSandbox::TearDown();
  }
};

TEST_F(UiUtilFilesTest, OnlyFullPathsOfExistingFilesBecomeRecentFiles) {
  const QString drawing = Path(QStringLiteral("Plan.zpd"));
  WriteBytes(drawing, "ZP336\r\n");
  // Glitches show their numbers in message boxes.
  zeph::ScriptedPresenter presenter;
  zeph::SetPresenter(&presenter);
  g_showGlitch = true;

  AddToRecentFiles(QStringLiteral("Plan.zpd"));
  AddToRecentFiles(Path(QStringLiteral("Missing.zpd")));
  EXPECT_EQ(g_firstGlitchMessage, QStringLiteral("Plan.zpd"));
  ASSERT_EQ(presenter.shown().size(), 2u);
  EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("Glitch number 20201, 1\n")));
  EXPECT_TRUE(presenter.shown()[1].text.startsWith(QStringLiteral("Glitch number 20201, 2\n")));
  EXPECT_TRUE(StandInRecentFiles().isEmpty());

  AddToRecentFiles(drawing);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(StandInRecentFiles(), QStringList{drawing});
  zeph::SetPresenter(nullptr);
}

TEST_F(UiUtilFilesTest, WindowPositionRoundTripsThroughTheUserSettings) {
  g_windowPosition = {22, 10, 1200, 800};
  g_windowPositionValid = 1;
  WriteWindowPosition();
  QString stored;
  ASSERT_EQ(ReadUserSetting(QStringLiteral("WindowPosition"), stored), 1);
  EXPECT_EQ(stored, QStringLiteral("22,10,1200,800"));

  g_windowPosition = {};
  g_windowPositionValid = 0;
  ReadWindowPosition();
  EXPECT_EQ(g_windowPositionValid, 1);
  EXPECT_EQ(g_windowPosition, (WindowPosition{22, 10, 1200, 800}));

  // Invalid positions are not written.
  g_windowPosition = {1, 2, 3, 4};
  g_windowPositionValid = 0;
  WriteWindowPosition();
  ASSERT_EQ(ReadUserSetting(QStringLiteral("WindowPosition"), stored), 1);
  EXPECT_EQ(stored, QStringLiteral("22,10,1200,800"));
}

TEST_F(UiUtilFilesTest, ReadingStopsAtTheFirstItemThatIsNotANumber) {
  WriteUserSetting(QStringLiteral("WindowPosition"), QStringLiteral("10,20,abc,40"));
  g_windowPosition = {1, 2, 3, 4};
  g_windowPositionValid = 1;
  ResetLogState();
  ReadWindowPosition();
  EXPECT_EQ(g_windowPositionValid, 0);
  EXPECT_EQ(g_windowPosition, (WindowPosition{10, 20, 3, 4}));
  const std::vector<std::pair<int, int>> records = LogRecords();
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records[records.size() - 2], (std::pair{20240, 7010}));
  EXPECT_EQ(records.back(), (std::pair{0, 2}));
}

TEST_F(UiUtilFilesTest, WithoutAStoredPositionNothingChanges) {
  g_windowPosition = {1, 2, 3, 4};
  g_windowPositionValid = 1;
  ReadWindowPosition();
  EXPECT_EQ(g_windowPositionValid, 1);
  EXPECT_EQ(g_windowPosition, (WindowPosition{1, 2, 3, 4}));
}

TEST(UiPrintableRect, ComesFromThePrintingCodesArea) {
  ResetPrinterState();
  g_printableOrigin = {120, 90};
  g_printableWidth = 4720;
  g_printableHeight = 6800;
  UiRect r;
  GetPrintableRect(r);
  EXPECT_EQ(r, (UiRect{120, 90, 4840, 6890}));
  ResetPrinterState();
}

}  // namespace
