// The values bar's field table against the field ids the items publish: one row for each id
// named in items/valuefields.h, with the labels written beside the id, and rows whose lines
// give their editors and appliers everything they read.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <iterator>
#include <set>

#include "editor/valuesbar_fieldtable.h"
#include "items/valuefields.h"

namespace zeph::testing {
namespace {

struct NamedField {
  QString name;
  int id;
  QStringList labels;  // the quoted texts of the comment beside it
};

std::vector<NamedField> ReadFieldHeader() {
  QFile file(QStringLiteral(ZEPH_SOURCE_DIR "/items/valuefields.h"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(file.readAll());
  static const QRegularExpression field(
      QStringLiteral(R"(constexpr std::int32_t (kField\w+)\s*=\s*(\d+);[ \t]*//([^\n]*))"));
  static const QRegularExpression quoted(QStringLiteral(R"("([^"]*)\")"));
  std::vector<NamedField> fields;
  for (auto m = field.globalMatch(text); m.hasNext();) {
    const auto match = m.next();
    NamedField named{match.captured(1), match.captured(2).toInt(), {}};
    for (auto q = quoted.globalMatch(match.captured(3)); q.hasNext();) {
      named.labels << q.next().captured(1);
    }
    fields.push_back(named);
  }
  return fields;
}

QString Text(const char16_t* text) {
  return text != nullptr ? QString::fromUtf16(text) : QString();
}

TEST(ValuesBarFieldTable, OneRowPerNamedFieldWithItsLabels) {
  const std::vector<NamedField> fields = ReadFieldHeader();
  ASSERT_EQ(static_cast<int>(fields.size()), kValueFieldIdCount);
  std::set<int> ids;
  for (const NamedField& field : fields) {
    SCOPED_TRACE(field.name.toStdString());
    EXPECT_TRUE(ids.insert(field.id).second) << "id named twice";
    const ValueFieldRow* row = GetValueFieldRow(field.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->id, field.id);
    EXPECT_EQ(&row->info, GetValueFieldInfo(field.id));
    ASSERT_GE(field.labels.size(), 1);
    EXPECT_EQ(Text(row->info.label1), field.labels[0]);
    EXPECT_EQ(Text(row->info.label2), field.labels.size() > 1 ? field.labels[1] : QString());
  }
  EXPECT_EQ(*ids.begin(), 0);
  EXPECT_EQ(*ids.rbegin(), kValueFieldIdCount - 1);
  EXPECT_EQ(GetValueFieldRow(-1), nullptr);
  EXPECT_EQ(GetValueFieldRow(kValueFieldIdCount), nullptr);
  EXPECT_EQ(GetValueFieldLine(kValueFieldIdCount + kSecondLine), nullptr);
}

// Every line carries what its editor and its applier read: an edit box a value, a unit, a
// reading, a refusal message and a store; a list its names; a toggle its value and store.
// Only a two-line field has a second line that shows or opens anything.
TEST(ValuesBarFieldTable, EveryLineIsComplete) {
  for (int id = 0; id < kValueFieldIdCount; ++id) {
    const ValueFieldRow& row = *GetValueFieldRow(id);
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(::testing::Message() << "field " << id << " line " << i);
      const ValueFieldLine& line = row.lines[i];
      EXPECT_EQ(GetValueFieldLine(id + i * kSecondLine), &line);
      if (i == 1 && row.info.label2 == nullptr) {
        EXPECT_EQ(line.show, FieldShow::kNothing);
        EXPECT_EQ(line.editor, FieldEditor::kNone);
      }
      switch (line.editor) {
        case FieldEditor::kEdit:
          EXPECT_NE(line.value, nullptr);
          EXPECT_NE(line.parse, FieldParse::kNone);
          EXPECT_NE(
              std::find(std::begin(kRefusalMessages), std::end(kRefusalMessages), line.message),
              std::end(kRefusalMessages));
          EXPECT_NE(line.store, nullptr);
          EXPECT_GE(line.unit, kValueUnitLength);
          EXPECT_LE(line.unit, kValueUnitPercent);
          if (line.parse == FieldParse::kWhole) {
            EXPECT_LT(line.low, line.high);
          }
          if (line.after == FieldAfter::kArcAngleCheck || line.after == FieldAfter::kFocusDrawing) {
            EXPECT_NE(line.setItem, nullptr);
          }
          // An item's value always counts; only a tool's parameter can be left unset.
          if (line.setItem != nullptr) {
            EXPECT_EQ(line.set, nullptr);
          }
          break;
        case FieldEditor::kList:
          EXPECT_NE(line.value, nullptr);
          EXPECT_NE(line.names, nullptr);
          EXPECT_NE(line.store, nullptr);
          EXPECT_GT(line.choiceCount, 0);
          EXPECT_LE(line.choiceCount, line.nameCount);
          break;
        case FieldEditor::kToggle:
        case FieldEditor::kObjectChooser:
        case FieldEditor::kObjectName:
          EXPECT_NE(line.value, nullptr);
          if (line.editor == FieldEditor::kToggle) {
            EXPECT_NE(line.store, nullptr);
          }
          break;
        case FieldEditor::kFont:
          EXPECT_NE(line.font, nullptr);
          break;
        default:
          EXPECT_EQ(line.parse, FieldParse::kNone);
          EXPECT_EQ(line.setItem, nullptr);
          break;
      }
      if (line.show == FieldShow::kList) {
        EXPECT_NE(line.names, nullptr);
      }
      if (line.set != nullptr) {
        EXPECT_TRUE(line.show == FieldShow::kSetLength || line.show == FieldShow::kSetAngle ||
                    line.show == FieldShow::kLineAngle || line.show == FieldShow::kSetNumber);
      }
    }
  }
}

}  // namespace
}  // namespace zeph::testing
