#include "document/printsettings.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <limits>

#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/textfile.h"

namespace {

class PrintSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    ResetAll();
  }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetOptionsState();
    ResetFileStatus();
    ResetTextFileState();
  }

  QString PathOf(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

  QString WriteBytes(const QByteArray& bytes, const char* name) const {
    const QString path = PathOf(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

 private:
  QTemporaryDir m_dir;
};

// The sixteen values in their order, one line each (the font on one line with its width), so
// that two records compare as wholes and a difference names its field.
QString Dump(const CPrintSettings& s) {
  const CFontSpec& f = s.GetFooterFont();
  QStringList lines;
  lines << QStringLiteral("landscape %1").arg(s.GetLandscape())
        << QStringLiteral("left %1").arg(s.GetLeftMargin(), 0, 'g', 17)
        << QStringLiteral("top %1").arg(s.GetTopMargin(), 0, 'g', 17)
        << QStringLiteral("right %1").arg(s.GetRightMargin(), 0, 'g', 17)
        << QStringLiteral("bottom %1").arg(s.GetBottomMargin(), 0, 'g', 17)
        << QStringLiteral("footer %1").arg(s.GetFooterMargin(), 0, 'g', 17)
        << QStringLiteral("multi-page %1").arg(s.GetMultiPageMargin(), 0, 'g', 17)
        << QStringLiteral("across %1").arg(s.GetPageHorizontal())
        << QStringLiteral("down %1").arg(s.GetPageVertical())
        << QStringLiteral("font %1|%2|%3|%4|%5|%6")
               .arg(f.HasFaceName() ? f.GetFaceName() : QStringLiteral("(none)"))
               .arg(f.GetSize())
               .arg(f.GetWidthPercent())
               .arg(f.IsBold())
               .arg(f.IsItalic())
               .arg(f.HasFaceName() ? 1 : 0)
        << QStringLiteral("scale %1").arg(s.GetPrintScale())
        << QStringLiteral("name %1").arg(s.GetPrintName())
        << QStringLiteral("filename %1").arg(s.GetPrintFilename())
        << QStringLiteral("date %1").arg(s.GetPrintDate())
        << QStringLiteral("time %1").arg(s.GetPrintTime())
        << QStringLiteral("alignment %1").arg(s.GetFooterAlignment());
  return lines.join(QLatin1Char('\n'));
}

CFontSpec Font(const char* face, std::int16_t size, bool bold, bool italic) {
  CFontSpec font;
  font.Set(QString::fromUtf8(face), size, bold, italic);
  return font;
}

// Every field away from both the constructor's values and the option defaults.
CPrintSettings Unusual() {
  CPrintSettings s;
  s.SetLandscape(1);
  s.SetLeftMargin(2.54);
  s.SetTopMargin(0.1);
  s.SetRightMargin(1.0 / 3.0);
  s.SetBottomMargin(-0.75);
  s.SetFooterMargin(12.5);
  s.SetMultiPageMargin(0.333333333333333);
  s.SetPageHorizontal(2);
  s.SetPageVertical(-32767);
  s.SetFooterFont(Font("Ünïcode Sans", 14, true, true));
  s.SetPrintScale(1);
  s.SetPrintName(1);
  s.SetPrintFilename(0);
  s.SetPrintDate(1);
  s.SetPrintTime(1);
  s.SetFooterAlignment(1);
  return s;
}

TEST_F(PrintSettingsTest, ConstructorAndOptionDefaults) {
  EXPECT_EQ(Dump(CPrintSettings()),
            "landscape 0\nleft 2\ntop 2\nright 2\nbottom 1\nfooter 2\nmulti-page 0\n"
            "across 0\ndown 0\nfont (none)|10|100|0|0|0\nscale 0\nname 0\nfilename 0\n"
            "date 0\ntime 0\nalignment 0");

  CPrintSettings s;
  s.LoadFromOptions();
  EXPECT_EQ(Dump(s),
            "landscape 1\nleft 2\ntop 1\nright 2\nbottom 1.2\nfooter 1.5\nmulti-page 0\n"
            "across 1\ndown 1\nfont Arial|11|100|0|0|1\nscale 1\nname 1\nfilename 1\n"
            "date 1\ntime 0\nalignment 2");
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PrintSettingsTest, LoadFromOptionsTakesEachFieldFromItsOwnOption) {
  SetOptionFlag(kOptionPrintLandscape, 0);
  SetOptionDouble(kOptionPrintLeftMargin, 3.1);
  SetOptionDouble(kOptionPrintTopMargin, 3.2);
  SetOptionDouble(kOptionPrintRightMargin, 3.3);
  SetOptionDouble(kOptionPrintBottomMargin, 3.4);
  SetOptionDouble(kOptionPrintFooterMargin, 3.5);
  SetOptionDouble(kOptionPrintMultiPageMargin, 3.6);
  SetOptionShort(kOptionPrintedPageHorizontal, 2);
  SetOptionShort(kOptionPrintedPageVertical, 0);
  SetOptionFont(kOptionFontPrintFooter, Font("Courier New", 9, false, true));
  SetOptionFlag(kOptionPrintScale, 0);
  SetOptionFlag(kOptionPrintName, 1);
  SetOptionFlag(kOptionPrintFilename, 0);
  SetOptionFlag(kOptionPrintDate, 0);
  SetOptionFlag(kOptionPrintTime, 1);
  SetOptionShort(kOptionPrintedFooterAlignment, 0);

  CPrintSettings s = Unusual();
  s.LoadFromOptions();
  EXPECT_EQ(Dump(s),
            "landscape 0\nleft 3.1000000000000001\ntop 3.2000000000000002\n"
            "right 3.2999999999999998\nbottom 3.3999999999999999\nfooter 3.5\n"
            "multi-page 3.6000000000000001\nacross 2\ndown 0\n"
            "font Courier New|9|100|0|1|1\nscale 0\nname 1\nfilename 0\ndate 0\ntime 1\n"
            "alignment 0");
}

TEST_F(PrintSettingsTest, StoredSettingsBecomeTheDefaultsOfTheNextDrawing) {
  CPrintSettings startScreen;
  startScreen.LoadFromOptions();
  // Only the left margin and the footer font change: only their options count as changed.
  startScreen.SetLeftMargin(4.0);
  startScreen.SetFooterFont(Font("Arial", 11, false, true));
  startScreen.StoreToOptions();
  EXPECT_EQ(g_optionDoubleChanged[kOptionPrintLeftMargin], 1);
  EXPECT_EQ(g_optionDoubleChanged[kOptionPrintTopMargin], 0);
  EXPECT_EQ(g_optionFontChanged[kOptionFontPrintFooter], 1);
  EXPECT_EQ(g_optionFlagChanged[kOptionPrintLandscape], 0);
  EXPECT_EQ(g_optionShortChanged[kOptionPrintedFooterAlignment], 0);

  CPrintSettings newDrawing;
  newDrawing.LoadFromOptions();
  EXPECT_EQ(Dump(newDrawing), Dump(startScreen));

  // Every field reaches its own option.
  const CPrintSettings unusual = Unusual();
  unusual.StoreToOptions();
  CPrintSettings loaded;
  loaded.LoadFromOptions();
  EXPECT_EQ(Dump(loaded), Dump(unusual));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PrintSettingsTest, SettersAnswerWhetherTheValueChanged) {
  using Set = int (*)(CPrintSettings&);
  using Holds = bool (*)(const CPrintSettings&);
  struct Case {
    const char* name;
    Set same;    // the value already held
    Set change;  // another value
    Holds holds;
  };
  const Case cases[] = {
      {"landscape", [](CPrintSettings& s) { return s.SetLandscape(1); },
       [](CPrintSettings& s) { return s.SetLandscape(0); },
       [](const CPrintSettings& s) { return s.GetLandscape() == 0; }},
      {"left", [](CPrintSettings& s) { return s.SetLeftMargin(2.0); },
       [](CPrintSettings& s) { return s.SetLeftMargin(2.0000000001); },
       [](const CPrintSettings& s) { return s.GetLeftMargin() == 2.0000000001; }},
      {"top", [](CPrintSettings& s) { return s.SetTopMargin(1.0); },
       [](CPrintSettings& s) { return s.SetTopMargin(0.0); },
       [](const CPrintSettings& s) { return s.GetTopMargin() == 0.0; }},
      {"right", [](CPrintSettings& s) { return s.SetRightMargin(2.0); },
       [](CPrintSettings& s) { return s.SetRightMargin(5.5); },
       [](const CPrintSettings& s) { return s.GetRightMargin() == 5.5; }},
      {"bottom", [](CPrintSettings& s) { return s.SetBottomMargin(1.2); },
       [](CPrintSettings& s) { return s.SetBottomMargin(1.25); },
       [](const CPrintSettings& s) { return s.GetBottomMargin() == 1.25; }},
      {"footer", [](CPrintSettings& s) { return s.SetFooterMargin(1.5); },
       [](CPrintSettings& s) { return s.SetFooterMargin(-1.5); },
       [](const CPrintSettings& s) { return s.GetFooterMargin() == -1.5; }},
      {"multi-page", [](CPrintSettings& s) { return s.SetMultiPageMargin(0.0); },
       [](CPrintSettings& s) { return s.SetMultiPageMargin(0.5); },
       [](const CPrintSettings& s) { return s.GetMultiPageMargin() == 0.5; }},
      {"across", [](CPrintSettings& s) { return s.SetPageHorizontal(1); },
       [](CPrintSettings& s) { return s.SetPageHorizontal(0); },
       [](const CPrintSettings& s) { return s.GetPageHorizontal() == 0; }},
      {"down", [](CPrintSettings& s) { return s.SetPageVertical(1); },
       [](CPrintSettings& s) { return s.SetPageVertical(2); },
       [](const CPrintSettings& s) { return s.GetPageVertical() == 2; }},
      {"font", [](CPrintSettings& s) { return s.SetFooterFont(Font("Arial", 11, false, false)); },
       [](CPrintSettings& s) { return s.SetFooterFont(Font("Arial", 12, false, false)); },
       [](const CPrintSettings& s) { return s.GetFooterFont().GetSize() == 12; }},
      {"scale", [](CPrintSettings& s) { return s.SetPrintScale(1); },
       [](CPrintSettings& s) { return s.SetPrintScale(0); },
       [](const CPrintSettings& s) { return s.GetPrintScale() == 0; }},
      {"name", [](CPrintSettings& s) { return s.SetPrintName(1); },
       [](CPrintSettings& s) { return s.SetPrintName(0); },
       [](const CPrintSettings& s) { return s.GetPrintName() == 0; }},
      {"filename", [](CPrintSettings& s) { return s.SetPrintFilename(1); },
       [](CPrintSettings& s) { return s.SetPrintFilename(0); },
       [](const CPrintSettings& s) { return s.GetPrintFilename() == 0; }},
      {"date", [](CPrintSettings& s) { return s.SetPrintDate(1); },
       [](CPrintSettings& s) { return s.SetPrintDate(0); },
       [](const CPrintSettings& s) { return s.GetPrintDate() == 0; }},
      {"time", [](CPrintSettings& s) { return s.SetPrintTime(0); },
       [](CPrintSettings& s) { return s.SetPrintTime(1); },
       [](const CPrintSettings& s) { return s.GetPrintTime() == 1; }},
      {"alignment", [](CPrintSettings& s) { return s.SetFooterAlignment(2); },
       [](CPrintSettings& s) { return s.SetFooterAlignment(1); },
       [](const CPrintSettings& s) { return s.GetFooterAlignment() == 1; }},
  };
  ASSERT_EQ(std::size(cases), 16u);
  for (const Case& c : cases) {
    CPrintSettings s;
    s.LoadFromOptions();
    const QString before = Dump(s);
    EXPECT_EQ(c.same(s), 0) << c.name;
    EXPECT_EQ(Dump(s), before) << c.name;
    EXPECT_EQ(c.change(s), 1) << c.name;
    EXPECT_TRUE(c.holds(s)) << c.name;
    EXPECT_NE(Dump(s), before) << c.name;
    EXPECT_EQ(c.change(s), 0) << c.name << " again";
  }
}

TEST_F(PrintSettingsTest, LandscapeIsTakenAsZeroOrOne) {
  CPrintSettings s;  // portrait
  EXPECT_EQ(s.SetLandscape(0), 0);
  EXPECT_EQ(s.SetLandscape(7), 1);
  EXPECT_EQ(s.GetLandscape(), 1);
  EXPECT_EQ(s.SetLandscape(-1), 0);
  EXPECT_EQ(s.SetLandscape(1), 0);
  EXPECT_EQ(s.GetLandscape(), 1);
}

TEST_F(PrintSettingsTest, AMarginThatIsNotANumberIsRefused) {
  CPrintSettings s;
  const QString before = Dump(s);
  for (double bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(s.SetLeftMargin(bad), 0);
    EXPECT_EQ(s.SetTopMargin(bad), 0);
    EXPECT_EQ(s.SetRightMargin(bad), 0);
    EXPECT_EQ(s.SetBottomMargin(bad), 0);
    EXPECT_EQ(s.SetFooterMargin(bad), 0);
    EXPECT_EQ(s.SetMultiPageMargin(bad), 0);
  }
  EXPECT_EQ(Dump(s), before);
}

TEST_F(PrintSettingsTest, AnyFontPropertyCountsAsAChange) {
  struct Case {
    const char* name;
    void (*change)(CFontSpec&);
  };
  const Case cases[] = {
      {"italic only", [](CFontSpec& f) { f.SetItalic(true); }},
      {"bold only", [](CFontSpec& f) { f.SetBold(true); }},
      {"size only", [](CFontSpec& f) { f.SetSize(10); }},
      {"width only", [](CFontSpec& f) { f.SetWidthPercent(90); }},
      {"face only", [](CFontSpec& f) { f.SetFaceName(QStringLiteral("Verdana")); }},
      {"face case only", [](CFontSpec& f) { f.SetFaceName(QStringLiteral("arial")); }},
      {"no face", [](CFontSpec& f) { f.ReleaseFaceName(); }},
  };
  for (const Case& c : cases) {
    CPrintSettings s;
    s.LoadFromOptions();  // Arial 11
    CFontSpec font = s.GetFooterFont();
    EXPECT_EQ(s.SetFooterFont(font), 0) << c.name;
    c.change(font);
    EXPECT_EQ(s.SetFooterFont(font), 1) << c.name;
    EXPECT_EQ(s.SetFooterFont(font), 0) << c.name << " again";
    EXPECT_EQ(s.GetFooterFont().IsItalic(), font.IsItalic()) << c.name;
    EXPECT_EQ(s.GetFooterFont().GetWidthPercent(), font.GetWidthPercent()) << c.name;
    EXPECT_EQ(s.GetFooterFont().HasFaceName(), font.HasFaceName()) << c.name;
    EXPECT_EQ(s.GetFooterFont().GetFaceName(), font.GetFaceName()) << c.name;
  }

  // Two fonts without a face name and otherwise alike are the same font.
  CPrintSettings fresh;
  EXPECT_EQ(fresh.SetFooterFont(CFontSpec()), 0);
}

TEST_F(PrintSettingsTest, WrittenAndReadBackThroughARealFile) {
  const CPrintSettings written = Unusual();
  const QString path = PathOf("settings.txt");
  {
    CTextFileWriter file;
    file.SetUtf8Encoding();
    ASSERT_EQ(file.Open(path), 1);
    file.WriteLine(QStringLiteral("before"));
    EXPECT_EQ(written.Write(file), 1);
    file.WriteLine(QStringLiteral("after"));
  }
  EXPECT_EQ(ReadBytes(path), QByteArray("before\r\n"
                                        "1\r\n2.54\r\n0.1\r\n0.333333333333333\r\n-0.75\r\n"
                                        "12.5\r\n0.333333333333333\r\n2\r\n-32767\r\n"
                                        "\xC3\x9Cn\xC3\xAF"
                                        "code Sans\r\n14\r\n1\r\n1\r\n"
                                        "1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n"
                                        "after\r\n"));

  CTextFileReader file;
  file.SetUtf8Encoding();
  ASSERT_EQ(file.Open(path), 1);
  QString line;
  file.ReadLine(line);
  CPrintSettings read;
  ASSERT_EQ(read.Read(file), 1);
  file.ReadLine(line);
  EXPECT_EQ(line, QStringLiteral("after"));
  EXPECT_EQ(g_fileStatus, kFileOk);

  // 1/3 keeps its 15 significant digits; every other value comes back exactly.
  CPrintSettings expected = written;
  expected.SetRightMargin(0.333333333333333);
  EXPECT_EQ(Dump(read), Dump(expected));
  EXPECT_EQ(read.GetFooterFont().GetFaceName(), QString::fromUtf8("Ünïcode Sans"));

  // And the defaults of a new drawing survive the trip unchanged.
  CPrintSettings defaults;
  defaults.LoadFromOptions();
  const QString second = PathOf("defaults.txt");
  {
    CTextFileWriter out;
    ASSERT_EQ(out.Open(second), 1);
    EXPECT_EQ(defaults.Write(out), 1);
  }
  CTextFileReader in;
  ASSERT_EQ(in.Open(second), 1);
  CPrintSettings again = Unusual();
  ASSERT_EQ(again.Read(in), 1);
  EXPECT_EQ(Dump(again), Dump(defaults));
}

TEST_F(PrintSettingsTest, AFileThatBreaksOffLeavesTheSettingsAsTheyWere) {
  struct Case {
    const char* name;
    QByteArray bytes;
    int status;
  };
  const Case cases[] = {
      {"ends after the font",
       "0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n0\r\nArial\r\n9\r\n0\r\n0\r\n", kFileEndedTooSoon},
      {"landscape 2", "2\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n0\r\nArial\r\n9\r\n0\r\n0\r\n",
       kFileIllegalValue},
      {"margin not a number", "1\r\nwide\r\n", kFileIllegalValue},
      {"position out of range", "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n40000\r\n", kFileIllegalValue},
      {"empty", "", kFileEndedTooSoon},
  };
  for (const Case& c : cases) {
    ResetFileStatus();
    CTextFileReader file;
    ASSERT_EQ(file.Open(WriteBytes(c.bytes, "broken.txt")), 1) << c.name;
    CPrintSettings s = Unusual();
    const QString before = Dump(s);
    EXPECT_EQ(s.Read(file), 0) << c.name;
    EXPECT_EQ(g_fileStatus, c.status) << c.name;
    EXPECT_EQ(Dump(s), before) << c.name;
  }
}

TEST_F(PrintSettingsTest, WriteAnswersZeroOnceTheFileHasFailed) {
  const QString path = PathOf("failed.txt");
  CTextFileWriter file;
  ASSERT_EQ(file.Open(path), 1);
  g_fileStatus = kFileDiskFull;  // as after a failed flush of earlier lines
  EXPECT_EQ(Unusual().Write(file), 0);
  file.Close();
  EXPECT_EQ(g_fileStatus, kFileDiskFull);
}

}  // namespace
