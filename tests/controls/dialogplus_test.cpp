// The dialog base: data exchange with the program's number syntax and warnings, the guarded
// control operations, help on F1 and the Help button, and modal runs through the runner.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "controls/dialogplus.h"
#include "controls_fixture.h"

namespace zeph::testing {
namespace {

constexpr int kIdEdit = 1001;
constexpr int kIdCheck = 1002;
constexpr int kIdMissing = 1999;
constexpr int kTopic = 47;  // any dialog topic

class CTestDialog : public CDialogPlus {
 public:
  CTestDialog() : CDialogPlus(300, nullptr) {
    auto* layout = new QVBoxLayout(this);
    edit = new QLineEdit(this);
    SetControlId(edit, kIdEdit);
    check = new QCheckBox(QStringLiteral("Check"), this);
    SetControlId(check, kIdCheck);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    ConnectCommand(help, kIdHelp);
    helpButton = help;
    layout->addWidget(edit);
    layout->addWidget(check);
    layout->addWidget(help);
  }
  int GetHelpTopic() const override { return kTopic; }
  void DoDataExchange(CDataExchange& dx) override {
    if (exchange) exchange(dx);
  }

  std::function<void(CDataExchange&)> exchange;
  QLineEdit* edit;
  QCheckBox* check;
  QPushButton* helpButton;
};

class DialogPlusTest : public ControlsTest {
 protected:
  // The warnings shown so far, by text.
  std::vector<QString> Warnings() const {
    std::vector<QString> texts;
    for (const auto& shown : m_presenter.shown()) texts.push_back(shown.text);
    return texts;
  }
};

const QString kNumber = QStringLiteral("Please type a number.");
const QString kSmall = QStringLiteral("Please type  a small whole number.");
const QString kNonZero = QStringLiteral("Please type a number which is not zero.");
const QString kPositive = QStringLiteral("Please type a positive number.");

// One table over the exchange functions: what a box holds when saved, what the member gets
// and which warning shows; a failed exchange leaves the member at its old value (77).
TEST_F(DialogPlusTest, SavingTheBoxesChecksAndConvertsAsTheProgramReadsNumbers) {
  enum Kind { kNumberBox, kNumberOrBlank, kShortBox, kShortOrBlank, kCheckNumber, kCheckNonZero };
  struct Case {
    Kind kind;
    QString text;
    double expected;  // the member after saving
    QString warning;  // empty: none
  };
  const QString longNumber = QStringLiteral("1234567890123456789012345");  // 25 characters
  const Case cases[] = {
      {kNumberBox, QStringLiteral("2.5"), 2.5, {}},
      {kNumberBox, QStringLiteral("1,000"), 1000, {}},
      {kNumberBox, QStringLiteral("-0"), 0, {}},
      {kNumberBox, QStringLiteral("abc"), 77, kNumber},
      {kNumberBox, QString(), 77, kNumber},
      {kNumberBox, longNumber, 1234567890123456789012345.0, {}},
      {kNumberOrBlank, QStringLiteral("   "), -1, {}},
      {kNumberOrBlank, QStringLiteral(" 3 "), 3, {}},
      {kNumberOrBlank, QStringLiteral("-4"), -4, {}},
      {kNumberOrBlank, QStringLiteral("x"), 77, kNumber},
      {kShortBox, QStringLiteral("12"), 12, {}},
      {kShortBox, QStringLiteral("40000"), 77, kSmall},
      {kShortBox, QStringLiteral("1.5"), 77, kSmall},
      {kShortBox, QStringLiteral("00000000001234"), 1234, {}},
      {kShortOrBlank, QString(), 0, {}},
      {kShortOrBlank, QStringLiteral("-3"), -3, {}},
      {kShortOrBlank, QStringLiteral("abc"), 77, kSmall},
      {kCheckNumber, QStringLiteral("1,000"), 77, kNumber},
      {kCheckNumber, QStringLiteral("1000"), 77, {}},
      {kCheckNonZero, QStringLiteral("0"), 77, kNonZero},
      {kCheckNonZero, QStringLiteral("0.0"), 77, kNonZero},
      {kCheckNonZero, QStringLiteral("-0"), 77, kNonZero},
      {kCheckNonZero, QStringLiteral("abc"), 77, kNumber},
      {kCheckNonZero, QStringLiteral("2"), 77, {}},
  };
  for (const Case& c : cases) {
    m_presenter.Clear();
    CTestDialog dialog;
    double number = 77;
    std::int16_t small = 77;
    dialog.exchange = [&](CDataExchange& dx) {
      switch (c.kind) {
        case kNumberBox:
          DDX_Number(dx, kIdEdit, number);
          break;
        case kNumberOrBlank:
          DDX_NumberOrBlank(dx, kIdEdit, number);
          break;
        case kShortBox:
          DDX_Short(dx, kIdEdit, small);
          break;
        case kShortOrBlank:
          DDX_ShortOrBlank(dx, kIdEdit, small);
          break;
        case kCheckNumber:
          DDV_Number(dx, c.text);
          break;
        case kCheckNonZero:
          DDV_NonZeroNumber(dx, c.text);
          break;
      }
    };
    dialog.edit->setText(c.text);
    const bool ok = dialog.UpdateData(true);
    const double got = (c.kind == kShortBox || c.kind == kShortOrBlank) ? small : number;
    const std::string name = std::to_string(c.kind) + " '" + c.text.toStdString() + "'";
    EXPECT_DOUBLE_EQ(got, c.expected) << name;
    EXPECT_EQ(ok, c.warning.isEmpty()) << name;
    EXPECT_EQ(Warnings(),
              c.warning.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.warning})
        << name;
    if (!c.warning.isEmpty()) {
      EXPECT_EQ(m_presenter.shown()[0].style, kMbOk | kMbIconExclamation);
    }
  }
}

TEST_F(DialogPlusTest, LoadingShowsNumbersAndLeavesBlanksForNotSet) {
  struct Case {
    bool isShort;
    bool orBlank;
    double value;
    QString shown;
  };
  const Case cases[] = {
      {false, false, 2.5, QStringLiteral("2.5")},
      {false, false, -1, QStringLiteral("-1")},
      {false, true, -1, QString()},
      {false, true, -0.5, QString()},
      {false, true, 0, QStringLiteral("0")},
      {false, true, 1234.5, QStringLiteral("1234.5")},
      {true, false, 0, QStringLiteral("0")},
      {true, false, -7, QStringLiteral("-7")},
      {true, true, 0, QString()},
      {true, true, -7, QString()},
      {true, true, 32767, QStringLiteral("32767")},
  };
  for (const Case& c : cases) {
    CTestDialog dialog;
    double number = c.value;
    std::int16_t small = static_cast<std::int16_t>(c.value);
    dialog.edit->setText(QStringLiteral("old"));
    dialog.exchange = [&](CDataExchange& dx) {
      if (c.isShort) {
        c.orBlank ? DDX_ShortOrBlank(dx, kIdEdit, small) : DDX_Short(dx, kIdEdit, small);
      } else {
        c.orBlank ? DDX_NumberOrBlank(dx, kIdEdit, number) : DDX_Number(dx, kIdEdit, number);
      }
    };
    EXPECT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.edit->text(), c.shown) << c.value;
  }
}

TEST_F(DialogPlusTest, NegativeValuesAreRefusedByTheNotNegativeCheck) {
  CTestDialog dialog;
  double value = 0;
  dialog.exchange = [&](CDataExchange& dx) {
    DDX_Number(dx, kIdEdit, value);
    DDV_NotNegative(dx, value);
  };
  dialog.edit->setText(QStringLiteral("-1"));
  EXPECT_FALSE(dialog.UpdateData(true));
  dialog.edit->setText(QStringLiteral("1"));
  EXPECT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(Warnings(), std::vector<QString>{kPositive});
}

// A failed OK keeps the dialog open with the offending box focused; a good one ends it.
TEST_F(DialogPlusTest, OkEndsTheDialogOnlyWhenTheExchangeSucceeds) {
  CTestDialog dialog;
  double value = 5;
  dialog.exchange = [&](CDataExchange& dx) { DDX_Number(dx, kIdEdit, value); };
  CScriptedDialogRunner runner([](QDialog& d) {
    auto& dialog = static_cast<CTestDialog&>(d);
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("5"));  // initialised before the run
    dialog.show();
    dialog.edit->setText(QStringLiteral("abc"));
    dialog.OnCommand(kIdOk);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.edit->selectedText(), QStringLiteral("abc"));
    dialog.edit->setText(QStringLiteral("6.5"));
    dialog.OnCommand(kIdOk);
  });
  SetDialogRunner(&runner);
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  SetDialogRunner(nullptr);
  EXPECT_EQ(value, 6.5);
  EXPECT_EQ(runner.runs(), 1);
}

TEST_F(DialogPlusTest, HelpKeyAndHelpButtonShowTheDialogsOwnTopic) {
  CTestDialog dialog;
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.check->setFocus();
  QTest::keyClick(dialog.check, Qt::Key_F1);  // over any control: the dialog's topic
  QTest::mouseClick(dialog.helpButton, Qt::LeftButton);
  dialog.OnCommand(kIdHelpCurrentTool);
  const QString page =
      QStringLiteral("html/") + g_helpTopics[kTopic].GetName() + QStringLiteral(".htm");
  EXPECT_EQ(HelpPagesShown(), std::vector<QString>(3, page));
}

TEST_F(DialogPlusTest, GuardedOperationsWorkOnKnownControls) {
  CTestDialog dialog;
  dialog.show();
  dialog.EnableControl(kIdEdit, 0);
  EXPECT_FALSE(dialog.edit->isEnabled());
  dialog.SetControlText(kIdEdit, QStringLiteral("text"));
  EXPECT_EQ(dialog.edit->text(), QStringLiteral("text"));
  dialog.ShowControl(kIdCheck, 0);
  EXPECT_FALSE(dialog.check->isVisible());
  dialog.ShowControl(kIdCheck, 5);
  EXPECT_TRUE(dialog.check->isVisible());
  EXPECT_EQ(dialog.GetButtonCheck(kIdCheck), 0);
  dialog.check->setTristate(true);
  dialog.check->setCheckState(Qt::PartiallyChecked);
  EXPECT_EQ(dialog.GetButtonCheck(kIdCheck), 2);
  dialog.check->setCheckState(Qt::Checked);
  EXPECT_EQ(dialog.GetButtonCheck(kIdCheck), 1);
}

TEST_F(DialogPlusTest, UnknownControlIdsAreReportedNotFollowed) {
  struct Case {
    std::function<void(CTestDialog&)> call;
    int glitch;
  };
  const Case cases[] = {
      {[](CTestDialog& d) { d.EnableControl(kIdMissing, 1); }, 20010},
      {[](CTestDialog& d) { EXPECT_EQ(d.GetButtonCheck(kIdMissing), -1); }, 20011},
      {[](CTestDialog& d) { d.SetControlText(kIdMissing, QStringLiteral("x")); }, 20014},
      {[](CTestDialog& d) { d.ShowControl(kIdMissing, 1); }, 20015},
  };
  for (const Case& c : cases) {
    ResetLogState();
    CTestDialog dialog;
    c.call(dialog);
    ExpectGlitch(c.glitch, 1);
    EXPECT_EQ(g_firstGlitchValueCount, 1);
    EXPECT_EQ(g_firstGlitchValues[0], kIdMissing);
  }
}

}  // namespace
}  // namespace zeph::testing
