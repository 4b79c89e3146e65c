#include "support/fontspec.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/sysinfo.h"

using zeph::CDrawContext;
using zeph::DcFont;

namespace {

// Faces of 31 characters or more did not fit the platform's font record; such a face leaves
// the system font's face in place.
constexpr qsizetype kFaceNameLimit = 31;

// Font sizes divide by the screen's resolution: a screen reported without one counts as 120.
int ScreenDpiY() {
  if (g_screenDpiY > 0) return g_screenDpiY;
  ReportGlitch(20306, 1);
  return 120;
}

int DpiOf(const CDrawContext* dc) {
  if (dc != nullptr && dc->IsPrinting()) return dc->GetDeviceCaps().dpiY;
  return ScreenDpiY();
}

bool IsWideScreen() { return g_screenWidth >= 1000; }

struct SharedFont {
  DcFont font;
  bool made = false;
};

SharedFont g_largeBoldFont;
SharedFont g_boldFont;
SharedFont g_largeBoldVerdanaFont;
SharedFont g_boldVerdanaFont;
SharedFont g_smallFont;
SharedFont g_dialogFont;
CFontSpec g_uiFontSpec;
bool g_uiFontSpecMade = false;

// Made with no context, at zoom 100 and angle 0; tried again at each call until made once.
bool MakeSharedFont(SharedFont& shared, const CFontSpec& spec) {
  if (!shared.made) shared.made = spec.CreateFont(&shared.font, nullptr, 100, 0) == 1;
  return shared.made;
}

bool MakeSharedFont(SharedFont& shared, const char* face, std::int16_t size, bool bold) {
  if (shared.made) return true;
  CFontSpec spec;
  spec.Set(QString::fromLatin1(face), size, bold, false);
  return MakeSharedFont(shared, spec);
}

template <typename T, typename Select>
void SelectKeepingFirst(const T* object, std::optional<T>& first, Select select) {
  if (object == nullptr) return;
  T replaced = select(*object);
  if (!first.has_value()) first = std::move(replaced);
}

}  // namespace

// ---- CFontSpec ----

void CFontSpec::Set(const QString& face, std::int16_t size, bool bold, bool italic) {
  SetFaceName(face);
  m_size = size;
  m_widthPercent = 100;
  m_bold = bold ? 1 : 0;
  m_italic = italic ? 1 : 0;
}

void CFontSpec::CopyFrom(const CFontSpec& other) {
  m_size = other.m_size;
  m_widthPercent = other.m_widthPercent;
  m_bold = other.m_bold;
  m_italic = other.m_italic;
  if (other.m_hasFaceName) SetFaceName(other.m_faceName);
}

int CFontSpec::IsEqual(const CFontSpec& other) const {
  if (!m_hasFaceName || !other.m_hasFaceName) return 0;
  return m_faceName == other.m_faceName && m_size == other.m_size &&
                 m_widthPercent == other.m_widthPercent && m_bold == other.m_bold &&
                 m_italic == other.m_italic
             ? 1
             : 0;
}

void CFontSpec::SetFaceName(const QString& text) {
  qsizetype end = 0;
  while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
  if (end < text.size()) ReportGlitch(20307, 1);
  try {
    m_faceName = text.left(end);
    m_hasFaceName = true;
  } catch (const std::bad_alloc&) {
    ReleaseFaceName();
  }
}

void CFontSpec::ReleaseFaceName() {
  m_faceName = QString();
  m_hasFaceName = false;
}

void CFontSpec::GetDescription(QString& out) const {
  out.clear();
  if (!m_hasFaceName) return;
  out = m_faceName;
  out += u' ';
  AppendShort(out, m_size);
  out += QStringLiteral("pt");
  if (m_bold != 0) out += QStringLiteral(" bold");
  if (m_italic != 0) out += QStringLiteral(" italic");
}

int CFontSpec::GetLogFont(DcFont& lf, const CDrawContext* dc, std::int16_t zoomPercent,
                          std::int16_t angleDegrees) const {
  // Fields not set here come from the system font.
  lf = zeph::SystemFont();
  const int dpi = DpiOf(dc);
  const int height = RoundToInt(static_cast<double>(m_size) * dpi * zoomPercent / 7200.0);
  lf.height = height > 0 ? height : 1;
  lf.averageWidth = 0;
  lf.bold = m_bold != 0;
  lf.italic = m_italic != 0;
  lf.escapement = angleDegrees * 10;
  if (m_hasFaceName && m_faceName.size() < kFaceNameLimit) lf.face = m_faceName;
  return 1;
}

void CFontSpec::SetFromLogFont(const DcFont& lf, const CDrawContext* dc) {
  const int dpi = dc != nullptr ? dc->GetDeviceCaps().dpiY : ScreenDpiY();
  const int height = std::clamp(lf.height, -kIntRangeMax / 72, kIntRangeMax / 72);
  SetFaceName(lf.face);
  m_size = static_cast<std::int16_t>(std::abs(DivideRoundedShort(height * 72, dpi)));
  m_bold = lf.bold ? 1 : 0;
  m_italic = lf.italic ? 1 : 0;
  m_widthPercent = 100;
}

int CFontSpec::MakeFont(int code, DcFont* font, CDrawContext* dc, std::int16_t zoomPercent,
                        std::int16_t angleDegrees) const {
  LogScope trace(code);
  if (font == nullptr) return trace.Return(0, kLogInvalid, 1);
  try {
    DcFont lf;
    if (GetLogFont(lf, dc, zoomPercent, angleDegrees) == 0) {
      ReportGlitch(code, 3);
      return 0;
    }
    *font = lf;
    if (m_widthPercent != 100 && m_widthPercent != 0) {
      trace.Step(1);
      LogNumber(m_widthPercent);
      if (dc == nullptr) return trace.Return(1, kLogInvalid, 2);
      // The width is a share of the face's own average width at this height.
      const DcFont previous = dc->SelectFont(*font);
      const int average = dc->GetTextMetrics().averageCharWidth;
      dc->SelectFont(previous);
      if (average == 0) return trace.Return(1, kLogInvalid, 3);
      lf.averageWidth = DivideRounded(m_widthPercent * average, 100);
      *font = lf;
    }
  } catch (const std::bad_alloc&) {
    ReportGlitch(code, 1);
    return 0;
  }
  return trace.Return(1);
}

int CFontSpec::CreateFont(DcFont* font, CDrawContext* dc, std::int16_t zoomPercent,
                          std::int16_t angleDegrees) const {
  return MakeFont(20302, font, dc, zoomPercent, angleDegrees);
}

int CFontSpec::CreateUnzoomedFont(DcFont* font, CDrawContext* dc) const {
  return MakeFont(20304, font, dc, 100, 0);
}

int CFontSpec::RecreateFont(std::unique_ptr<DcFont>& font, CDrawContext* dc,
                            std::int16_t zoomPercent, std::int16_t angleDegrees) const {
  LogScope trace(20303);
  try {
    if (font) {
      *font = DcFont();
    } else {
      font = std::make_unique<DcFont>();
    }
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogInvalid, 1);
  }
  if (CreateFont(font.get(), dc, zoomPercent, angleDegrees) == 1) return trace.Return(1);
  font.reset();
  return trace.Return(0, kLogInvalid, 2);
}

// ---- Font objects ----

void DeleteFontObject(std::unique_ptr<DcFont>& font) { font.reset(); }

void SelectGdiObject(CDrawContext& dc, const DcFont* object, std::optional<DcFont>& first) {
  SelectKeepingFirst(object, first, [&dc](const DcFont& f) { return dc.SelectFont(f); });
}

void SelectGdiObject(CDrawContext& dc, const zeph::DcPen* object,
                     std::optional<zeph::DcPen>& first) {
  SelectKeepingFirst(object, first, [&dc](const zeph::DcPen& p) { return dc.SelectPen(p); });
}

void SelectGdiObject(CDrawContext& dc, const zeph::DcBrush* object,
                     std::optional<zeph::DcBrush>& first) {
  SelectKeepingFirst(object, first, [&dc](const zeph::DcBrush& b) { return dc.SelectBrush(b); });
}

// ---- Shared fonts ----

const DcFont& GetLargeBoldFont() {
  MakeSharedFont(g_largeBoldFont, "Arial", IsWideScreen() ? 12 : 11, true);
  return g_largeBoldFont.font;
}

const DcFont& GetBoldFont() {
  MakeSharedFont(g_boldFont, "Arial", IsWideScreen() ? 10 : 9, true);
  return g_boldFont.font;
}

const DcFont& GetLargeBoldVerdanaFont() {
  if (!MakeSharedFont(g_largeBoldVerdanaFont, "Verdana", IsWideScreen() ? 12 : 11, true)) {
    return GetBoldFont();
  }
  return g_largeBoldVerdanaFont.font;
}

const DcFont& GetBoldVerdanaFont() {
  if (!MakeSharedFont(g_boldVerdanaFont, "Verdana", IsWideScreen() ? 10 : 9, true)) {
    return GetBoldFont();
  }
  return g_boldVerdanaFont.font;
}

const DcFont& GetSmallFont() {
  MakeSharedFont(g_smallFont, "Arial", 8, false);
  return g_smallFont.font;
}

const DcFont& GetDialogFont() {
  MakeSharedFont(g_dialogFont, GetUIFontSpec());
  return g_dialogFont.font;
}

const CFontSpec& GetUIFontSpec() {
  if (!g_uiFontSpecMade) {
    if (g_osClass == 2) {
      g_uiFontSpec.Set(QStringLiteral("Segoe UI"), g_screenWidth >= 1600 ? 10 : 9, false, false);
    } else {
      g_uiFontSpec.Set(QStringLiteral("MS Sans Serif"), 8, g_screenWidth >= 1000, false);
    }
    g_uiFontSpecMade = true;
  }
  return g_uiFontSpec;
}

void ResetSharedFonts() {
  for (SharedFont* shared : {&g_largeBoldFont, &g_boldFont, &g_largeBoldVerdanaFont,
                             &g_boldVerdanaFont, &g_smallFont, &g_dialogFont}) {
    *shared = SharedFont();
  }
  g_uiFontSpec = CFontSpec();
  g_uiFontSpecMade = false;
}
