#pragma once
// The options store: the user's settings in four typed tables (3 fonts, 6 doubles, 19 shorts,
// 22 flags), read by index from everywhere. Values come from the built-in defaults, then the
// all-users options file "Zeph.ini" in the manager's folder, then the user's own "Zeph.ini"
// when the manager lets users keep options. Every option has a changed flag (set when it came
// from a file or was changed since the last reset); only options with that flag are written
// back, so an options file holds just what differs from the defaults.
//
// A bad index is a glitch: getters give a neutral value, setters change nothing.
#include <array>
#include <cstdint>

#include "support/fontspec.h"

inline constexpr int kOptionFontCount = 3;
inline constexpr int kOptionDoubleCount = 6;
inline constexpr int kOptionShortCount = 19;
inline constexpr int kOptionFlagCount = 22;

// Font options.
inline constexpr int kOptionFontPrintFooter = 0;
inline constexpr int kOptionFontDrawingText = 1;
inline constexpr int kOptionFontDimensionText = 2;

// Double options: print margins in centimetres.
inline constexpr int kOptionPrintLeftMargin = 0;
inline constexpr int kOptionPrintRightMargin = 1;
inline constexpr int kOptionPrintTopMargin = 2;
inline constexpr int kOptionPrintFooterMargin = 3;
inline constexpr int kOptionPrintBottomMargin = 4;
inline constexpr int kOptionPrintMultiPageMargin = 5;

// Short options.
inline constexpr int kOptionGridLayout = 0;    // 0 square, 1 isometric
inline constexpr int kOptionGridType = 1;      // 0 lines, 1 dots
inline constexpr int kOptionGridShow = 2;      // 0 by zoom, 1 always, 2 never
inline constexpr int kOptionGridDistance = 3;  // index of the 7 grid sizes
inline constexpr int kOptionGridColour = 4;    // index of the 4 grid colours
inline constexpr int kOptionDisplayUnits = 5;  // 0 automatic, 1 mm, 2 cm, 3 m, 4 km
inline constexpr int kOptionDecimalPlaces = 6;
inline constexpr int kOptionJoinDistance = 7;  // pixels
inline constexpr int kOptionHuntDistance = 8;  // pixels
inline constexpr int kOptionClickFillDistance = 9;
inline constexpr int kOptionColourPickDistance = 10;
inline constexpr int kOptionHatchPatternAcross = 11;
inline constexpr int kOptionHatchPatternDown = 12;
inline constexpr int kOptionZoomStart = 13;  // zoom level 1..13
inline constexpr int kOptionPrintedPageHorizontal = 14;
inline constexpr int kOptionPrintedPageVertical = 15;
inline constexpr int kOptionPrintedFooterAlignment = 16;
inline constexpr int kOptionHelpTextSize = 17;   // help file 0..3
inline constexpr int kOptionDormantColour = 18;  // 0..6

// Flag options (0 or 1).
inline constexpr int kOptionGridSnap = 0;
inline constexpr int kOptionCrossHairsCursor = 1;
inline constexpr int kOptionToolBar = 2;
inline constexpr int kOptionStatusBar = 3;
inline constexpr int kOptionPrintLandscape = 4;
inline constexpr int kOptionPrintScale = 5;
inline constexpr int kOptionPrintName = 6;
inline constexpr int kOptionPrintFilename = 7;
inline constexpr int kOptionPrintDate = 8;
inline constexpr int kOptionPrintTime = 9;
inline constexpr int kOptionReportIgnoredItems = 10;
inline constexpr int kOptionSuspiciousHatchIgnored = 11;
inline constexpr int kOptionSpellCheck = 12;
inline constexpr int kOptionFlashDelete = 13;
inline constexpr int kOptionObjectListTriangles = 14;
inline constexpr int kOptionFullPathnameTitle = 15;
inline constexpr int kOptionCopyNewObject = 16;
inline constexpr int kOptionTransformNewObject = 17;
inline constexpr int kOptionTransformKeepOriginal = 18;
inline constexpr int kOptionUseBackupFolder = 19;
inline constexpr int kOptionCreateBackupSeries = 20;
inline constexpr int kOptionWarnHatchConversionFailure = 21;

// Which options file: the user's own, or the one for all users in the manager's folder.
inline constexpr int kOptionsFileUser = 0;
inline constexpr int kOptionsFileAllUsers = 1;

// The store. Changed flags: 1 = set from a file or changed since the last reset.
extern std::array<CFontSpec, kOptionFontCount> g_optionFonts;
extern std::array<std::int32_t, kOptionFontCount> g_optionFontChanged;
extern std::array<double, kOptionDoubleCount> g_optionDoubles;
extern std::array<std::int32_t, kOptionDoubleCount> g_optionDoubleChanged;
extern std::array<std::int16_t, kOptionShortCount> g_optionShorts;
extern std::array<std::int32_t, kOptionShortCount> g_optionShortChanged;
extern std::array<std::int32_t, kOptionFlagCount> g_optionFlags;
extern std::array<std::int32_t, kOptionFlagCount> g_optionFlagChanged;
// Arial 8 pt, made at the first GetOptionFont; what a bad font index gives.
extern CFontSpec g_badIndexFont;

// ---- Access by index (the index is a 16-bit number) ----
// A bad index: glitch 3711 and g_badIndexFont.
const CFontSpec* GetOptionFont(std::int16_t index);
// A bad index: glitch 3712 and 0.
double GetOptionDouble(std::int16_t index);
// A bad index: glitch 3713 and 0.
std::int16_t GetOptionShort(std::int16_t index);
// A bad index: glitch 3714 and 0.
int GetOptionFlag(std::int16_t index);

// 1 when the value differed from the stored one and was stored (its changed flag set);
// 0 when it was equal, or the index is bad (glitch 3741..3744).
int SetOptionFont(std::int16_t index, const CFontSpec& font);
// A value that is not finite is refused (0), as it could not be written to the file.
int SetOptionDouble(std::int16_t index, double value);
int SetOptionShort(std::int16_t index, std::int16_t value);
int SetOptionFlag(std::int16_t index, std::int32_t value);

// ---- Resetting and loading ----
void ClearOptionChangedFlags();
// Every option whose changed flag is clear gets its default (a font's width is left alone).
void ApplyOptionDefaults();
// Clears the changed flags and applies the defaults; with reread exactly 1 reads the
// all-users file, then the user's. Then selects the help file of "HelpTextSize" and lets the
// application reapply the print settings.
void ResetOptions(int reread);
// After the manager's settings changed: the printers, the manager file, then ResetOptions(1).
void LoadOptions();
// kOptionsFileAllUsers or kOptionsFileUser; any other value is a glitch (3722). A missing
// file, a wrong first line, unknown keys and bad or out-of-range values are passed over.
void ReadOptionsFile(int which);
// Writes the options whose changed flag is set. 1 on success (status-bar message 260); 0 on
// failure, after the file-error message. The old file stays until the new one is complete.
int WriteOptionsFile(int which);

// Puts the store back to its built-in defaults with every changed flag clear. For tests.
void ResetOptionsState();
