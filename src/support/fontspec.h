#pragma once
// A device-independent font description: face name, size in points, width percent, bold and
// italic. Options, drawing texts, dimensions and printed footers keep their fonts in this
// form and turn them into drawing-context fonts only when drawing, at the zoom and rotation of
// the moment. Also the program's few shared fonts for controls and dialogs, made once a run.
//
// The face name stays as the user chose it ("Arial"); the drawing context resolves it to an
// installed face when it draws (ResolveFontFace: Arial, Times New Roman and Courier New become
// the metric-compatible Liberation faces).
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/drawcontext.h"

class CFontSpec {
 public:
  // No face name (read as "Arial"), 10 pt, normal width, not bold, not italic.
  CFontSpec() = default;

  // Sets every property at once; the width goes back to normal. Meant for descriptors that
  // hold no face name yet (the program's static descriptors are set up this way once).
  void Set(const QString& face, std::int16_t size, bool bold, bool italic);

  // Copies size, width, bold and italic, and the face name only when other has one.
  void CopyFrom(const CFontSpec& other);

  // 1 when both have a face name, the names are equal character for character and every
  // other property is equal; 0 otherwise (two default descriptors are not equal).
  int IsEqual(const CFontSpec& other) const;

  // A face name is stored on one line of a text file: it is cut at a CR or LF, which is a
  // glitch (20307, n 1).
  void SetFaceName(const QString& text);
  // The face name, "Arial" when none is set.
  QString GetFaceName() const { return m_hasFaceName ? m_faceName : QStringLiteral("Arial"); }
  bool HasFaceName() const { return m_hasFaceName; }
  // Back to no face name.
  void ReleaseFaceName();

  void SetSize(std::int16_t size) { m_size = size; }
  std::int16_t GetSize() const { return m_size; }
  void SetWidthPercent(std::int16_t percent) { m_widthPercent = percent; }
  std::int16_t GetWidthPercent() const { return m_widthPercent; }
  void SetBold(bool bold) { m_bold = bold ? 1 : 0; }
  int IsBold() const { return m_bold; }
  void SetItalic(bool italic) { m_italic = italic ? 1 : 0; }
  int IsItalic() const { return m_italic; }

  // "Arial 10pt bold italic" (" bold" and " italic" only when set); empty without a face name.
  void GetDescription(QString& out) const;

  // The font as the drawing context takes it, at zoomPercent and turned by angleDegrees
  // counter-clockwise. The resolution is the printer's for a printing context, otherwise the
  // screen's (g_screenDpiY). The character height is at least one pixel. 1 on success.
  int GetLogFont(zeph::DcFont& lf, const zeph::CDrawContext* dc, std::int16_t zoomPercent,
                 std::int16_t angleDegrees) const;
  // Face, size (from the character height at the context's resolution, or the screen's
  // without a context), bold and italic from lf; the width goes back to normal.
  void SetFromLogFont(const zeph::DcFont& lf, const zeph::CDrawContext* dc);

  // Makes the font into *font. A width other than normal needs a context to measure the
  // font's normal average width; without one the font keeps its normal width. 1 on success.
  int CreateFont(zeph::DcFont* font, zeph::CDrawContext* dc, std::int16_t zoomPercent,
                 std::int16_t angleDegrees) const;
  // CreateFont at zoom 100 and angle 0.
  int CreateUnzoomedFont(zeph::DcFont* font, zeph::CDrawContext* dc) const;
  // Makes the font anew in font, allocating it when there is none; on failure font is
  // released (null) and the result is 0.
  int RecreateFont(std::unique_ptr<zeph::DcFont>& font, zeph::CDrawContext* dc,
                   std::int16_t zoomPercent, std::int16_t angleDegrees) const;

 private:
  int MakeFont(int code, zeph::DcFont* font, zeph::CDrawContext* dc, std::int16_t zoomPercent,
               std::int16_t angleDegrees) const;

  QString m_faceName;
  bool m_hasFaceName = false;
  std::int16_t m_size = 10;
  std::int16_t m_widthPercent = 100;  // 0 counts as 100
  std::int16_t m_bold = 0;
  std::uint8_t m_italic = 0;
};

// Releases a font made for drawing; the pointer becomes null.
void DeleteFontObject(std::unique_ptr<zeph::DcFont>& font);

// Selects object into dc when there is one and keeps the object it replaced in first, unless
// first already holds one, so that the caller can put the context's first object back once at
// the end.
void SelectGdiObject(zeph::CDrawContext& dc, const zeph::DcFont* object,
                     std::optional<zeph::DcFont>& first);
void SelectGdiObject(zeph::CDrawContext& dc, const zeph::DcPen* object,
                     std::optional<zeph::DcPen>& first);
void SelectGdiObject(zeph::CDrawContext& dc, const zeph::DcBrush* object,
                     std::optional<zeph::DcBrush>& first);

// ---- Shared fonts, made at the first call and kept for the whole run ----
// A wide screen is 1000 pixels wide or more (g_screenWidth).
const zeph::DcFont& GetLargeBoldFont();         // Arial bold, 11 pt, 12 pt on a wide screen
const zeph::DcFont& GetBoldFont();              // Arial bold, 9 pt, 10 pt on a wide screen
const zeph::DcFont& GetLargeBoldVerdanaFont();  // Verdana bold, 11 pt, 12 pt on a wide screen
const zeph::DcFont& GetBoldVerdanaFont();       // Verdana bold, 9 pt, 10 pt on a wide screen
const zeph::DcFont& GetSmallFont();             // Arial, 8 pt
const zeph::DcFont& GetDialogFont();            // from GetUIFontSpec()

// The program's user-interface font, filled at the first call: "Segoe UI" 9 pt (10 pt on a
// screen 1600 pixels wide or more) on the newest system class, otherwise "MS Sans Serif" 8 pt,
// bold on a screen 1000 pixels wide or more.
const CFontSpec& GetUIFontSpec();

// Forgets the shared fonts and the user-interface font, so that the next calls make them
// again. For tests.
void ResetSharedFonts();
