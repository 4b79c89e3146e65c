#pragma once
// A read-only table of dialogs and pages: a header row, columns sharing the width by weight,
// word-wrapped cells, rows kept in the order of a key column as they are filled, selection by
// mouse, keys and type-ahead, and a vertical scroll bar counted in text lines. The owner sizes
// it, describes the columns, then adds rows and fills the cells of the row just added.
//
// A cell may hold the line break 127. A cell whose whole text is the marker 255 shows empty;
// a row whose key cell is the marker stays directly below the row filled before it.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "controls/scrollingwnd.h"

namespace zeph {

inline constexpr char16_t kTableLineBreak = 127;
inline constexpr char16_t kTableMarker = 255;

class CTableWnd : public CScrollingWnd {
  Q_OBJECT

 public:
  explicit CTableWnd(QWidget* parent = nullptr);

  // columns x max(rows, 10) empty cells; 1, or 0 when memory ran out (the old contents stay).
  int SetSize(int columns, int rows);
  void SetColumn(int column, const QString& title, std::int32_t weight, std::int32_t wrap,
                 std::int32_t alignment);
  // The new row's index (it becomes the current row), or -1 when memory ran out.
  int AddRow();
  // Sets a cell of the current row; on the key column the row first moves to its place.
  void SetCellText(int column, const QString& text);
  void RemoveAllRows();
  void HideHeader();
  void SetRowColour(int row, ColourRef colour);
  // Without selection: the keys scroll the table instead.
  void SetScrollOnly(std::int32_t flag) { m_scrollOnly = flag; }
  // Rows are placed in the order of column (kind 0: text without regard to case).
  void SetSortKey(std::int16_t column, std::int32_t kind, std::int32_t descending);
  // Null: the dialog font.
  void SetFont(const DcFont* font, bool redraw);
  // Selects a display position (-1: none) and scrolls it into view.
  void SelectRow(int position);

  int GetColumnCount() const { return m_columnCount; }
  int GetRowCount() const { return m_rowCount; }
  int GetRowCapacity() const { return m_rowCapacity; }
  int GetTotalLines() const { return m_totalLines; }
  int GetCurrentRow() const { return m_currentRow; }
  // The selected display position, -1 when none.
  int GetSelectedRow() const { return m_selected; }
  // The row shown at a display position.
  int GetDisplayedRow(int position) const;
  // A cell's text as set (without the table's own wrap markers); empty outside the table.
  QString GetCellText(int row, int column) const;
  int GetRowLineCount(int row) const;
  int GetColumnWidth(int column) const;
  int GetFirstVisibleLine() const { return m_firstVisible; }
  int GetLinesPerPage() const { return m_linesPerPage; }
  int GetScrollMax() const { return m_scrollMax; }
  int GetLineHeight() const { return m_lineHeight; }
  const QString& GetTypeAhead() const { return m_typeAhead; }
  // The y where the rows begin.
  int GetBodyTop() const;

  void OnPaint(CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnKeyDown(int key, int repeat, unsigned flags) override;
  void OnKeyUp(int key, int repeat, unsigned flags) override;
  void OnChar(int character, int repeat, unsigned flags) override;
  void OnLButtonDown(unsigned flags, QPoint point) override;
  void OnMouseMove(unsigned flags, QPoint point) override;
  void OnLButtonUp(unsigned flags, QPoint point) override;
  void OnLButtonDblClk(unsigned flags, QPoint point) override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  void OnVScroll(unsigned code, unsigned thumb) override;

 signals:
  // The selection may have changed: how 0 after a key or a mouse release, 1 after type-ahead.
  void selectionChanged(int id, int how);
  void itemDoubleClicked(int id);

 private:
  struct Column {
    QString title;
    std::int32_t weight = 0;
    std::int32_t width = 0;
    std::uint8_t wrap = 0;
    std::int32_t alignment = 0;
  };

  int Id() const;
  const DcFont& FontInUse() const;
  QString& Cell(int row, int column);
  const QString& Cell(int row, int column) const;
  bool GrowRows();
  void MeasureLineHeight();
  int HeaderHeight() const;
  int AvailableHeight() const;
  void ComputeColumnWidths();
  // Wraps one cell for its column's width; true when its row grew.
  bool WrapCell(CDrawContext& dc, int row, int column);
  void UpdateScrollRange();
  void CountPage();
  void BringSelectionIntoView();
  int FirstLineOf(int position) const;
  int RowAtPoint(int y) const;
  int Search(const QString& text) const;
  void ScrollTo(int firstLine);
  void DrawRowLine(CDrawContext& dc, int position, int line, int y, bool highlighted);
  DcRect FocusRect() const;
  void ToggleFocusMark();

  std::int32_t m_columnCount = 0;
  std::int32_t m_rowCount = 0;
  std::int32_t m_rowCapacity = 0;
  std::int32_t m_totalLines = 0;
  std::int32_t m_border = 1;
  std::int32_t m_header = 1;
  std::vector<Column> m_columns;
  std::optional<DcFont> m_font;
  std::int32_t m_currentRow = -1;
  std::int32_t m_previousRow = -1;
  std::vector<QString> m_cells;  // row x column count + column
  std::vector<std::int32_t> m_rowLines;
  std::vector<ColourRef> m_rowColours;
  std::vector<std::int32_t> m_displayOrder;
  QString m_typeAhead;
  std::int32_t m_clientWidth = 0;
  std::int32_t m_clientHeight = 0;
  std::int32_t m_columnsValid = 0;
  std::int32_t m_hasFocus = 0;
  std::int32_t m_mouseDown = 0;
  std::int32_t m_captured = 0;
  std::int32_t m_selected = -1;
  std::int32_t m_scrollOnly = 0;
  std::int32_t m_sortColumn = -1;
  std::int32_t m_sortKind = 0;
  std::int32_t m_sortDescending = 0;
  std::int32_t m_ready = 1;
  std::int32_t m_firstVisible = 0;
  std::int32_t m_linesPerPage = 0;
  std::int32_t m_scrollMax = 0;
  std::int32_t m_lineHeight = 0;
  ColourRef m_highlightText = 0x00FFFFFF;
  ColourRef m_highlightBack = 0x00800000;
  int m_rangeDepth = 0;
};

// The table dialogs place.
class CTableList : public CTableWnd {
  Q_OBJECT

 public:
  explicit CTableList(QWidget* parent = nullptr);
};

}  // namespace zeph
