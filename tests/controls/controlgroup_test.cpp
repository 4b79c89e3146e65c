// Control groups: Tab and Shift+Tab order with wrap-around, Enter, mnemonics with and without
// Alt, first focus, and the captions beside lists.
#include <QKeyEvent>
#include <QTest>
#include <string>
#include <vector>

#include "controls/viewcontrols.h"
#include "controls_fixture.h"

namespace zeph::testing {
namespace {

constexpr int kIdEdit = 501;
constexpr int kIdMove = 502;
constexpr int kIdValues = 503;
constexpr int kIdOk = 504;

// A view with three buttons and a list in one group; every notification is recorded.
class ControlGroupTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    TestStrings()[kIdEdit] = QStringLiteral("&Edit");
    TestStrings()[kIdMove] = QStringLiteral("&Move");
    TestStrings()[kIdValues] = QStringLiteral("&Values");
    TestStrings()[kIdOk] = QStringLiteral("&OK");
    m_edit.Create({10, 10, 90, 40}, m_host.get(), kIdEdit);
    m_move.Create({10, 50, 90, 80}, m_host.get(), kIdMove);
    m_values.Create({150, 10, 250, 100}, m_host.get(), kIdValues);
    m_values.addItems({QStringLiteral("one"), QStringLiteral("two")});
    m_ok.Create({10, 200, 90, 230}, m_host.get(), kIdOk);
    m_ok.SetEscapeButton();
    for (CControl* control : std::initializer_list<CControl*>{&m_edit, &m_move, &m_values, &m_ok}) {
      m_group.AddControl(control, 1);
    }
    for (CViewButton* button : {&m_edit, &m_move, &m_ok}) {
      QObject::connect(button, &QPushButton::clicked, [this, button]() {
        m_events.push_back("command " + std::to_string(button->GetId()));
      });
      Watch(button);
    }
    Watch(&m_values);
    ShowHost();
  }

  template <typename Control>
  void Watch(Control* control) {
    QObject::connect(control, &Control::groupKey, [this](int id, int code) {
      m_events.push_back("group " + std::to_string(id) + " " + std::to_string(code));
    });
    QObject::connect(control, &Control::controlKey, [this](int id, int key) {
      m_events.push_back("key " + std::to_string(id) + " " + std::to_string(key));
    });
  }

  QWidget* Control(int index) const {
    return std::array<QWidget*, 4>{
        const_cast<CViewButton*>(&m_edit), const_cast<CViewButton*>(&m_move),
        const_cast<CViewList*>(&m_values),
        const_cast<CViewButton*>(&m_ok)}[static_cast<std::size_t>(index)];
  }

  int FocusIndex() const {
    for (int i = 0; i < 4; ++i) {
      if (Control(i)->hasFocus()) return i;
    }
    return -1;
  }

  CViewButton m_edit;
  CViewButton m_move;
  CViewList m_values;
  CViewButton m_ok;
  CControlGroup m_group;
  std::vector<std::string> m_events;
};

TEST_F(ControlGroupTest, KeysMoveTheFocusAndPressButtons) {
  struct Case {
    const char* name;
    int from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool moveDisabled;
    bool wrap;
    int focusAfter;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"tab", 0, Qt::Key_Tab, Qt::NoModifier, false, true, 1, {"group 501 4"}},
      {"tab skips a disabled button",
       0,
       Qt::Key_Tab,
       Qt::NoModifier,
       true,
       true,
       2,
       {"group 501 4"}},
      {"tab wraps from the last", 3, Qt::Key_Tab, Qt::NoModifier, false, true, 0, {"group 504 4"}},
      {"shift+tab wraps from the first",
       0,
       Qt::Key_Backtab,
       Qt::ShiftModifier,
       false,
       true,
       3,
       {"group 501 4"}},
      {"shift+tab from the list",
       2,
       Qt::Key_Backtab,
       Qt::ShiftModifier,
       true,
       true,
       0,
       {"group 503 4"}},
      {"tab on the last without wrap goes to the view",
       3,
       Qt::Key_Tab,
       Qt::NoModifier,
       false,
       false,
       3,
       {"group 504 4", "key 504 9"}},
      {"enter on a list moves on",
       2,
       Qt::Key_Return,
       Qt::NoModifier,
       false,
       true,
       3,
       {"group 503 3"}},
      {"enter on a button presses it",
       1,
       Qt::Key_Return,
       Qt::NoModifier,
       false,
       true,
       1,
       {"group 502 3", "command 502"}},
      {"a letter presses its button",
       2,
       Qt::Key_E,
       Qt::NoModifier,
       false,
       true,
       0,
       {"command 501"}},
      {"alt and a letter press it too",
       3,
       Qt::Key_E,
       Qt::AltModifier,
       false,
       true,
       0,
       {"command 501"}},
      {"a disabled button's letter does nothing", 0, Qt::Key_M, Qt::NoModifier, true, true, 0, {}},
      {"esc answers the cancelling button",
       0,
       Qt::Key_Escape,
       Qt::NoModifier,
       false,
       true,
       3,
       {"command 504"}},
      {"a letter of a list gives it the focus", 0, Qt::Key_V, Qt::AltModifier, false, true, 2, {}},
  };
  for (const Case& c : cases) {
    m_move.setEnabled(!c.moveDisabled);
    m_group.SetWrap(c.wrap ? 1 : 0);
    Control(c.from)->setFocus();
    m_events.clear();
    QTest::keyClick(Control(c.from), c.key, c.modifiers);
    EXPECT_EQ(FocusIndex(), c.focusAfter) << c.name;
    EXPECT_EQ(m_events, c.events) << c.name;
  }
}

TEST_F(ControlGroupTest, FirstFocusTakesTheFirstUsableControlFromTheIndexOn) {
  m_move.setEnabled(false);
  m_group.SetFocusFrom(1);
  EXPECT_EQ(FocusIndex(), 2);
  m_group.SetFocusFrom(4);  // past the end: nothing
  EXPECT_EQ(FocusIndex(), 2);
  m_values.hide();
  m_ok.hide();
  m_group.SetFocusFrom(1);
  EXPECT_EQ(FocusIndex(), 0);
}

TEST_F(ControlGroupTest, AGroupOfOnlyADisabledControlDoesNotMove) {
  CControlGroup group;
  CViewButton lone;
  lone.Create({0, 0, 10, 10}, m_host.get(), kIdEdit);
  group.AddControl(&lone, 1);
  lone.setEnabled(false);
  EXPECT_EQ(group.MoveFocus(0, 1), 0);
  EXPECT_EQ(group.MoveFocus(5, 1), 0);
}

TEST_F(ControlGroupTest, TheThirtyFirstControlIsIgnored) {
  CControlGroup group;
  std::vector<std::unique_ptr<CViewButton>> buttons;
  for (int i = 0; i < 31; ++i) {
    buttons.push_back(std::make_unique<CViewButton>());
    group.AddControl(buttons.back().get(), 1);
  }
  EXPECT_EQ(group.GetCount(), 30);
  EXPECT_EQ(buttons[29]->GetGroup(), &group);
  EXPECT_EQ(buttons[30]->GetGroup(), nullptr);
}

TEST_F(ControlGroupTest, OfARunOfRadioButtonsOnlyTheCheckedOneIsATabStop) {
  m_move.setCheckable(true);
  m_move.setAutoExclusive(true);
  m_edit.setFocus();
  QTest::keyClick(&m_edit, Qt::Key_Tab);
  EXPECT_EQ(FocusIndex(), 2);
  m_move.setChecked(true);
  m_edit.setFocus();
  QTest::keyClick(&m_edit, Qt::Key_Tab);
  EXPECT_EQ(FocusIndex(), 1);
}

TEST_F(ControlGroupTest, MnemonicsComeFromTheFirstAmpersand) {
  struct Case {
    const char* caption;
    char16_t mnemonic;
  };
  const Case cases[] = {
      {"&Edit", u'E'}, {"Sa&ve", u'V'}, {"Edit&", 0}, {"Edit", 0}, {"&\u00e9t\u00e9", u'\u00c9'},
      {"A&b&c", u'B'}};
  CViewButton button;
  for (const Case& c : cases) {
    button.SetCaptionText(QString::fromUtf8(c.caption));
    EXPECT_EQ(button.GetMnemonic(), c.mnemonic) << c.caption;
    // The caption never becomes a Qt shortcut of its own.
    EXPECT_TRUE(button.shortcut().isEmpty()) << c.caption;
  }
  EXPECT_EQ(button.MatchesMnemonic(u'\u00e9'), 0);  // only characters below 128 match
}

TEST_F(ControlGroupTest, AListsCaptionSitsBesideItAndShowsTheFocus) {
  CLabel* label = m_values.GetLabel();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetCaption(), QStringLiteral("&Values"));
  const int width = m_values.GetCaptionWidth();
  EXPECT_GT(width, 6);
  const QRect r = label->geometry();
  EXPECT_EQ(r.right() + 1, 150 - 5);
  EXPECT_EQ(r.left(), 150 - width - 9);
  EXPECT_EQ(r.top(), (10 + 100 - m_values.GetCaptionHeight()) / 2);
  m_values.move(160, 20);
  EXPECT_EQ(label->geometry().right() + 1, 160 - 5);

  label->UpdateWindow();
  const QImage unfocused = label->BackBuffer().copy();
  m_values.setFocus();
  EXPECT_EQ(m_values.HasFocus(), 1);
  EXPECT_NE(label->BackBuffer(), unfocused);  // the dotted frame
  m_edit.setFocus();
  EXPECT_EQ(label->BackBuffer(), unfocused);

  m_values.SetLabel(0);
  EXPECT_EQ(m_values.GetLabel(), nullptr);
  EXPECT_EQ(m_values.GetMnemonic(), 0);
}

TEST_F(ControlGroupTest, ButtonsTakeNoCaptionLabel) {
  m_edit.SetLabel(kIdEdit);
  ExpectGlitch(20002, 1);
  EXPECT_EQ(m_edit.GetLabel(), nullptr);
}

}  // namespace
}  // namespace zeph::testing
