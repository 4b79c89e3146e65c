#pragma once
// Text drawn into a drawing: one line turned about its top-left corner at a height that
// follows the zoom (texts and the value text of dimensions), and the measuring fonts that
// place carets, boxes and dimension texts.
//
// Sizes are points and drawing units micrometres: on the screen a text of s points is drawn
// s x 264 / scale pixels high, scale being the view's drawing units per pixel. Measuring uses
// a font whose height is capped so that fine zooms do not make huge fonts: with the view's
// integer screen scale, f = 1 from a scale of 100 up and 100 / scale below, the measuring
// height is s x 264 / scale / f, and a length measured with it is f times as long on the
// screen (f x scale drawing units per measured pixel).
#include <QStringView>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/drawcontext.h"

class CDrawItem;
class CFontSpec;
struct CViewMapping;

// f of the mapping's integer screen scale (a scale below 1 counts as 1).
double GetMeasuringFactor(const CViewMapping& mapping);
// s x 264 / scale / f, before the rounding each measurement chooses.
double GetMeasuringHeight(int pointSize, const CViewMapping& mapping);
// A measuring height of 2 or less becomes 2.
std::int16_t RaiseMeasuringHeight(std::int16_t height);
// An angle in radians as whole degrees (0 for an angle that is not finite).
std::int16_t AngleInDegrees(double radians);

// The font at a measuring height (taken as its size), at zoom 100 and turned by angleDegrees,
// selected into the context for as long as this lives; the context's font is then put back.
// A font that cannot be made leaves the context's font in use.
class CMeasuringFont {
 public:
  CMeasuringFont(zeph::CDrawContext& dc, const CFontSpec& font, std::int16_t height,
                 std::int16_t angleDegrees);
  ~CMeasuringFont();
  CMeasuringFont(const CMeasuringFont&) = delete;
  CMeasuringFont& operator=(const CMeasuringFont&) = delete;

 private:
  zeph::CDrawContext& m_dc;
  std::unique_ptr<zeph::DcFont> m_font;
  std::optional<zeph::DcFont> m_previous;
};

// One line of text with its top-left corner at the drawing point (x, y), turned by angle
// (radians) about it, in the item's colour as colourMode asks. On the screen the height is
// size x 264 / scale pixels and texts below 2 pixels are left out; when printing it is
// size / the printing scale of the item's document (its automatic scale when that is 0 or
// less; 1 after glitch 1784 for an item without a document) and texts below 4 device units
// are left out. A printer without colour prints in black. thin has no effect.
void DrawRotatedText(const CDrawItem& item, zeph::CDrawContext* dc, const CViewMapping* mapping,
                     int x, int y, QStringView text, double angle, const CFontSpec& font,
                     int colourMode, int thin);
