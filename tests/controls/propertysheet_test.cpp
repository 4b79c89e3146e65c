// Property sheets: tab captions from the string table, pages built as the sheet opens and
// scaled when first shown, help to the active page, checks on leaving a page and on OK, and
// the spin steps on the tenths grid.
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "controls/propertysheet.h"
#include "controls_fixture.h"
#include "support/sysinfo.h"

namespace zeph::testing {
namespace {

constexpr int kIdsGeneral = 701;
constexpr int kIdsMargins = 702;
constexpr int kIdEdit = 1152;
constexpr int kIdSpin = 1570;
constexpr std::int32_t kSpinIds[] = {kIdSpin};
constexpr std::int32_t kEditIds[] = {kIdEdit};

class CGeneralPage : public CPropertyPagePlus {
 public:
  CGeneralPage() : CPropertyPagePlus(710, kIdsGeneral) {}
  int GetHelpTopic() const override { return 48; }
  bool OnInitDialog() override {
    auto* layout = new QFormLayout(this);
    name = new QLineEdit(this);
    layout->addRow(QStringLiteral("Name:"), name);
    layout->addRow(new QLabel(QStringLiteral("The name shown on printed pages."), this));
    ++builds;
    return CPropertyPagePlus::OnInitDialog();
  }
  QLineEdit* name = nullptr;
  int builds = 0;
};

class CMarginsPage : public CPropertyPageSpin {
 public:
  CMarginsPage() : CPropertyPageSpin(713, kIdsMargins) {}
  int GetHelpTopic() const override { return 49; }
  bool OnInitDialog() override {
    auto* layout = new QFormLayout(this);
    auto* row = new QHBoxLayout;
    edit = new QLineEdit(this);
    SetControlId(edit, kIdEdit);
    spin = new CUpDownButton(this);
    ConnectSpin(spin, kIdSpin);
    row->addWidget(edit);
    row->addWidget(spin);
    layout->addRow(QStringLiteral("Left margin (mm):"), row);
    CreateBackgroundBrush(static_cast<ColourRef>(-1));
    ++builds;
    return CPropertyPageSpin::OnInitDialog();
  }
  void DoDataExchange(CDataExchange& dx) override {
    DDX_Number(dx, kIdEdit, margin);
    DDV_NotNegative(dx, margin);
  }
  int GetSpinEditPairs(const std::int32_t** upDowns, const std::int32_t** edits) override {
    *upDowns = kSpinIds;
    *edits = kEditIds;
    return 1;
  }
  int GetMaximum(int, double& out) override {
    out = maximum;
    return maximum >= 0 ? 1 : 0;
  }
  int GetMinimum(int, double& out) override {
    out = minimum;
    return minimum >= 0 ? 1 : 0;
  }
  QLineEdit* edit = nullptr;
  CUpDownButton* spin = nullptr;
  double margin = 10;
  double maximum = -1;
  double minimum = -1;
  int builds = 0;
  int oks = 0;
  void OnOK() override { ++oks; }
};

class PropertySheetTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    TestStrings()[kIdsGeneral] = QStringLiteral("General");
    TestStrings()[kIdsMargins] = QStringLiteral("Margins");
    m_sheet = std::make_unique<CPropertySheetPlus>(QStringLiteral("Options"), nullptr, 0);
    m_general = new CGeneralPage;
    m_margins = new CMarginsPage;
    m_sheet->AddPage(m_general);
    m_sheet->AddPage(m_margins);
    // A modal run returns at once: the tests play the user on the shown sheet.
    SetDialogRunner(&m_runner);
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    m_sheet.reset();
    ControlsTest::TearDown();
  }
  // Switches page as a click on its tab does; the sheet fits the page once Qt runs the
  // queued call.
  void ClickTab(int index) {
    QTabBar* bar = m_sheet->GetTabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    QCoreApplication::processEvents();
  }

  CScriptedDialogRunner m_runner{[](QDialog&) {}};
  std::unique_ptr<CPropertySheetPlus> m_sheet;
  CGeneralPage* m_general;
  CMarginsPage* m_margins;
};

// The spin steps: the typed value moves onto the tenths grid first, then one step; limits
// hold only after a step.
TEST_F(PropertySheetTest, SpinStepsOnTheTenthsGrid) {
  struct Case {
    QString typed;
    int delta;
    double minimum;
    double maximum;
    QString result;
  };
  const Case cases[] = {
      {QStringLiteral("2.34"), -1, -1, -1, QStringLiteral("2.4")},
      {QStringLiteral("2.36"), -1, -1, -1, QStringLiteral("2.4")},
      {QStringLiteral("2.36"), 1, -1, -1, QStringLiteral("2.3")},
      {QStringLiteral("2.3"), 1, -1, -1, QStringLiteral("2.2")},
      {QStringLiteral("0.05"), 1, -1, -1, QStringLiteral("0")},
      {QStringLiteral("0.05"), 1, 0.1, -1, QStringLiteral("0.1")},
      {QStringLiteral("0"), 1, 0, -1, QStringLiteral("0")},
      {QStringLiteral("5"), -1, -1, 5, QStringLiteral("5")},
      {QStringLiteral("4.96"), -1, -1, 4.5, QStringLiteral("5")},  // rounding went up: no limit
      {QStringLiteral("7"), 0, -1, -1, QStringLiteral("7")},
      {QStringLiteral("abc"), -1, -1, -1, QStringLiteral("abc")},
      {QStringLiteral(""), -1, -1, -1, QStringLiteral("")},
  };
  ASSERT_EQ(m_sheet->DoModal(), 0);  // nothing ended the sheet
  m_sheet->show();
  ClickTab(1);
  ASSERT_NE(m_margins->edit, nullptr);
  for (const Case& c : cases) {
    m_margins->minimum = c.minimum;
    m_margins->maximum = c.maximum;
    m_margins->edit->setText(c.typed);
    EXPECT_EQ(m_margins->OnSpinDeltaPos(kIdSpin, c.delta), 0);
    EXPECT_EQ(m_margins->edit->text(), c.result) << c.typed.toStdString() << " " << c.delta;
  }
  // The up-down control's arrows step the same way; another id changes nothing.
  m_margins->minimum = m_margins->maximum = -1;
  m_margins->edit->setText(QStringLiteral("1"));
  m_margins->spin->show();
  QTest::mouseClick(m_margins->spin->UpButton(), Qt::LeftButton);
  EXPECT_EQ(m_margins->edit->text(), QStringLiteral("1.1"));
  m_margins->OnSpinDeltaPos(kIdSpin + 1, -1);
  EXPECT_EQ(m_margins->edit->text(), QStringLiteral("1.1"));
}

// Every page is built once as the sheet opens, so that the sheet fits its largest page; the
// dialog font is applied to a page when it is first shown.
TEST_F(PropertySheetTest, PagesAreBuiltOnceAndScaledWhenFirstShown) {
  g_osClass = 2;  // as detected at start-up on this system
  m_sheet->DoModal();
  EXPECT_EQ(m_sheet->GetTabControl()->tabText(0), QStringLiteral("General"));
  EXPECT_EQ(m_sheet->GetTabControl()->tabText(1), QStringLiteral("Margins"));
  EXPECT_EQ(m_general->builds, 1);
  EXPECT_EQ(m_margins->builds, 1);
  EXPECT_TRUE(m_sheet->IsPageScaled(0));
  EXPECT_FALSE(m_sheet->IsPageScaled(1));
  m_sheet->show();
  ClickTab(1);
  ClickTab(0);
  ClickTab(1);
  EXPECT_EQ(m_margins->builds, 1);
  EXPECT_TRUE(m_sheet->IsPageScaled(1));
  EXPECT_EQ(m_margins->edit->text(), QStringLiteral("10"));
  // The page's own background on this system class: colour-table entry 38.
  EXPECT_EQ(m_margins->HasBackgroundBrush(), 1);
  EXPECT_EQ(m_margins->GetBackgroundBrush(), UiColour(38));
  ResetSystemInfo();
  // Older system classes keep Qt's own page colours.
  CMarginsPage old;
  old.CreateBackgroundBrush(static_cast<ColourRef>(-1));
  EXPECT_EQ(old.HasBackgroundBrush(), 0);
}

TEST_F(PropertySheetTest, HelpGoesToTheActivePage) {
  m_sheet->DoModal();
  m_sheet->show();
  m_sheet->OnHelpInfo();
  ClickTab(1);
  QTest::keyClick(m_margins->edit, Qt::Key_F1);
  const auto page = [](int topic) {
    return QStringLiteral("html/") + g_helpTopics[topic].GetName() + QStringLiteral(".htm");
  };
  EXPECT_EQ(HelpPagesShown(), (std::vector<QString>{page(48), page(49)}));
}

// A page with a bad entry keeps the focus on leaving and refuses OK; OK tells every built
// page once they all pass.
TEST_F(PropertySheetTest, BadEntriesKeepTheirPageAndStopOk) {
  m_sheet->DoModal();
  m_sheet->show();
  ClickTab(1);
  m_margins->edit->setText(QStringLiteral("-2"));
  ClickTab(0);
  EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_presenter.shown()[0].text, QStringLiteral("Please type a positive number."));
  m_sheet->accept();
  EXPECT_EQ(m_sheet->result(), 0);
  EXPECT_EQ(m_margins->oks, 0);
  m_margins->edit->setText(QStringLiteral("12.5"));
  m_sheet->accept();
  EXPECT_EQ(m_sheet->result(), kIdOk);
  EXPECT_EQ(m_margins->margin, 12.5);
  EXPECT_EQ(m_margins->oks, 1);
}

TEST_F(PropertySheetTest, ScreenshotOfASheetWithTwoPages) {
  m_sheet->DoModal();
  m_sheet->resize(420, 260);
  m_sheet->show();
  ClickTab(1);
  m_margins->edit->setText(QStringLiteral("12.5"));
  QCoreApplication::processEvents();
  const QImage second = m_sheet->grab().toImage();
  ClickTab(0);
  m_general->name->setText(QStringLiteral("Class 7B"));
  QCoreApplication::processEvents();
  const QImage first = m_sheet->grab().toImage();
  QImage both(first.width() + second.width() + 10, std::max(first.height(), second.height()),
              QImage::Format_RGB32);
  both.fill(Qt::white);
  QPainter painter(&both);
  painter.drawImage(0, 0, first);
  painter.drawImage(first.width() + 10, 0, second);
  painter.end();
  EXPECT_TRUE(both.save(RenderPath(QStringLiteral("property_sheet.png"))));
}

}  // namespace
}  // namespace zeph::testing
