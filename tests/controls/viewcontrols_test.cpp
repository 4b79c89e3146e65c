// View buttons, lists in hand-over mode and the start screen's front buttons: captions,
// hover, keys for the view, the palette reserve, and screenshots of every scheme.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <set>

#include "controls/frontbutton.h"
#include "controls/viewcontrols.h"
#include "controls_fixture.h"

namespace zeph::testing {
namespace {

constexpr int kIdStart = 601;
constexpr int kIdList = 602;

using ViewControlsTest = ControlsTest;

QRgb ToQtRgb(ColourRef c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

TEST_F(ViewControlsTest, FrontButtonCaptionsSplitIntoAtMostFourLines) {
  struct Case {
    QString caption;
    std::vector<QString> lines;
  };
  const Case cases[] = {
      {QStringLiteral("Start"), {QStringLiteral(" Start ")}},
      {QStringLiteral("New\ndrawing"), {QStringLiteral(" New "), QStringLiteral(" drawing ")}},
      {QStringLiteral("a\nb\nc\nd\ne"),
       {QStringLiteral(" a "), QStringLiteral(" b "), QStringLiteral(" c "),
        QStringLiteral(" d\ne ")}},
      {QString(), {QStringLiteral("  ")}},
      {QStringLiteral("x\n"), {QStringLiteral(" x "), QStringLiteral("  ")}},
  };
  CFrontButton button;
  for (const Case& c : cases) {
    button.SplitCaption(c.caption);
    ASSERT_EQ(button.GetLineCount(), static_cast<int>(c.lines.size())) << c.caption.toStdString();
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(button.GetLine(static_cast<int>(i)), c.lines[i]) << c.caption.toStdString();
    }
  }
}

// Hovering shows in look 1 on the border and in look 2 on the face; leaving takes it away,
// and a press ends the tracking.
TEST_F(ViewControlsTest, HoverHighlightsTheButtonUntilTheMouseLeavesOrPresses) {
  TestStrings()[kIdStart] = QStringLiteral("Start");
  for (const int look : {1, 2}) {
    g_frontButtonStyle = look;
    CFrontButton button;
    button.Create({20, 20, 220, 100}, m_host.get(), kIdStart);
    ShowHost();
    button.repaint();
    const QImage normal = button.BackBuffer().copy();
    QTest::mouseMove(&button, QPoint(100, 40));
    EXPECT_EQ(button.IsHovering(), 1) << "look " << look;
    EXPECT_EQ(GetCapture(), &button);
    EXPECT_NE(button.BackBuffer(), normal) << "look " << look;
    // Look 1 changes only the border, look 2 the face.
    const QPoint middle(30, 15);  // face, no caption
    EXPECT_EQ(button.BackBuffer().pixel(middle) == normal.pixel(middle), look == 1);
    button.OnMouseMove(0, QPoint(-5, -5));
    EXPECT_EQ(button.IsHovering(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(button.BackBuffer(), normal) << "look " << look;

    QTest::mouseMove(&button, QPoint(90, 30));
    EXPECT_EQ(button.IsHovering(), 1);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(90, 30));
    EXPECT_EQ(button.IsHovering(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(90, 30));
    m_host->hide();
  }
  g_frontButtonStyle = 2;
}

TEST_F(ViewControlsTest, ClassicLookHasNoHover) {
  g_frontButtonStyle = 0;
  CFrontButton button;
  button.Create({20, 20, 220, 100}, m_host.get(), kIdStart);
  ShowHost();
  QTest::mouseMove(&button, QPoint(100, 40));
  EXPECT_EQ(button.IsHovering(), 0);
  g_frontButtonStyle = 2;
}

// Tab on a button whose group cannot move on reaches the view; a button outside any group
// sends it at once.
TEST_F(ViewControlsTest, TabThatNoGroupTakesGoesToTheView) {
  CViewButton alone;
  alone.Create({0, 0, 50, 20}, m_host.get(), kIdStart);
  CViewButton grouped;
  grouped.Create({0, 30, 50, 50}, m_host.get(), kIdList);
  CControlGroup group;
  group.AddControl(&grouped, 1);
  std::vector<std::pair<int, int>> keys;
  for (CViewButton* b : {&alone, &grouped}) {
    QObject::connect(b, &CViewButton::controlKey,
                     [&keys](int id, int key) { keys.emplace_back(id, key); });
  }
  ShowHost();
  alone.setFocus();
  QTest::keyClick(&alone, Qt::Key_Tab);
  grouped.setFocus();
  QTest::keyClick(&grouped, Qt::Key_Tab);  // the only control: the group cannot move
  const std::vector<std::pair<int, int>> expected = {{kIdStart, 9}, {kIdList, 9}};
  EXPECT_EQ(keys, expected);
  EXPECT_TRUE(grouped.hasFocus());
}

// A hand-over list outside a group hands a click to the view as Enter after the item is
// selected, and hides when the focus moves away.
TEST_F(ViewControlsTest, HandOverListChoosesOnClickAndHidesOnFocusLoss) {
  CViewList list;
  list.SetKeyHandOver(1);
  list.Create({10, 10, 150, 120}, m_host.get(), kIdList);
  list.addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
  CViewButton other;
  other.Create({200, 10, 260, 40}, m_host.get(), kIdStart);
  std::vector<std::pair<int, int>> keys;
  QObject::connect(&list, &CViewList::controlKey, [&](int id, int key) {
    keys.emplace_back(id, key);
    EXPECT_EQ(list.currentRow(), 1);  // selected before the view hears of it
  });
  ShowHost();
  EXPECT_FALSE(list.isVisible());  // shown only with the focus
  list.show();
  list.setFocus();
  const QRect second = list.visualItemRect(list.item(1));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  const std::vector<std::pair<int, int>> expected = {{kIdList, 13}};
  EXPECT_EQ(keys, expected);
  EXPECT_TRUE(list.isVisible());
  other.setFocus();
  EXPECT_FALSE(list.isVisible());
}

// In a group, the click is a group key and the focus moves on.
TEST_F(ViewControlsTest, HandOverListInAGroupMovesTheFocusOn) {
  CViewList list;
  list.SetKeyHandOver(1);
  list.Create({10, 10, 150, 120}, m_host.get(), kIdList);
  list.addItems({QStringLiteral("one"), QStringLiteral("two")});
  CViewButton next;
  next.Create({200, 10, 260, 40}, m_host.get(), kIdStart);
  CControlGroup group;
  group.AddControl(&list, 1);
  group.AddControl(&next, 1);
  std::vector<int> codes;
  QObject::connect(&list, &CViewList::groupKey, [&](int, int code) { codes.push_back(code); });
  ShowHost();
  list.show();
  list.setFocus();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                    list.visualItemRect(list.item(0)).center());
  EXPECT_EQ(codes, std::vector<int>{kGroupKeyListClick});
  EXPECT_TRUE(next.hasFocus());
  EXPECT_FALSE(list.isVisible());
}

TEST_F(ViewControlsTest, TheSchemesInUseReserveSixPaletteEntries) {
  EXPECT_EQ(GetSchemePaletteEntryCount(), 6);
  CLogicalPalette palette;
  palette.entries.resize(60);
  EXPECT_EQ(AddSchemeColoursToPalette(palette, 45), 50);
  EXPECT_EQ(palette.entries[45], (PaletteEntry{0xBF, 0xF0, 0xFF, 0}));
  EXPECT_EQ(palette.entries[50], (PaletteEntry{0xBF, 0xDD, 0xFA, 0}));
  palette.entries.resize(48);
  EXPECT_EQ(AddSchemeColoursToPalette(palette, 45), 47);
  ExpectGlitch(20032, 1);
}

// Every scheme in every look, unpressed, focused and pressed, in one picture to look at.
TEST_F(ViewControlsTest, ScreenshotOfTheFrontButtons) {
  TestStrings()[kIdStart] = QStringLiteral("Start a new\ndrawing");
  const int w = 180;
  const int h = 70;
  QImage sheet(3 * 3 * (w + 10) + 10, kFrontSchemeCount * (h + 10) + 10, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  CFrontButton button;
  button.Create({0, 0, w, h}, m_host.get(), kIdStart);
  for (int look = 0; look < 3; ++look) {
    g_frontButtonStyle = look;
    for (int scheme = 0; scheme < kFrontSchemeCount; ++scheme) {
      button.SetScheme(scheme);
      const unsigned states[] = {0, kOdsFocus, kOdsSelected | kOdsFocus};
      for (int s = 0; s < 3; ++s) {
        button.DrawItem({kOdaDrawEntire, states[s], {0, 0, w, h}});
        const QImage& face = button.BackBuffer();
        // The caption shows in its own colour on the face.
        std::set<QRgb> colours;
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) colours.insert(face.pixel(x, y));
        }
        EXPECT_TRUE(colours.count(QColor(ToQtRgb(FrontSchemeColour(scheme, 3))).rgb()) != 0 ||
                    look == 0)
            << "look " << look << " scheme " << scheme;
        EXPECT_GE(colours.size(), 3u);  // face, caption and edge at least
        painter.drawImage(10 + (look * 3 + s) * (w + 10), 10 + scheme * (h + 10), face);
      }
    }
  }
  painter.end();
  g_frontButtonStyle = 2;
  EXPECT_TRUE(sheet.save(RenderPath(QStringLiteral("front_buttons.png"))));
}

}  // namespace
}  // namespace zeph::testing
