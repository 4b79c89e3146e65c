// The table, measured with fixed metrics: a line is 22 pixels high and most characters 8 wide;
// the header is 30 high and the rows begin at y 34.
#include <QSignalSpy>
#include <QTest>

#include "controls/dialogplus.h"
#include "controls/table.h"
#include "controls/textmetrics.h"
#include "controls_fixture.h"
#include "platform/recordingcontext.h"

namespace zeph::testing {
namespace {

const DcFont kFont{QStringLiteral("Arial"), 16};
constexpr int kIdTable = 1200;

class TableTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    SetControlTextMetrics(&m_metrics);
  }
  void TearDown() override {
    SetControlTextMetrics(nullptr);
    ControlsTest::TearDown();
  }

  // A shown table; height 258 leaves ten lines to a page below the header.
  std::unique_ptr<CTableList> MakeTable(int columns, int width = 200, int height = 258) {
    auto table = std::make_unique<CTableList>(m_host.get());
    SetControlId(table.get(), kIdTable);
    table->SetFont(&kFont, false);
    table->SetSize(columns, 0);
    table->setGeometry(0, 0, width, height);
    ShowHost();
    table->show();
    return table;
  }

  static void AddRows(CTableWnd& table, const QStringList& keys) {
    for (const QString& key : keys) {
      table.AddRow();
      table.SetCellText(0, key);
    }
  }

  static QStringList Order(const CTableWnd& table, int column = 0) {
    QStringList out;
    for (int pos = 0; pos < table.GetRowCount(); ++pos) {
      out << table.GetCellText(table.GetDisplayedRow(pos), column);
    }
    return out;
  }

  static QStringList PaintedTexts(CTableWnd& table) {
    CRecordingContext dc(table.width(), table.height());
    table.OnPaint(dc);
    QStringList out;
    for (const DcCall& call : dc.calls()) {
      if (call.op == DcOp::kTextOutClipped) out << call.text;
    }
    return out;
  }

  static void Click(QWidget* w, QPoint p) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
  }

  CFixedTextMetrics m_metrics;
};

TEST_F(TableTest, RowCapacityStartsAtTenAndDoubles) {
  CTableList table;
  ASSERT_EQ(table.SetSize(2, 3), 1);
  EXPECT_EQ(table.GetRowCapacity(), 10);
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(table.AddRow(), i);
    table.SetCellText(1, QStringLiteral("r%1").arg(i));
  }
  EXPECT_EQ(table.GetRowCapacity(), 10);
  EXPECT_EQ(table.AddRow(), 10);
  EXPECT_EQ(table.GetRowCapacity(), 20);
  EXPECT_EQ(table.GetCellText(9, 1), QStringLiteral("r9"));  // kept across the growth
  EXPECT_EQ(table.GetTotalLines(), 11);

  // A larger size makes the arrays again; the same column count and a smaller size reuse them.
  ASSERT_EQ(table.SetSize(2, 40), 1);
  EXPECT_EQ(table.GetRowCapacity(), 40);
  EXPECT_EQ(table.GetRowCount(), 0);
  ASSERT_EQ(table.SetSize(2, 5), 1);
  EXPECT_EQ(table.GetRowCapacity(), 40);
  EXPECT_EQ(table.AddRow(), 0);
  EXPECT_EQ(table.GetCellText(0, 1), QString());
}

TEST_F(TableTest, RowsAddedBeforeTheTableIsSizedAreAGlitchButWork) {
  CTableList table;
  EXPECT_EQ(table.AddRow(), 0);
  ExpectGlitch(20054, 1);
  EXPECT_EQ(table.GetColumnCount(), 1);
  EXPECT_EQ(table.GetRowCapacity(), 20);
}

TEST_F(TableTest, ZeroWeightsDrawNoCellsAndNoTitles) {
  auto table = MakeTable(2);
  table->SetColumn(0, QStringLiteral("Name"), 0, 0, 0);
  table->SetColumn(1, QStringLiteral("Size"), 0, 0, 0);
  AddRows(*table, {QStringLiteral("a"), QStringLiteral("b")});
  EXPECT_TRUE(PaintedTexts(*table).isEmpty());
  EXPECT_EQ(table->GetColumnWidth(0), 0);

  table->SetColumn(0, QStringLiteral("Name"), 1, 0, 0);
  table->SetColumn(1, QStringLiteral("Size"), 3, 0, 2);
  EXPECT_EQ(PaintedTexts(*table), (QStringList{QStringLiteral("Name"), QStringLiteral("Size"),
                                               QStringLiteral("a"), QStringLiteral("b")}));
  EXPECT_EQ(table->GetColumnWidth(0), 45);  // (200 - 20) / 4
  EXPECT_EQ(table->GetColumnWidth(1), 135);
}

TEST_F(TableTest, WrappingColumnsBreakAtBlanksOrCutLongWords) {
  auto table = MakeTable(2);  // each column 90 wide
  table->SetColumn(0, QStringLiteral("Text"), 1, 1, 0);
  table->SetColumn(1, QStringLiteral("Kind"), 1, 0, 0);
  AddRows(*table, {QStringLiteral("abc def ghi jkl"), QStringLiteral("abcdefghabcdefgh"),
                   QStringLiteral("x\u007fy"), QStringLiteral("short")});
  table->SetCellText(1, QStringLiteral("last"));
  EXPECT_EQ(table->GetRowLineCount(0), 2);
  EXPECT_EQ(table->GetRowLineCount(1), 2);
  EXPECT_EQ(table->GetRowLineCount(2), 2);
  EXPECT_EQ(table->GetRowLineCount(3), 1);
  EXPECT_EQ(table->GetTotalLines(), 7);
  EXPECT_EQ(table->GetCellText(0, 0), QStringLiteral("abc def ghi jkl"));
  EXPECT_EQ(
      PaintedTexts(*table),
      (QStringList{QStringLiteral("Text"), QStringLiteral("Kind"), QStringLiteral("abc def ghi"),
                   QStringLiteral("jkl"), QStringLiteral("abcdefghabc"), QStringLiteral("defgh"),
                   QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("short"),
                   QStringLiteral("last")}));

  // A wider table wraps again from the original texts; a cell holding the character 255
  // keeps it.
  table->resize(400, 258);
  QApplication::processEvents();
  EXPECT_EQ(table->GetRowLineCount(0), 1);
  EXPECT_EQ(table->GetTotalLines(), 5);
  table->AddRow();
  table->SetCellText(0, QStringLiteral("caf\u00ff caf\u00ff caf\u00ff caf\u00ff caf\u00ff"));
  table->resize(200, 258);
  QApplication::processEvents();
  EXPECT_EQ(table->GetCellText(4, 0),
            QStringLiteral("caf\u00ff caf\u00ff caf\u00ff caf\u00ff caf\u00ff"));
  EXPECT_EQ(table->GetRowLineCount(4), 3);
}

TEST_F(TableTest, RowsTakeTheirPlaceByTheKeyColumn) {
  struct Case {
    int descending;
    QStringList added;
    QStringList shown;
  };
  const QString marker = QString(QChar(kTableMarker));
  const Case cases[] = {
      {0, {"b", "A", "c"}, {"A", "b", "c"}},
      {1, {"b", "A", "c"}, {"c", "b", "A"}},
      {0, {"pear", "Apple", "apple", "fig"}, {"Apple", "apple", "fig", "pear"}},
  };
  for (const Case& c : cases) {
    CTableList table;
    table.SetSize(2, 0);
    table.SetSortKey(0, 0, c.descending);
    AddRows(table, c.added);
    EXPECT_EQ(Order(table), c.shown) << c.added.join(u',').toStdString();
  }

  // A row whose key is the marker stays below the row filled before it, with its own cells.
  CTableList table;
  table.SetSize(2, 0);
  table.SetSortKey(0, 0, 0);
  AddRows(table, {QStringLiteral("m"), QStringLiteral("c")});
  table.SetCellText(1, QStringLiteral("c's"));
  table.AddRow();
  table.SetCellText(0, marker);
  table.SetCellText(1, QStringLiteral("more of c"));
  AddRows(table, {QStringLiteral("a")});
  EXPECT_EQ(Order(table), (QStringList{"a", "c", marker, "m"}));
  EXPECT_EQ(Order(table, 1), (QStringList{"", "c's", "more of c", ""}));

  // Setting the key again for a row that already moved changes only that row.
  table.SetCellText(0, QStringLiteral("A"));
  EXPECT_EQ(Order(table), (QStringList{"A", "c", marker, "m"}));
}

TEST_F(TableTest, TypeAheadFindsRowsByTheirFirstColumn) {
  auto table = MakeTable(1);
  table->SetColumn(0, QStringLiteral("Colour"), 1, 0, 0);
  AddRows(*table, {QStringLiteral("Blue"), QStringLiteral("Brown"), QStringLiteral("Black")});
  QSignalSpy spy(table.get(), &CTableWnd::selectionChanged);
  QTest::keyClicks(table.get(), QStringLiteral("b"));
  EXPECT_EQ(table->GetSelectedRow(), 0);
  QTest::keyClicks(table.get(), QStringLiteral("b"));
  EXPECT_EQ(table->GetSelectedRow(), 1);  // the repeated letter steps on
  EXPECT_EQ(table->GetTypeAhead(), QStringLiteral("b"));
  QTest::keyClicks(table.get(), QStringLiteral("b"));
  EXPECT_EQ(table->GetSelectedRow(), 2);
  QTest::keyClicks(table.get(), QStringLiteral("b"));
  EXPECT_EQ(table->GetSelectedRow(), 0);  // round again
  ASSERT_EQ(spy.count(), 4);
  EXPECT_EQ(spy.at(0).at(0).toInt(), kIdTable);
  EXPECT_EQ(spy.at(0).at(1).toInt(), 1);

  QTest::keyClick(table.get(), Qt::Key_Home);  // clears the typed text
  EXPECT_TRUE(table->GetTypeAhead().isEmpty());
  QTest::keyClicks(table.get(), QStringLiteral("br"));
  EXPECT_EQ(table->GetSelectedRow(), 1);
  EXPECT_EQ(table->GetTypeAhead(), QStringLiteral("br"));
  QTest::keyClick(table.get(), Qt::Key_Backspace);
  EXPECT_EQ(table->GetTypeAhead(), QStringLiteral("b"));
  const int before = spy.count();
  QTest::keyClicks(table.get(), QStringLiteral("z"));  // nothing starts so
  EXPECT_EQ(table->GetSelectedRow(), 1);
  EXPECT_EQ(spy.count(), before);
}

TEST_F(TableTest, KeysMoveTheSelectionByRowsAndPages) {
  auto table = MakeTable(1);
  table->SetColumn(0, QStringLiteral("Row"), 1, 0, 0);
  QStringList keys;
  for (int i = 0; i < 25; ++i) keys << QStringLiteral("row %1").arg(i, 2, 10, QChar(u'0'));
  AddRows(*table, keys);
  ASSERT_EQ(table->GetLinesPerPage(), 10);
  QSignalSpy spy(table.get(), &CTableWnd::selectionChanged);
  QTest::keyClick(table.get(), Qt::Key_PageDown);
  EXPECT_EQ(table->GetSelectedRow(), 9);  // no selection: the last row of the first page
  EXPECT_EQ(table->GetFirstVisibleLine(), 0);
  QTest::keyClick(table.get(), Qt::Key_PageDown);
  EXPECT_EQ(table->GetSelectedRow(), 18);
  EXPECT_EQ(table->GetFirstVisibleLine(), 9);  // the row comes into view at the bottom
  QTest::keyClick(table.get(), Qt::Key_End);
  EXPECT_EQ(table->GetSelectedRow(), 24);
  EXPECT_EQ(table->GetFirstVisibleLine(), 15);
  QTest::keyClick(table.get(), Qt::Key_Down);  // at the end: nothing changes, nothing sent
  EXPECT_EQ(spy.count(), 3);
  EXPECT_EQ(spy.at(0).at(1).toInt(), 0);
  QTest::keyClick(table.get(), Qt::Key_PageUp);
  EXPECT_EQ(table->GetSelectedRow(), 15);
  // Selecting a row above the first visible line scrolls up to it.
  table->SelectRow(3);
  EXPECT_EQ(table->GetFirstVisibleLine(), 3);
  QTest::keyClick(table.get(), Qt::Key_Home);
  EXPECT_EQ(table->GetSelectedRow(), 0);
  EXPECT_EQ(table->GetFirstVisibleLine(), 0);
}

TEST_F(TableTest, ClicksSelectRowsAndTheHeaderSelectsNone) {
  auto table = MakeTable(1);
  table->SetColumn(0, QStringLiteral("Name"), 1, 0, 0);
  AddRows(*table, {QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")});
  QSignalSpy changed(table.get(), &CTableWnd::selectionChanged);
  QSignalSpy doubled(table.get(), &CTableWnd::itemDoubleClicked);
  Click(table.get(), QPoint(50, 34 + 22 + 5));  // the second row
  EXPECT_EQ(table->GetSelectedRow(), 1);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(GetCapture(), nullptr);

  Click(table.get(), QPoint(50, 10));  // the header
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(table->GetSelectedRow(), -1);
  EXPECT_EQ(Order(*table), (QStringList{"b", "a", "c"}));

  Click(table.get(), QPoint(50, 34 + 3 * 22 + 5));  // below the rows
  EXPECT_EQ(table->GetSelectedRow(), -1);

  QTest::mouseDClick(table.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
  EXPECT_EQ(doubled.count(), 1);
  EXPECT_EQ(doubled.at(0).at(0).toInt(), kIdTable);
  EXPECT_EQ(table->GetSelectedRow(), 0);
}

TEST_F(TableTest, ScrollOnlyTablesScrollAndNeverSelect) {
  auto table = MakeTable(1);
  table->SetColumn(0, QStringLiteral("Line"), 1, 0, 0);
  table->SetScrollOnly(1);
  QStringList keys;
  for (int i = 0; i < 25; ++i) keys << QStringLiteral("line %1").arg(i);
  AddRows(*table, keys);
  EXPECT_EQ(table->GetScrollMax(), 15);
  EXPECT_TRUE(table->IsScrollBarShown());
  QTest::keyClick(table.get(), Qt::Key_Down);
  EXPECT_EQ(table->GetFirstVisibleLine(), 1);
  QTest::keyClick(table.get(), Qt::Key_PageDown);
  EXPECT_EQ(table->GetFirstVisibleLine(), 10);
  QTest::keyClick(table.get(), Qt::Key_End);
  EXPECT_EQ(table->GetFirstVisibleLine(), 15);
  QTest::keyClick(table.get(), Qt::Key_Down);
  EXPECT_EQ(table->GetFirstVisibleLine(), 15);
  Click(table.get(), QPoint(50, 60));
  EXPECT_EQ(table->GetSelectedRow(), -1);
  table->SelectRow(2);
  EXPECT_EQ(table->GetSelectedRow(), -1);
  const QStringList shown = PaintedTexts(*table);
  EXPECT_EQ(shown.value(1), QStringLiteral("line 15"));  // after the title
}

TEST_F(TableTest, ScrollRangeFollowsTheHeaderAndTheRows) {
  auto table = MakeTable(1, 200, 108);  // 108 - 8 - 30: three lines
  table->SetColumn(0, QStringLiteral("Line"), 1, 0, 0);
  AddRows(*table, {"a", "b", "c"});
  EXPECT_EQ(table->GetScrollMax(), 0);
  EXPECT_FALSE(table->IsScrollBarShown());
  AddRows(*table, {"d"});
  EXPECT_EQ(table->GetScrollMax(), 1);
  EXPECT_TRUE(table->IsScrollBarShown());
  table->HideHeader();
  EXPECT_EQ(table->GetScrollMax(), 0);  // four lines fit without the header
  EXPECT_EQ(table->GetBodyTop(), 4);
  table->RemoveAllRows();
  EXPECT_EQ(table->GetTotalLines(), 0);
  EXPECT_EQ(table->GetSelectedRow(), -1);
}

TEST_F(TableTest, ScreenshotOfATable) {
  SetControlTextMetrics(nullptr);  // the real font, for a person to look at
  QWidget page;
  page.resize(420, 200);
  CTableList table(&page);
  table.setGeometry(10, 10, 400, 180);
  table.SetSize(3, 0);
  table.SetColumn(0, QStringLiteral("Object"), 3, 0, 0);
  table.SetColumn(1, QStringLiteral("Description"), 5, 1, 0);
  table.SetColumn(2, QStringLiteral("Items"), 2, 0, 2);
  table.SetSortKey(0, 0, 0);
  const char* rows[][3] = {
      {"Window", "A frame with four panes and a sill below", "14"},
      {"Door", "Front door", "6"},
      {"Roof", "Tiles drawn as a hatched fill between the gutter and the ridge line", "22"},
      {"Chimney", "Brick", "9"},
      {"Gate", "Picket gate", "11"},
  };
  for (const auto& row : rows) {
    table.AddRow();
    table.SetCellText(0, QString::fromLatin1(row[0]));
    table.SetCellText(1, QString::fromLatin1(row[1]));
    table.SetCellText(2, QString::fromLatin1(row[2]));
  }
  table.SetRowColour(table.GetDisplayedRow(4), MakeColour(200, 0, 0));
  page.show();
  QApplication::processEvents();
  table.SelectRow(1);
  table.UpdateWindow();
  EXPECT_TRUE(page.grab().save(RenderPath(QStringLiteral("table.png"))));
}

}  // namespace
}  // namespace zeph::testing
