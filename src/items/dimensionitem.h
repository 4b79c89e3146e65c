#pragma once
// The dimension item (type 4): the length between two measured points shown as text in
// real-world units, on a dimension line parallel to the measured direction (or horizontal or
// vertical) set off from the points by an offset, with extension lines from the points and
// arrowheads, dashes or nothing at the line's ends.
//
// Where the text goes and how long the break in the dimension line is depend on the size of
// the text on the screen, so they are worked out afresh (NormalisePoints, then Layout) each
// time the item is drawn or measured, and never stored. Layout measures with the editing
// view's context (itemservices.h).
//
// Dimensions take part in no intersection and bound no fill.
#include <QString>
#include <cstdint>

#include "items/drawitem.h"
#include "items/valuefields.h"
#include "support/fontspec.h"

// ---- Codes ----
inline constexpr std::uint8_t kDimensionParallel = 0;
inline constexpr std::uint8_t kDimensionHorizontal = 1;
inline constexpr std::uint8_t kDimensionVertical = 2;

inline constexpr std::uint8_t kLineEndsNormal = 0;  // extension lines and arrowheads
inline constexpr std::uint8_t kLineEndsArrows = 1;
inline constexpr std::uint8_t kLineEndsDashes = 2;
inline constexpr std::uint8_t kLineEndsLines = 3;  // extension lines only
inline constexpr std::uint8_t kLineEndsNone = 4;

inline constexpr std::uint8_t kTextAngleLine = 0;  // along the dimension line
inline constexpr std::uint8_t kTextAngleHorizontal = 1;

inline constexpr std::uint8_t kTextInLine = 0;  // in a break of the dimension line
inline constexpr std::uint8_t kTextOutside = 1;
inline constexpr std::uint8_t kTextInside = 2;

// The units codes are those of measure.h; 5 is the option DisplayUnits.

// ---- Values-bar fields of the dimension ----

extern CFontSpec g_valueDimensionFont;
extern std::int32_t g_valueDimensionType;
extern std::int32_t g_valueLineEnds;
extern std::int32_t g_valueTextAngleMode;
extern std::int32_t g_valueTextPosition;
extern std::int32_t g_valueUnits;
extern std::int32_t g_valueDecimals;
extern std::int32_t g_valueArrowSize;
extern std::int32_t g_valueExtension;

// Back to the start values. For tests.
void ResetDimensionValueFields();

class CDimensionItem final : public CDrawItem {
 public:
  CDimensionItem();

  // ---- Points (handle 0 the start, 1 the end; undo kinds 6 and 25) ----
  void GetStart(int& x, int& y) const override;
  void GetEnd(int& x, int& y) const override;
  void SetStart(int x, int y) override;
  void SetEnd(int x, int y) override;
  int GetHandleCount() const override { return 2; }
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  void SetHandle(int handle, int x, int y) override;
  void MoveHandle(int handle, int dx, int dy) override { MoveHandleShared(handle, dx, dy); }
  void MoveBy(int dx, int dy) override;

  // ---- Settings, each with its undo kind ----
  std::uint8_t GetDimensionType() const override { return m_type; }
  void SetDimensionType(std::uint8_t type) override;  // 12
  std::uint8_t GetDecimals() const override { return m_decimals; }
  void SetDecimals(std::uint8_t decimals) override;  // 13
  int GetArrowSize() const override { return m_arrowSize; }
  void SetArrowSize(int size) override;  // 14
  std::uint8_t GetLineEnds() const override { return m_lineEnds; }
  void SetLineEnds(std::uint8_t ends) override;  // 15
  int GetExtension() const override { return m_extension; }
  void SetExtension(int extension) override;  // 16
  int GetExtensionGap() const override { return m_extensionGap; }
  void SetExtensionGap(int gap) override;  // 18
  int GetOffset() const override { return m_offset; }
  void SetOffset(int offset) override;  // 19
  std::uint8_t GetTextAngleMode() const override { return m_textAngleMode; }
  void SetTextAngleMode(std::uint8_t mode) override;  // 20
  std::uint8_t GetTextPosition() const override { return m_textPosition; }
  void SetTextPosition(std::uint8_t position) override;  // 21
  std::uint8_t GetUnits() const override { return m_units; }
  void SetUnits(std::uint8_t units) override;  // 22
  const CFontSpec* GetFont() const override { return &m_font; }
  void SetFont(const CFontSpec& font) override;  // 40
  // The font's width percent, not its point size.
  int GetFontSize() const override { return m_font.GetWidthPercent(); }
  void SetFontSize(int widthPercent) override;  // 40
  // Sets the text position from a code of older drawing files (0..4).
  void ChooseTextPosition(int choice) override;

  void CopyFrom(const CDrawItem* other) override;
  // Both points within the limits and every code within its range (decimals not tested).
  int IsValid() const override;
  // Moves both points; the offset, sizes and font stay.
  void Transform(const CTransform& transform) override;

  int CanBound() const override { return 0; }
  int IsClosed() const override { return 0; }
  int IntersectWith(CDrawItem*) override { return 0; }
  int IntersectScanLine(int) const override { return 0; }

  // ---- Drawing and measuring ----
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  // Distance from the cursor to the dimension line; nothing else can be picked.
  double GetPickDistance(const CViewMapping* mapping) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;

  void PublishProperties() const override;
  void PublishInformation() const override;

  // ---- Layout (plain) ----
  // Orders the points (the one with the smaller x, then the smaller y, first), adjusts them
  // for a horizontal or vertical dimension and sets the text angle.
  void NormalisePoints() const;
  // After NormalisePoints: the value text, the text's size in drawing units, its anchor and
  // the break in the dimension line, for the zoom of mapping.
  void Layout(const CViewMapping* mapping) const;

  // Results of the last NormalisePoints and Layout.
  void GetFirstPoint(int& x, int& y) const;
  void GetSecondPoint(int& x, int& y) const;
  // How far each extension line starts beyond its adjusted point (dx1, dy1, dx2, dy2).
  void GetExtensionExtras(int extras[4]) const;
  double GetLayoutTextAngle() const { return m_textAngle; }
  int GetTextGap() const { return m_textGap; }
  void GetTextAnchor(int& x, int& y) const;
  const QString& GetValueText() const { return m_valueText; }
  // The value text's line height and width in drawing units.
  int GetTextHeight() const { return m_textHeight; }
  int GetTextWidth() const { return m_textWidth; }

  // The ends of the dimension line: the adjusted points moved by the offset.
  void GetDimensionLine(int& x1, int& y1, int& x2, int& y2) const;

 private:
  // The measured direction of the adjusted points.
  double MeasuredAngle() const;

  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  std::int32_t m_offset = 0;
  std::int32_t m_arrowSize = 0;
  std::int32_t m_extensionGap = 0;
  std::int32_t m_extension = 0;
  CFontSpec m_font;
  std::uint8_t m_type = kDimensionParallel;
  std::uint8_t m_lineEnds = kLineEndsNormal;
  std::uint8_t m_textAngleMode = kTextAngleLine;
  std::uint8_t m_textPosition = kTextInLine;
  std::uint8_t m_units = 0;
  std::uint8_t m_decimals = 0;

  // Layout results, recomputed before every use.
  mutable double m_textAngle = 0.0;
  mutable std::int32_t m_first[2] = {0, 0};
  mutable std::int32_t m_second[2] = {0, 0};
  mutable std::int32_t m_extras[4] = {0, 0, 0, 0};
  mutable std::int32_t m_textGap = 0;
  mutable std::int32_t m_anchor[2] = {0, 0};
  mutable QString m_valueText;
  mutable std::int32_t m_textHeight = 0;
  mutable std::int32_t m_textWidth = 0;
};
