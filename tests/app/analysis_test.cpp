// The object analysis: what the words say each object consists of, as a table of drawings,
// and the dialog's table of the objects.
#include "app/analysis.h"
#include "controls/table.h"
#include "dialogs_fixture.h"

namespace zeph::testing {
namespace {

using AnalysisTest = DialogTest;

// A group of sides equal lines 10000 long (all the analysis compares), in object 1.
void AddPolygon(std::vector<DrawItemPtr>& items, int sides, int group, int offset = 0) {
  for (int i = 0; i < sides; ++i) {
    items.push_back(MakeDialogLine(offset, i * 100, offset + 10000, i * 100, 1, group));
  }
}

DrawItemPtr MakeCircle(int object) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetObjectNumber(static_cast<std::int16_t>(object));
  return circle;
}

TEST_F(AnalysisTest, DescriptionsOfObjects) {
  struct Case {
    const char* name;
    std::function<void(std::vector<DrawItemPtr>&)> make;
    const char* words;
  };
  const Case cases[] = {
      {"four equal grouped lines", [](auto& v) { AddPolygon(v, 4, 7); }, "1 square"},
      {"a rectangle",
       [](auto& v) {
         v.push_back(MakeDialogLine(0, 0, 4000, 0, 1, 3));
         v.push_back(MakeDialogLine(4000, 0, 4000, 2000, 1, 3));
         v.push_back(MakeDialogLine(4000, 2000, 0, 2000, 1, 3));
         v.push_back(MakeDialogLine(0, 2000, 0, 0, 1, 3));
       },
       "1 rectangle"},
      {"a triangle", [](auto& v) { AddPolygon(v, 3, 2); }, "1 triangle"},
      {"nine sides", [](auto& v) { AddPolygon(v, 9, 2); }, "1 9-sided polygon"},
      {"two pentagons",
       [](auto& v) {
         AddPolygon(v, 5, 2);
         AddPolygon(v, 5, 4, 50000);
       },
       "2 pentagons"},
      {"loose lines and a circle",
       [](auto& v) {
         for (int i = 0; i < 3; ++i) v.push_back(MakeDialogLine(0, i * 100, 1000, i * 100, 1));
         v.push_back(MakeCircle(1));
       },
       "3 lines, 1 circle"},
      {"sides 1 micrometre apart are still equal",
       [](auto& v) {
         v.push_back(MakeDialogLine(0, 0, 1000, 0, 1, 5));
         v.push_back(MakeDialogLine(0, 10, 1001, 10, 1, 5));
         v.push_back(MakeDialogLine(0, 20, 1000, 20, 1, 5));
       },
       "1 triangle"},
      {"sides 2 micrometres apart are not",
       [](auto& v) {
         v.push_back(MakeDialogLine(0, 0, 1000, 0, 1, 5));
         v.push_back(MakeDialogLine(0, 10, 1002, 10, 1, 5));
         v.push_back(MakeDialogLine(0, 20, 1000, 20, 1, 5));
       },
       ""},
      {"an eleventh kind is dropped",
       [](auto& v) {
         for (int kind = 0; kind < 11; ++kind) AddPolygon(v, 3 + kind, 10 + kind, kind * 30000);
       },
       "1 triangle, 1 square, 1 pentagon, 1 hexagon, 1 heptagon, 1 octagon, 1 9-sided polygon, "
       "1 decagon, 1 11-sided polygon, 1 dodecagon"},
      {"a square and a rectangle",
       [](auto& v) {
         AddPolygon(v, 4, 1);
         v.push_back(MakeDialogLine(0, 0, 4000, 0, 1, 3));
         v.push_back(MakeDialogLine(4000, 0, 4000, 2000, 1, 3));
         v.push_back(MakeDialogLine(4000, 2000, 0, 2000, 1, 3));
         v.push_back(MakeDialogLine(0, 2000, 0, 0, 1, 3));
       },
       "1 square, 1 rectangle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<DrawItemPtr> items;
    c.make(items);
    CElementStatistics statistics;
    for (const DrawItemPtr& item : items) statistics.AddItem(item.get());
    EXPECT_EQ(statistics.Describe(), QString::fromUtf8(c.words));
  }
}

TEST_F(AnalysisTest, TheDialogDescribesEachObjectOnItsRow) {
  CZephDoc doc;
  std::vector<DrawItemPtr> items;
  AddPolygon(items, 4, 7);  // object 1
  items.push_back(MakeDialogLine(0, 0, 1000, 0, 2));
  items.push_back(MakeDialogLine(0, 0, 2000, 0, 2));
  for (DrawItemPtr& item : items) ASSERT_EQ(doc.AddItem(item), 1);
  ASSERT_EQ(doc.SetObjectName(2, QStringLiteral("Fence")), 1);
  CAnalyseElementsDialog dialog;
  dialog.m_document = &doc;
  Run(dialog, [&](QDialog& d) {
    CTableWnd* table = static_cast<CAnalyseElementsDialog&>(d).GetTable();
    ASSERT_EQ(table->GetRowCount(), 2);
    QStringList rows;
    for (int row = 0; row < 2; ++row) {
      rows << table->GetCellText(row, 0) + u'|' + table->GetCellText(row, 1) + u'|' +
                  table->GetCellText(row, 2);
    }
    rows.sort();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1||1 square"),
                                 QStringLiteral("2|Fence|2 lines")}));
    Shoot(d, QStringLiteral("dialog_object_analysis.png"));
    Ok(d);
  });

  // A drawing without objects shows an empty table.
  CZephDoc empty;
  CAnalyseElementsDialog none;
  none.m_document = &empty;
  Run(none, [&](QDialog& d) {
    EXPECT_EQ(static_cast<CAnalyseElementsDialog&>(d).GetTable()->GetRowCount(), 0);
    Ok(d);
  });
}

}  // namespace
}  // namespace zeph::testing
