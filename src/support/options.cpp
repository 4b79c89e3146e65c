#include "support/options.h"

#include <QString>
#include <cmath>
#include <new>

#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/settings.h"
#include "support/sharedconfig.h"
#include "support/textfile.h"
#include "support/textutil.h"

std::array<CFontSpec, kOptionFontCount> g_optionFonts;
std::array<std::int32_t, kOptionFontCount> g_optionFontChanged{};
std::array<double, kOptionDoubleCount> g_optionDoubles{};
std::array<std::int32_t, kOptionDoubleCount> g_optionDoubleChanged{};
std::array<std::int16_t, kOptionShortCount> g_optionShorts{};
std::array<std::int32_t, kOptionShortCount> g_optionShortChanged{};
std::array<std::int32_t, kOptionFlagCount> g_optionFlags{};
std::array<std::int32_t, kOptionFlagCount> g_optionFlagChanged{};
CFontSpec g_badIndexFont;

namespace {

bool g_badIndexFontMade = false;

// A handled outcome that ends a function: the point is recorded, then a normal exit closes
// the function's entry in the log's call stack (a handled value alone would leave it open).
void ExitHandled(const LogScope& trace, int phase) {
  trace.Step(phase, kLogHandled);
  trace.Exit();
}

struct FontOption {
  const char16_t* key;
  std::int16_t size;
};
constexpr FontOption kFontOptions[kOptionFontCount] = {
    {u"FontPrintFooter", 11},
    {u"FontDrawingText", 24},
    {u"FontDimensionText", 16},
};

// Values read from a file must lie within [low, high]; others are passed over as bad values,
// since the readers of these options index tables or divide by them.
struct DoubleOption {
  const char16_t* key;
  double defaultValue;
};
constexpr DoubleOption kDoubleOptions[kOptionDoubleCount] = {
    {u"PrintLeftMargin", 2.0},   {u"PrintRightMargin", 2.0},  {u"PrintTopMargin", 1.0},
    {u"PrintFooterMargin", 1.5}, {u"PrintBottomMargin", 1.2}, {u"PrintMultiPageMargin", 0.0},
};

struct ShortOption {
  const char16_t* key;
  std::int16_t defaultValue;
  std::int16_t low;
  std::int16_t high;
};
constexpr ShortOption kShortOptions[kOptionShortCount] = {
    {u"GridLayout", 0, 0, 1},
    {u"GridType", 0, 0, 1},
    {u"GridShow", 0, 0, 2},
    {u"GridDistance", 3, 0, 6},
    {u"GridColour", 0, 0, 3},
    {u"DisplayUnits", 1, 0, 4},
    {u"DecimalPlaces", 2, 0, 15},
    {u"JoinDistance", 2, 0, 32767},
    {u"HuntDistance", 50, 0, 32767},
    {u"ClickFillDistance", 2, 0, 32767},
    {u"ColourPickDistance", 10, 0, 32767},
    {u"HatchPatternAcross", 3, 1, 10},
    {u"HatchPatternDown", 60, 1, 1000},
    {u"ZoomStart", 8, 1, 13},
    {u"PrintedPageHorizontal", 1, 0, 2},
    {u"PrintedPageVertical", 1, 0, 2},
    {u"PrintedFooterAlignment", 2, 0, 2},
    {u"HelpTextSize", 0, 0, 3},
    {u"DormantColour", 0, 0, 6},
};

struct FlagOption {
  const char16_t* key;
  std::int32_t defaultValue;
};
constexpr FlagOption kFlagOptions[kOptionFlagCount] = {
    {u"GridSnap", 0},
    {u"CrossHairsCursor", 0},
    {u"ToolBar", 1},
    {u"StatusBar", 1},
    {u"PrintLandscape", 1},
    {u"PrintScale", 1},
    {u"PrintName", 1},
    {u"PrintFilename", 1},
    {u"PrintDate", 1},
    {u"PrintTime", 0},
    {u"ReportIgnoredItems", 0},
    {u"SuspiciousHatchIgnored", 1},
    {u"SpellCheck", 1},
    {u"FlashDelete", 0},
    {u"ObjectListTriangles", 1},
    {u"FullPathnameTitle", 1},
    {u"CopyNewObject", 1},
    {u"TransformNewObject", 1},
    {u"TransformKeepOriginal", 0},
    {u"UseBackupFolder", 1},
    {u"CreateBackupSeries", 0},
    {u"WarnHatchConversionFailure", 0},
};

QString Key(const char16_t* key) { return QString::fromUtf16(key); }

bool KeyIs(const QString& key, const char16_t* name) { return CompareNoCase(key, Key(name)) == 0; }

template <typename Table, std::size_t N>
int FindKey(const QString& key, const Table (&table)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (KeyIs(key, table[i].key)) return static_cast<int>(i);
  }
  return -1;
}

bool IsBadIndex(std::int16_t index, int count) { return index < 0 || index >= count; }

void ReportBadIndex(int code, int n, int value) {
  SetGlitchValue(value);
  ReportGlitch(code, n);
}

QString RemoveSpaces(const QString& text) {
  QString out = text;
  out.remove(u' ');
  return out;
}

// A font value: '[Bold,][Italic,]<size>,<face>'. A value without a size, or with a field
// that is none of these, leaves the option as it is.
void ReadFontValue(int index, QString value) {
  bool bold = false;
  bool italic = false;
  std::int16_t size = 0;
  for (;;) {
    const qsizetype comma = value.indexOf(u',');
    if (comma < 0) {
      QString face = value;
      TrimText(face);
      // A face name is needed to make a font, and a size below 1 point draws nothing.
      if (size < 1 || face.isEmpty()) return;
      CFontSpec& font = g_optionFonts[static_cast<std::size_t>(index)];
      font.SetSize(size);
      font.SetBold(bold);
      font.SetItalic(italic);
      font.SetFaceName(face);
      g_optionFontChanged[static_cast<std::size_t>(index)] = 1;
      return;
    }
    if (comma == 0) {
      value.remove(0, 1);
      continue;
    }
    QString field = value.left(comma);
    value.remove(0, comma + 1);
    TrimText(field);
    if (CompareNoCase(field, QStringLiteral("BOLD")) == 0) {
      bold = true;
    } else if (CompareNoCase(field, QStringLiteral("ITALIC")) == 0) {
      italic = true;
    } else if (TextToShort(field, size) == 0) {
      return;
    }
  }
}

void ReadOptionLine(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 2) return;
  const QString key = RemoveSpaces(line.left(equals));
  QString value = line.mid(equals + 1);
  TrimText(value);

  if (const int i = FindKey(key, kFontOptions); i >= 0) {
    ReadFontValue(i, value);
    return;
  }
  if (const int i = FindKey(key, kDoubleOptions); i >= 0) {
    double d = 0.0;
    // Margins are never negative.
    if (StringToDouble(value, d) != 0 && std::isfinite(d) && d >= 0.0) {
      g_optionDoubles[static_cast<std::size_t>(i)] = d;
      g_optionDoubleChanged[static_cast<std::size_t>(i)] = 1;
    }
    return;
  }
  if (const int i = FindKey(key, kShortOptions); i >= 0) {
    std::int16_t s = 0;
    const ShortOption& option = kShortOptions[i];
    if (TextToShort(value, s) != 0 && s >= option.low && s <= option.high) {
      g_optionShorts[static_cast<std::size_t>(i)] = s;
      g_optionShortChanged[static_cast<std::size_t>(i)] = 1;
    }
    return;
  }
  if (const int i = FindKey(key, kFlagOptions); i >= 0) {
    if (CompareNoCase(value, QStringLiteral("YES")) == 0) {
      g_optionFlags[static_cast<std::size_t>(i)] = 1;
    } else if (CompareNoCase(value, QStringLiteral("NO")) == 0) {
      g_optionFlags[static_cast<std::size_t>(i)] = 0;
    } else {
      return;
    }
    g_optionFlagChanged[static_cast<std::size_t>(i)] = 1;
  }
}

void WriteChangedOptions(CTextFileWriter& writer) {
  WriteEncodableLine(writer, g_optionsFileHeader);
  for (int i = 0; i < kOptionFontCount; ++i) {
    if (g_optionFontChanged[static_cast<std::size_t>(i)] == 0) continue;
    const CFontSpec& font = g_optionFonts[static_cast<std::size_t>(i)];
    QString line = Key(kFontOptions[i].key) + u'=';
    if (font.IsBold() != 0) line += QStringLiteral("Bold,");
    if (font.IsItalic() != 0) line += QStringLiteral("Italic,");
    AppendShort(line, font.GetSize());
    line += u',';
    line += font.GetFaceName();
    WriteEncodableLine(writer, line);
  }
  for (int i = 0; i < kOptionDoubleCount; ++i) {
    if (g_optionDoubleChanged[static_cast<std::size_t>(i)] == 0) continue;
    const double value = g_optionDoubles[static_cast<std::size_t>(i)];
    QString text;
    // A value without digits could not be read back: the save fails rather than lose it.
    if (!std::isfinite(value) || (FormatDouble(value, text, 21) == 0 && text.isEmpty())) {
      if (g_fileStatus == kFileOk) g_fileStatus = kFileCannotSave;
      return;
    }
    WriteEncodableLine(writer, Key(kDoubleOptions[i].key) + u'=' + text);
  }
  for (int i = 0; i < kOptionShortCount; ++i) {
    if (g_optionShortChanged[static_cast<std::size_t>(i)] == 0) continue;
    QString line = Key(kShortOptions[i].key) + u'=';
    AppendShort(line, g_optionShorts[static_cast<std::size_t>(i)]);
    WriteEncodableLine(writer, line);
  }
  for (int i = 0; i < kOptionFlagCount; ++i) {
    if (g_optionFlagChanged[static_cast<std::size_t>(i)] == 0) continue;
    WriteEncodableLine(
        writer, Key(kFlagOptions[i].key) + u'=' +
                    (g_optionFlags[static_cast<std::size_t>(i)] != 0 ? QStringLiteral("Yes")
                                                                     : QStringLiteral("No")));
  }
}

// Until start-up fills the store from its files, its readers see the built-in defaults.
[[maybe_unused]] const bool g_defaultsAtStart = (ApplyOptionDefaults(), true);

}  // namespace

// ---- Access by index ----

const CFontSpec* GetOptionFont(std::int16_t index) {
  if (!g_badIndexFontMade) {
    g_badIndexFont.Set(QStringLiteral("Arial"), 8, false, false);
    g_badIndexFontMade = true;
  }
  if (IsBadIndex(index, kOptionFontCount)) {
    ReportBadIndex(3711, 1, index);
    return &g_badIndexFont;
  }
  return &g_optionFonts[static_cast<std::size_t>(index)];
}

double GetOptionDouble(std::int16_t index) {
  if (IsBadIndex(index, kOptionDoubleCount)) {
    ReportBadIndex(3712, 1, index);
    return 0.0;
  }
  return g_optionDoubles[static_cast<std::size_t>(index)];
}

std::int16_t GetOptionShort(std::int16_t index) {
  if (IsBadIndex(index, kOptionShortCount)) {
    ReportBadIndex(3713, 1, index);
    return 0;
  }
  return g_optionShorts[static_cast<std::size_t>(index)];
}

int GetOptionFlag(std::int16_t index) {
  if (IsBadIndex(index, kOptionFlagCount)) {
    ReportBadIndex(3714, 1, index);
    return 0;
  }
  return g_optionFlags[static_cast<std::size_t>(index)];
}

int SetOptionFont(std::int16_t index, const CFontSpec& font) {
  if (IsBadIndex(index, kOptionFontCount)) {
    ReportBadIndex(3741, 1, index);
    return 0;
  }
  const auto i = static_cast<std::size_t>(index);
  if (g_optionFonts[i].IsEqual(font) != 0) return 0;
  g_optionFonts[i].CopyFrom(font);
  g_optionFontChanged[i] = 1;
  return 1;
}

int SetOptionDouble(std::int16_t index, double value) {
  if (IsBadIndex(index, kOptionDoubleCount)) {
    ReportBadIndex(3742, 1, index);
    return 0;
  }
  const auto i = static_cast<std::size_t>(index);
  if (!std::isfinite(value) || g_optionDoubles[i] == value) return 0;
  g_optionDoubles[i] = value;
  g_optionDoubleChanged[i] = 1;
  return 1;
}

int SetOptionShort(std::int16_t index, std::int16_t value) {
  if (IsBadIndex(index, kOptionShortCount)) {
    ReportBadIndex(3743, 1, index);
    return 0;
  }
  const auto i = static_cast<std::size_t>(index);
  if (g_optionShorts[i] == value) return 0;
  g_optionShorts[i] = value;
  g_optionShortChanged[i] = 1;
  return 1;
}

int SetOptionFlag(std::int16_t index, std::int32_t value) {
  if (IsBadIndex(index, kOptionFlagCount)) {
    ReportBadIndex(3744, 1, index);
    return 0;
  }
  const auto i = static_cast<std::size_t>(index);
  if (g_optionFlags[i] == value) return 0;
  g_optionFlags[i] = value;
  g_optionFlagChanged[i] = 1;
  return 1;
}

// ---- Resetting and loading ----

void ClearOptionChangedFlags() {
  g_optionFontChanged.fill(0);
  g_optionDoubleChanged.fill(0);
  g_optionShortChanged.fill(0);
  g_optionFlagChanged.fill(0);
}

void ApplyOptionDefaults() {
  for (std::size_t i = 0; i < kOptionFontCount; ++i) {
    if (g_optionFontChanged[i] != 0) continue;
    CFontSpec& font = g_optionFonts[i];
    font.SetFaceName(QStringLiteral("Arial"));
    font.SetSize(kFontOptions[i].size);
    font.SetBold(false);
    font.SetItalic(false);
  }
  for (std::size_t i = 0; i < kOptionDoubleCount; ++i) {
    if (g_optionDoubleChanged[i] == 0) g_optionDoubles[i] = kDoubleOptions[i].defaultValue;
  }
  for (std::size_t i = 0; i < kOptionShortCount; ++i) {
    if (g_optionShortChanged[i] == 0) g_optionShorts[i] = kShortOptions[i].defaultValue;
  }
  for (std::size_t i = 0; i < kOptionFlagCount; ++i) {
    if (g_optionFlagChanged[i] == 0) g_optionFlags[i] = kFlagOptions[i].defaultValue;
  }
}

void ResetOptions(int reread) {
  ClearOptionChangedFlags();
  ApplyOptionDefaults();
  if (reread == 1) {
    ReadOptionsFile(kOptionsFileAllUsers);
    ReadOptionsFile(kOptionsFileUser);
  }
  SelectHelpFile(GetOptionShort(kOptionHelpTextSize));
  GetAppServices().ReapplyPrintSettings();
}

void LoadOptions() {
  ReadPrinterSettings();
  ReadManagerFile();
  ResetOptions(1);
}

void ReadOptionsFile(int which) {
  LogScope trace(3722);
  QString path;
  if (which == kOptionsFileAllUsers) {
    // Without a manager folder there is no all-users file (and never one at the root).
    if (g_sharedSettingsFolder.isEmpty()) return ExitHandled(trace, 1);
    path = g_sharedSettingsFolder + u'/' + g_optionsFileName;
  } else if (which == kOptionsFileUser) {
    if (g_keepOptions == 0) return ExitHandled(trace, 2);
    if (GetRoamingDataFolder() == 0) {
      ReportGlitch(3722, 1);
      return trace.Exit(kLogFailed, 3);
    }
    path = g_roamingDataFolder + u'/' + g_optionsFileName;
  } else {
    SetGlitchValue(which);
    ReportGlitch(3722, 2);
    return trace.Exit(kLogInvalid, 4);
  }

  CTextFileReader reader;
  reader.SetOemEncoding();
  if (reader.Open(path) == 0) {
    // Having no options file is no failure for whatever file operation comes next.
    g_fileStatus = kFileOk;
    return ExitHandled(trace, 5);
  }
  QString line;
  reader.ReadLine(line);
  if (g_fileStatus != kFileOk || line != g_optionsFileHeader) {
    reader.Close();
    g_fileStatus = kFileOk;
    return ExitHandled(trace, 6);
  }
  for (;;) {
    reader.ReadLine(line);
    if (g_fileStatus != kFileOk) break;
    ReadOptionLine(line);
  }
  reader.Close();
  g_fileStatus = kFileOk;
  trace.Exit();
}

int WriteOptionsFile(int which) {
  LogScope trace(3732);
  QString folder;
  if (which == kOptionsFileAllUsers) {
    folder = g_sharedSettingsFolder;
  } else if (which == kOptionsFileUser) {
    if (GetRoamingDataFolder() != 0) folder = g_roamingDataFolder;
  } else {
    SetGlitchValue(which);
    ReportGlitch(3732, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  if (folder.isEmpty()) {
    // Said plainly rather than with whatever status an earlier file operation left.
    g_fileStatus = kFileCannotCreate;
    ShowFileError(g_optionsFileName);
    return trace.Return(0, kLogFailed, 2);
  }
  const QString path = folder + u'/' + g_optionsFileName;
  if (WriteTextFileReplacing(path, WriteChangedOptions) == 0) {
    ShowFileError(path);
    return trace.Return(0, kLogFailed, 3);
  }
  ShowStatusMessage(260, 0);
  return trace.Return(1);
}

void ResetOptionsState() {
  ClearOptionChangedFlags();
  ApplyOptionDefaults();
  for (CFontSpec& font : g_optionFonts) font.SetWidthPercent(100);
  g_badIndexFont = CFontSpec();
  g_badIndexFontMade = false;
}
