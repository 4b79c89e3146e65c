#pragma once
// A drawing document for item tests: it records what the items ask of it, answers undo
// requests as the test says, and keeps a real intersection cache so that tests can see when
// an item's cached answers are dropped.
#include <map>
#include <vector>

#include "items/drawitem.h"
#include "items/intersect.h"
#include "items/itemdocument.h"

class CFakeDocument final : public IItemDocument {
 public:
  struct Record {
    UndoKind kind{};
    const CDrawItem* item = nullptr;
    int dx = 0;
    int dy = 0;
  };

  // What RecordItemChange and RecordItemMove answer while recording is on.
  std::int16_t recordAnswer = 1;

  std::vector<Record> records;
  int changedCount = 0;
  int undoOn = 1;
  std::vector<int> enableUndoCalls;
  std::vector<ItemSerial> drops;
  CIntersectionCacheList cache;
  bool remapGroups = false;
  std::map<int, int> groupMap;
  int nextGroup = 5000;

  std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) override {
    records.push_back({kind, item, 0, 0});
    return undoOn != 0 ? recordAnswer : std::int16_t{0};
  }
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) override {
    records.push_back({kind, item, dx, dy});
    return undoOn != 0 ? recordAnswer : std::int16_t{0};
  }
  int EnableUndo(int on) override {
    enableUndoCalls.push_back(on);
    const int previous = undoOn;
    undoOn = on;
    return previous;
  }
  void MarkChanged() override { ++changedCount; }

  void DropCachedIntersections(const CDrawItem* item) override {
    drops.push_back(item->GetSerial());
    cache.Drop(item->GetSerial());
  }
  int FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) override {
    return cache.Find(a->GetSerial(), b->GetSerial());
  }
  void CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) override {
    if (a->GetDocument() != this || b->GetDocument() != this) return;
    cache.Add(count, a->GetSerial(), b->GetSerial());
  }

  int MapGroupNumber(int group) override {
    if (!remapGroups || group == 0) return group;
    auto found = groupMap.find(group);
    if (found == groupMap.end()) found = groupMap.emplace(group, nextGroup++).first;
    return found->second;
  }
  int GetFillOrder(const CDrawItem*, int&, int&) const override { return 0; }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return 0.0; }
  double GetAutomaticPrintScale() const override { return 1.0; }
  double GetRealWorldScale() const override { return 1.0; }

  int DropsOf(const CDrawItem& item) const {
    int n = 0;
    for (ItemSerial s : drops) n += s == item.GetSerial() ? 1 : 0;
    return n;
  }
  void ClearLog() {
    records.clear();
    changedCount = 0;
    drops.clear();
  }
};
