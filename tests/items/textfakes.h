#pragma once
// Fakes for the text and dimension items: a document whose scales the test chooses, an
// editing view that lends a recording context (fixed font metrics) for measuring, a drawing
// window and a spell check that answer as the test says.
//
// The fixed metrics at a font height h: line height h + h / 4 + h / 8, characters h / 2 wide
// ("iljI.,:;'|!" half that, "mwMW@" half as wide again). A 12-point text at 264 drawing units
// per pixel is measured with a 16-pixel font: lines of 22 pixels, characters of 8.
#include <QString>
#include <vector>

#include "items/drawitem.h"
#include "items/itemdocument.h"
#include "items/itemservices.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"

// Drawing units per pixel at which f is 1 and a font's measuring height equals its size.
inline constexpr int kPointScale = 264;

class CScaledDocument final : public IItemDocument {
 public:
  struct Record {
    UndoKind kind{};
    int dx = 0;
    int dy = 0;
  };

  double realWorldScale = 1.0;
  double printingScale = 0.0;
  double automaticPrintScale = 1.0;
  std::int16_t recordAnswer = 1;  // what RecordItemChange and RecordItemMove answer
  std::vector<Record> records;
  std::vector<QString> recordedTexts;  // the text an item had when kind 37 was recorded
  int changedCount = 0;
  int drops = 0;

  std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) override {
    records.push_back({kind, 0, 0});
    if (kind == UndoKind::kTextString && item != nullptr) recordedTexts.push_back(item->GetText());
    return recordAnswer;
  }
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem*, int dx, int dy) override {
    records.push_back({kind, dx, dy});
    return recordAnswer;
  }
  int EnableUndo(int) override { return 1; }
  void MarkChanged() override { ++changedCount; }
  void DropCachedIntersections(const CDrawItem*) override { ++drops; }
  int FindCachedIntersections(const CDrawItem*, const CDrawItem*) override { return -1; }
  void CacheIntersections(int, const CDrawItem*, const CDrawItem*) override {}
  int MapGroupNumber(int group) override { return group; }
  int GetFillOrder(const CDrawItem*, int&, int&) const override { return 0; }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return printingScale; }
  double GetAutomaticPrintScale() const override { return automaticPrintScale; }
  double GetRealWorldScale() const override { return realWorldScale; }

  void ClearLog() {
    records.clear();
    recordedTexts.clear();
    changedCount = 0;
    drops = 0;
  }
};

// Lends its own recording context and counts the loans.
class CMeasuringView final : public IEditingView {
 public:
  zeph::CRecordingContext dc;
  int borrowed = 0;
  int released = 0;
  bool hasContext = true;

  zeph::CDrawContext* BorrowMeasuringContext() override {
    if (!hasContext) return nullptr;
    ++borrowed;
    return &dc;
  }
  void ReleaseMeasuringContext(zeph::CDrawContext*) override { ++released; }
};

class CFakeWindow final : public IDrawingWindow {
 public:
  CViewMapping mapping;
  zeph::CRecordingContext dc;

  const CViewMapping* GetViewMapping() const override { return &mapping; }
  zeph::CDrawContext* GetDrawContext() override { return &dc; }
};

class CFakeSpellCheck final : public ITextSpellCheck {
 public:
  int ready = 1;
  int answer = kSpellTextUnchanged;
  QString corrected;
  std::vector<QString> checked;

  int IsReady() const override { return ready; }
  int CheckText(const QString& text, int) override {
    checked.push_back(text);
    return answer;
  }
  QString GetCorrectedText() const override { return corrected; }
};

// A mapping of scale units per pixel with the drawing origin at device (left, top).
inline CViewMapping MakeMapping(int scale, int left = 0, int top = 0) {
  CViewMapping mapping;
  mapping.scaleX = scale;
  mapping.scaleY = scale;
  mapping.originX = -left * scale;
  mapping.originY = top * scale;
  return mapping;
}
