#include "items/rotatedtext.h"

#include <cmath>

#include "items/drawitem.h"
#include "items/itemdocument.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"

namespace {

// The code of DrawRotatedText: its glitch and its log records.
constexpr int kDrawRotatedTextCode = 1784;

// Screen pixels per point of text at one drawing unit per pixel: the height of a point in
// micrometres.
constexpr double kUnitsPerPoint = 264.0;
// Scales from which measuring fonts are made at their full height.
constexpr int kFullHeightScale = 100;
// The smallest texts drawn, in screen pixels and in printer units.
constexpr int kSmallestScreenText = 2;
constexpr int kSmallestPrintedText = 4;

int ScreenScaleOf(const CViewMapping& mapping) { return mapping.scaleX >= 1 ? mapping.scaleX : 1; }

// The scale (X of 1 to X) an item prints at; 1 when it cannot be known.
double PrintingScaleOf(const CDrawItem& item) {
  const IItemDocument* document = item.GetDocument();
  if (document == nullptr) {
    ReportGlitch(kDrawRotatedTextCode, 1);
    return 1.0;
  }
  double scale = document->GetPrintingScale();
  if (!(scale > 0.0)) scale = document->GetAutomaticPrintScale();
  // A drawing without extents has no automatic scale; print at full size rather than divide
  // by nothing.
  if (!(scale > 0.0) || !std::isfinite(scale)) {
    LogAction(kDrawRotatedTextCode, 2, kLogHandled);
    return 1.0;
  }
  return scale;
}

}  // namespace

double GetMeasuringFactor(const CViewMapping& mapping) {
  const int scale = ScreenScaleOf(mapping);
  return scale >= kFullHeightScale ? 1.0 : static_cast<double>(kFullHeightScale) / scale;
}

double GetMeasuringHeight(int pointSize, const CViewMapping& mapping) {
  return pointSize * kUnitsPerPoint / ScreenScaleOf(mapping) / GetMeasuringFactor(mapping);
}

std::int16_t RaiseMeasuringHeight(std::int16_t height) { return height <= 2 ? 2 : height; }

std::int16_t AngleInDegrees(double radians) { return RoundToShort(radians * g_degreesPerRadian); }

CMeasuringFont::CMeasuringFont(zeph::CDrawContext& dc, const CFontSpec& font, std::int16_t height,
                               std::int16_t angleDegrees)
    : m_dc(dc) {
  CFontSpec measuring;
  measuring.CopyFrom(font);
  measuring.SetSize(height);
  measuring.RecreateFont(m_font, &dc, 100, angleDegrees);
  SelectGdiObject(dc, m_font.get(), m_previous);
}

CMeasuringFont::~CMeasuringFont() {
  if (m_previous) m_dc.SelectFont(*m_previous);
  DeleteFontObject(m_font);
}

void DrawRotatedText(const CDrawItem& item, zeph::CDrawContext* dc, const CViewMapping* mapping,
                     int x, int y, QStringView text, double angle, const CFontSpec& font,
                     int colourMode, int /*thin*/) {
  if (dc == nullptr || mapping == nullptr) return;
  const bool printing = dc->IsPrinting();
  std::int16_t height = 0;
  if (printing) {
    height = TruncateToShort(font.GetSize() / PrintingScaleOf(item));
    if (height < kSmallestPrintedText) return;
  } else {
    height = TruncateToShort(font.GetSize() * kUnitsPerPoint / mapping->GetScaleX());
    if (height < kSmallestScreenText) return;
  }
  CFontSpec drawn;
  drawn.CopyFrom(font);
  drawn.SetSize(height);
  std::unique_ptr<zeph::DcFont> created;
  drawn.RecreateFont(created, dc, 100, AngleInDegrees(angle));

  const zeph::CDrawContext* printer = printing ? dc : nullptr;
  const int deviceX = mapping->DrawingToDeviceX(x, printer);
  const int deviceY = mapping->DrawingToDeviceY(y, printer);
  if (printing && IsColourPrinter(dc, 1) == 0) colourMode = static_cast<int>(g_colourTable[0]);
  const auto colour = static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, item.GetColour()));

  std::optional<zeph::DcFont> previous;
  SelectGdiObject(*dc, created.get(), previous);
  SetTextColour(*dc, colour);
  SetTransparentBk(*dc);
  DrawTextAt(*dc, deviceX, deviceY, text, kAlignLeft, -1);
  if (previous) dc->SelectFont(*previous);
  DeleteFontObject(created);
}
