#pragma once
// The start screen's large button: drawn by the program on its own back buffer, with up to
// four caption lines, one of five colour schemes, one of three looks and a hover highlight.
#include <QImage>
#include <array>
#include <cstdint>
#include <optional>

#include "controls/viewcontrols.h"
#include "support/controlservices.h"

namespace zeph {

inline constexpr int kFrontSchemeCount = 5;
inline constexpr int kFrontSchemeColours = 6;
inline constexpr int kSchemePink = 0;
inline constexpr int kSchemeYellow = 1;
inline constexpr int kSchemeGreen = 2;
inline constexpr int kSchemeBlue = 3;
inline constexpr int kSchemeGrey = 4;

// The schemes' colours (palette-relative): face, two edge shades, text, gradient top and
// bottom.
ColourRef FrontSchemeColour(int scheme, int index);

// The look of the start-screen buttons: 0 classic, 1 flat with a coloured border, 2 gradient.
// Set from the system class at start-up; this system is of the newest class, which takes 2.
extern std::int32_t g_frontButtonStyle;
// g_frontButtonStyle from g_osClass. For start-up and tests.
void SetUpFrontButtonStyle();

// What a drawing of the button is for, and the button's state then.
inline constexpr unsigned kOdaDrawEntire = 0x1;
inline constexpr unsigned kOdaSelect = 0x2;
inline constexpr unsigned kOdaFocus = 0x4;
inline constexpr unsigned kOdsSelected = 0x1;  // pressed
inline constexpr unsigned kOdsFocus = 0x10;

struct DrawItemRecord {
  unsigned action = kOdaDrawEntire;
  unsigned state = 0;
  DcRect rect;  // right and bottom outside
};

// Border states.
inline constexpr int kBorderNormal = 0;
inline constexpr int kBorderPressed = 1;
inline constexpr int kBorderHover = 2;
inline constexpr int kBorderFocus = 3;

class CFrontButton : public CViewButton {
  Q_OBJECT

 public:
  explicit CFrontButton(QWidget* parent = nullptr);

  // Caption from the string of id, split into lines at "\n".
  bool Create(const DcRect& rect, QWidget* parent, int id);
  void SetFont(const DcFont* font, bool redraw);
  void SetScheme(std::int32_t scheme);
  std::int32_t GetScheme() const { return m_scheme; }
  void SplitCaption(const QString& caption);
  int GetLineCount() const { return m_lineCount; }
  const QString& GetLine(int index) const { return m_lines.at(static_cast<std::size_t>(index)); }
  std::int32_t IsHovering() const { return m_hover; }
  std::int32_t IsDrawn() const { return m_drawn; }
  using CControl::GetCaptionWidth;
  // The widest caption line in the caption font.
  int GetCaptionWidth(CDrawContext& dc) const;

  // Draws the button on its buffer as the record asks.
  void DrawItem(const DrawItemRecord& record);
  void DrawBorder(CDrawContext& dc, int state);
  void DrawBorderLook2(CDrawContext& dc, int state);
  void DrawFaceLook2(CDrawContext& dc, int state);
  // The look in use: g_frontButtonStyle, classic unless the screen shows exact colours.
  int GetLook() const;

  virtual void OnMouseMove(unsigned flags, QPoint point);
  virtual void OnLButtonDown(unsigned flags, QPoint point);

  // The button's screen.
  const QImage& BackBuffer() const { return m_buffer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Redraw(unsigned action);
  unsigned CurrentState() const;
  const DcFont& CaptionFont() const;
  void DrawCaption(CDrawContext& dc, bool pressed, ColourRef text, ColourRef back,
                   bool transparent);
  void DrawClassic(CDrawContext& dc, const DrawItemRecord& record);
  void EnsureBuffer();

  std::optional<DcFont> m_captionFont;
  std::int32_t m_borderWidth = 2;
  std::int32_t m_hover = 0;
  std::int32_t m_drawn = 0;
  std::int16_t m_lineCount = 1;
  std::array<QString, 4> m_lines;
  std::int32_t m_scheme = kSchemeBlue;
  std::array<ColourRef, 4> m_colours{};
  UiRect m_rect;  // of the last drawing, right and bottom inside
  std::int16_t m_borderInUse = 2;
  QImage m_buffer;
};

// The palette entries the schemes in use reserve, and writing them (see IColourSchemePalette).
int GetSchemePaletteEntryCount();
int AddSchemeColoursToPalette(CLogicalPalette& palette, int first);

class CFrontButtonPalette final : public IColourSchemePalette {
 public:
  int GetSchemePaletteEntryCount() const override;
  int AddSchemeColoursToPalette(CLogicalPalette& palette, int first) override;
};

}  // namespace zeph
