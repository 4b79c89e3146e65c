#pragma once
// Fonts and text for the Qt contexts: both the back buffer and the printer turn a font
// description into a Qt font and draw text the same way.
#include "platform/drawcontext.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QTransform>

class QPainter;
class QPaintDevice;

namespace zeph {

inline QColor ToQColor(ColourRef colour) {
  return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// The resolved face at the font's character height in device pixels, stretched to its
// average width when one is given, drawn without antialiasing (so that text drawn again in
// the background colour wipes it off).
QFont MakeQtFont(const DcFont& font, const QPaintDevice* device);
TextMetrics QtTextMetrics(const QFont& qfont, const DcFont& font, const QPaintDevice* device);
DcSize QtTextExtent(const QFont& qfont, const QPaintDevice* device, QStringView text);

// Where text with its top at (x, y) (device pixels) goes: placed by the context's alignment
// and turned by the font's escapement about that point.
struct QtTextPlacement {
  QTransform place;  // from the text's own coordinates to device pixels
  QRect box;         // the text's box in its own coordinates, for an opaque background
  QPoint baseline;   // where its first character's baseline starts, in its own coordinates
};
QtTextPlacement PlaceQtText(const CDrawContext& dc, const QFont& qfont, const QPaintDevice* device,
                            int x, int y, const QString& text);

// Draws text with its top at (x, y) (device pixels), placed by the context's alignment,
// turned by the font's escapement about that point, in the context's text colour, on a box
// of its background colour when the background mode is opaque.
void DrawQtText(QPainter& painter, const CDrawContext& dc, const QFont& qfont,
                const QPaintDevice* device, int x, int y, QStringView text);

}  // namespace zeph
