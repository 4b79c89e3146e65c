#include "support/fontspec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QString>
#include <utility>
#include <vector>

#include "platform/recordingcontext.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/sysinfo.h"

namespace {

using ::testing::ElementsAre;
using zeph::CRecordingContext;
using zeph::DcFont;

QString Q(const char* text) { return QString::fromUtf8(text); }

CFontSpec MakeSpec(const char* face, std::int16_t size, bool bold = false, bool italic = false) {
  CFontSpec spec;
  spec.Set(Q(face), size, bold, italic);
  return spec;
}

// The (code, stored value) records of the log ring since the last reset.
std::vector<std::pair<int, int>> LogRecords() {
  std::vector<std::pair<int, int>> records;
  for (int i = 0; i < g_logPosition; ++i) records.emplace_back(g_logCodes[i], g_logValues[i]);
  return records;
}

class FontSpecTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override {
    g_osClass = m_osClass;
    ResetAll();
  }
  static void ResetAll() {
    ResetLogState();
    ResetScreenState();
    ResetSharedFonts();
  }

 private:
  std::int32_t m_osClass = g_osClass;
};

TEST_F(FontSpecTest, DefaultDescriptorHasNoFaceAndReadsAsArial) {
  const CFontSpec spec;
  EXPECT_FALSE(spec.HasFaceName());
  EXPECT_EQ(spec.GetFaceName(), Q("Arial"));
  EXPECT_EQ(spec.GetSize(), 10);
  EXPECT_EQ(spec.GetWidthPercent(), 100);
  EXPECT_EQ(spec.IsBold(), 0);
  EXPECT_EQ(spec.IsItalic(), 0);
  // Two descriptors without face names are never equal.
  EXPECT_EQ(spec.IsEqual(CFontSpec()), 0);
  QString description = Q("old");
  spec.GetDescription(description);
  EXPECT_TRUE(description.isEmpty());
}

TEST_F(FontSpecTest, FaceNameIsCutAtALineBreak) {
  struct Case {
    const char* text;
    const char* kept;
    int glitches;
  };
  const Case cases[] = {
      {"Verdana", "Verdana", 0},
      {"Times New Roman\r\nsecond", "Times New Roman", 1},
      {"Courier\nNew", "Courier", 1},
      {"\rArial", "", 1},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    ResetLogState();
    CFontSpec spec;
    spec.SetFaceName(Q(c.text));
    EXPECT_TRUE(spec.HasFaceName()) << c.text;
    EXPECT_EQ(spec.GetFaceName(), Q(c.kept)) << c.text;
    EXPECT_EQ(g_glitchCount, c.glitches) << c.text;
    if (c.glitches != 0) {
      EXPECT_EQ(g_firstGlitchCode, 20307) << c.text;
      EXPECT_EQ(g_firstGlitchNumber, 1) << c.text;
    }
  }
}

TEST_F(FontSpecTest, CopyFromKeepsOwnFaceWhenTheOtherHasNone) {
  CFontSpec spec = MakeSpec("Verdana", 12, true, true);
  CFontSpec faceless;
  faceless.SetSize(20);
  faceless.SetWidthPercent(80);
  spec.CopyFrom(faceless);
  EXPECT_EQ(spec.GetFaceName(), Q("Verdana"));
  EXPECT_EQ(spec.GetSize(), 20);
  EXPECT_EQ(spec.GetWidthPercent(), 80);
  EXPECT_EQ(spec.IsBold(), 0);
  EXPECT_EQ(spec.IsItalic(), 0);

  spec.CopyFrom(MakeSpec("Courier New", 9));
  EXPECT_EQ(spec.GetFaceName(), Q("Courier New"));
  EXPECT_EQ(spec.GetWidthPercent(), 100);
  EXPECT_EQ(spec.IsEqual(MakeSpec("Courier New", 9)), 1);
}

TEST_F(FontSpecTest, EqualityComparesEveryProperty) {
  const CFontSpec base = MakeSpec("Arial", 10, true, false);
  struct Case {
    const char* name;
    CFontSpec other;
    int equal;
  };
  std::vector<Case> cases;
  cases.push_back({"same", MakeSpec("Arial", 10, true, false), 1});
  cases.push_back({"face case differs", MakeSpec("arial", 10, true, false), 0});
  cases.push_back({"size", MakeSpec("Arial", 11, true, false), 0});
  cases.push_back({"bold", MakeSpec("Arial", 10, false, false), 0});
  cases.push_back({"italic", MakeSpec("Arial", 10, true, true), 0});
  cases.push_back({"width", MakeSpec("Arial", 10, true, false), 0});
  cases.back().other.SetWidthPercent(90);
  cases.push_back({"no face name", CFontSpec(), 0});
  cases.back().other.SetBold(true);
  for (const Case& c : cases) {
    EXPECT_EQ(base.IsEqual(c.other), c.equal) << c.name;
    EXPECT_EQ(c.other.IsEqual(base), c.equal) << c.name;
  }
}

TEST_F(FontSpecTest, DescriptionNamesFaceSizeAndStyle) {
  struct Case {
    CFontSpec spec;
    const char* description;
  };
  const Case cases[] = {
      {MakeSpec("Times New Roman", 14, true, true), "Times New Roman 14pt bold italic"},
      {MakeSpec("Arial", 10, true, false), "Arial 10pt bold"},
      {MakeSpec("Courier New", 8, false, true), "Courier New 8pt italic"},
      {MakeSpec("Verdana", 12), "Verdana 12pt"},
  };
  for (const Case& c : cases) {
    QString description;
    c.spec.GetDescription(description);
    EXPECT_EQ(description, Q(c.description));
  }
}

TEST_F(FontSpecTest, LogFontHeightFollowsResolutionAndZoom) {
  struct Case {
    const char* name;
    std::int16_t size;
    bool printing;
    int dpi;
    std::int16_t zoom;
    int height;
  };
  const Case cases[] = {
      {"12 pt on a 96 dpi screen", 12, false, 96, 100, 16},
      {"at zoom 50", 12, false, 96, 50, 8},
      {"never below one pixel", 1, false, 96, 10, 1},
      {"size 0", 0, false, 96, 100, 1},
      {"negative size", -12, false, 96, 100, 1},
      {"on a 120 dpi screen", 9, false, 120, 100, 15},
      {"10 pt on a 600 dpi printer", 10, true, 600, 100, 83},
      {"printer at zoom 200", 10, true, 300, 200, 83},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    zeph::DeviceCaps caps;
    caps.dpiX = caps.dpiY = c.dpi;
    dc.SetDeviceCaps(caps);
    dc.SetPrinting(c.printing);
    // A screen context's own resolution is not used: the screen's set-up value is.
    g_screenDpiY = c.printing ? 96 : c.dpi;
    DcFont lf;
    ASSERT_EQ(MakeSpec("Arial", c.size).GetLogFont(lf, &dc, c.zoom, 0), 1) << c.name;
    EXPECT_EQ(lf.height, c.height) << c.name;
  }
}

TEST_F(FontSpecTest, LogFontCarriesStyleAngleAndFace) {
  DcFont lf;
  MakeSpec("Times New Roman", 12, true, true).GetLogFont(lf, nullptr, 100, 90);
  EXPECT_EQ(lf.face, Q("Times New Roman"));
  EXPECT_EQ(lf.height, 16);
  EXPECT_EQ(lf.averageWidth, 0);
  EXPECT_EQ(lf.escapement, 900);
  EXPECT_TRUE(lf.bold);
  EXPECT_TRUE(lf.italic);

  // No face name, or one too long for the platform's font record: the system font's face.
  const QString systemFace = zeph::SystemFont().face;
  CFontSpec().GetLogFont(lf, nullptr, 100, 0);
  EXPECT_EQ(lf.face, systemFace);
  MakeSpec("A face name of thirty-one chars", 10).GetLogFont(lf, nullptr, 100, 0);
  EXPECT_EQ(lf.face, systemFace);
  MakeSpec("A face name of thirty chars ok", 10).GetLogFont(lf, nullptr, 100, -45);
  EXPECT_EQ(lf.face, Q("A face name of thirty chars ok"));
  EXPECT_EQ(lf.escapement, -450);
}

TEST_F(FontSpecTest, CommonFacesResolveToTheLiberationFaces) {
  struct Case {
    const char* face;
    const char* installed;
  };
  const Case cases[] = {
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
  };
  for (const Case& c : cases) {
    DcFont lf;
    MakeSpec(c.face, 10).GetLogFont(lf, nullptr, 100, 0);
    EXPECT_EQ(zeph::ResolveFontFace(lf.face), Q(c.installed)) << c.face;
  }
}

TEST_F(FontSpecTest, ScreenWithoutResolutionCountsAs120) {
  g_screenDpiY = 0;
  DcFont lf;
  EXPECT_EQ(MakeSpec("Arial", 12).GetLogFont(lf, nullptr, 100, 0), 1);
  EXPECT_EQ(lf.height, 20);
  EXPECT_EQ(g_firstGlitchCode, 20306);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(FontSpecTest, SetFromLogFontTakesPointsFromHeight) {
  struct Case {
    const char* name;
    int height;
    bool useContext;
    int dpi;
    std::int16_t size;
  };
  const Case cases[] = {
      {"96 dpi context", 16, true, 96, 12},
      {"negative height", -16, true, 96, 12},
      {"screen resolution without a context", 20, false, 120, 12},
      {"600 dpi context", 83, true, 600, 10},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    zeph::DeviceCaps caps;
    caps.dpiX = caps.dpiY = c.dpi;
    dc.SetDeviceCaps(caps);
    g_screenDpiY = c.useContext ? 96 : c.dpi;
    DcFont lf;
    lf.face = Q("Courier New");
    lf.height = c.height;
    lf.bold = true;
    CFontSpec spec = MakeSpec("Arial", 30, false, true);
    spec.SetWidthPercent(70);
    spec.SetFromLogFont(lf, c.useContext ? &dc : nullptr);
    EXPECT_EQ(spec.GetSize(), c.size) << c.name;
    EXPECT_EQ(spec.GetFaceName(), Q("Courier New")) << c.name;
    EXPECT_EQ(spec.IsBold(), 1) << c.name;
    EXPECT_EQ(spec.IsItalic(), 0) << c.name;
    EXPECT_EQ(spec.GetWidthPercent(), 100) << c.name;
  }
}

TEST_F(FontSpecTest, WidthPercentScalesTheMeasuredAverageWidth) {
  // 14 pt at 72 dpi is 14 pixels high; the fake font's average width is then 7.
  g_screenDpiY = 72;
  struct Case {
    std::int16_t percent;
    int averageWidth;
  };
  const Case cases[] = {
      {100, 0},  {0, 0}, {50, 3},  // 3.5 goes down at the half
      {150, 10},                   // 10.5 goes down at the half
      {200, 14},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    const DcFont before = dc.GetFont();
    CFontSpec spec = MakeSpec("Arial", 14);
    spec.SetWidthPercent(c.percent);
    DcFont font;
    ASSERT_EQ(spec.CreateFont(&font, &dc, 100, 0), 1) << c.percent;
    EXPECT_EQ(font.height, 14) << c.percent;
    EXPECT_EQ(font.averageWidth, c.averageWidth) << c.percent;
    EXPECT_EQ(dc.GetFont(), before) << "the context's font is put back";
  }
}

TEST_F(FontSpecTest, CreateFontRecordsItsWay) {
  CFontSpec spec = MakeSpec("Arial", 10);
  DcFont font;
  ASSERT_EQ(spec.CreateFont(&font, nullptr, 100, 0), 1);
  EXPECT_THAT(LogRecords(), ElementsAre(std::pair{20302, 0}, std::pair{20302, 1000}));

  // Without a context the width cannot be measured: normal width.
  ResetLogState();
  spec.SetWidthPercent(150);
  ASSERT_EQ(spec.CreateFont(&font, nullptr, 100, 0), 1);
  EXPECT_EQ(font.averageWidth, 0);
  EXPECT_THAT(LogRecords(), ElementsAre(std::pair{20302, 0}, std::pair{20302, 1}, std::pair{0, 150},
                                        std::pair{20302, 9002}));

  ResetLogState();
  EXPECT_EQ(spec.CreateFont(nullptr, nullptr, 100, 0), 0);
  EXPECT_THAT(LogRecords(), ElementsAre(std::pair{20302, 0}, std::pair{20302, 9001}));

  ResetLogState();
  ASSERT_EQ(spec.CreateUnzoomedFont(&font, nullptr), 1);
  EXPECT_EQ(LogRecords().front(), (std::pair{20304, 0}));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(FontSpecTest, RecreateFontMakesOrReplacesTheFont) {
  const CFontSpec spec = MakeSpec("Verdana", 12, true);
  std::unique_ptr<DcFont> font;
  ASSERT_EQ(spec.RecreateFont(font, nullptr, 200, 0), 1);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->face, Q("Verdana"));
  EXPECT_EQ(font->height, 32);
  EXPECT_EQ(LogRecords().front(), (std::pair{20303, 0}));
  EXPECT_EQ(LogRecords().back(), (std::pair{20303, 1000}));

  DcFont* const same = font.get();
  ASSERT_EQ(MakeSpec("Arial", 6).RecreateFont(font, nullptr, 100, 30), 1);
  EXPECT_EQ(font.get(), same);
  EXPECT_EQ(font->face, Q("Arial"));
  EXPECT_EQ(font->height, 8);
  EXPECT_EQ(font->escapement, 300);

  DeleteFontObject(font);
  EXPECT_EQ(font, nullptr);
}

TEST_F(FontSpecTest, SelectGdiObjectKeepsTheFirstReplacedObject) {
  CRecordingContext dc;
  const DcFont original = dc.GetFont();
  std::optional<DcFont> first;
  DcFont a;
  a.face = Q("Arial");
  DcFont b;
  b.face = Q("Verdana");
  SelectGdiObject(dc, static_cast<const DcFont*>(nullptr), first);
  EXPECT_FALSE(first.has_value());
  SelectGdiObject(dc, &a, first);
  SelectGdiObject(dc, &b, first);
  EXPECT_EQ(dc.GetFont(), b);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, original);

  std::optional<zeph::DcPen> firstPen;
  const zeph::DcPen pen{zeph::PenStyle::kSolid, 3, 0x0000FF};
  SelectGdiObject(dc, &pen, firstPen);
  EXPECT_EQ(dc.GetPen(), pen);
  EXPECT_EQ(firstPen, zeph::DcPen());
}

TEST_F(FontSpecTest, SharedFontsGrowOnAWideScreenAndAreMadeOnce) {
  struct Case {
    const char* name;
    const DcFont& (*get)();
    const char* face;
    bool bold;
    int narrowHeight;  // at 96 dpi on a screen below 1000 pixels
    int wideHeight;
  };
  const Case cases[] = {
      {"large bold", GetLargeBoldFont, "Arial", true, 15, 16},
      {"bold", GetBoldFont, "Arial", true, 12, 13},
      {"large bold Verdana", GetLargeBoldVerdanaFont, "Verdana", true, 15, 16},
      {"bold Verdana", GetBoldVerdanaFont, "Verdana", true, 12, 13},
      {"small", GetSmallFont, "Arial", false, 11, 11},
  };
  for (const Case& c : cases) {
    ResetSharedFonts();
    g_screenWidth = 800;
    const DcFont& narrow = c.get();
    EXPECT_EQ(narrow.face, Q(c.face)) << c.name;
    EXPECT_EQ(narrow.bold, c.bold) << c.name;
    EXPECT_EQ(narrow.height, c.narrowHeight) << c.name;
    // Made once a run: a later screen size does not change it.
    g_screenWidth = 1280;
    EXPECT_EQ(c.get().height, c.narrowHeight) << c.name;
    ResetSharedFonts();
    EXPECT_EQ(c.get().height, c.wideHeight) << c.name;
  }
}

TEST_F(FontSpecTest, UserInterfaceFontFollowsSystemClassAndScreenWidth) {
  struct Case {
    std::int32_t osClass;
    std::int32_t screenWidth;
    const char* description;
  };
  const Case cases[] = {
      {2, 1024, "Segoe UI 9pt"},
      {2, 1600, "Segoe UI 10pt"},
      {1, 800, "MS Sans Serif 8pt"},
      {0, 1000, "MS Sans Serif 8pt bold"},
  };
  for (const Case& c : cases) {
    ResetSharedFonts();
    g_osClass = c.osClass;
    g_screenWidth = c.screenWidth;
    QString description;
    GetUIFontSpec().GetDescription(description);
    EXPECT_EQ(description, Q(c.description));
    DcFont expected;
    GetUIFontSpec().CreateFont(&expected, nullptr, 100, 0);
    EXPECT_EQ(GetDialogFont(), expected) << c.description;
  }
}

}  // namespace
