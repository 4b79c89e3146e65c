#include "platform/qt/qtfont.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zeph {

QFont MakeQtFont(const DcFont& font, const QPaintDevice* device) {
  QFont qfont;
  qfont.setFamilies(QStringList{ResolveFontFace(font.face)});
  qfont.setPixelSize(std::max(1, font.height));
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setStyleStrategy(QFont::NoAntialias);
  // Hinted advances of unantialiased glyphs leave uneven gaps ("jum ps"); unhinted ones keep
  // the face's own spacing.
  qfont.setHintingPreference(QFont::PreferNoHinting);
  if (font.averageWidth > 0) {
    const int normal = QFontMetrics(qfont, device).averageCharWidth();
    if (normal > 0) {
      const double percent = 100.0 * font.averageWidth / normal;
      qfont.setStretch(static_cast<int>(std::clamp(std::lround(percent), 1L, 4000L)));
    }
  }
  return qfont;
}

TextMetrics QtTextMetrics(const QFont& qfont, const DcFont& font, const QPaintDevice* device) {
  const QFontMetrics fm(qfont, device);
  TextMetrics tm;
  tm.ascent = fm.ascent();
  tm.descent = fm.descent();
  tm.height = tm.ascent + tm.descent;
  tm.internalLeading = std::max(0, tm.height - std::max(1, font.height));
  tm.externalLeading = std::max(0, fm.leading());
  tm.averageCharWidth = fm.averageCharWidth();
  tm.maxCharWidth = fm.maxWidth();
  tm.italic = font.italic;
  return tm;
}

DcSize QtTextExtent(const QFont& qfont, const QPaintDevice* device, QStringView text) {
  const QFontMetrics fm(qfont, device);
  return {fm.horizontalAdvance(text.toString()), fm.ascent() + fm.descent()};
}

QtTextPlacement PlaceQtText(const CDrawContext& dc, const QFont& qfont, const QPaintDevice* device,
                            int x, int y, const QString& text) {
  const QFontMetrics fm(qfont, device);
  const int width = fm.horizontalAdvance(text);
  const int height = fm.ascent() + fm.descent();
  int left = 0;
  if (dc.GetTextAlign() == TextAlign::kCentre) left = -(width / 2);
  if (dc.GetTextAlign() == TextAlign::kRight) left = -width;
  QtTextPlacement placement;
  placement.place.translate(x, y);
  const int escapement = dc.GetFont().escapement;
  if (escapement % 3600 != 0) placement.place.rotate(-escapement / 10.0);
  placement.box = QRect(left, 0, width, height);
  placement.baseline = QPoint(left, fm.ascent());
  return placement;
}

void DrawQtText(QPainter& painter, const CDrawContext& dc, const QFont& qfont,
                const QPaintDevice* device, int x, int y, QStringView text) {
  const QString string = text.toString();
  const QtTextPlacement placement = PlaceQtText(dc, qfont, device, x, y, string);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setTransform(placement.place, true);
  if (dc.GetBkMode() == BkMode::kOpaque) {
    painter.fillRect(placement.box, ToQColor(dc.GetBkColour()));
  }
  painter.setFont(qfont);
  painter.setPen(ToQColor(dc.GetTextColour()));
  painter.drawText(placement.baseline, string);
  painter.restore();
}

}  // namespace zeph
