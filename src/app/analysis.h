#pragma once
// View > Object list's analysis: a table of the drawing's objects that says in words what
// each one consists of (how many lines, arcs, circles ... and which regular polygons and
// rectangles its grouped lines form). One CElementStatistics record per object counts the
// items the document hands it.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "controls/dialogplus.h"
#include "document/document.h"

namespace zeph {

class CTableWnd;

inline constexpr int kIddAnalyseElements = 550;
inline constexpr int kHelpObjectAnalysis = 65;
inline constexpr int kIdcElementTable = 1288;
inline constexpr int kPolygonKindLimit = 10;

class CElementStatistics final : public IElementStatistics {
 public:
  void AddItem(const CDrawItem* item) override;
  // Sorts the groups into regular polygons by number of sides (at most 10 kinds, in the order
  // found) and rectangles (4 sides not all equal).
  void CountPolygons();
  // What the object consists of: "3 lines, 1 circle", "1 square, 2 rectangles" ...; counts
  // the polygons first when that was not done.
  QString Describe();

  std::int32_t m_arcs = 0;
  std::int32_t m_circles = 0;
  std::int32_t m_curves = 0;
  std::int32_t m_dimensions = 0;
  std::int32_t m_ellipses = 0;
  std::int32_t m_fills = 0;
  std::int32_t m_spare = 0;
  std::int32_t m_lines = 0;
  std::int32_t m_texts = 0;
  std::int32_t m_groupCount = 0;
  std::vector<std::int32_t> m_groupNumbers;
  std::vector<std::int16_t> m_sides;
  std::vector<double> m_sideLengths;  // -1 once a side differs from the first by more than 1
  std::int16_t m_polygonKinds = 0;
  std::array<std::int16_t, kPolygonKindLimit> m_polygonSides{};
  std::array<std::int32_t, kPolygonKindLimit> m_polygonCounts{};
  std::int16_t m_rectangles = 0;

 private:
  bool m_polygonsCounted = false;
};

class CAnalyseElementsDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CAnalyseElementsDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpObjectAnalysis; }
  bool OnInitDialog() override;
  CTableWnd* GetTable() const { return m_table; }

  CZephDoc* m_document = nullptr;

 private:
  CTableWnd* m_table = nullptr;
};

}  // namespace zeph
