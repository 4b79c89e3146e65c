#include "items/hatch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

#include "items/transform.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/textfile.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcCall;
using zeph::DcOp;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class HatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetFileStatus();
    ResetTextFileState();
    ResetPrinterState();
  }

  QString FilePath() const { return m_folder.filePath(QStringLiteral("hatch.txt")); }

  QTemporaryDir m_folder;
};

std::unique_ptr<CHatchLine> ParsedLine(const char* text) {
  auto line = std::make_unique<CHatchLine>();
  EXPECT_EQ(line->Parse(QString::fromLatin1(text)), 1) << text;
  return line;
}

// A family back in its text form, every number as the file writer formats it.
QString FamilyText(const CHatchLine& line) {
  auto number = [](double v) {
    QString text;
    FormatDouble(v, text, 21);
    return text;
  };
  QString text = number(line.GetAngle() * g_degreesPerRadian) + u',' + number(line.GetOriginX()) +
                 u',' + number(line.GetOriginY()) + u',' + number(line.GetSpacing()) + u',' +
                 number(line.GetStagger()) + u',' + QString::number(line.GetDashCount());
  for (int i = 0; i < line.GetDashCount(); ++i) text += u',' + number(line.GetDash(i));
  return text;
}

// Equal as far as the 15 significant digits of the file's number text reach.
void ExpectSameFamily(const CHatchLine& a, const CHatchLine& b) {
  auto near = [](double x, double y) { return std::fabs(x - y) <= 1e-12 * (1.0 + std::fabs(x)); };
  EXPECT_TRUE(near(a.GetAngle(), b.GetAngle())) << a.GetAngle() << ' ' << b.GetAngle();
  EXPECT_TRUE(near(a.GetOriginX(), b.GetOriginX()));
  EXPECT_TRUE(near(a.GetOriginY(), b.GetOriginY()));
  EXPECT_TRUE(near(a.GetSpacing(), b.GetSpacing()));
  EXPECT_TRUE(near(a.GetStagger(), b.GetStagger()));
  ASSERT_EQ(a.GetDashCount(), b.GetDashCount());
  for (int i = 0; i < a.GetDashCount(); ++i) {
    EXPECT_TRUE(near(a.GetDash(i), b.GetDash(i))) << "dash " << i;
  }
}

TEST_F(HatchTest, TableOrderNumbersAndNames) {
  EXPECT_EQ(FindHatchDefinition(1), 0);
  EXPECT_EQ(FindHatchDefinition(25), 24);
  EXPECT_EQ(FindHatchDefinition(26), 26);
  EXPECT_EQ(FindHatchDefinition(27), 25);
  EXPECT_EQ(FindHatchDefinition(0), -1);
  EXPECT_EQ(FindHatchDefinition(28), -1);
  EXPECT_EQ(FindHatchDefinition(-1), -1);
  EXPECT_EQ(g_hatchDefinitions[0].GetName(), QStringLiteral("Horizontal lines"));
  EXPECT_EQ(g_hatchDefinitions[25].GetName(), QStringLiteral("Unit square dots"));
  EXPECT_EQ(g_hatchDefinitions[26].GetName(), QStringLiteral("Basket weave"));
  const int families[kHatchDefinitionCount] = {1, 1, 1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 3, 2,
                                               3, 3, 3, 8, 5, 6, 4, 4, 2, 1, 1, 1, 4};
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    EXPECT_EQ(g_hatchDefinitions[i].GetFamilyCount(), families[i]) << i;
    EXPECT_TRUE(g_hatchDefinitions[i].GetFamilyText(families[i]).isEmpty()) << i;
    EXPECT_TRUE(g_hatchDefinitions[i].GetFamilyText(-1).isEmpty()) << i;
  }
  EXPECT_EQ(g_hatchDefinitions[9].GetFamilyText(1),
            QStringLiteral("135.0,2828.42712475,2828.42712475,4000,-4000,2,12000,-4000"));
}

TEST_F(HatchTest, EveryDefinitionBuildsAndRoundTripsThroughItsTextForm) {
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    CHatchPattern pattern;
    ASSERT_EQ(pattern.Build(i, 0.0, 1.0), 1) << i;
    EXPECT_EQ(pattern.GetNumber(), g_hatchDefinitions[i].GetNumber()) << i;
    ASSERT_EQ(pattern.GetLineCount(), g_hatchDefinitions[i].GetFamilyCount()) << i;
    EXPECT_NEAR(pattern.GetAngle(), 0.0, 1e-15) << i;
    EXPECT_DOUBLE_EQ(pattern.GetScale(), 1.0) << i;
    for (int f = 0; f < pattern.GetLineCount(); ++f) {
      const CHatchLine& line = *pattern.GetLine(f);
      EXPECT_EQ(line.IsValid(), 1);
      CHatchLine again;
      ASSERT_EQ(again.Parse(FamilyText(line)), 1) << i << '/' << f;
      SCOPED_TRACE(testing::Message() << "definition " << i << " family " << f);
      ExpectSameFamily(line, again);
    }
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HatchTest, ParsedFieldsOfSampleDefinitions) {
  CHatchPattern herringbone;
  ASSERT_EQ(herringbone.Build(9, 0.0, 1.0), 1);
  const CHatchLine& second = *herringbone.GetLine(1);
  EXPECT_DOUBLE_EQ(second.GetAngle(), 135.0 * g_radiansPerDegree);
  EXPECT_DOUBLE_EQ(second.GetOriginX(), 2828.42712475);
  EXPECT_DOUBLE_EQ(second.GetOriginY(), 2828.42712475);
  EXPECT_DOUBLE_EQ(second.GetSpacing(), 4000.0);
  EXPECT_DOUBLE_EQ(second.GetStagger(), -4000.0);
  ASSERT_EQ(second.GetDashCount(), 2);
  EXPECT_DOUBLE_EQ(second.GetDash(0), 12000.0);
  EXPECT_DOUBLE_EQ(second.GetDash(1), -4000.0);

  CHatchPattern dotDash;
  ASSERT_EQ(dotDash.Build(22, 0.0, 1.0), 1);
  const CHatchLine& dots = *dotDash.GetLine(1);
  ASSERT_EQ(dots.GetDashCount(), 4);
  EXPECT_DOUBLE_EQ(dots.GetDash(2), 0.0);
  EXPECT_DOUBLE_EQ(dots.GetDashPeriod(), 10000.0);
  EXPECT_DOUBLE_EQ(dots.GetOriginX(), 5000.0);
  EXPECT_DOUBLE_EQ(dots.GetOriginY(), 3000.0);

  // Blanks around fields change nothing; fields after the last dash are ignored.
  const auto tight = ParsedLine("0.0,5000,3000,6000,0,4,5000,-2500,0,-2500");
  const auto loose = ParsedLine(" 0.0 , 5000,3000 ,  6000, 0,4 , 5000,-2500,0, -2500 ,7,8");
  ExpectSameFamily(*tight, *loose);
}

TEST_F(HatchTest, BuildTurnsAndScales) {
  CHatchPattern pattern;
  ASSERT_EQ(pattern.Build(0, 0.0, 1.0), 1);
  ASSERT_EQ(pattern.GetLineCount(), 1);
  const CHatchLine& line = *pattern.GetLine(0);
  EXPECT_EQ(line.GetAngle(), 0.0);
  EXPECT_EQ(line.GetOriginX(), 0.0);
  EXPECT_EQ(line.GetOriginY(), 0.0);
  EXPECT_EQ(line.GetSpacing(), 2500.0);
  EXPECT_EQ(line.GetStagger(), 0.0);
  EXPECT_EQ(line.GetDashCount(), 0);
  EXPECT_EQ(pattern.GetNumber(), 1);

  CHatchPattern acute;
  ASSERT_EQ(acute.Build(2, kPi / 4, 1.0), 1);
  EXPECT_DOUBLE_EQ(acute.GetLine(0)->GetAngle(), kPi / 2);
  EXPECT_DOUBLE_EQ(acute.GetAngle(), kPi / 4);
  ASSERT_EQ(acute.Build(2, 0.0, 2.0), 1);
  EXPECT_EQ(acute.GetLineCount(), 1);  // a new build replaces the families
  EXPECT_DOUBLE_EQ(acute.GetLine(0)->GetSpacing(), 10000.0);

  CHatchPattern dashes;
  ASSERT_EQ(dashes.Build(6, 0.0, 2.0), 1);
  EXPECT_DOUBLE_EQ(dashes.GetScale(), 2.0);
  EXPECT_DOUBLE_EQ(dashes.GetLine(0)->GetStagger(), 8000.0);
  EXPECT_DOUBLE_EQ(dashes.GetLine(0)->GetDash(1), -8000.0);

  // The origins turn about (0, 0) with the families.
  CHatchPattern herringbone;
  ASSERT_EQ(herringbone.Build(9, g_halfPi, 1.0), 1);
  const CHatchLine& second = *herringbone.GetLine(1);
  EXPECT_NEAR(second.GetOriginX(), -2828.42712475, 1e-9);
  EXPECT_NEAR(second.GetOriginY(), 2828.42712475, 1e-9);
  EXPECT_NEAR(second.GetAngle(), 225.0 * g_radiansPerDegree, 1e-12);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HatchTest, AngleAndScaleWithoutADefinition) {
  CHatchPattern none;
  EXPECT_EQ(none.GetNumber(), -1);
  EXPECT_EQ(none.GetScale(), 1.0);
  EXPECT_EQ(none.GetAngle(), 0.0);
  ASSERT_EQ(none.AddLine(ParsedLine("30,0,0,1000,0,0")), 1);
  EXPECT_EQ(none.GetScale(), 1.0);
  EXPECT_EQ(none.GetAngle(), 0.0);

  // Numbers that no definition has, as a drawing file may hold them.
  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(FilePath()), 1);
  for (const char* line : {"0", "99", "1", "98", "1000", "0.5", "0", "0", "0", "0"}) {
    writer.WriteLine(QString::fromLatin1(line));
  }
  writer.Close();
  CTextFileReader reader;
  ASSERT_EQ(reader.Open(FilePath()), 1);
  CHatchPattern empty;
  EXPECT_EQ(empty.Read(reader), 1);
  EXPECT_EQ(empty.GetNumber(), 99);
  EXPECT_EQ(empty.GetScale(), 10.0);  // no family
  EXPECT_EQ(empty.GetAngle(), 0.0);
  CHatchPattern unknown;
  EXPECT_EQ(unknown.Read(reader), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(unknown.GetNumber(), 98);
  EXPECT_EQ(unknown.GetLineCount(), 1);
  EXPECT_EQ(unknown.GetScale(), 0.0);
  EXPECT_EQ(unknown.GetAngle(), 0.0);
  EXPECT_EQ(unknown.GetLine(0)->GetAngle(), 0.5);  // radians, as read
}

TEST_F(HatchTest, BuildRefusals) {
  CHatchPattern pattern;
  EXPECT_EQ(pattern.Build(27, 0.0, 1.0), 0);
  EXPECT_EQ(g_logCodes[0], 3162);
  EXPECT_EQ(g_logValues[0], 5001);
  EXPECT_EQ(g_logValues[1], 27);  // the index as a number record
  EXPECT_EQ(pattern.Build(-1, 0.0, 1.0), 0);
  EXPECT_EQ(pattern.GetNumber(), -1);

  // A scale that would leave the families without spacing is refused before anything changes.
  ASSERT_EQ(pattern.Build(4, 0.0, 1.0), 1);
  for (double scale : {0.0, -1.0, -0.0, kNaN, kInf}) {
    EXPECT_EQ(pattern.Build(6, 0.0, scale), 0) << scale;
    EXPECT_EQ(pattern.GetNumber(), 5) << scale;
    EXPECT_EQ(pattern.GetLineCount(), 2) << scale;
  }
  EXPECT_EQ(pattern.Build(6, kNaN, 1.0), 0);
  EXPECT_EQ(pattern.GetNumber(), 5);
  // A scale so large that the spacing overflows.
  EXPECT_EQ(pattern.Build(6, 0.0, 1e306), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HatchTest, DegenerateFamiliesAreRefused) {
  const char* refused[] = {
      "0.0,0,0,0,0,0",                 // spacing 0
      "0.0,0,0,-2500,0,0",             // negative spacing
      "0.0,0,0,2500,0,2,0,0",          // dashes with a period of 0
      "0.0,0,0,2500,0,2,1e308,1e308",  // a period beyond the doubles
      "0.0,0,0,2500,0,2,4000",         // a dash missing
      "0.0,0,0,2500,0",                // no dash count
      "0.0,0,0,x,0,0",                 // a field that does not convert
      "",
  };
  for (const char* text : refused) {
    CHatchLine line;
    EXPECT_EQ(line.Parse(QString::fromLatin1(text)), 0) << text;
  }
  // A negative dash count means solid lines.
  EXPECT_EQ(ParsedLine("0.0,0,0,2500,0,-3")->GetDashCount(), 0);

  // A family that was never filled in has no spacing and is not kept.
  CHatchPattern pattern;
  EXPECT_EQ(pattern.AddLine(std::make_unique<CHatchLine>()), 0);
  EXPECT_EQ(pattern.AddLine(nullptr), 0);
  EXPECT_EQ(pattern.GetLineCount(), 0);

  // The setters keep a family drawable.
  CHatchLine line;
  for (double spacing : {0.0, -1.0, kNaN, kInf}) EXPECT_EQ(line.SetSpacing(spacing), 0);
  EXPECT_EQ(line.SetSpacing(3000.0), 1);
  EXPECT_EQ(line.SetDashes(0.0, 0.0), 0);
  EXPECT_EQ(line.SetDashes(kNaN, -1000.0), 0);
  EXPECT_EQ(line.SetDashes(1000.0, kInf), 0);
  EXPECT_EQ(line.GetDashCount(), 0);
  EXPECT_EQ(line.SetDashes(0.0, -1000.0), 1);
  EXPECT_EQ(line.GetDashCount(), 2);
  EXPECT_EQ(line.SetOrigin(kNaN, 0.0), 0);
  EXPECT_EQ(line.SetStagger(kInf), 0);
  line.SetAngle(-g_halfPi);
  EXPECT_DOUBLE_EQ(line.GetAngle(), 3 * g_halfPi);
  EXPECT_EQ(line.IsValid(), 1);
}

TEST_F(HatchTest, TransformsAndRefusedEnlargements) {
  CHatchPattern pattern;
  ASSERT_EQ(pattern.Build(8, 0.0, 1.0), 1);  // bricks: solid and dashed families

  CTransform stretch;
  stretch.SetStretch(1, 3.0, 100);
  EXPECT_EQ(pattern.Transform(stretch), 1);
  EXPECT_EQ(pattern.GetLine(1)->GetSpacing(), 4000.0);

  CTransform reflection;
  reflection.SetReflection(1, 1000);
  ASSERT_EQ(pattern.Transform(reflection), 1);
  EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetOriginX(), 2000.0);
  EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetAngle(), g_halfPi);  // only the origin moves

  CTransform rotation;
  rotation.SetRotation(180.0, 0, 0);
  ASSERT_EQ(pattern.Transform(rotation), 1);
  EXPECT_NEAR(pattern.GetLine(1)->GetAngle(), 3 * g_halfPi, 1e-12);
  EXPECT_NEAR(pattern.GetLine(0)->GetAngle(), kPi, 1e-12);
  EXPECT_NEAR(pattern.GetLine(1)->GetOriginX(), -2000.0, 1e-9);

  CTransform half;
  half.SetEnlargement(0.5, 0, 0);
  ASSERT_EQ(pattern.Transform(half), 1);
  EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetSpacing(), 2000.0);
  EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetStagger(), 2000.0);
  EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetDash(1), -2000.0);
  EXPECT_DOUBLE_EQ(pattern.GetScale(), 0.5);

  // Enlarging by 0 (or by something not finite) would collapse the spacing: the whole pattern
  // stays as it was.
  for (double factor : {0.0, kNaN, kInf}) {
    CTransform collapse;
    collapse.SetEnlargement(factor, 0, 0);
    EXPECT_EQ(pattern.Transform(collapse), 0) << factor;
    EXPECT_DOUBLE_EQ(pattern.GetLine(0)->GetSpacing(), 2000.0) << factor;
    EXPECT_DOUBLE_EQ(pattern.GetLine(1)->GetSpacing(), 2000.0) << factor;
  }

  // A negative factor mirrors through the centre: a half turn with positive lengths.
  CTransform mirror;
  mirror.SetEnlargement(-2.0, 0, 0);
  ASSERT_EQ(pattern.Transform(mirror), 1);
  const CHatchLine& dashed = *pattern.GetLine(1);
  EXPECT_DOUBLE_EQ(dashed.GetSpacing(), 4000.0);
  EXPECT_DOUBLE_EQ(dashed.GetStagger(), 4000.0);
  EXPECT_DOUBLE_EQ(dashed.GetDash(0), 4000.0);
  EXPECT_DOUBLE_EQ(dashed.GetDash(1), -4000.0);
  EXPECT_NEAR(dashed.GetAngle(), g_halfPi, 1e-12);
  EXPECT_NEAR(dashed.GetOriginX(), 2000.0, 1e-9);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HatchTest, CopiesAndBadIndexes) {
  CHatchPattern source;
  ASSERT_EQ(source.Build(17, 0.3, 1.5), 1);
  CHatchPattern copy;
  ASSERT_EQ(copy.CopyFrom(source), 1);
  EXPECT_EQ(copy.GetNumber(), 18);
  ASSERT_EQ(copy.GetLineCount(), 8);
  for (int i = 0; i < 8; ++i) ExpectSameFamily(*source.GetLine(i), *copy.GetLine(i));
  EXPECT_NE(copy.GetLine(0), source.GetLine(0));

  // Into itself: each family once more, and it ends.
  ASSERT_EQ(copy.CopyFrom(copy), 1);
  EXPECT_EQ(copy.GetLineCount(), 16);
  EXPECT_EQ(g_glitchCount, 0);

  EXPECT_EQ(copy.GetLine(16), nullptr);
  EXPECT_EQ(g_firstGlitchCode, 3161);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  EXPECT_EQ(copy.GetLine(0)->GetDash(2), 0.0);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(copy.GetLine(4)->GetDash(0), 0.0);  // a solid family
  EXPECT_EQ(g_glitchCount, 3);
}

TEST_F(HatchTest, PatternsHoldAtMostTheLimit) {
  CHatchPattern pattern;
  const auto family = ParsedLine("0,0,0,100,0,0");
  for (int i = 0; i < kHatchLineLimit; ++i) {
    auto line = std::make_unique<CHatchLine>();
    line->CopyFrom(*family);
    ASSERT_EQ(pattern.AddLine(std::move(line)), 1) << i;
  }
  auto more = std::make_unique<CHatchLine>();
  more->CopyFrom(*family);
  EXPECT_EQ(pattern.AddLine(std::move(more)), 0);
  EXPECT_EQ(pattern.GetLineCount(), kHatchLineLimit);
}

TEST_F(HatchTest, EveryDefinitionRoundTripsThroughTheDrawingFile) {
  std::vector<std::unique_ptr<CHatchPattern>> written;
  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(FilePath()), 1);
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    written.push_back(std::make_unique<CHatchPattern>());
    // Turned and scaled, so the angles in radians are not round numbers.
    ASSERT_EQ(written.back()->Build(i, 0.1 * i, 1.0 + 0.25 * i), 1);
    written.back()->Write(writer);
  }
  writer.Close();
  ASSERT_EQ(g_fileStatus, kFileOk);

  CTextFileReader reader;
  ASSERT_EQ(reader.Open(FilePath()), 1);
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    CHatchPattern read;
    ASSERT_EQ(read.Read(reader), 1) << i;
    ASSERT_EQ(g_fileStatus, kFileOk) << i;
    EXPECT_EQ(read.GetNumber(), written[i]->GetNumber());
    ASSERT_EQ(read.GetLineCount(), written[i]->GetLineCount()) << i;
    for (int f = 0; f < read.GetLineCount(); ++f) {
      SCOPED_TRACE(testing::Message() << "definition " << i << " family " << f);
      ExpectSameFamily(*written[i]->GetLine(f), *read.GetLine(f));
    }
    EXPECT_NEAR(read.GetScale(), 1.0 + 0.25 * i, 1e-12) << i;
  }
  QString rest;
  reader.ReadLine(rest);
  EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);  // nothing was left over
}

TEST_F(HatchTest, DegenerateRecordsInTheFileAreRefused) {
  struct Case {
    const char* name;
    std::vector<const char*> lines;
    int status;
    int families;  // kept before the refusal
  };
  const Case cases[] = {
      {"spacing 0", {"1", "1", "0", "0", "0", "0", "0", "0"}, kFileIllegalValue, 0},
      {"negative spacing", {"1", "1", "-5", "0", "0", "0", "0", "0"}, kFileIllegalValue, 0},
      {"dash period 0",
       {"2", "7", "4000", "0", "0", "0", "0", "0", "4000", "0", "0", "0", "0", "2", "0", "0"},
       kFileIllegalValue,
       1},
      {"count beyond the limit", {"25601", "1"}, kFileIllegalValue, 0},
      {"negative count", {"-1", "1"}, kFileIllegalValue, 0},
      {"not a number", {"1", "1", "nan", "0", "0", "0", "0", "0"}, kFileIllegalValue, 0},
      {"ends early", {"1", "1", "2500", "0"}, kFileEndedTooSoon, 0},
      {"the limit itself is allowed", {"25600", "1"}, kFileEndedTooSoon, 0},
  };
  for (const Case& c : cases) {
    ResetFileStatus();
    CTextFileWriter writer;
    ASSERT_EQ(writer.Open(FilePath()), 1);
    for (const char* line : c.lines) writer.WriteLine(QString::fromLatin1(line));
    writer.Close();
    CTextFileReader reader;
    ASSERT_EQ(reader.Open(FilePath()), 1);
    CHatchPattern pattern;
    EXPECT_EQ(pattern.Read(reader), 1) << c.name;
    EXPECT_EQ(g_fileStatus, c.status) << c.name;
    EXPECT_EQ(pattern.GetLineCount(), c.families) << c.name;
  }
}

TEST_F(HatchTest, AFamilyWithATinySpacingIsSavedSoThatItReadsBack) {
  // Read from a file as it stood, the family is valid; saved again its spacing must not
  // become "0", which no reader takes back.
  {
    CTextFileWriter writer;
    ASSERT_EQ(writer.Open(FilePath()), 1);
    for (const char* line : {"1", "6", "1.3e-52", "0", "0", "0", "0", "0"}) {
      writer.WriteLine(QString::fromLatin1(line));
    }
  }
  CHatchPattern read;
  {
    CTextFileReader reader;
    ASSERT_EQ(reader.Open(FilePath()), 1);
    ASSERT_EQ(read.Read(reader), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
  }
  ASSERT_EQ(read.GetLineCount(), 1);
  {
    CTextFileWriter writer;
    ASSERT_EQ(writer.Open(FilePath()), 1);
    read.Write(writer);
  }
  CHatchPattern again;
  CTextFileReader reader;
  ASSERT_EQ(reader.Open(FilePath()), 1);
  EXPECT_EQ(again.Read(reader), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  ASSERT_EQ(again.GetLineCount(), 1);
  EXPECT_DOUBLE_EQ(again.GetLine(0)->GetSpacing(), 1.3e-52);
}

// ---- Drawing one stretch ----

// The pieces a stretch drew: each as (start, end) device points. On screen a piece is
// MoveTo, LineTo and SetPixel at its end; on a printer a dot is a FillRect.
struct Piece {
  int x1, y1, x2, y2;
  friend bool operator==(const Piece&, const Piece&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << '(' << p.x1 << ',' << p.y1 << ")-(" << p.x2 << ',' << p.y2 << ')';
  }
};

std::vector<Piece> Pieces(const CRecordingContext& dc) {
  std::vector<Piece> pieces;
  const std::vector<DcCall>& calls = dc.calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].op == DcOp::kFillRect) {
      const auto& r = calls[i].rect;
      pieces.push_back({r.left, r.top, r.right, r.bottom});
      continue;
    }
    if (calls[i].op != DcOp::kMoveTo) continue;
    EXPECT_LT(i + 2, calls.size());
    if (i + 2 >= calls.size()) break;
    EXPECT_EQ(calls[i + 1].op, DcOp::kLineTo);
    EXPECT_EQ(calls[i + 2].op, DcOp::kSetPixel);
    // LineTo records where it came from and where it went; the end pixel is set too.
    EXPECT_EQ(calls[i + 1].points.front(), calls[i].points.front());
    EXPECT_EQ(calls[i + 2].points.front(), calls[i + 1].points.back());
    pieces.push_back({calls[i].points[0].x, calls[i].points[0].y, calls[i + 1].points.back().x,
                      calls[i + 1].points.back().y});
  }
  return pieces;
}

class HatchDrawTest : public HatchTest {
 protected:
  // 100 drawing units per pixel; device y = (100000 - y) / 100.
  HatchDrawTest() {
    m_mapping.scaleX = m_mapping.scaleY = 100;
    m_mapping.originY = 100000;
    m_mapping.printScaleX = m_mapping.printScaleY = 10.0;
  }
  std::vector<Piece> Draw(const char* family, int x1, int y1, int x2, int y2) {
    m_dc.Clear();
    DrawHatchLine(*ParsedLine(family), m_dc, m_mapping, x1, y1, x2, y2, kColour);
    return Pieces(m_dc);
  }

  static constexpr zeph::ColourRef kColour = 0x000000FF;
  CViewMapping m_mapping;
  CRecordingContext m_dc;
};

TEST_F(HatchDrawTest, SolidAndDashedHorizontalLines) {
  struct Case {
    const char* name;
    const char* family;
    int x1, y1, x2, y2;
    std::vector<Piece> pieces;
  };
  const Case cases[] = {
      {"solid", "0.0,0,0,2500,0,0", 0, 2500, 10000, 2500, {{0, 975, 100, 975}}},
      {"even line of horizontal dashes",
       "0.0,0,0,4000,4000,2,4000,-4000",
       0,
       0,
       16000,
       0,
       {{0, 1000, 40, 1000}, {80, 1000, 120, 1000}}},
      // Line 1 starts its rhythm half a period later: the staggered look.
      {"odd line of horizontal dashes",
       "0.0,0,0,4000,4000,2,4000,-4000",
       0,
       4000,
       16000,
       4000,
       {{40, 960, 80, 960}, {120, 960, 160, 960}}},
      {"a stretch starting and ending inside dashes",
       "0.0,0,0,4000,4000,2,4000,-4000",
       2000,
       0,
       10000,
       0,
       {{20, 1000, 40, 1000}, {80, 1000, 100, 1000}}},
      {"the origin moves the rhythm",
       "0.0,-1000,0,4000,0,2,4000,-4000",
       0,
       0,
       9000,
       0,
       {{0, 1000, 30, 1000}, {70, 1000, 90, 1000}}},
      // At 180 degrees the rhythm runs towards -x: walking right meets the gap first.
      {"reversed",
       "180.0,0,0,4000,0,2,3000,-1000",
       0,
       0,
       8000,
       0,
       {{10, 1000, 40, 1000}, {50, 1000, 80, 1000}}},
      {"negative coordinates",
       "0.0,0,0,4000,0,2,4000,-4000",
       -13000,
       0,
       -2000,
       0,
       {{-130, 1000, -120, 1000}, {-80, 1000, -40, 1000}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Draw(c.family, c.x1, c.y1, c.x2, c.y2), c.pieces) << c.name;
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HatchDrawTest, VerticalLines) {
  // Vertical dashes: x = -k * 4000 for line k, rhythm shifted by 4000 per line.
  EXPECT_EQ(Draw("90.0,0,0,4000,4000,2,4000,-4000", 0, 0, 0, 16000),
            (std::vector<Piece>{{0, 1000, 0, 960}, {0, 920, 0, 880}}));
  EXPECT_EQ(Draw("90.0,0,0,4000,4000,2,4000,-4000", 4000, 0, 4000, 16000),
            (std::vector<Piece>{{40, 960, 40, 920}, {40, 880, 40, 840}}));
  EXPECT_EQ(Draw("90.0,0,0,4000,4000,2,4000,-4000", -4000, 0, -4000, 16000),
            (std::vector<Piece>{{-40, 960, -40, 920}, {-40, 880, -40, 840}}));
}

TEST_F(HatchDrawTest, SlopingLinesKeepTheirDashLengths) {
  // At one drawing unit per pixel the device points are the drawing points with y negated.
  m_mapping.scaleX = m_mapping.scaleY = 1;
  m_mapping.originY = 0;
  struct Case {
    const char* name;
    const char* family;
    int x1, y1, x2, y2;
    double secondStart;  // where the second piece starts, along the line from (x1, y1)
  };
  const Case cases[] = {
      {"rising", "45.0,0,0,5000,0,2,2000,-2000", 0, 0, 20000, 20000, 4000.0},
      // 2828.43 along the line from the rhythm's start: in a gap, 1171.57 before a dash.
      {"rising, starting in a gap", "45.0,0,0,5000,0,2,2000,-2000", 2000, 2000, 20000, 20000,
       5171.57},
      // Line 1 runs through (-3535.53, 3535.53), where its rhythm starts.
      {"rising, line 1", "45.0,0,0,5000,0,2,2000,-2000", -10000, -2929, 10000, 17071, 5142.17},
      // The rhythm runs up and left from the origin; walking right meets it backwards, and
      // the first piece is the end of a dash cut at the stretch's start.
      {"falling", "135.0,0,0,5000,0,2,3000,-1000", -20000, 20000, 0, 0, 1284.27},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_dc.Clear();
    const auto family = ParsedLine(c.family);
    DrawHatchLine(*family, m_dc, m_mapping, c.x1, c.y1, c.x2, c.y2, kColour);
    const std::vector<Piece> pieces = Pieces(m_dc);
    ASSERT_GE(pieces.size(), 4u);
    const double dash = family->GetDash(0);
    const double gap = -family->GetDash(1);
    const double lineLength = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
    auto along = [&](int x, int y) { return std::hypot(x - c.x1, -y - c.y1); };
    auto offLine = [&](int x, int y) {
      return std::fabs((x - c.x1) * double(c.y2 - c.y1) - (-y - c.y1) * double(c.x2 - c.x1)) /
             lineLength;
    };
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Piece& p = pieces[i];
      EXPECT_LE(offLine(p.x1, p.y1), 1.5) << p;
      EXPECT_LE(offLine(p.x2, p.y2), 1.5) << p;
      EXPECT_LT(p.x1, p.x2) << p;
      if (i >= 1 && i + 1 < pieces.size()) {
        EXPECT_NEAR(along(p.x1, p.y1), c.secondStart + (i - 1) * (dash + gap), 2.0) << i;
        EXPECT_NEAR(along(p.x2, p.y2) - along(p.x1, p.y1), dash, 2.0) << i;
      }
    }
    EXPECT_NEAR(along(pieces[0].x2, pieces[0].y2), c.secondStart - gap, 2.0);
    EXPECT_NEAR(along(pieces.back().x2, pieces.back().y2),
                std::min(lineLength, along(pieces.back().x1, pieces.back().y1) + dash), 2.0);
  }
}

TEST_F(HatchDrawTest, DotsArePixelsOnScreenAndSquaresOnPaper) {
  const char* dots = "0.0,0,0,3000,0,2,0,-3000";
  // Dots exactly at the stretch's ends are left to the neighbouring stretches.
  EXPECT_EQ(Draw(dots, 0, 0, 9000, 0),
            (std::vector<Piece>{{30, 1000, 30, 1000}, {60, 1000, 60, 1000}}));
  EXPECT_EQ(Draw(dots, 0, 0, 9001, 0),
            (std::vector<Piece>{{30, 1000, 30, 1000}, {60, 1000, 60, 1000}, {90, 1000, 90, 1000}}));

  g_printerCount = 1;
  g_currentPrinter = 0;
  g_printerHatchDotSize[0] = 5;
  m_dc.SetPrinting(true);
  // Printing uses the print scale (10 units per device pixel) and squares of 5 pixels whose
  // fill rectangles exclude right and bottom.
  EXPECT_EQ(Draw(dots, 0, 0, 9001, 0),
            (std::vector<Piece>{
                {298, 9998, 303, 10003}, {598, 9998, 603, 10003}, {898, 9998, 903, 10003}}));
  // Dashes other than dots are still lines on paper.
  EXPECT_EQ(Draw("0.0,0,0,4000,0,2,4000,-4000", 0, 0, 8000, 0),
            (std::vector<Piece>{{0, 10000, 400, 10000}}));
}

TEST_F(HatchDrawTest, DegenerateOrFarFamiliesStillEnd) {
  // Never filled in: nothing is drawn.
  m_dc.Clear();
  DrawHatchLine(CHatchLine(), m_dc, m_mapping, 0, 0, 10000, 0, kColour);
  EXPECT_TRUE(m_dc.calls().empty());

  // A period far below the resolution of coordinates this far out: the walk cannot advance
  // and stops instead of stepping forever.
  const auto tiny = ParsedLine("0.0,0,0,2500,0,2,1e-9,-1e-9");
  m_dc.Clear();
  DrawHatchLine(*tiny, m_dc, m_mapping, 40000000, 0, 40001000, 0, kColour);
  EXPECT_LE(m_dc.calls().size(), 10u);
}

}  // namespace
