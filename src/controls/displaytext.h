#pragma once
// Read-only text fields of dialogs and pages. CDispTextWnd shows its text word-wrapped inside
// margins, centred both ways by default, with an optional border and a vertical scroll bar
// only while the text is longer than the field. CDispListWnd is a read-only scrolling list of
// lines. Both scroll with the keys, the scroll bar and the wheel, and show a focus mark.
// CDisplayText and CDisplayList are the fields dialogs place: bordered.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "controls/scrollingwnd.h"
#include "support/uirect.h"

namespace zeph {

class CDispTextWnd : public CScrollingWnd {
  Q_OBJECT

 public:
  explicit CDispTextWnd(QWidget* parent = nullptr);

  // The window text. A text set once the field has a size is measured at once, so that the
  // scroll bar follows the amount of text.
  void SetWindowText(const QString& text);
  const QString& GetWindowText() const { return m_text; }

  // Takes effect at the next erase.
  void SetColours(ColourRef text, ColourRef background);
  // alignment 0 left, 1 centred, 2 right.
  void SetAlignment(std::int32_t alignment, std::int32_t centreVertically);
  // Keeps the font (null: the dialog font) and measures the text again.
  void SetFont(const DcFont* font, bool redraw);
  void SetBorder(std::int32_t flag) { m_border = flag; }
  void SetHalfBlankLines(std::int32_t flag) { m_halfBlankLines = flag; }
  // Measures the text: lines per page, scroll maximum, whether the bar is shown.
  void RecomputeScroll();

  std::int32_t GetLinesPerPage() const { return m_linesPerPage; }
  std::int32_t GetFirstLine() const { return m_firstLine; }
  std::int32_t GetScrollMax() const { return m_scrollMax; }
  bool HasFocusMark() const { return m_hasFocus != 0; }
  // How many times the text was measured; for tests.
  int GetMeasureCount() const { return m_measureCount; }

  virtual int IsFocusRectSuppressed() const { return 0; }

  void OnPaint(CDrawContext& dc) override;
  void OnEraseBkgnd(CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnKeyDown(int key, int repeat, unsigned flags) override;
  void OnKeyUp(int key, int repeat, unsigned flags) override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  void OnVScroll(unsigned code, unsigned thumb) override;

 private:
  const DcFont& FontInUse() const;
  UiRect TextRect() const;
  void ScrollTo(int firstLine);
  void ToggleFocusMark();

  QString m_text;
  std::int32_t m_border = 0;
  std::int32_t m_hasFocus = 0;
  std::int32_t m_lastWidth = 0;
  std::int32_t m_lastHeight = 0;
  std::optional<DcFont> m_font;
  ColourRef m_textColour;
  ColourRef m_backColour;
  std::int32_t m_brushMade = 0;
  ColourRef m_brushColour = 0;
  std::int32_t m_alignment = 1;
  std::int32_t m_centreVertically = 1;
  std::int32_t m_halfBlankLines = 0;
  std::int32_t m_marginX = 5;
  std::int32_t m_marginY = 4;
  std::int32_t m_linesPerPage = 0;
  std::int32_t m_firstLine = 0;
  std::int32_t m_scrollMax = 0;
  std::int32_t m_ready = 1;
  int m_measureCount = 0;
};

class CDisplayText : public CDispTextWnd {
  Q_OBJECT

 public:
  explicit CDisplayText(QWidget* parent = nullptr);
};

class CDispListWnd : public CScrollingWnd {
  Q_OBJECT

 public:
  explicit CDispListWnd(QWidget* parent = nullptr);

  // Appends a line and computes the page again.
  void AddLine(const QString& line);
  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  void SetFont(const DcFont* font, bool redraw);
  void SetBorder(std::int32_t flag) { m_border = flag; }

  std::int32_t GetLinesPerPage() const { return m_linesPerPage; }
  std::int32_t GetFirstLine() const { return m_firstLine; }
  std::int32_t GetScrollMax() const { return m_scrollMax; }
  // How many times the page was computed; for tests.
  int GetPageCount() const { return m_pageCount; }

  virtual int IsFocusRectSuppressed() const { return 0; }

  void OnPaint(CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnKeyDown(int key, int repeat, unsigned flags) override;
  void OnKeyUp(int key, int repeat, unsigned flags) override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  void OnVScroll(unsigned code, unsigned thumb) override;

 private:
  const DcFont& FontInUse() const;
  void ComputePage();
  void ScrollTo(int firstLine);
  void ToggleFocusMark();

  std::int32_t m_border = 0;
  std::int32_t m_hasFocus = 0;
  std::vector<QString> m_lines;
  std::int32_t m_lastWidth = 0;
  std::int32_t m_lastHeight = 0;
  std::optional<DcFont> m_font;
  std::int32_t m_lineHeight = 0;
  std::int32_t m_linesPerPage = 0;
  std::int32_t m_firstLine = 0;
  std::int32_t m_scrollMax = 0;
  std::int32_t m_ready = 1;
  int m_pageCount = 0;
};

class CDisplayList : public CDispListWnd {
  Q_OBJECT

 public:
  explicit CDisplayList(QWidget* parent = nullptr);
};

}  // namespace zeph
