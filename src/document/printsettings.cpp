#include "document/printsettings.h"

#include <cmath>

#include "support/filestatus.h"
#include "support/options.h"
#include "support/textfile.h"

namespace {

template <typename T>
int Update(T& field, T value) {
  if (field == value) return 0;
  field = value;
  return 1;
}

int UpdateMargin(double& field, double cm) {
  if (!std::isfinite(cm)) return 0;
  return Update(field, cm);
}

// Every property, face name included; two fonts without a face name are alike when the rest
// is (the font spec's own comparison counts them as different).
bool SameFont(const CFontSpec& a, const CFontSpec& b) {
  if (a.HasFaceName() != b.HasFaceName()) return false;
  if (a.HasFaceName() && a.GetFaceName() != b.GetFaceName()) return false;
  return a.GetSize() == b.GetSize() && a.GetWidthPercent() == b.GetWidthPercent() &&
         a.IsBold() == b.IsBold() && a.IsItalic() == b.IsItalic();
}

}  // namespace

void CPrintSettings::LoadFromOptions() {
  m_landscape = GetOptionFlag(kOptionPrintLandscape) != 0 ? 1 : 0;
  m_leftMargin = GetOptionDouble(kOptionPrintLeftMargin);
  m_topMargin = GetOptionDouble(kOptionPrintTopMargin);
  m_rightMargin = GetOptionDouble(kOptionPrintRightMargin);
  m_bottomMargin = GetOptionDouble(kOptionPrintBottomMargin);
  m_footerMargin = GetOptionDouble(kOptionPrintFooterMargin);
  m_multiPageMargin = GetOptionDouble(kOptionPrintMultiPageMargin);
  m_pageHorizontal = GetOptionShort(kOptionPrintedPageHorizontal);
  m_pageVertical = GetOptionShort(kOptionPrintedPageVertical);
  m_footerFont = *GetOptionFont(kOptionFontPrintFooter);
  m_printScale = GetOptionFlag(kOptionPrintScale);
  m_printName = GetOptionFlag(kOptionPrintName);
  m_printFilename = GetOptionFlag(kOptionPrintFilename);
  m_printDate = GetOptionFlag(kOptionPrintDate);
  m_printTime = GetOptionFlag(kOptionPrintTime);
  m_footerAlignment = GetOptionShort(kOptionPrintedFooterAlignment);
}

void CPrintSettings::StoreToOptions() const {
  SetOptionFlag(kOptionPrintLandscape, m_landscape);
  SetOptionDouble(kOptionPrintLeftMargin, m_leftMargin);
  SetOptionDouble(kOptionPrintTopMargin, m_topMargin);
  SetOptionDouble(kOptionPrintRightMargin, m_rightMargin);
  SetOptionDouble(kOptionPrintBottomMargin, m_bottomMargin);
  SetOptionDouble(kOptionPrintFooterMargin, m_footerMargin);
  SetOptionDouble(kOptionPrintMultiPageMargin, m_multiPageMargin);
  SetOptionShort(kOptionPrintedPageHorizontal, m_pageHorizontal);
  SetOptionShort(kOptionPrintedPageVertical, m_pageVertical);
  SetOptionFont(kOptionFontPrintFooter, m_footerFont);
  SetOptionFlag(kOptionPrintScale, m_printScale);
  SetOptionFlag(kOptionPrintName, m_printName);
  SetOptionFlag(kOptionPrintFilename, m_printFilename);
  SetOptionFlag(kOptionPrintDate, m_printDate);
  SetOptionFlag(kOptionPrintTime, m_printTime);
  SetOptionShort(kOptionPrintedFooterAlignment, m_footerAlignment);
}

int CPrintSettings::Read(CTextFileReader& file) {
  // Read into a copy, so that a file that breaks off half-way leaves no mixture behind.
  CPrintSettings read = *this;
  if (file.ReadBool(read.m_landscape) == 0) return 0;
  if (file.ReadDouble(read.m_leftMargin) == 0) return 0;
  if (file.ReadDouble(read.m_topMargin) == 0) return 0;
  if (file.ReadDouble(read.m_rightMargin) == 0) return 0;
  if (file.ReadDouble(read.m_bottomMargin) == 0) return 0;
  if (file.ReadDouble(read.m_footerMargin) == 0) return 0;
  if (file.ReadDouble(read.m_multiPageMargin) == 0) return 0;
  if (file.ReadShort(read.m_pageHorizontal) == 0) return 0;
  if (file.ReadShort(read.m_pageVertical) == 0) return 0;
  if (file.ReadFont(read.m_footerFont) == 0) return 0;
  if (file.ReadBool(read.m_printScale) == 0) return 0;
  if (file.ReadBool(read.m_printName) == 0) return 0;
  if (file.ReadBool(read.m_printFilename) == 0) return 0;
  if (file.ReadBool(read.m_printDate) == 0) return 0;
  if (file.ReadBool(read.m_printTime) == 0) return 0;
  if (file.ReadShort(read.m_footerAlignment) == 0) return 0;
  *this = read;
  return 1;
}

int CPrintSettings::Write(CTextFileWriter& file) const {
  file.WriteBool(m_landscape);
  file.WriteDouble(m_leftMargin);
  file.WriteDouble(m_topMargin);
  file.WriteDouble(m_rightMargin);
  file.WriteDouble(m_bottomMargin);
  file.WriteDouble(m_footerMargin);
  file.WriteDouble(m_multiPageMargin);
  file.WriteShort(m_pageHorizontal);
  file.WriteShort(m_pageVertical);
  file.WriteFont(m_footerFont);
  file.WriteBool(m_printScale);
  file.WriteBool(m_printName);
  file.WriteBool(m_printFilename);
  file.WriteBool(m_printDate);
  file.WriteBool(m_printTime);
  file.WriteShort(m_footerAlignment);
  return g_fileStatus == kFileOk ? 1 : 0;
}

int CPrintSettings::SetLandscape(std::int32_t landscape) {
  return Update(m_landscape, landscape != 0 ? 1 : 0);
}
int CPrintSettings::SetLeftMargin(double cm) { return UpdateMargin(m_leftMargin, cm); }
int CPrintSettings::SetTopMargin(double cm) { return UpdateMargin(m_topMargin, cm); }
int CPrintSettings::SetRightMargin(double cm) { return UpdateMargin(m_rightMargin, cm); }
int CPrintSettings::SetBottomMargin(double cm) { return UpdateMargin(m_bottomMargin, cm); }
int CPrintSettings::SetFooterMargin(double cm) { return UpdateMargin(m_footerMargin, cm); }
int CPrintSettings::SetMultiPageMargin(double cm) { return UpdateMargin(m_multiPageMargin, cm); }
int CPrintSettings::SetPageHorizontal(std::int16_t position) {
  return Update(m_pageHorizontal, position);
}
int CPrintSettings::SetPageVertical(std::int16_t position) {
  return Update(m_pageVertical, position);
}
int CPrintSettings::SetFooterFont(const CFontSpec& font) {
  if (SameFont(m_footerFont, font)) return 0;
  m_footerFont = font;
  return 1;
}
int CPrintSettings::SetPrintScale(std::int32_t on) { return Update(m_printScale, on); }
int CPrintSettings::SetPrintName(std::int32_t on) { return Update(m_printName, on); }
int CPrintSettings::SetPrintFilename(std::int32_t on) { return Update(m_printFilename, on); }
int CPrintSettings::SetPrintDate(std::int32_t on) { return Update(m_printDate, on); }
int CPrintSettings::SetPrintTime(std::int32_t on) { return Update(m_printTime, on); }
int CPrintSettings::SetFooterAlignment(std::int16_t alignment) {
  return Update(m_footerAlignment, alignment);
}
