// Break: cutting one item at its crossings with the other items into pieces the user keeps or
// erases, then replacing the item by the stretches of kept pieces as one undo step.
//
// The cut points and the pieces live in the program-wide split list, which only one Break at a
// time may use.
#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "document/dochost.h"
#include "document/document.h"
#include "document/undostep.h"
#include "items/intersect.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogSplit = 1274;
constexpr int kLogKeep = 1240;

// The slots of g_splitPieces filled by the last split whose pieces are not yet freed.
int g_piecesMade = 0;
// For tests: the split list takes no more points than this (negative: no limit).
int g_splitLimitForTest = -1;

bool SplitListFull() { return g_splitLimitForTest >= 0 && g_splitCount > g_splitLimitForTest; }

bool AppendSplitPoint(int x, int y, double parameter) {
  if (g_splitLimitForTest >= 0 && g_splitCount >= g_splitLimitForTest) return false;
  if (ReserveSplitList(1) == 0) return false;
  const auto i = static_cast<std::size_t>(g_splitCount);
  g_splitX[i] = x;
  g_splitY[i] = y;
  g_splitParam[i] = parameter;
  ++g_splitCount;
  return true;
}

void SwapSplitPoints(int i, int j) {
  const auto a = static_cast<std::size_t>(i);
  const auto b = static_cast<std::size_t>(j);
  std::swap(g_splitX[a], g_splitX[b]);
  std::swap(g_splitY[a], g_splitY[b]);
  std::swap(g_splitParam[a], g_splitParam[b]);
}

void RemoveSplitPoint(int i) {
  for (int k = i; k + 1 < g_splitCount; ++k) {
    const auto to = static_cast<std::size_t>(k);
    g_splitX[to] = g_splitX[to + 1];
    g_splitY[to] = g_splitY[to + 1];
    g_splitParam[to] = g_splitParam[to + 1];
  }
  --g_splitCount;
}

// Orders the points along the item and drops those at a parameter already listed or outside
// 0..1. Point 0 always stays: an open item's start, or a closed item's first crossing, which
// the sort brings to the smallest parameter.
void SortAndCleanSplitPoints() {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    int i = 0;
    while (i + 1 < g_splitCount) {
      const double a = g_splitParam[static_cast<std::size_t>(i)];
      const double b = g_splitParam[static_cast<std::size_t>(i) + 1];
      if (a > b && b >= 0.0) {
        SwapSplitPoints(i, i + 1);
        swapped = true;
        ++i;
      } else if (b > a && b <= 1.0) {
        ++i;
      } else {
        RemoveSplitPoint(i + 1);
      }
    }
  }
}

// The stretches of kept pieces: run r goes from split point start[r] to split point end[r].
struct Runs {
  std::vector<std::int32_t> start;
  std::vector<std::int32_t> end;
  int count = 0;
  bool lastOpen = false;  // the last run reaches the last piece
};

void FindRuns(Runs& runs) {
  int previous = 0;
  for (int i = 0; i + 1 < g_splitCount; ++i) {
    const int flag = g_splitKeep[static_cast<std::size_t>(i)] != 0 ? 1 : 0;
    if (flag == previous) continue;
    previous = flag;
    if (flag == 1) {
      runs.start[static_cast<std::size_t>(runs.count)] = i;
    } else {
      runs.end[static_cast<std::size_t>(runs.count)] = i;
      ++runs.count;
    }
  }
  if (previous == 1) {
    runs.lastOpen = true;
    ++runs.count;
  }
}

}  // namespace

void CZephDoc::SetSplitListLimitForTest(int limit) { g_splitLimitForTest = limit; }

void CZephDoc::FreeSplitPieces() {
  const int made = std::min(g_piecesMade, static_cast<int>(g_splitPieces.size()));
  for (int i = 0; i < made; ++i) {
    CDrawItem*& piece = g_splitPieces[static_cast<std::size_t>(i)];
    DrawItemPtr owned(piece);
    piece = nullptr;
  }
  g_piecesMade = 0;
}

int CZephDoc::SplitItemAtCrossings(CDrawItem* item) {
  LogScope trace(kLogSplit);
  FreeSplitPieces();
  g_splitCount = 0;
  if (item == nullptr || item->IsCurve() == 0) {
    LogNumber(item != nullptr ? item->GetType() : -1);
    return trace.Return(0, kLogInvalid);
  }
  // The list is left empty, so that nothing is ever made of the points gathered so far.
  const auto outOfMemory = [&trace](int phase) {
    g_splitCount = 0;
    ShowOutOfMemory();
    return trace.Return(0, kLogMemory, phase);
  };

  const bool closed = item->IsClosed() != 0;
  if (!closed) {
    int x = 0;
    int y = 0;
    item->GetStart(x, y);
    if (!AppendSplitPoint(x, y, 0.0)) return outOfMemory(1);
  }
  for (const DrawItemPtr& owned : m_items) {
    CDrawItem* other = owned.get();
    if (other == item || other == nullptr || other->IsHidden() != 0 || other->IsCurve() == 0) {
      continue;
    }
    if (item->AddSplitPoints(other) == 0 || SplitListFull()) return outOfMemory(3);
  }
  if (g_splitCount < 2) return trace.Return(0, kLogHandled, 4);

  trace.Step(2);
  SortAndCleanSplitPoints();
  if (closed) {
    // The last piece ends where the first begins.
    if (!AppendSplitPoint(g_splitX[0], g_splitY[0], g_splitParam[0])) return outOfMemory(6);
  } else if (g_splitParam[static_cast<std::size_t>(g_splitCount) - 1] < 1.0) {
    int x = 0;
    int y = 0;
    item->GetEnd(x, y);
    if (!AppendSplitPoint(x, y, 1.0)) return outOfMemory(6);
  }

  for (int i = 0; i + 1 < g_splitCount; ++i) {
    DrawItemPtr piece = item->CreatePiece(i);
    if (!piece) {
      // The message has been shown; no piece is offered of a split that is not whole.
      FreeSplitPieces();
      g_splitCount = 0;
      return trace.Return(0, kLogMemory, 7);
    }
    g_splitPieces[static_cast<std::size_t>(i)] = piece.release();
    g_splitKeep[static_cast<std::size_t>(i)] = 1;
    g_piecesMade = i + 1;
  }
  LogNumber(g_splitCount);
  return trace.Return(g_splitCount);
}

int CZephDoc::KeepItemSections(CDrawItem* item) {
  LogScope trace(kLogKeep);
  if (item == nullptr || item->IsCurve() == 0) {
    SetGlitchValue(item != nullptr ? item->GetType() : -1);
    ReportGlitch(kLogKeep, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  if (g_splitCount < 2) {
    FreeSplitPieces();
    return trace.Return(1, kLogOk, 2);
  }
  if (FindItem(item) < 0) {
    // The split list was made for an item of this drawing.
    ReportGlitch(kLogKeep, 2);
    FreeSplitPieces();
    return trace.Return(0, kLogInvalid, 2);
  }
  Runs runs;
  try {
    runs.start.resize(static_cast<std::size_t>(g_splitCount));
    runs.end.resize(static_cast<std::size_t>(g_splitCount));
  } catch (const std::bad_alloc&) {
    FreeSplitPieces();
    ShowOutOfMemory();
    return trace.Return(0, kLogMemory, 3);
  }

  CUndoStep step(this);
  IDocumentHost& host = GetDocumentHost();
  const int made = std::min(g_piecesMade, g_splitCount - 1);
  for (int i = 0; i < made; ++i) {
    CDrawItem* piece = g_splitPieces[static_cast<std::size_t>(i)];
    if (piece != nullptr) host.DrawItem(piece, static_cast<int>(g_backgroundColour));
  }
  FreeSplitPieces();

  int answer = 1;
  const int last = g_splitCount - 1;
  FindRuns(runs);
  const auto startOf = [&runs](int r) { return runs.start[static_cast<std::size_t>(r)]; };
  const auto endOf = [&runs](int r) { return runs.end[static_cast<std::size_t>(r)]; };
  const auto pointX = [](int i) { return g_splitX[static_cast<std::size_t>(i)]; };
  const auto pointY = [](int i) { return g_splitY[static_cast<std::size_t>(i)]; };
  // Adds a new stretch: 1 added and drawn, 0 not valid (deleted), -1 refused (deleted; stop).
  const auto addStretch = [this, &host](DrawItemPtr& stretch) {
    CDrawItem* raw = stretch.get();
    const int added = AddItem(stretch);
    if (added == 1) {
      host.DrawItem(raw, kDrawOwnColour);
      return 1;
    }
    stretch.reset();
    return added == 0 ? 0 : -1;
  };

  bool unchanged = false;
  if (runs.count == 0) {
    if (RemoveItem(item) == 0) answer = 0;
  } else {
    if (runs.lastOpen) {
      const int lastRun = runs.count - 1;
      if (runs.count == 1 && startOf(0) == 0) {
        // Every piece kept: the item stays as it was, and the screen, which lost it with its
        // pieces, shows it again.
        unchanged = true;
        host.DrawItem(item, kDrawOwnColour);
      } else if (item->IsClosed() != 0 && startOf(0) == 0) {
        // The last and the first run meet at point 0: one run across it.
        runs.start[0] = startOf(lastRun);
        --runs.count;
      } else {
        runs.end[static_cast<std::size_t>(lastRun)] = last;
      }
    }
  }

  if (!unchanged && runs.count > 0) {
    const int type = item->GetType();
    if (type == kItemBezier) {
      for (int r = 0; r < runs.count; ++r) {
        DrawItemPtr copy = CopyItem(item);
        if (!copy) {
          answer = 0;
          break;
        }
        copy->SetStart(pointX(startOf(r)), pointY(startOf(r)));
        copy->SetEnd(pointX(endOf(r)), pointY(endOf(r)));
        item->FitToCurve(copy.get(), 0);
        if (addStretch(copy) < 0) {
          answer = 0;
          break;
        }
      }
      RemoveItem(item);
    } else if (type == kItemCircle || type == kItemEllipse) {
      int cx = 0;
      int cy = 0;
      int a = 0;
      int b = 0;
      item->GetCentre(cx, cy);
      const bool circle = type == kItemCircle;
      if (!circle) item->GetSemiAxes(a, b);
      const double rotation = circle ? 0.0 : item->GetRotation();
      const int colour = item->GetColour();
      const std::int16_t object = item->GetObjectNumber();
      const int group = item->GetGroupNumber();
      const int penWidth = item->GetPenWidth();
      if (RemoveItem(item) == 0) {
        answer = 0;
      } else {
        for (int r = 0; r < runs.count; ++r) {
          DrawItemPtr arc = CreateItem(circle ? kItemArc : kItemEllipseArc);
          if (!arc) {
            ShowOutOfMemory();
            answer = 0;
            break;
          }
          // Everything is set while the arc has no owner, so nothing is recorded for an arc
          // the document then refuses.
          arc->SetColour(colour);
          arc->SetObjectNumber(object);
          arc->SetGroupNumber(group);
          arc->SetPenWidth(penWidth);
          if (!circle) {
            arc->SetCentreExact(cx, cy);
            arc->SetRadii(a, b);
            arc->SetRotation(rotation);
          }
          arc->SetStart(pointX(startOf(r)), pointY(startOf(r)));
          arc->SetEnd(pointX(endOf(r)), pointY(endOf(r)));
          if (circle) {
            arc->SetAngleFromCentre(cx, cy);
            arc->Recalculate();
          }
          if (addStretch(arc) < 0) {
            answer = 0;
            break;
          }
        }
      }
    } else {
      // A line, an arc or an elliptic arc keeps itself as the first stretch.
      int endX = 0;
      int endY = 0;
      item->GetEnd(endX, endY);
      const bool arc = type == kItemArc;
      bool changed = false;
      if (startOf(0) != 0) {
        item->SetStart(pointX(startOf(0)), pointY(startOf(0)));
        changed = true;
      }
      if (endOf(0) != last) {
        item->SetEnd(pointX(endOf(0)), pointY(endOf(0)));
        changed = true;
      }
      if (arc && changed) item->RecalculateAngle();
      host.DrawItem(item, kDrawOwnColour);
      for (int r = 1; r < runs.count; ++r) {
        DrawItemPtr copy = CopyItem(item);
        if (!copy) {
          answer = 0;
          break;
        }
        copy->SetStart(pointX(startOf(r)), pointY(startOf(r)));
        if (endOf(r) == last) {
          copy->SetEnd(endX, endY);
        } else {
          copy->SetEnd(pointX(endOf(r)), pointY(endOf(r)));
        }
        if (arc) copy->RecalculateAngle();
        if (addStretch(copy) < 0) {
          answer = 0;
          break;
        }
      }
    }
  }

  step.Close();
  return trace.Return(answer, answer == 1 ? kLogOk : kLogFailed);
}
