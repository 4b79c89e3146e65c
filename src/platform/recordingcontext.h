#pragma once
// A drawing context for tests: it draws nothing, records every call that changes state or
// draws, in order, and measures text with a fake font whose metrics are fixed, so that layout
// tests do not depend on the machine's fonts.
#include "platform/drawcontext.h"

#include <QList>
#include <QString>
#include <vector>

namespace zeph {

enum class DcOp : std::uint8_t {
  kSetWindowOrigin,
  kSetRasterOp,
  kSelectPen,
  kSelectBrush,
  kSelectFont,
  kSetTextColour,
  kSetBkColour,
  kSetBkMode,
  kSetTextAlign,
  kSetClipRect,
  kResetClip,
  kMoveTo,
  kLineTo,
  kSetPixel,
  kEllipse,
  kArc,
  kPolyBezier,
  kPolygon,
  kFillRect,
  kTextOut,
  kTextOutClipped,
  kCreateSavedBits,
  kSaveBits,
  kRestoreBits,
};

// One recorded call: its arguments and the state in effect when it was made.
struct DcCall {
  DcOp op = DcOp::kMoveTo;
  std::vector<DcPoint> points;  // point arguments; for Arc the start and end points
  DcRect rect;                  // rectangle arguments (boxes, clip, fill)
  ColourRef colour = 0;         // colour argument
  QString text;                 // text argument
  // State in effect, after the call for the setters.
  DcPen pen;
  DcBrush brush;
  DcFont font;
  RasterOp rasterOp = RasterOp::kCopy;
  DcPoint origin;
  ColourRef textColour = 0;
  ColourRef bkColour = 0;
  BkMode bkMode = BkMode::kOpaque;
  TextAlign textAlign = TextAlign::kLeft;
  QString description;  // the call as one line of text, see CRecordingContext::Lines
};

// The fake font: with h the font's height (at least 1),
//   internal leading h / 4, height h + h / 4, descent h / 5, ascent height - descent,
//   external leading h / 8, average character width the font's averageWidth or else
//   max(1, h / 2), widest character 3/2 of the average.
// Character advances: "iljI.,:;'|!" half the average (at least 1), "mwMW@" 3/2 of it, every
// other character the average. Bold and escapement change nothing.
TextMetrics FakeTextMetrics(const DcFont& font);
int FakeCharWidth(QChar c, const DcFont& font);

class CRecordingContext final : public CDrawContext {
 public:
  // A screen of width x height pixels at 96 dots per inch.
  CRecordingContext(int width = 1024, int height = 768);

  // What the device reports; tests change it to stand for printers, plotters and odd screens.
  void SetDeviceCaps(const DeviceCaps& caps) { m_caps = caps; }
  void SetPrinting(bool printing) { m_printing = printing; }
  // Makes the named operation fail (CreateSavedBits answers null, SaveBits, RestoreBits and
  // Arc answer false) until called again with false.
  void SetFailing(DcOp op, bool failing);

  const std::vector<DcCall>& calls() const { return m_calls; }
  // One line per call, for example "SelectPen solid 2 0x000000ff", "LineTo 10 20",
  // "TextOut 5 6 \"abc\"". Colours are 0x00BBGGRR in hexadecimal.
  QList<QString> Lines() const;
  void Clear() { m_calls.clear(); }

  bool IsPrinting() const override { return m_printing; }
  DcRect GetClipBox() const override;
  void SetClipRect(const DcRect& rect) override;
  void ResetClip() override;

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
  void SetPixel(int x, int y, ColourRef colour) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  bool Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
           int endY) override;
  void PolyBezier(const std::array<DcPoint, 4>& points) override;
  void Polygon(std::span<const DcPoint> points) override;
  void FillRect(const DcRect& rect, ColourRef colour) override;

  TextMetrics GetTextMetrics() const override;
  DcSize GetTextExtent(QStringView text) const override;
  void TextOut(int x, int y, QStringView text) override;
  void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) override;

  std::unique_ptr<CSavedBits> CreateSavedBits(int width, int height) override;
  bool SaveBits(CSavedBits& bits, int left, int top) override;
  bool RestoreBits(const CSavedBits& bits, int left, int top) override;

 protected:
  DeviceCaps QueryDeviceCaps() const override { return m_caps; }

 private:
  DcCall& Record(DcOp op, QString description);
  bool IsFailing(DcOp op) const;

  DeviceCaps m_caps;
  bool m_printing = false;
  bool m_clipped = false;
  DcRect m_clip;  // device coordinates
  std::vector<DcOp> m_failing;
  std::vector<DcCall> m_calls;
};

}  // namespace zeph
