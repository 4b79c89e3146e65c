// The tables of the drawing-file format (version tags, the old ten-colour palette), its one-line
// text form, the messages of the drawing files, and the services the reader and the writer
// take from outside the document.
#include <QString>
#include <array>

#include "document/document.h"
#include "document/drawingfile.h"
#include "document/drawingfile_detail.h"
#include "items/drawitem.h"
#include "items/itemservices.h"
#include "platform/drawcontext.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/strings.h"
#include "support/textutil.h"

namespace {

struct VersionTag {
  const char16_t* tag;
  DrawingFileVersion version;
  bool utf8;
};

constexpr VersionTag kVersionTags[] = {
    {u"Zavil4", kDrawingVersionZavil, false},  {u"Zephorin1", kDrawingVersion1, false},
    {u"Zephorin2", kDrawingVersion2, false},   {u"Zephorin2m", kDrawingVersion2, false},
    {u"Zephorin3", kDrawingVersion3, false},   {u"Zephorin4", kDrawingVersion4, false},
    {u"Zephorin5", kDrawingVersion5, false},   {u"Zephorin6", kDrawingVersion5, true},
    {u"Zephorin7", kDrawingVersion6, true},    {u"Zephorin7a", kDrawingVersion6, true},
};

// Red, green and blue of the palette the versions with one-byte colours indexed.
constexpr std::array<std::array<int, 3>, 10> kOldPalette = {{
    {0, 0, 0},
    {255, 0, 0},
    {0, 128, 0},
    {0, 0, 255},
    {255, 0, 255},
    {255, 160, 160},
    {255, 160, 0},
    {128, 128, 0},
    {0, 255, 255},
    {255, 255, 0},
}};

constexpr std::int64_t kPaletteFlag = 0x02000000;

struct BuiltInText {
  int id;
  const char16_t* text;
};

// The drawing files' messages, for a run whose string table does not hold them.
constexpr BuiltInText kMessages[] = {
    {kIdsDrawingSaved, u"The drawing has been saved."},
    {kIdsReplaceFile, u"Warning:\nthe file %1 already exists.\nDo you want to replace it?"},
    {kIdsSaveFailed, u"%1\n\nError when trying to save this file."},
    {kIdsOneItemIgnored, u"Warning:\nAn item in this file has been\nignored since it was illegal."},
    {kIdsItemsIgnored,
     u"Warning:\n%1 items in this file have been\nignored since they were illegal."},
    {kIdsTooManyItemsOfKind,
     u"%1\n\nThis drawing has %2 %3, but a drawing file can hold\nat most 65535 items of one "
     u"kind - file not saved."},
    {kIdsNameNotText,
     u"%1\nThe name of this file has characters\nwhich cannot be read - rename the file."},
};

const char16_t* const kKindNames[kItemTypeCount] = {
    u"lines",      u"arcs",  u"circles", u"fills",         u"dimensions",
    u"ellipses",   u"texts", u"curves",  u"elliptic arcs",
};

int g_tooManyType = -1;
int g_tooManyCount = 0;

// Measures with the editing view's context, as the width of old texts was always measured.
class CEditingViewMeasurer final : public IOldTextMeasurer {
 public:
  int MeasureTextWidth(const CFontSpec& font, const QString& text) override {
    CBorrowedMeasuringContext borrowed;
    zeph::CDrawContext* dc = borrowed.Get();
    if (dc == nullptr) return 0;
    zeph::DcFont made;
    if (font.CreateUnzoomedFont(&made, dc) == 0) return 0;
    const zeph::DcFont previous = dc->SelectFont(made);
    const int width = dc->GetTextExtent(text).cx;
    dc->SelectFont(previous);
    return width;
  }
};

CEditingViewMeasurer g_editingViewMeasurer;
IOldTextMeasurer* g_measurer = nullptr;
// The conversion of old hatches, unless a test installs another.
void ConvertLegacySegmentsOf(CZephDoc& doc) { doc.ConvertLegacySegments(); }
LegacyConversionHook g_legacyHook = ConvertLegacySegmentsOf;

int g_saveFaultAt = 0;
int g_saveSteps = 0;
unsigned g_saveStepKinds = 0;
int g_savePoints = 0;
SavePointObserver g_savePointObserver = nullptr;

}  // namespace

int IdentifyDrawingFileTag(const QString& line, DrawingFileVersion& version, bool& utf8) {
  for (const VersionTag& known : kVersionTags) {
    if (line == QStringView(known.tag)) {
      version = known.version;
      utf8 = known.utf8;
      return kFileOk;
    }
  }
  if (line.size() >= 9 && line.startsWith(QStringLiteral("Zephorin")) && line[8] >= u'6' &&
      line[8] <= u'9') {
    return kFileIncompatible;
  }
  return kFileNotDrawing;
}

std::int64_t OldPaletteColour(int index) {
  if (index < 0 || index >= static_cast<int>(kOldPalette.size())) return -1;
  const auto& rgb = kOldPalette[static_cast<std::size_t>(index)];
  return kPaletteFlag + rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
}

QString ToFileLine(const QString& text) {
  if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
  // Each break, whichever of the three forms, becomes one CR before the stored form is made.
  QString breaks = text;
  breaks.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
  breaks.replace(u'\n', u'\r');
  return EncodeLineBreaks(breaks);
}

QString DrawingItemKindName(int type) {
  if (type < 0 || type >= kItemTypeCount) return QString();
  return QString::fromUtf16(kKindNames[type]);
}

namespace {

QString MessageText(int id) {
  QString text = LoadProgramString(id);
  if (!text.isEmpty()) return text;
  for (const BuiltInText& entry : kMessages) {
    if (entry.id == id) return QString::fromUtf16(entry.text);
  }
  return QString();
}

}  // namespace

void SetTooManyItems(int type, int count) {
  g_tooManyType = type;
  g_tooManyCount = count;
}

void GetTooManyItems(int& type, int& count) {
  type = g_tooManyType;
  count = g_tooManyCount;
}

QString DrawingFileErrorMessage(const QString& path) {
  if (g_fileStatus == kFileNameNotText) return MessageText(kIdsNameNotText).arg(path);
  if (g_fileStatus != kFileTooManyItems) return FileErrorMessage(path);
  return MessageText(kIdsTooManyItemsOfKind)
      .arg(path, QString::number(g_tooManyCount), DrawingItemKindName(g_tooManyType));
}

void ShowDrawingFileError(const QString& path) {
  if (g_fileStatus == kFileOk) return;
  if (g_fileStatus != kFileTooManyItems && g_fileStatus != kFileNameNotText) {
    ShowFileError(path);
    return;
  }
  LogScope trace(kLogShowDrawingFileError);
  LogNumber(g_fileStatus);
  zeph::GetPresenter().ShowMessageBox(DrawingFileErrorMessage(path),
                                      QString::fromUtf16(kProductName),
                                      zeph::kMbOk | zeph::kMbIconExclamation);
  trace.Exit();
}

QString DrawingFileMessage(int id) { return MessageText(id); }

void SetOldTextMeasurer(IOldTextMeasurer* measurer) { g_measurer = measurer; }
IOldTextMeasurer& GetOldTextMeasurer() {
  return g_measurer != nullptr ? *g_measurer : g_editingViewMeasurer;
}

void SetLegacyConversionHook(LegacyConversionHook hook) {
  g_legacyHook = hook != nullptr ? hook : ConvertLegacySegmentsOf;
}
LegacyConversionHook GetLegacyConversionHook() { return g_legacyHook; }

void SetSaveFaultForTest(int k) {
  g_saveFaultAt = k;
  g_saveSteps = 0;
  g_saveStepKinds = 0;
  g_savePoints = 0;
}

void SetSavePointObserverForTest(SavePointObserver observer) { g_savePointObserver = observer; }

void PassSavePoint() {
  ++g_savePoints;
  if (g_savePointObserver != nullptr) g_savePointObserver(g_savePoints);
}

int GetSaveStepCountForTest() { return g_saveSteps; }
unsigned GetSaveStepKindsForTest() { return g_saveStepKinds; }

bool SaveStepFails(SaveStep step) {
  PassSavePoint();
  ++g_saveSteps;
  g_saveStepKinds |= 1u << static_cast<unsigned>(step);
  return g_saveFaultAt != 0 && g_saveSteps == g_saveFaultAt;
}
