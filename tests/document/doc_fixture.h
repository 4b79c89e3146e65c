#pragma once
// Items and documents for the document tests: real items of a few kinds, a host that records
// what the document asks of the editor and the shell, and a presenter that answers the
// document's questions.
#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <vector>

#include "document/dochost.h"
#include "document/document.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/geometry.h"
#include "platform/presenter.h"

inline DrawItemPtr MakeLine(int x1, int y1, int x2, int y2, int colour = 0) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetColour(colour);
  line->SetLineStyle(kLineStyleUnbroken);
  return line;
}

inline DrawItemPtr MakeCircle(int cx, int cy, int radius, int colour = 0) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(cx, cy);
  circle->SetRadius(radius);
  circle->SetColour(colour);
  return circle;
}

inline DrawItemPtr MakeArc(int sx, int sy, int ex, int ey, double angle, int colour = 0) {
  DrawItemPtr arc = CreateItem(kItemArc);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  arc->SetAngle(angle);
  arc->Recalculate();
  arc->SetColour(colour);
  return arc;
}

// A solid square fill from (x, y) with sides of size.
inline DrawItemPtr MakeFill(int x, int y, int size, int colour = 0) {
  auto loop = std::make_unique<CBoundaryLoop>();
  const int xs[] = {x, x + size, x + size, x};
  const int ys[] = {y, y, y + size, y + size};
  for (int i = 0; i < 4; ++i) {
    auto edge = std::make_unique<CLineEdge>();
    edge->SetStart(xs[i], ys[i]);
    edge->SetEnd(xs[(i + 1) % 4], ys[(i + 1) % 4]);
    loop->Append(std::move(edge));
  }
  loop->JoinEnds();
  auto fill = std::make_unique<CFillItem>();
  fill->AttachBoundary(std::move(loop));
  fill->SetColour(colour);
  return fill;
}

// A host that remembers what it was asked.
class CRecordingHost final : public IDocumentHost {
 public:
  int cancelled = 0;
  int journalNotices = 0;
  int tool = -1;
  int copyPlacing = 0;
  int selectionShown = 0;
  int lineStartSet = 0;
  int lineX = 0;
  int lineY = 0;

  void CancelEditing() override { ++cancelled; }
  void UpdateEditingView() override { ++journalNotices; }
  int GetCurrentTool() const override { return tool; }
  int IsCopyPlacing() const override { return copyPlacing; }
  int IsSelectionShown() const override { return selectionShown; }
  int IsLineStartSet() const override { return lineStartSet; }
  void GetLineStart(int& x, int& y) const override {
    x = lineX;
    y = lineY;
  }
  void SetLineStart(int x, int y) override {
    lineX = x;
    lineY = y;
  }
};

// Installs a recording host and a scripted presenter for each test, and restores the
// program-wide state afterwards.
class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDocumentHost(&host);
    zeph::SetPresenter(&presenter);
  }
  void TearDown() override {
    SetDocumentHost(nullptr);
    zeph::SetPresenter(nullptr);
    g_journalAllocationLimit = kJournalLimit;
    CZephDoc::SetItemListLimitForTest(kItemListLimit);
  }

  // Adds the item and expects the document to take it; answers the item.
  static CDrawItem* Add(CZephDoc& doc, DrawItemPtr item) {
    CDrawItem* raw = item.get();
    EXPECT_EQ(doc.AddItem(item), 1);
    return raw;
  }

  CRecordingHost host;
  zeph::ScriptedPresenter presenter;
};
