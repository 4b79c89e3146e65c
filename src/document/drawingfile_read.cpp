// Reading drawing files of every version into a document: opening a drawing, inserting one
// into the open drawing as one undo step, and loading a symbol library. Items are made through
// the item factory, given their values through their setters and offered to the document,
// which refuses invalid ones; the object numbers read pass through MapLoadedObjectNumber.
//
// Nothing a file holds may crash the program or make it spin: every counted loop stops at its
// first failed read, a count that the rest of the file cannot hold is an illegal value, and a
// value an item cannot take makes that item ignored rather than a glitch.
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "document/document.h"
#include "document/drawingfile.h"
#include "document/drawingfile_detail.h"
#include "document/undostep.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/hatch.h"
#include "items/legacysegment.h"
#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/safesave.h"
#include "support/textfile.h"
#include "support/uiutil.h"

namespace {

constexpr int kBlack = 33554432;
// Coordinates of the point table of the oldest versions are clamped into the drawing area.
constexpr std::int64_t kMaxPointX = 50000000;
constexpr std::int64_t kMaxPointY = 30000000;
constexpr double kOldFontFactor = 0.325;

// The header of every version: counts, then the scales.
struct Header {
  int points = 0;
  int curves = 0;
  int fills = 0;
  int legacy = 0;
  int lines = 0;
  int arcs = 0;
  int circles = 0;
  int texts = 0;
  int ellipses = 0;
  int dimensions = 0;
  int names = 0;
  int ellipseArcs = 0;
  double realWorldScale = 1.0;
  double printingScale = -1.0;
};

int ClampToInt(std::int64_t v) { return ClampInt64ToInt(v); }

// One read in progress.
class CDrawingReader {
 public:
  CDrawingReader(CZephDoc& doc, CTextFileReader& file, DrawingFileVersion version, int mode,
                 std::int64_t fileSize)
      : m_doc(doc), m_file(file), m_version(version), m_mode(mode), m_fileSize(fileSize) {}

  // Steps 5 to 11 of a read. False when it stopped early (the status says why).
  bool ReadAll();

  const Header& GetHeader() const { return m_header; }
  int GetIgnoredCount() const { return m_ignored; }

 private:
  bool Old() const { return m_version <= kDrawingVersion1; }
  bool Stopped() const { return g_fileStatus != kFileOk; }
  // Sets status 12 for the line just read and closes the file, as a line that does not parse.
  bool Illegal() {
    if (g_fileStatus == kFileOk) g_fileStatus = kFileIllegalValue;
    m_file.Close();
    return false;
  }
  bool NoMemory() {
    if (g_fileStatus == kFileOk) g_fileStatus = kFileNoMemory;
    m_file.Close();
    return false;
  }

  // A count read for a loop: at most what the lines left in the file can hold (each line
  // takes at least one byte).
  bool CountFits(std::int64_t count) const {
    return count >= 0 && count <= m_fileSize - g_fileLineNumber;
  }

  bool ReadHeader();
  bool ReadPointTable();
  bool ReadItems(int type, int count);
  // Adds an item read whole to the drawing; false when the list cannot grow.
  bool AddReadItem(int type, DrawItemPtr& item);
  // Adds the items held back, in the order read.
  bool AddHeldItems();
  // Room for the items the header counts, no more than the file could hold.
  void ReserveForItems();
  bool ReadRecord(int type, CDrawItem& item);
  bool ReadLegacySegments();
  bool ReadNames();
  bool ReadWords();
  void ReadPrintSettings();
  void ReadPicture();

  // ---- Fields ----
  bool ReadPoint(int& x, int& y);
  bool ReadOldColour(int& colour);
  bool ReadItemColour(CDrawItem& item);
  bool ReadObjectNumber(CDrawItem& item);
  bool ReadGroup(CDrawItem& item);
  bool ReadTail(CDrawItem& item);
  bool ReadOldTenths(int& v);

  // ---- Records ----
  bool ReadLine(CDrawItem& item);
  bool ReadArc(CDrawItem& item);
  bool ReadCircle(CDrawItem& item);
  bool ReadText(CDrawItem& item);
  bool ReadEllipse(CDrawItem& item);
  bool ReadEllipseArc(CDrawItem& item);
  bool ReadCurve(CDrawItem& item);
  bool ReadDimension(CDrawItem& item);
  bool ReadFill(CDrawItem& item);

  // The width percent of an old text (width w, in font), from its measured width.
  int FitOldTextWidth(const QString& text, const CFontSpec& font, int w) const;
  // The one object number of all texts of the oldest versions.
  int OldTextObjectNumber();

  CZephDoc& m_doc;
  CTextFileReader& m_file;
  const DrawingFileVersion m_version;
  const int m_mode;
  const std::int64_t m_fileSize;
  Header m_header;
  std::vector<int> m_pointX;
  std::vector<int> m_pointY;
  int m_ignored = 0;
  // Items read but not yet added (see ReadAll).
  bool m_holding = false;
  std::vector<DrawItemPtr> m_held;
  // The item being read holds a value it cannot take: it is ignored once read whole.
  bool m_bad = false;
  int m_oldTextNumber = -1;
  CFontSpec m_font;
};

bool CDrawingReader::ReadAll() {
  if (!ReadHeader()) return false;
  if (Old() && !ReadPointTable()) return false;
  ReserveForItems();
  // The curves come before the fills in the file but after them in the list: they wait until
  // the fills are in, so that each fill joins the end of the list instead of pushing every
  // curve along. Whatever was read whole is added, also when the read stops early.
  m_holding = true;
  const bool curves = ReadItems(kItemBezier, m_header.curves);
  m_holding = false;
  const bool fills = curves && ReadItems(kItemFill, m_header.fills);
  if (!AddHeldItems() || !curves || !fills) return false;
  if (!ReadLegacySegments()) return false;
  if (!ReadItems(kItemLine, m_header.lines)) return false;
  if (!ReadItems(kItemArc, m_header.arcs)) return false;
  if (!ReadItems(kItemCircle, m_header.circles)) return false;
  if (!ReadItems(kItemText, m_header.texts)) return false;
  if (!ReadItems(kItemEllipse, m_header.ellipses)) return false;
  if (!ReadItems(kItemEllipseArc, m_header.ellipseArcs)) return false;
  if (!ReadItems(kItemDimension, m_header.dimensions)) return false;
  if (!ReadNames()) return false;
  if (!ReadWords()) return false;
  // A failure from here on leaves the status set but the read goes on to its end.
  ReadPrintSettings();
  ReadPicture();
  return true;
}

bool CDrawingReader::ReadHeader() {
  Header& h = m_header;
  const auto count = [this](int& field) {
    std::uint16_t v = 0;
    if (m_file.ReadUShort(v) == 0) return false;
    field = v;
    return true;
  };
  const int v = m_version;
  if (v <= kDrawingVersion1 && !count(h.points)) return false;
  if (v >= kDrawingVersion4 && (!count(h.curves) || !count(h.fills))) return false;
  if ((v == kDrawingVersion2 || v == kDrawingVersion3) && !count(h.legacy)) return false;
  if (!count(h.lines) || !count(h.arcs) || !count(h.circles) || !count(h.texts)) return false;
  if (v >= kDrawingVersion2) {
    int reserved = 0;
    if (!count(h.ellipses) || !count(h.dimensions) || !count(reserved) || !count(h.names)) {
      return false;
    }
    if (m_file.ReadDouble(h.realWorldScale) == 0) return false;
    if (m_file.ReadDouble(h.printingScale) == 0) return false;
  }
  if (v >= kDrawingVersion5 && !count(h.ellipseArcs)) return false;
  return true;
}

bool CDrawingReader::ReadPointTable() {
  try {
    m_pointX.assign(static_cast<std::size_t>(m_header.points), 0);
    m_pointY.assign(static_cast<std::size_t>(m_header.points), 0);
  } catch (const std::bad_alloc&) {
    return NoMemory();
  }
  for (int i = 0; i < m_header.points; ++i) {
    int x = 0;
    int y = 0;
    if (m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0) return false;
    m_pointX[static_cast<std::size_t>(i)] =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t{x} * 100, -kMaxPointX, kMaxPointX));
    m_pointY[static_cast<std::size_t>(i)] =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t{y} * 100, -kMaxPointY, kMaxPointY));
  }
  return true;
}

void CDrawingReader::ReserveForItems() {
  std::int64_t total = 0;
  for (int count : {m_header.curves, m_header.fills, m_header.lines, m_header.arcs,
                    m_header.circles, m_header.texts, m_header.ellipses, m_header.ellipseArcs,
                    m_header.dimensions}) {
    total += std::max(count, 0);
  }
  // Every item takes more than eight characters of the file: a header that counts more
  // items than that is not believed.
  total = std::min<std::int64_t>(total, std::max<std::int64_t>(m_fileSize, 0) / 8);
  m_doc.ReserveListed(static_cast<std::size_t>(total));
}

bool CDrawingReader::ReadItems(int type, int count) {
  for (int i = 0; i < count; ++i) {
    DrawItemPtr item = CreateItem(type);
    if (!item) return NoMemory();
    m_bad = false;
    // An item whose lines fail to read is deleted and never offered.
    if (!ReadRecord(type, *item) || Stopped()) return false;
    if (m_bad) {
      ++m_ignored;
      continue;
    }
    if (m_holding) {
      m_held.push_back(std::move(item));
      continue;
    }
    if (!AddReadItem(type, item)) return false;
  }
  return true;
}

bool CDrawingReader::AddReadItem(int type, DrawItemPtr& item) {
  CDrawItem* raw = item.get();
  const int added = m_doc.AddItem(item);
  if (added == 1) {
    if (type == kItemArc) raw->Recalculate();
    return true;
  }
  ++m_ignored;
  // A list that cannot grow has shown its message once: the rest would only repeat it.
  if (added < 0 && m_doc.GrowItemList() == 0) return NoMemory();
  return true;
}

bool CDrawingReader::AddHeldItems() {
  std::vector<DrawItemPtr> held;
  held.swap(m_held);
  for (DrawItemPtr& item : held) {
    if (!AddReadItem(item->GetType(), item)) return false;
  }
  return true;
}

bool CDrawingReader::ReadRecord(int type, CDrawItem& item) {
  switch (type) {
    case kItemLine:
      return ReadLine(item);
    case kItemArc:
      return ReadArc(item);
    case kItemCircle:
      return ReadCircle(item);
    case kItemText:
      return ReadText(item);
    case kItemEllipse:
      return ReadEllipse(item);
    case kItemEllipseArc:
      return ReadEllipseArc(item);
    case kItemBezier:
      return ReadCurve(item);
    case kItemDimension:
      return ReadDimension(item);
    case kItemFill:
      return ReadFill(item);
    default:
      return Illegal();
  }
}

// ---- Fields ----

bool CDrawingReader::ReadPoint(int& x, int& y) {
  if (Old()) {
    std::uint16_t number = 0;
    if (m_file.ReadUShort(number) == 0) return false;
    // A number that names no entry of the point table.
    if (number < 1 || number > m_pointX.size()) return Illegal();
    x = m_pointX[number - 1u];
    y = m_pointY[number - 1u];
    return true;
  }
  return m_file.ReadInt(x) != 0 && m_file.ReadInt(y) != 0;
}

bool CDrawingReader::ReadOldTenths(int& v) {
  int read = 0;
  if (m_file.ReadInt(read) == 0) return false;
  v = ClampToInt(std::int64_t{read} * 100);
  return true;
}

bool CDrawingReader::ReadOldColour(int& colour) {
  std::uint8_t index = 0;
  if (m_file.ReadByte(index) == 0) return false;
  const std::int64_t value = OldPaletteColour(index);
  if (value < 0) return Illegal();
  colour = static_cast<int>(value);
  return true;
}

bool CDrawingReader::ReadItemColour(CDrawItem& item) {
  int colour = kBlack;
  if (Old()) {
    // These versions have no colours: every item is black.
  } else if (m_version <= kDrawingVersion3) {
    if (!ReadOldColour(colour)) return false;
  } else {
    std::uint32_t value = 0;
    if (m_file.ReadColour(value) == 0) return false;
    colour = static_cast<int>(value);
  }
  item.SetColour(colour);
  return true;
}

bool CDrawingReader::ReadObjectNumber(CDrawItem& item) {
  std::int16_t number = 0;
  if (m_file.ReadShort(number) == 0) return false;
  item.SetObjectNumber(static_cast<std::int16_t>(m_doc.MapLoadedObjectNumber(number, m_mode)));
  return true;
}

bool CDrawingReader::ReadGroup(CDrawItem& item) {
  if (m_version < kDrawingVersion4) return true;
  std::uint32_t value = 0;
  if (m_file.ReadUnsigned(value) == 0) return false;
  const int group = m_doc.MapGroupNumber(static_cast<int>(value));
  item.SetGroupNumber(group);
  m_doc.RaiseGroupCounter(group);
  return true;
}

bool CDrawingReader::ReadTail(CDrawItem& item) {
  if (!ReadObjectNumber(item) || !ReadItemColour(item) || !ReadGroup(item)) return false;
  if (Old()) {
    item.SetPenWidth(1);
    return true;
  }
  std::uint8_t width = 0;
  if (m_file.ReadByte(width) == 0) return false;
  item.SetPenWidth(width);
  return true;
}

// ---- Records ----

bool CDrawingReader::ReadLine(CDrawItem& item) {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::uint8_t style = 0;
  if (!ReadPoint(x1, y1) || !ReadPoint(x2, y2) || m_file.ReadByte(style) == 0) return false;
  item.SetStart(x1, y1);
  item.SetEnd(x2, y2);
  item.SetLineStyle(style);
  return ReadTail(item);
}

bool CDrawingReader::ReadArc(CDrawItem& item) {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double angle = 0.0;
  if (!ReadPoint(x1, y1) || !ReadPoint(x2, y2) || m_file.ReadDouble(angle) == 0) return false;
  if (Old()) {
    std::int16_t direction = 0;
    if (m_file.ReadShort(direction) == 0) return false;
    // Milliradians, kept to the four digits of the degrees the old program showed.
    double degrees = angle * g_degreesPerRadian / 1000.0;
    RoundToSignificantDigits(degrees, 4);
    angle = degrees * g_radiansPerDegree;
    if (direction == 2) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
  }
  item.SetStart(x1, y1);
  item.SetEnd(x2, y2);
  item.SetAngle(angle);
  return ReadTail(item);
}

bool CDrawingReader::ReadCircle(CDrawItem& item) {
  int x = 0, y = 0, r = 0;
  if (Old()) {
    if (!ReadOldTenths(x) || !ReadOldTenths(y) || !ReadOldTenths(r)) return false;
  } else if (m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0 || m_file.ReadInt(r) == 0) {
    return false;
  }
  item.SetCentre(x, y);
  item.SetRadius(r);
  return ReadTail(item);
}

int CDrawingReader::FitOldTextWidth(const QString& text, const CFontSpec& font, int w) const {
  const int n = static_cast<int>(text.size());
  if (n == 0) return 100;
  CFontSpec normal;
  normal.CopyFrom(font);
  normal.SetWidthPercent(100);
  const int measured = GetOldTextMeasurer().MeasureTextWidth(normal, text);
  // Nothing to divide by: the text keeps its normal width.
  if (measured <= 0) return 100;
  const double percent = static_cast<double>(w) * 30.0 * (n - 0.3) / measured;
  return std::clamp(TruncateToInt(percent), 10, 1000);
}

int CDrawingReader::OldTextObjectNumber() {
  if (m_oldTextNumber < 0) {
    CZephDoc::LoadNumberMap& map = m_doc.GetLoadNumberMap();
    m_oldTextNumber = m_doc.GetFreeObjectNumber(map.nextFree);
    map.nextFree = static_cast<std::int16_t>(std::min(m_oldTextNumber + 1, kObjectNumberMax));
    if (m_mode == kReadInsert) m_doc.InsertObjectNumber(m_oldTextNumber);
  }
  return m_oldTextNumber;
}

bool CDrawingReader::ReadText(CDrawItem& item) {
  int x = 0, y = 0;
  QString text;
  if (Old()) {
    std::uint16_t sizeIndex = 0;
    if (!ReadOldTenths(x) || m_file.ReadInt(y) == 0) return false;
    m_file.ReadLine(text);
    if (Stopped() || m_file.ReadUShort(sizeIndex) == 0) return false;
    y = ClampToInt(std::int64_t{y} * 100 + std::int64_t{sizeIndex} * 200);
    m_font.Set(QStringLiteral("Arial"), RoundToShort(sizeIndex * 8 * kOldFontFactor), false, false);
    m_font.SetWidthPercent(static_cast<std::int16_t>(FitOldTextWidth(text, m_font, sizeIndex / 10)));
    item.SetColour(kBlack);
    item.SetObjectNumber(static_cast<std::int16_t>(OldTextObjectNumber()));
    item.SetTextAngle(0.0);
    item.SetTextParameter(0.0);
  } else if (m_version <= kDrawingVersion3) {
    std::uint16_t size = 0;
    std::uint16_t width = 0;
    double angle = 0.0;
    double parameter = 0.0;
    if (m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0) return false;
    m_file.ReadLine(text);
    if (Stopped() || m_file.ReadUShort(size) == 0 || m_file.ReadUShort(width) == 0) return false;
    if (!ReadObjectNumber(item) || !ReadItemColour(item)) return false;
    if (m_file.ReadDouble(angle) == 0 || m_file.ReadDouble(parameter) == 0) return false;
    // The old base point stood one text height below the top-left corner.
    const double s = size * 100.0;
    x = ClampToInt(std::int64_t{x} - RoundToInt(s * std::sin(angle)));
    y = ClampToInt(std::int64_t{y} + RoundToInt(s * std::cos(angle)));
    m_font.Set(QStringLiteral("Arial"), RoundToShort(size * kOldFontFactor), false, false);
    m_font.SetWidthPercent(static_cast<std::int16_t>(FitOldTextWidth(text, m_font, width)));
    item.SetTextAngle(angle);
    item.SetTextParameter(parameter);
  } else {
    std::uint16_t width = 0;
    double angle = 0.0;
    double parameter = 0.0;
    std::uint32_t tag = 0;
    if (m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0) return false;
    m_file.ReadLine(text);
    if (Stopped() || m_file.ReadFont(m_font) == 0 || m_file.ReadUShort(width) == 0) return false;
    if (!ReadObjectNumber(item) || !ReadItemColour(item) || !ReadGroup(item)) return false;
    if (m_file.ReadDouble(angle) == 0 || m_file.ReadDouble(parameter) == 0) return false;
    // The tag is a plain number: it is no colour of the drawing.
    if (m_file.ReadUnsigned(tag) == 0) return false;
    // A text's width percent is a 16-bit signed value.
    if (width > 32767) m_bad = true;
    m_font.SetWidthPercent(static_cast<std::int16_t>(width));
    item.SetTextAngle(angle);
    item.SetTextParameter(parameter);
    item.SetTextTag(static_cast<int>(tag));
  }
  item.SetPosition(x, y);
  item.SetFont(m_font);
  if (item.SetText(text) == 0) return NoMemory();
  return true;
}

bool CDrawingReader::ReadEllipse(CDrawItem& item) {
  int x = 0, y = 0, a = 0, b = 0;
  double rotation = 0.0;
  if (m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0 || m_file.ReadInt(a) == 0 ||
      m_file.ReadInt(b) == 0 || m_file.ReadDouble(rotation) == 0) {
    return false;
  }
  item.SetCentre(x, y);
  item.SetSemiAxes(a, b);
  item.SetRotation(rotation);
  return ReadTail(item);
}

bool CDrawingReader::ReadEllipseArc(CDrawItem& item) {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double cx = 0.0, cy = 0.0, r1 = 0.0, r2 = 0.0, rotation = 0.0;
  if (!ReadPoint(x1, y1) || !ReadPoint(x2, y2) || m_file.ReadDouble(cx) == 0 ||
      m_file.ReadDouble(cy) == 0 || m_file.ReadDouble(r1) == 0 || m_file.ReadDouble(r2) == 0 ||
      m_file.ReadDouble(rotation) == 0) {
    return false;
  }
  item.SetStart(x1, y1);
  item.SetEnd(x2, y2);
  item.SetCentreExact(cx, cy);
  item.SetRadii(r1, r2);
  item.SetRotation(rotation);
  return ReadTail(item);
}

bool CDrawingReader::ReadCurve(CDrawItem& item) {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double c[4] = {0.0, 0.0, 0.0, 0.0};
  if (!ReadPoint(x1, y1) || !ReadPoint(x2, y2)) return false;
  for (double& v : c) {
    if (m_file.ReadDouble(v) == 0) return false;
  }
  item.SetStart(x1, y1);
  item.SetEnd(x2, y2);
  item.SetControlPoint(0, c[0], c[1]);
  item.SetControlPoint(1, c[2], c[3]);
  return ReadTail(item);
}

bool CDrawingReader::ReadDimension(CDrawItem& item) {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int offset = 0, arrow = 0, gap = 0, extension = 0;
  if (!ReadPoint(x1, y1) || !ReadPoint(x2, y2) || !ReadObjectNumber(item)) return false;
  if (m_file.ReadInt(offset) == 0 || m_file.ReadInt(arrow) == 0 || m_file.ReadInt(gap) == 0 ||
      m_file.ReadInt(extension) == 0) {
    return false;
  }
  if (m_version >= kDrawingVersion4) {
    std::uint16_t width = 0;
    if (m_file.ReadFont(m_font) == 0 || m_file.ReadUShort(width) == 0) return false;
    if (width > 32767) m_bad = true;
    m_font.SetWidthPercent(static_cast<std::int16_t>(width));
  } else {
    std::uint16_t size = 0;
    if (m_file.ReadUShort(size) == 0) return false;
    m_font.Set(QStringLiteral("Arial"), RoundToShort(size * kOldFontFactor), false, false);
  }
  std::uint8_t type = 0;
  if (m_file.ReadByte(type) == 0 || !ReadItemColour(item) || !ReadGroup(item)) return false;
  std::uint8_t codes[5] = {0, 0, 0, 0, 0};  // ends, text angle, text position, units, decimals
  for (std::uint8_t& code : codes) {
    if (m_file.ReadByte(code) == 0) return false;
  }
  item.SetStart(x1, y1);
  item.SetEnd(x2, y2);
  item.SetOffset(offset);
  item.SetArrowSize(arrow);
  item.SetExtensionGap(gap);
  item.SetExtension(extension);
  item.SetFont(m_font);
  item.SetDimensionType(type);
  item.SetLineEnds(codes[0]);
  item.SetTextAngleMode(codes[1]);
  if (m_version == kDrawingVersion2) {
    // A placement choice of its time; the points and offset it depends on are set above.
    if (codes[2] > 4) m_bad = true;
    item.ChooseTextPosition(codes[2]);
  } else {
    item.SetTextPosition(codes[2]);
  }
  item.SetUnits(codes[3]);
  item.SetDecimals(codes[4]);
  return true;
}

bool CDrawingReader::ReadFill(CDrawItem& item) {
  int holes = 0;
  if (m_file.ReadInt(holes) == 0) return false;
  if (!CountFits(holes)) return Illegal();
  if (!ReadObjectNumber(item) || !ReadItemColour(item) || !ReadGroup(item)) return false;
  std::uint8_t style = 0;
  if (m_file.ReadByte(style) == 0) return false;
  // A style the program does not know: the fill is read whole and then ignored.
  if (style >= kFillStyleCount) {
    m_bad = true;
  } else {
    item.SetFillStyle(style);
  }
  auto pattern = std::make_unique<CHatchPattern>();
  // A pattern that cannot be read whole has set the status (no memory: Read answers 0).
  if (pattern->Read(m_file) == 0) return NoMemory();
  if (Stopped()) return false;
  // A fill without a pattern is written with no families and the number -1.
  if (pattern->GetLineCount() > 0 || pattern->GetNumber() != -1) {
    item.AttachHatchPattern(std::move(pattern));
  }
  auto outer = std::make_unique<CBoundaryLoop>();
  if (outer->Read(m_file) == 0 || Stopped()) return false;
  item.AttachBoundary(std::move(outer));
  for (int i = 0; i < holes; ++i) {
    auto hole = std::make_unique<CBoundaryLoop>();
    if (hole->Read(m_file) == 0 || Stopped()) return false;
    item.AddHole(std::move(hole));
    if (hole) return NoMemory();
  }
  return true;
}

// ---- Sections after the items ----

bool CDrawingReader::ReadLegacySegments() {
  if (m_version != kDrawingVersion2 && m_version != kDrawingVersion3) return true;
  std::vector<CLegacySegment>& segments = m_doc.GetLegacySegments();
  segments.clear();
  try {
    segments.reserve(static_cast<std::size_t>(m_header.legacy));
  } catch (const std::bad_alloc&) {
    return NoMemory();
  }
  for (int i = 0; i < m_header.legacy; ++i) {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, spacing = 0, unused = 0, colour = 0;
    std::int16_t number = 0;
    std::int16_t kind = 0;
    if (m_file.ReadInt(x1) == 0 || m_file.ReadInt(y1) == 0 || m_file.ReadInt(x2) == 0 ||
        m_file.ReadInt(y2) == 0 || m_file.ReadShort(number) == 0 || !ReadOldColour(colour) ||
        m_file.ReadShort(kind) == 0 || m_file.ReadInt(spacing) == 0 ||
        m_file.ReadInt(unused) == 0) {
      return false;
    }
    CLegacySegment segment;
    segment.SetStart(x1, y1);
    segment.SetEnd(x2, y2);
    // The object a hatch belongs to, numbered as the items' objects are.
    segment.SetGroupNumber(static_cast<std::int16_t>(m_doc.MapLoadedObjectNumber(number, m_mode)));
    segment.SetColour(colour);
    segment.SetState(kind);
    segment.SetCode(spacing);
    // The conversion knows the kinds 0..4 only.
    if (kind < 0 || segment.IsValid() == 0) {
      ++m_ignored;
      continue;
    }
    segments.push_back(segment);
  }
  return true;
}

bool CDrawingReader::ReadNames() {
  if (m_version < kDrawingVersion2) return true;
  int named = 0;
  for (int i = 0; i < m_header.names; ++i) {
    std::int16_t number = 0;
    if (m_file.ReadShort(number) == 0) return false;
    const int given = m_doc.MapLoadedObjectNumber(number, m_mode);
    QString name;
    m_file.ReadLine(name);
    if (Stopped()) return false;
    // A library's names are not kept.
    if (m_mode == kReadSymbolLibrary) continue;
    m_doc.SetObjectName(given, name, 1);
    ++named;
  }
  if (named > 0) m_doc.SortObjectNames();
  return true;
}

bool CDrawingReader::ReadWords() {
  if (m_version < kDrawingVersion4) return true;
  int count = 0;
  if (m_file.ReadInt(count) == 0) return false;
  if (!CountFits(count)) return Illegal();
  CDocDict* words = m_doc.GetDocDict();
  for (int i = 0; i < count; ++i) {
    QString word;
    m_file.ReadLine(word);
    if (Stopped()) return false;
    if (words != nullptr) words->AddWord(word, -1);
  }
  // An inserted drawing's words have changed the drawing's list.
  if (words != nullptr && m_mode != kReadInsert) words->ClearModified();
  return true;
}

void CDrawingReader::ReadPrintSettings() {
  if (m_version < kDrawingVersion6) {
    if (m_mode != kReadInsert) m_doc.GetPrintSettings().LoadFromOptions();
    return;
  }
  // An inserted drawing's page set-up is read past: the open drawing keeps its own.
  if (m_mode == kReadInsert) {
    CPrintSettings ignored;
    ignored.Read(m_file);
    return;
  }
  m_doc.GetPrintSettings().Read(m_file);
}

void CDrawingReader::ReadPicture() {
  if (m_version < kDrawingVersion6) {
    if (m_mode != kReadInsert) {
      m_doc.SetPicturePath(QString());
      m_doc.SetPicturePlace(0, 0, 1.0);
    }
    return;
  }
  QString path;
  int x = 0;
  int y = 0;
  double scale = 1.0;
  m_file.ReadLine(path);
  if (Stopped() || m_file.ReadInt(x) == 0 || m_file.ReadInt(y) == 0 ||
      m_file.ReadDouble(scale) == 0) {
    return;
  }
  if (m_mode == kReadInsert) return;
  m_doc.SetPicturePath(path);
  m_doc.SetPicturePlace(x, y, scale);
  // A pasted picture's reference names a picture of the run that saved the file, never one
  // of this run: the drawing shows no picture rather than a wrong one.
  m_doc.ClearPictureReference();
}

// The next fresh number at or after the next number to try, which moves past it but never
// beyond the largest object number.
int TakeFreeNumber(CZephDoc& doc) {
  CZephDoc::LoadNumberMap& map = doc.GetLoadNumberMap();
  const int number = doc.GetFreeObjectNumber(map.nextFree);
  map.nextFree = static_cast<std::int16_t>(std::min(number + 1, kObjectNumberMax));
  return number;
}

void WarnIgnoredItems(int ignored) {
  if (ignored <= 0 || GetOptionFlag(kOptionReportIgnoredItems) == 0) return;
  QString text = DrawingFileMessage(ignored == 1 ? kIdsOneItemIgnored : kIdsItemsIgnored);
  if (ignored > 1) text.replace(QStringLiteral("%1"), QString::number(ignored));
  zeph::GetPresenter().ShowMessageBox(text, QString::fromUtf16(kProductName),
                                      zeph::kMbOk | zeph::kMbIconExclamation);
}

}  // namespace

int CZephDoc::MapLoadedObjectNumber(int number, int mode) {
  LoadNumberMap& map = m_loadNumbers;
  // All numbers a drawing cannot hold share one new number.
  if (number < 1 || number > kObjectNumberDrawingMax) {
    if (map.outOfRange == 0) {
      map.outOfRange = static_cast<std::int16_t>(TakeFreeNumber(*this));
      if (mode == kReadInsert) InsertObjectNumber(map.outOfRange);
    }
    return map.outOfRange;
  }
  if (mode == kReadOpen) return number;
  for (std::size_t i = 0; i < map.read.size(); ++i) {
    if (map.read[i] == number) return map.given[i];
  }
  int given = 0;
  if (mode == kReadInsert && IsObjectListed(number) == 0) {
    // Kept; noted, so that no fresh number of this read can join it.
    given = number;
  }
  if (map.read.size() == map.read.capacity()) {
    const std::size_t grown = std::max<std::size_t>(1000, 2 * map.read.capacity());
    try {
      map.read.reserve(grown);
      map.given.reserve(grown);
    } catch (const std::bad_alloc&) {
      LogScope trace(kLogMapLoadedObjectNumber);
      SetGlitchValue(number);
      ReportGlitch(kLogMapLoadedObjectNumber, 1);
      if (given != 0) return given;
      return trace.Return(number <= 15000 ? number + 15000 : number, kLogMemory, 1);
    }
  }
  if (given == 0) given = TakeFreeNumber(*this);
  map.read.push_back(static_cast<std::int16_t>(number));
  map.given.push_back(static_cast<std::int16_t>(given));
  if (mode == kReadInsert) InsertObjectNumber(given);
  return given;
}

int CZephDoc::ReadDrawingFile(const QString& path, int mode) {
  LogScope trace(kLogReadDrawingFile);
  if (mode < kReadOpen || mode > kReadSymbolLibrary) {
    SetGlitchValue(mode);
    ReportGlitch(kGlitchReadMode, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  std::unique_ptr<CTextFileReader> file;
  try {
    file = std::make_unique<CTextFileReader>();
  } catch (const std::bad_alloc&) {
    ReportGlitch(kGlitchReadMode, 2);
    return trace.Return(0, kLogMemory, 2);
  }
  file->SetOemEncoding();
  if (HasNameThatIsNotText(path)) {
    g_fileStatus = kFileNameNotText;
    return trace.Return(0, kLogFailed, 5);
  }
  if (file->Open(path) == 0) {
    g_fileStatus = kFileNotFound;
    return trace.Return(0, kLogFailed, 3);
  }
  // Temporary files that an ended save left beside the drawing go now.
  {
    const QString target = ResolveFileLinks(path);
    const qsizetype slash = target.lastIndexOf(u'/');
    RemoveStaleTemporaries(slash < 0 ? QString() : target.left(std::max<qsizetype>(slash, 1)));
  }
  const std::int64_t fileSize = QFileInfo(path).size();

  // The tag decides everything: a file of another kind leaves the drawing as it is.
  QString tag;
  file->ReadLine(tag);
  DrawingFileVersion version = 0;
  bool utf8 = false;
  const int known = g_fileStatus != kFileOk ? kFileNotDrawing
                                            : IdentifyDrawingFileTag(tag, version, utf8);
  if (known != kFileOk) {
    file->Close();
    g_fileStatus = known;
    return trace.Return(0, kLogFailed, 4);
  }
  if (utf8) file->SetUtf8Encoding();
  trace.Step(1);
  LogNumber(version);

  // The word list: a fresh one for an opened drawing or a library (the checker keeps
  // consulting the drawing's list while a library loads); an inserted drawing's words join
  // the open drawing's.
  if (mode == kReadOpen) {
    ResetDictionary();
  } else if (mode == kReadSymbolLibrary) {
    CDocDict* consulted = g_spellChecker ? g_spellChecker->GetCurrentDocDict() : nullptr;
    const bool ours = consulted != nullptr && consulted == m_docDict.get();
    ResetDictionary();
    if (g_spellChecker && !ours) g_spellChecker->SetCurrentDocDict(consulted);
  }

  int recording = m_recording;
  // An insertion is one undo step.
  CUndoStep step(mode == kReadInsert ? this : nullptr);
  if (mode == kReadInsert) {
    RebuildObjectList();
    // An inserted drawing's groups stay its own: they get numbers the drawing does not use.
    SetGroupRemapping(1);
  } else {
    ClearDrawing();
    recording = EnableUndo(0);
    RebuildObjectList();
    m_legacySegments.clear();
  }
  ClearLoadNumberMap();
  if (mode == kReadSymbolLibrary) m_loadNumbers.nextFree = kFirstLibraryObjectNumber;
  ShowWaitCursor();

  bool whole = false;
  int ignored = 0;
  Header header;
  try {
    CDrawingReader reader(*this, *file, version, mode, fileSize);
    whole = reader.ReadAll();
    ignored = reader.GetIgnoredCount();
    header = reader.GetHeader();
  } catch (const std::bad_alloc&) {
    if (g_fileStatus == kFileOk) g_fileStatus = kFileNoMemory;
    whole = false;
  }
  file->Close();
  trace.Step(2);

  if (whole) {
    if (mode == kReadOpen) {
      g_realWorldScale = header.realWorldScale;
      SetRealWorldScale(header.realWorldScale);
      ChooseUnitFactor();
      SetPrintingScale(header.printingScale);
      SetFilePath(path);
    }
    if (header.legacy > 0 && GetLegacyConversionHook() != nullptr) {
      GetLegacyConversionHook()(*this);
    }
    WarnIgnoredItems(ignored);
  }

  // Every read ends in a known state, also one that stopped early.
  file.reset();
  RebuildObjectList();
  if (mode == kReadInsert) {
    SetGroupRemapping(0);
    step.Close();
  } else {
    EnableUndo(recording);
    ClearChanged();
  }
  HideWaitCursor();
  return trace.Return(1, whole ? kLogOk : kLogFailed, whole ? 0 : 5);
}
