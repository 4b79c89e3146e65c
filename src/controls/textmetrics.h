#pragma once
// How the program's own text controls (display text and list, table, the text layout) measure
// text. Normally they measure with the font their drawing context draws with; tests install
// fixed metrics, so that line breaks, scroll ranges and column wraps do not depend on the
// fonts installed on the machine. The text is still drawn in the real font, at the places the
// installed metrics give.
#include <QImage>
#include <QStringView>
#include <memory>

#include "platform/drawcontext.h"

namespace zeph {

class ITextMetrics {
 public:
  virtual ~ITextMetrics() = default;
  virtual TextMetrics GetTextMetrics(const DcFont& font) const = 0;
  virtual DcSize GetTextExtent(const DcFont& font, QStringView text) const = 0;
};

// The fake font of the recording context: every character's advance fixed by the font height.
class CFixedTextMetrics final : public ITextMetrics {
 public:
  TextMetrics GetTextMetrics(const DcFont& font) const override;
  DcSize GetTextExtent(const DcFont& font, QStringView text) const override;
};

// The metrics the controls measure with instead of their contexts' own; null (the default)
// keeps the contexts' own. Not owned.
void SetControlTextMetrics(const ITextMetrics* metrics);
const ITextMetrics* GetControlTextMetrics();

// A context that draws into another one and measures with the given metrics. The state set on
// it (font, colours, clip, ...) is passed on to the target.
class CMeasuredContext final : public CDrawContext {
 public:
  CMeasuredContext(CDrawContext& target, const ITextMetrics& metrics);

  bool IsPrinting() const override { return m_target.IsPrinting(); }
  DcRect GetClipBox() const override { return m_target.GetClipBox(); }
  void SetClipRect(const DcRect& rect) override { m_target.SetClipRect(rect); }
  void ResetClip() override { m_target.ResetClip(); }

  DcPoint SetWindowOrigin(DcPoint origin) override;
  RasterOp SetRasterOp(RasterOp op) override;
  DcPen SelectPen(const DcPen& pen) override;
  DcBrush SelectBrush(const DcBrush& brush) override;
  DcFont SelectFont(const DcFont& font) override;
  ColourRef SetTextColour(ColourRef colour) override;
  ColourRef SetBkColour(ColourRef colour) override;
  BkMode SetBkMode(BkMode mode) override;
  TextAlign SetTextAlign(TextAlign align) override;

  DcPoint MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void SetPixel(int x, int y, ColourRef colour) override { m_target.SetPixel(x, y, colour); }
  void Ellipse(int left, int top, int right, int bottom) override {
    m_target.Ellipse(left, top, right, bottom);
  }
  bool Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
           int endY) override {
    return m_target.Arc(left, top, right, bottom, startX, startY, endX, endY);
  }
  void PolyBezier(const std::array<DcPoint, 4>& points) override;
  void Polygon(std::span<const DcPoint> points) override { m_target.Polygon(points); }
  void FillRect(const DcRect& rect, ColourRef colour) override { m_target.FillRect(rect, colour); }

  TextMetrics GetTextMetrics() const override { return m_metrics.GetTextMetrics(GetFont()); }
  DcSize GetTextExtent(QStringView text) const override {
    return m_metrics.GetTextExtent(GetFont(), text);
  }
  void TextOut(int x, int y, QStringView text) override { m_target.TextOut(x, y, text); }
  void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) override {
    m_target.TextOutClipped(x, y, clip, text);
  }

  std::unique_ptr<CSavedBits> CreateSavedBits(int width, int height) override {
    return m_target.CreateSavedBits(width, height);
  }
  bool SaveBits(CSavedBits& bits, int left, int top) override {
    return m_target.SaveBits(bits, left, top);
  }
  bool RestoreBits(const CSavedBits& bits, int left, int top) override {
    return m_target.RestoreBits(bits, left, top);
  }

 protected:
  DeviceCaps QueryDeviceCaps() const override { return m_target.GetDeviceCaps(); }

 private:
  CDrawContext& m_target;
  const ITextMetrics& m_metrics;
};

// The context a control paints or measures with: the given one (or, for measuring only, one
// of its own), seen through the installed metrics when there are any.
class CControlDC {
 public:
  // For painting on dc.
  explicit CControlDC(CDrawContext& dc);
  // For measuring only.
  CControlDC();
  ~CControlDC();
  CControlDC(const CControlDC&) = delete;
  CControlDC& operator=(const CControlDC&) = delete;

  CDrawContext& get() { return *m_use; }
  CDrawContext* operator->() { return m_use; }

 private:
  QImage m_image;
  std::unique_ptr<CDrawContext> m_own;
  std::unique_ptr<CMeasuredContext> m_measured;
  CDrawContext* m_use = nullptr;
};

}  // namespace zeph
