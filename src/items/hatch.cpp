#include "items/hatch.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "items/geometry.h"
#include "items/transform.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/textfile.h"
#include "support/textutil.h"

namespace {

// A failure of a family's own record: kept only when nothing failed before it, so the status
// names the first problem of the file.
void SetFileStatusOnce(int status) {
  if (g_fileStatus == kFileOk) g_fileStatus = status;
}

bool IsPositiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

// Field fieldIndex of the first family text of the definition with that number; false when
// there is no such definition, its text is empty or the field does not convert.
bool DefinitionField(std::int16_t number, int fieldIndex, double& value) {
  const std::int16_t index = FindHatchDefinition(number);
  if (index < 0) return false;
  const QString text = g_hatchDefinitions[static_cast<std::size_t>(index)].GetFamilyText(0);
  if (text.isEmpty()) return false;
  int pos = 0;
  QString field;
  for (int i = 0; i <= fieldIndex; ++i) field = TakeCommaField(text, pos);
  return StringToDouble(field, value) != 0;
}

}  // namespace

// ---- CHatchLine ----

int CHatchLine::CopyFrom(const CHatchLine& other) {
  m_angle = other.m_angle;
  m_shift = other.m_shift;
  m_spacing = other.m_spacing;
  m_originX = other.m_originX;
  m_originY = other.m_originY;
  try {
    m_dashes = other.m_dashes;
  } catch (const std::bad_alloc&) {
    m_dashes.clear();
    return 0;
  }
  return 1;
}

double CHatchLine::GetDash(int i) const {
  const int count = GetDashCount();
  if (i < 0 || i >= count) {
    SetGlitchValue(i);
    SetGlitchValue(count);
    ReportGlitch(kGlitchHatchGetDash, 1);
    return 0.0;
  }
  return m_dashes[static_cast<std::size_t>(i)];
}

double CHatchLine::GetDashPeriod() const {
  double period = 0.0;
  for (double dash : m_dashes) period += std::fabs(dash);
  return period;
}

int CHatchLine::IsValid() const {
  if (!std::isfinite(m_angle) || !std::isfinite(m_originX) || !std::isfinite(m_originY) ||
      !std::isfinite(m_shift) || !IsPositiveFinite(m_spacing)) {
    return 0;
  }
  for (double dash : m_dashes) {
    if (!std::isfinite(dash)) return 0;
  }
  if (!m_dashes.empty() && !IsPositiveFinite(GetDashPeriod())) return 0;
  return 1;
}

void CHatchLine::SetAngle(double angle) { m_angle = NormaliseAngle(angle, 0); }

int CHatchLine::SetStagger(double shift) {
  if (!std::isfinite(shift)) return 0;
  m_shift = shift;
  return 1;
}

int CHatchLine::SetSpacing(double spacing) {
  if (!IsPositiveFinite(spacing)) return 0;
  m_spacing = spacing;
  return 1;
}

int CHatchLine::SetOrigin(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return 0;
  m_originX = x;
  m_originY = y;
  return 1;
}

int CHatchLine::SetDashes(double dash, double gap) {
  if (!std::isfinite(dash) || !std::isfinite(gap) ||
      !IsPositiveFinite(std::fabs(dash) + std::fabs(gap))) {
    return 0;
  }
  try {
    m_dashes = {dash, gap};
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CHatchLine::Parse(const QString& text) {
  int pos = 0;
  double values[5] = {};
  for (double& value : values) {
    if (!StringToDouble(TakeCommaField(text, pos), value)) return 0;
  }
  m_angle = values[0] * g_radiansPerDegree;
  m_originX = values[1];
  m_originY = values[2];
  m_spacing = values[3];
  m_shift = values[4];
  std::int16_t count = 0;
  if (!TextToShort(TakeCommaField(text, pos), count)) return 0;
  try {
    std::vector<double> dashes;
    if (count > 0) {
      dashes.resize(static_cast<std::size_t>(count));
      for (double& dash : dashes) {
        if (!StringToDouble(TakeCommaField(text, pos), dash)) return 0;
      }
    }
    m_dashes = std::move(dashes);
  } catch (const std::bad_alloc&) {
    m_dashes.clear();
    return 0;
  }
  return IsValid();
}

int CHatchLine::Transform(const CTransform& t) {
  if (t.GetKind() == kTransformStretch) return 1;
  try {
    CHatchLine result(*this);
    result.m_originX = t.TransformXExact(m_originX, m_originY);
    result.m_originY = t.TransformYExact(m_originX, m_originY);
    if (t.GetKind() == kTransformRotation) {
      result.m_angle = NormaliseAngle(m_angle + t.GetParameter(), 0);
    } else if (t.GetKind() == kTransformEnlargement) {
      // A negative factor mirrors through the centre: the same as a half turn and an
      // enlargement by the magnitude, which keeps spacing and dashes positive.
      const double factor = t.GetParameter();
      const double magnitude = std::fabs(factor);
      if (factor < 0.0) result.m_angle = NormaliseAngle(m_angle + kPi, 0);
      result.m_spacing *= magnitude;
      result.m_shift *= magnitude;
      for (double& dash : result.m_dashes) dash *= magnitude;
    }
    if (!result.IsValid()) return 0;
    *this = std::move(result);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CHatchLine::Read(CTextFileReader& reader) {
  if (!reader.ReadDouble(m_spacing) || !reader.ReadDouble(m_angle) ||
      !reader.ReadDouble(m_originX) || !reader.ReadDouble(m_originY) ||
      !reader.ReadDouble(m_shift)) {
    return 0;
  }
  std::int16_t count = 0;
  if (!reader.ReadShort(count)) return 0;
  m_dashes.clear();
  if (count > 0) {
    std::vector<double> dashes;
    try {
      dashes.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
      SetFileStatusOnce(kFileNoMemory);
      return 0;
    }
    for (double& dash : dashes) {
      if (!reader.ReadDouble(dash)) return 0;
    }
    m_dashes = std::move(dashes);
  }
  if (!IsValid()) {
    SetFileStatusOnce(kFileIllegalValue);
    return 0;
  }
  return 1;
}

void CHatchLine::Write(CTextFileWriter& writer) const {
  writer.WriteDouble(m_spacing);
  writer.WriteDouble(m_angle);
  writer.WriteDouble(m_originX);
  writer.WriteDouble(m_originY);
  writer.WriteDouble(m_shift);
  writer.WriteShort(GetDashCount());
  for (double dash : m_dashes) writer.WriteDouble(dash);
}

// ---- CHatchPattern ----

int CHatchPattern::AddLine(std::unique_ptr<CHatchLine> line) {
  if (!line || !line->IsValid()) return 0;
  if (static_cast<int>(m_lines.size()) >= m_capacity) {
    const int capacity = m_capacity <= 50 ? 100 : 2 * m_capacity;
    if (capacity > kHatchLineLimit) return 0;
    try {
      m_lines.reserve(static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
      return 0;
    }
    m_capacity = static_cast<std::int16_t>(capacity);
  }
  m_lines.push_back(std::move(line));  // room reserved above: cannot throw
  return 1;
}

CHatchLine* CHatchPattern::GetLine(int i) const {
  const int count = GetLineCount();
  if (i < 0 || i >= count) {
    SetGlitchValue(i);
    SetGlitchValue(count);
    ReportGlitch(kGlitchHatchGetLine, 1);
    return nullptr;
  }
  return m_lines[static_cast<std::size_t>(i)].get();
}

int CHatchPattern::CopyFrom(const CHatchPattern& other) {
  m_number = other.m_number;
  // The count is taken first, so copying a pattern into itself ends.
  const std::size_t count = other.m_lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    try {
      auto line = std::make_unique<CHatchLine>();
      line->CopyFrom(*other.m_lines[i]);
      if (!AddLine(std::move(line))) throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
      ReportGlitch(kGlitchHatchCopy, 8991);
      return 0;
    }
  }
  return 1;
}

int CHatchPattern::Transform(const CTransform& t) {
  // Every family is transformed on a copy first, so a refusal leaves the whole pattern as it
  // was rather than half turned.
  try {
    std::vector<CHatchLine> results;
    results.reserve(m_lines.size());
    for (const auto& line : m_lines) {
      results.push_back(*line);
      if (!results.back().Transform(t)) return 0;
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) *m_lines[i] = std::move(results[i]);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CHatchPattern::Build(int index, double angle, double scale) {
  if (index < 0 || index >= kHatchDefinitionCount) {
    LogAction(kGlitchHatchBuild, 1, kLogMinorFailure);
    LogNumber(index);
    return 0;
  }
  // A scale of 0 or below would give families without spacing, which painting cannot step.
  if (!std::isfinite(angle) || !IsPositiveFinite(scale)) {
    LogAction(kGlitchHatchBuild, 3, kLogMinorFailure);
    return 0;
  }
  const bool rotate = IsNearlyZero(angle) == 0;
  const bool enlarge = IsNearlyZero(scale - 1.0) == 0;
  CTransform rotation;
  CTransform enlargement;
  if (rotate) rotation.SetRotation(angle * g_degreesPerRadian, 0, 0);
  if (enlarge) enlargement.SetEnlargement(scale, 0, 0);

  m_lines.clear();
  const CHatchDefinition& definition = g_hatchDefinitions[static_cast<std::size_t>(index)];
  const int familyCount = definition.GetFamilyCount();
  for (int i = 0; i < familyCount; ++i) {
    std::unique_ptr<CHatchLine> line;
    try {
      line = std::make_unique<CHatchLine>();
    } catch (const std::bad_alloc&) {
      LogAction(kGlitchHatchBuild, 2, kLogMinorFailure);
      return 0;
    }
    if (!line->Parse(definition.GetFamilyText(i))) {
      SetGlitchValue(index);
      SetGlitchValue(familyCount);
      ReportGlitch(kGlitchHatchBuild, 1);
      return 0;
    }
    if ((rotate && !line->Transform(rotation)) || (enlarge && !line->Transform(enlargement))) {
      LogAction(kGlitchHatchBuild, 3, kLogMinorFailure);
      return 0;
    }
    if (!AddLine(std::move(line))) {
      LogAction(kGlitchHatchBuild, 2, kLogMinorFailure);
      return 0;
    }
  }
  m_number = definition.GetNumber();
  return 1;
}

double CHatchPattern::GetAngle() const {
  if (m_number < 0 || m_lines.empty()) return 0.0;
  double degrees = 0.0;
  if (!DefinitionField(m_number, 0, degrees)) return 0.0;
  return m_lines.front()->GetAngle() - degrees * g_radiansPerDegree;
}

double CHatchPattern::GetScale() const {
  if (m_number < 0) return 1.0;
  if (m_lines.empty()) return 10.0;
  if (FindHatchDefinition(m_number) < 0) return 0.0;
  double spacing = 0.0;
  if (!DefinitionField(m_number, 3, spacing)) return 1.0;
  return m_lines.front()->GetSpacing() / spacing;
}

int CHatchPattern::Read(CTextFileReader& reader) {
  std::int16_t count = 0;
  std::int16_t number = 0;
  if (!reader.ReadShort(count) || !reader.ReadShort(number)) return 1;
  m_number = number;
  if (count < 0 || count > kHatchLineLimit) {
    SetFileStatusOnce(kFileIllegalValue);
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<CHatchLine> line;
    try {
      line = std::make_unique<CHatchLine>();
    } catch (const std::bad_alloc&) {
      SetFileStatusOnce(kFileNoMemory);
      return 0;
    }
    // A family that failed has put its reason in the file status.
    if (!line->Read(reader)) return 1;
    if (!AddLine(std::move(line))) {
      SetFileStatusOnce(kFileNoMemory);
      return 0;
    }
  }
  return 1;
}

void CHatchPattern::Write(CTextFileWriter& writer) const {
  writer.WriteShort(GetLineCount());
  writer.WriteShort(m_number);
  for (const auto& line : m_lines) line->Write(writer);
}

// ---- CHatchDefinition and the table ----

CHatchDefinition::CHatchDefinition(std::int16_t number, const QString& name,
                                   const QString& familyTexts)
    : m_number(number), m_name(name) {
  try {
    const QStringList parts = familyTexts.split(u'$');
    m_families.assign(parts.begin(), parts.end());
  } catch (const std::bad_alloc&) {
    m_families.clear();
    ReportGlitch(kGlitchHatchDefinition, 1);
  }
}

QString CHatchDefinition::GetFamilyText(int i) const {
  if (i < 0 || i >= GetFamilyCount()) return QString();
  return m_families[static_cast<std::size_t>(i)];
}

const std::array<CHatchDefinition, kHatchDefinitionCount> g_hatchDefinitions = {{
    {1, QStringLiteral("Horizontal lines"), QStringLiteral("0.0,0,0,2500,0,0")},
    {2, QStringLiteral("Vertical lines"), QStringLiteral("90.0,0,0,2500,0,0")},
    {3, QStringLiteral("Acute lines"), QStringLiteral("45.0,0,0,5000,0,0")},
    {4, QStringLiteral("Obtuse lines"), QStringLiteral("135.0,0,0,5000,0,0")},
    {5, QStringLiteral("Squares"), QStringLiteral("0.0,0,0,5000,0,0$90.0,0,0,5000,0,0")},
    {6, QStringLiteral("Oblique squares"), QStringLiteral("45.0,0,0,8000,0,0$135.0,0,0,8000,0,0")},
    {7, QStringLiteral("Horizontal dashes"), QStringLiteral("0.0,0,0,4000,4000,2,4000,-4000")},
    {8, QStringLiteral("Vertical dashes"), QStringLiteral("90.0,0,0,4000,4000,2,4000,-4000")},
    {9, QStringLiteral("Bricks"),
     QStringLiteral("0.0,0,0,4000,0,0$90.0,0,0,4000,4000,2,4000,-4000")},
    {10, QStringLiteral("Herringbone"),
     QStringLiteral("45.0,0,0,4000,4000,2,12000,-4000$"
                    "135.0,2828.42712475,2828.42712475,4000,-4000,2,12000,-4000")},
    {11, QStringLiteral("Triangles"),
     QStringLiteral("0.0,0,0,5196.15242271,3000,2,3000,-3000$"
                    "60.0,0,0,5196.15242271,3000,2,3000,-3000$"
                    "120.0,3000,0,5196.15242271,3000,2,3000,-3000")},
    {12, QStringLiteral("Hexagons"),
     QStringLiteral("0.0,0,0,8660.25403784,0,2,5000,-10000$"
                    "120.0,0,0,8660.25403784,0,2,5000,-10000$"
                    "60.0,5000,0,8660.25403784,0,2,5000,-10000")},
    {13, QStringLiteral("Honeycomb"),
     QStringLiteral("0.0,0,0,4330.12701892,7500,2,5000,-10000$"
                    "60.0,5000,0,4330.12701892,7500,2,5000,-10000$"
                    "120.0,0,0,4330.12701892,7500,2,5000,-10000")},
    {14, QStringLiteral("Houndstooth"),
     QStringLiteral("0.0,0,0,1250,3750,2,20000,-10000$90.0,0,0,1250,26250,2,20000,-10000")},
    {15, QStringLiteral("Grass"),
     QStringLiteral("90.0,0,0,2828.42712475,2828.42712475,2,750,-4906.854252$"
                    "45.0,0,0,4000,0,2,750,-3250$135.0,0,0,4000,0,2,750,-3250")},
    {16, QStringLiteral("Network"),
     QStringLiteral("0.0,0,0,4000,0,0$60.0,0,0,4000,0,0$120.0,0,0,4000,0,0")},
    {17, QStringLiteral("Stars"),
     QStringLiteral("0.0,0,0,3464.101616,0,2,2000,-2000$60.0,0,0,3464.101616,0,2,2000,-2000$"
                    "120.0,1000,1732.050808,3464.101616,0,2,2000,-2000")},
    {18, QStringLiteral("Box steel"),
     QStringLiteral("0.0,0,0,8000,0,2,2000,-2000$0.0,0,2000,8000,0,2,2000,-2000$"
                    "0.0,0,4000,8000,0,2,2000,-2000$0.0,0,6000,8000,0,2,2000,-2000$"
                    "90.0,0,0,8000,0,0$90.0,2000,0,8000,0,0$"
                    "90.0,4000,0,8000,0,2,2000,-2000$90.0,6000,0,8000,0,2,2000,-2000")},
    {19, QStringLiteral("Plywood"),
     QStringLiteral("0.0,0,0,4000,0,0$"
                    "45.0,0,0,5656.85424949,5656.85424949,2,5656.85424949,-5656.85424949$"
                    "45.0,4000,0,5656.85424949,5656.85424949,2,5656.85424949,-5656.85424949$"
                    "135.0,4000,4000,5656.85424949,5656.85424949,2,5656.85424949,"
                    "-5656.85424949$"
                    "135.0,8000,4000,5656.85424949,5656.85424949,2,5656.85424949,"
                    "-5656.85424949")},
    {20, QStringLiteral("Octagons"),
     QStringLiteral("0.0,2828.42712475,0,9656.85424949,0,2,4000,-5656.85424949$"
                    "90.0,0,2828.42712475,9656.85424949,0,2,4000,-5656.85424949$"
                    "135.0,0,6828.42712475,13656.85424949,0,2,4000,-9656.85424949$"
                    "135.0,2828.42712475,9656.85424949,13656.85424949,0,2,4000,-9656.85424949$"
                    "45.0,6828.42712475,9656.85424949,13656.85424949,0,2,4000,-9656.85424949$"
                    "45.0,9656.85424949,6828.42712475,13656.85424949,0,2,4000,-9656.85424949")},
    {21, QStringLiteral("Waffle"),
     QStringLiteral("0.0,1000,0,5000,0,2,4000,-1000$0.0,1000,1000,5000,0,2,4000,-1000$"
                    "90.0,0,1000,5000,0,2,4000,-1000$90.0,1000,1000,5000,0,2,4000,-1000")},
    {22, QStringLiteral("Weave"),
     QStringLiteral("0.0,2000,2000,4000,4000,2,6000,-2000$0.0,2000,4000,4000,4000,2,6000,-2000$"
                    "90.0,0,0,4000,4000,2,6000,-2000$90.0,2000,0,4000,4000,2,6000,-2000")},
    {23, QStringLiteral("Dot dash"),
     QStringLiteral("0.0,0,0,6000,0,4,5000,-2500,0,-2500$0.0,5000,3000,6000,0,4,5000,-2500,0,"
                    "-2500")},
    {24, QStringLiteral("Square dots"), QStringLiteral("0.0,0,0,3000,0,2,0,-3000")},
    {25, QStringLiteral("Triangle dots"), QStringLiteral("0.0,0,0,3000,1500,2,0,-3000")},
    {27, QStringLiteral("Unit square dots"), QStringLiteral("0.0,0,0,1000,0,2,0,-1000")},
    {26, QStringLiteral("Basket weave"),
     QStringLiteral("0.0,0,0,8000,0,0$0.0,8000,4000,8000,8000,2,8000,-8000$"
                    "90.0,0,0,8000,0,0$90.0,4000,0,8000,8000,2,8000,-8000")},
}};

std::int16_t FindHatchDefinition(std::int16_t number) {
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    if (g_hatchDefinitions[static_cast<std::size_t>(i)].GetNumber() == number) {
      return static_cast<std::int16_t>(i);
    }
  }
  return -1;
}

QString TakeCommaField(const QString& text, int& pos) {
  const int start = std::min<int>(std::max(pos, 0), static_cast<int>(text.size()));
  const int comma = static_cast<int>(text.indexOf(u',', start));
  QString field;
  if (comma < 0 || comma == start) {
    field = text.mid(start);
    pos = static_cast<int>(text.size());
  } else {
    field = text.mid(start, comma - start);
    pos = comma + 1;
  }
  TrimString(field);
  return field;
}

// ---- Drawing one stretch ----

namespace {

enum class HatchCase { kHorizontal, kVertical, kRising, kFalling };

// The walk's piece from (sx, sy) to (ex, ey) in device pixels.
void DrawHatchPiece(zeph::CDrawContext& dc, int sx, int sy, int ex, int ey, bool dot, int dotSize,
                    zeph::ColourRef colour) {
  if (dot && dc.IsPrinting()) {
    FillBox(dc, sx - (dotSize - 1) / 2, sy - (dotSize - 1) / 2, ex + dotSize / 2, ey + dotSize / 2,
            colour);
    return;
  }
  dc.MoveTo(sx, sy);
  dc.LineTo(ex, ey);
  dc.SetPixel(ex, ey, colour);
}

}  // namespace

void DrawHatchLine(const CHatchLine& family, zeph::CDrawContext& dc, const CViewMapping& mapping,
                   int x1, int y1, int x2, int y2, zeph::ColourRef colour) {
  // Every way of making a family refuses a degenerate one; this keeps the walk finite even
  // for a family that was never filled in.
  if (!family.IsValid()) return;
  const bool printing = dc.IsPrinting();
  const zeph::CDrawContext* printer = printing ? &dc : nullptr;
  const int dotSize = printing ? GetPrinterHatchDotSize() : 1;

  const double period = family.GetDashPeriod();
  if (period == 0.0) {
    const int ex = mapping.DrawingToDeviceX(x2, printer);
    const int ey = mapping.DrawingToDeviceY(y2, printer);
    dc.MoveTo(mapping.DrawingToDeviceX(x1, printer), mapping.DrawingToDeviceY(y1, printer));
    dc.LineTo(ex, ey);
    dc.SetPixel(ex, ey, colour);
    return;
  }

  // The angle as stored may lie outside [0, 2 pi) when it came from a definition or a file.
  double a = NormaliseAngle(family.GetAngle(), 0);
  bool reversed = false;
  if (a >= kPi || IsNearlyZero(a - kPi)) {
    a -= kPi;
    reversed = true;
  }
  HatchCase kind = HatchCase::kRising;
  if (IsNearlyZero(a)) {
    a = 0.0;
    kind = HatchCase::kHorizontal;
  } else if (IsNearlyZero(a - g_halfPi)) {
    a = g_halfPi;
    kind = HatchCase::kVertical;
  } else if (a >= g_halfPi) {
    kind = HatchCase::kFalling;
  }
  const double c = std::cos(a);
  const double s = std::sin(a);
  const double ox = family.GetOriginX();
  const double oy = family.GetOriginY();
  const double spacing = family.GetSpacing();
  const double shift = family.GetStagger();

  // The line of the family that the stretch lies on.
  int k = 0;
  switch (kind) {
    case HatchCase::kHorizontal:
      k = RoundToInt((y1 - oy) / spacing);
      break;
    case HatchCase::kVertical:
      k = RoundToInt((x1 - ox) / spacing);
      break;
    default:
      k = RoundToInt(((y1 - oy) * c - (x1 - ox) * s) / spacing);
      break;
  }

  // A rhythm start at or before the stretch's first point, on the axis the walk advances
  // along; axisStep is how far that axis moves per unit of entry length.
  double near = x1;
  double far = x2;
  double axisPeriod = period;
  double axisStep = 1.0;
  double yStep = 0.0;  // the rising and falling cases move y too
  double start = 0.0;
  switch (kind) {
    case HatchCase::kHorizontal:
      start = std::floor(x1 / period) * period + std::fmod(ox, period);
      if (shift != 0.0) start += std::fmod(k * shift, period);
      break;
    case HatchCase::kVertical:
      near = y1;
      far = y2;
      start = std::floor(y1 / period) * period + std::fmod(oy, period);
      if (shift != 0.0) start -= std::fmod(k * shift, period);
      break;
    default:
      axisPeriod = std::fabs(period * c);
      axisStep = std::fabs(c);
      yStep = kind == HatchCase::kRising ? s : -s;
      start = std::floor(x1 / axisPeriod) * axisPeriod + std::fmod(ox, axisPeriod) -
              std::fmod(k * spacing * s, axisPeriod);
      if (shift != 0.0) start += std::fmod(k * shift, period) * c;
      break;
  }
  while (start > near) {
    const double earlier = start - axisPeriod;
    if (!(earlier < start)) break;  // the period vanishes against the coordinate
    start = earlier;
  }
  double pos = start;
  double posY = y1 - (x1 - start) * std::tan(a);  // the rising and falling cases only

  // Entry order: walking against the family's direction meets the entries backwards.
  bool forward = !reversed;
  if (kind == HatchCase::kFalling) forward = !forward;
  const int count = family.GetDashCount();
  int index = forward ? 0 : count - 1;

  auto deviceX = [&](double x) { return mapping.DrawingToDeviceXReal(x, printer); };
  auto deviceY = [&](double y) { return mapping.DrawingToDeviceYReal(y, printer); };
  const int fixedX = mapping.DrawingToDeviceX(x1, printer);  // the vertical case
  const int fixedY = mapping.DrawingToDeviceY(y1, printer);  // the horizontal case

  double cycleStart = pos;
  int taken = 0;
  while (pos < far) {
    const double entry = family.GetDash(index);
    index = forward ? (index + 1) % count : (index + count - 1) % count;
    const double length = std::fabs(entry);
    const double endPos = pos + length * axisStep;
    const double endY = posY + length * yStep;
    if (entry < 0.0 || endPos <= near) {
      pos = endPos;
      posY = endY;
    } else {
      // From the walk's position, or the stretch's start, to the dash's end, or the stretch's end.
      int sx = 0;
      int sy = 0;
      int ex = 0;
      int ey = 0;
      const bool clipStart = pos < near;
      const bool clipEnd = endPos > far;
      switch (kind) {
        case HatchCase::kHorizontal:
          sx = deviceX(clipStart ? x1 : pos);
          ex = deviceX(clipEnd ? x2 : endPos);
          sy = ey = fixedY;
          break;
        case HatchCase::kVertical:
          sx = ex = fixedX;
          sy = deviceY(clipStart ? y1 : pos);
          ey = deviceY(clipEnd ? y2 : endPos);
          break;
        default:
          sx = deviceX(clipStart ? x1 : pos);
          sy = deviceY(clipStart ? y1 : posY);
          ex = deviceX(clipEnd ? x2 : endPos);
          ey = deviceY(clipEnd ? y2 : endY);
          break;
      }
      DrawHatchPiece(dc, sx, sy, ex, ey, entry == 0.0, dotSize, colour);
      pos = clipEnd ? far : endPos;
      posY = endY;
    }
    // A whole rhythm that moved the walk by nothing (a period lost against the size of the
    // coordinates) would never reach the end.
    if (++taken == count) {
      taken = 0;
      if (!(pos > cycleStart)) break;
      cycleStart = pos;
    }
  }
}
