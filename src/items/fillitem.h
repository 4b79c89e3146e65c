#pragma once
// The fill item (type 3): a region bounded by one outer loop with any number of holes
// (islands) cut out of it, painted in a solid colour or covered by a hatch pattern clipped to
// the region. The document's fill search traces the loops and hands them over; the drawing
// file reader attaches loops and pattern it has read. The fill owns its loops and its pattern.
//
// Painting works on spans: the crossings of a device row (solid) or of one hatch line with
// the outer loop, taken in pairs, minus the spans of each hole on the same line
// (SubtractScanSpans / SubtractSegmentSpans below).
//
// The hatch pattern and the undo journal. SetHatch, SetHatchAngle and SetHatchSpacing replace
// the whole pattern. With a document they first ask it to record undo kind 26: the journal
// then reads the current pattern through GetHatchPattern and, when it answers 1, has taken it
// over, so the fill lets go of it without deleting it. Without a document, or when the journal
// answered 0, the replaced pattern is deleted here. Undo and redo swap patterns with
// DetachHatchPattern and AttachHatchPattern.
//
// Hatch lines are laid across the outer loop's box; a family whose spacing would need more
// than kMaxHatchLinesPerFamily lines there is left out (logged), so painting always ends.
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "items/drawitem.h"
#include "items/valuefields.h"
#include "platform/drawcontext.h"

// FillStyle.
inline constexpr int kFillSolid = 0;  // "Solid colour"
inline constexpr int kFillHatch = 1;  // "Hatch"
inline constexpr int kFillBlend = 2;  // "Colour blend": stored, never drawn
inline constexpr int kFillImage = 3;  // "Image": stored, never drawn, not valid
inline constexpr int kFillStyleCount = 4;

// The most hatch lines one family may need across the fill's box.
inline constexpr int kMaxHatchLinesPerFamily = 100000;

// ---- Values-bar fields ----
// "Number of outer edges:" "Number of islands"

extern std::int16_t g_valueFillStyle;
extern std::int16_t g_valueHatchIndex;  // index into g_hatchDefinitions, -1 for none
extern double g_valueHatchAngle;        // radians
extern double g_valueHatchScale;
extern std::int32_t g_valueEdgeCount;
extern std::int32_t g_valueHoleCount;
extern QString g_valuePlottingOrder;  // "k of n", or empty

// Back to zero and empty. For tests.
void ResetFillValueFields();

class CFillItem final : public CDrawItem {
 public:
  CFillItem();
  ~CFillItem() override;

  // Appends the hole and owns it. When the hole array cannot grow the hole stays the
  // caller's.
  void AddHole(std::unique_ptr<CBoundaryLoop>&& hole) override;
  // A deep copy of another fill (loops, style, pattern), replacing what this fill held; from
  // any other kind only the base attributes.
  void CopyFrom(const CDrawItem* other) override;
  // Inside the region and outside every hole: the view's drawing units per pixel times the
  // option ClickFillDistance, so that a curve nearer the cursor still wins. Elsewhere, on the
  // outer boundary and without an outer loop: kFarAway.
  double GetPickDistance(const CViewMapping* mapping) const override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  CBoundaryLoop* GetBoundary() const override { return m_outer.get(); }
  CHatchPattern* GetHatchPattern() const override { return m_hatch.get(); }
  int GetFillStyle() const override { return m_fillStyle; }
  // Hole i; a bad index is a glitch (1846, n 1) and null.
  CBoundaryLoop* GetHole(int i) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  // A fill neither bounds other fills nor crosses anything.
  int CanBound() const override { return 0; }
  int IntersectWith(CDrawItem*) override { return 0; }
  int IntersectScanLine(int) const override { return 0; }
  int IsClosed() const override { return 0; }
  int IsHatched() const override;
  // 1 when some hole contains the point, its boundary included.
  int IsInHole(int x, int y) const override;
  // Styles 0..2 with a valid outer loop.
  int IsValid() const override;
  // Moves every loop; the hatch pattern stays where it is.
  void MoveBy(int dx, int dy) override;
  int GetHoleCount() const override { return static_cast<int>(m_holes.size()); }
  // Every edge of every loop: the outer loop's vertices first, then each hole's.
  int GetHandleCount() const override;
  // Stored without undo; a pattern held before is deleted.
  void AttachHatchPattern(std::unique_ptr<CHatchPattern>&& pattern) override;
  // A new pattern from definition index (0..26) turned by angle and scaled by scale. 1 when
  // it replaced the old one; 0 when it could not be built or the document refused (the old
  // pattern stays).
  int SetHatch(int definition, double angle, double scale) override;
  // Styles outside 0..3 are a glitch (1849, n 0) and store 0.
  void SetFillStyle(int style) override;
  // Turns (or scales) the pattern about (0, 0) so that its angle (scale) against its
  // definition becomes the value. 1 when done or nothing needed doing; 0 for a value that is
  // not finite (or a scale not above 0), without a pattern, when memory ran out or the
  // document refused (the old pattern stays).
  int SetHatchAngle(double angle) override;
  int SetHatchSpacing(double scale) override;
  // Stored without undo; an outer loop held before is deleted.
  void AttachBoundary(std::unique_ptr<CBoundaryLoop>&& loop) override;
  // Moves one vertex, without undo (the editor records the whole fill first).
  void SetHandle(int handle, int x, int y) override;
  void PublishProperties() const override;
  void PublishInformation() const override;
  // Every loop, and the pattern of a hatched fill; no undo (the document records the item).
  void Transform(const CTransform& transform) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;

  // Hands the pattern to the caller (the undo journal swapping patterns); the fill has none
  // afterwards.
  std::unique_ptr<CHatchPattern> DetachHatchPattern();

 private:
  // The loop that holds handle h (the outer loop, then the holes in order) and the vertex
  // index within it; null when h lies beyond the last loop. Needs the outer loop.
  CBoundaryLoop* LoopOfHandle(int handle, int& vertex) const;
  int GetHandleCoordinate(int handle, bool wantY) const;
  // The document step of the three hatch setters: record undo kind 26 and store pattern.
  // 1 when stored, 0 when the document refused (pattern deleted).
  int ReplacePattern(std::unique_ptr<CHatchPattern> pattern);
  // The new pattern for SetHatchAngle / SetHatchSpacing: a copy of the current one
  // transformed. logCode names the setter for the log.
  int ReplaceTransformedPattern(const CTransform& transform, int logCode);
  void DrawSolid(zeph::CDrawContext& dc, const CViewMapping& mapping, zeph::ColourRef colour,
                 bool greyPrinting, std::vector<int>& spans, std::vector<int>& holeSpans) const;
  void DrawHatch(zeph::CDrawContext& dc, const CViewMapping& mapping, zeph::ColourRef colour,
                 std::vector<int>& xs, std::vector<int>& holeXs, std::vector<int>& ys,
                 std::vector<int>& holeYs) const;

  std::unique_ptr<CBoundaryLoop> m_outer;
  std::int32_t m_holeCapacity = 0;
  std::vector<std::unique_ptr<CBoundaryLoop>> m_holes;
  std::int32_t m_fillStyle = kFillSolid;
  std::unique_ptr<CHatchPattern> m_hatch;
};

// Cuts the spans of one hole out of a region's spans on one scan line. Both lists are
// ascending pairs: spans[0..n-1] (room for spans.size() values) and holeSpans[0..k-1]. A
// hole span of zero length is skipped. Answers the values added (2 per hole span cut out of a
// region span), 0 for k = 0 or bad counts (glitch 4102, n 1 or 2), or -1 when a hole span
// does not lie inside one region span (glitch 4102, n 3 or 4) or there is no room (n 5); the
// spans are then as before the call.
int SubtractScanSpans(int n, std::span<int> spans, int k, std::span<const int> holeSpans);

// The same for the crossings of a hatch segment, points (xs[i], ys[i]): ordered by x, or by y
// when the region's first and last points have the same x. Zero-length hole spans are cut too.
// On an error (glitch 4101, n 3..6, or 7 for no room) the cuts made before it stay and the
// answer is the values added so far; bad counts give 0 (glitch 4101, n 1 or 2).
int SubtractSegmentSpans(int n, std::span<int> xs, std::span<int> ys, int k,
                         std::span<const int> holeXs, std::span<const int> holeYs);

// The grey of equal brightness (30/59/11 weights, integer division), as a palette colour.
zeph::ColourRef ColourToGrey(zeph::ColourRef colour);
