#include "controls/textmetrics.h"

#include "platform/qt/imagecontext.h"
#include "platform/recordingcontext.h"

namespace zeph {
namespace {

const ITextMetrics* g_controlTextMetrics = nullptr;

}  // namespace

TextMetrics CFixedTextMetrics::GetTextMetrics(const DcFont& font) const {
  return FakeTextMetrics(font);
}

DcSize CFixedTextMetrics::GetTextExtent(const DcFont& font, QStringView text) const {
  int width = 0;
  for (const QChar c : text) width += FakeCharWidth(c, font);
  return {width, FakeTextMetrics(font).height};
}

void SetControlTextMetrics(const ITextMetrics* metrics) { g_controlTextMetrics = metrics; }
const ITextMetrics* GetControlTextMetrics() { return g_controlTextMetrics; }

// ---- CMeasuredContext ----

CMeasuredContext::CMeasuredContext(CDrawContext& target, const ITextMetrics& metrics)
    : m_target(target), m_metrics(metrics) {
  // Start from the target's state, so that the getters answer what the target holds.
  CDrawContext::SetWindowOrigin(target.GetWindowOrigin());
  CDrawContext::SetRasterOp(target.GetRasterOp());
  CDrawContext::SelectPen(target.GetPen());
  CDrawContext::SelectBrush(target.GetBrush());
  CDrawContext::SelectFont(target.GetFont());
  CDrawContext::SetTextColour(target.GetTextColour());
  CDrawContext::SetBkColour(target.GetBkColour());
  CDrawContext::SetBkMode(target.GetBkMode());
  CDrawContext::SetTextAlign(target.GetTextAlign());
  CDrawContext::MoveTo(target.GetCurrentPosition().x, target.GetCurrentPosition().y);
}

DcPoint CMeasuredContext::SetWindowOrigin(DcPoint origin) {
  CDrawContext::SetWindowOrigin(origin);
  return m_target.SetWindowOrigin(origin);
}

RasterOp CMeasuredContext::SetRasterOp(RasterOp op) {
  CDrawContext::SetRasterOp(op);
  return m_target.SetRasterOp(op);
}

DcPen CMeasuredContext::SelectPen(const DcPen& pen) {
  CDrawContext::SelectPen(pen);
  return m_target.SelectPen(pen);
}

DcBrush CMeasuredContext::SelectBrush(const DcBrush& brush) {
  CDrawContext::SelectBrush(brush);
  return m_target.SelectBrush(brush);
}

DcFont CMeasuredContext::SelectFont(const DcFont& font) {
  CDrawContext::SelectFont(font);
  return m_target.SelectFont(font);
}

ColourRef CMeasuredContext::SetTextColour(ColourRef colour) {
  CDrawContext::SetTextColour(colour);
  return m_target.SetTextColour(colour);
}

ColourRef CMeasuredContext::SetBkColour(ColourRef colour) {
  CDrawContext::SetBkColour(colour);
  return m_target.SetBkColour(colour);
}

BkMode CMeasuredContext::SetBkMode(BkMode mode) {
  CDrawContext::SetBkMode(mode);
  return m_target.SetBkMode(mode);
}

TextAlign CMeasuredContext::SetTextAlign(TextAlign align) {
  CDrawContext::SetTextAlign(align);
  return m_target.SetTextAlign(align);
}

DcPoint CMeasuredContext::MoveTo(int x, int y) {
  CDrawContext::MoveTo(x, y);
  return m_target.MoveTo(x, y);
}

void CMeasuredContext::LineTo(int x, int y) {
  m_target.LineTo(x, y);
  SetCurrentPosition(m_target.GetCurrentPosition());
}

void CMeasuredContext::PolyBezier(const std::array<DcPoint, 4>& points) {
  m_target.PolyBezier(points);
  SetCurrentPosition(m_target.GetCurrentPosition());
}

// ---- CControlDC ----

CControlDC::CControlDC(CDrawContext& dc) : m_use(&dc) {
  if (const ITextMetrics* metrics = GetControlTextMetrics()) {
    m_measured = std::make_unique<CMeasuredContext>(dc, *metrics);
    m_use = m_measured.get();
  }
}

CControlDC::CControlDC() : m_image(1, 1, QImage::Format_RGB32) {
  m_own = std::make_unique<CImageContext>(m_image);
  m_use = m_own.get();
  if (const ITextMetrics* metrics = GetControlTextMetrics()) {
    m_measured = std::make_unique<CMeasuredContext>(*m_own, *metrics);
    m_use = m_measured.get();
  }
}

CControlDC::~CControlDC() = default;

}  // namespace zeph
