#pragma once
// An editing view that records what the editor asks of it, one line per call, and answers the
// questions the tests set.
#include <QString>
#include <QStringList>

#include "editor/editdrawing.h"
#include "editor/ownerview.h"

namespace zeph::testing {

class CRecordingView final : public IOwnerView {
 public:
  QStringList calls;
  int pickingColour = 0;
  QRect objectList;  // client points inside count as over the object list
  CZephDoc* document = nullptr;
  CEditDrawing* window = nullptr;  // tools selected by the editor go to it, as the palette's do

  CZephDoc* GetDocument() const override { return document; }

  void CloseValueEditor() override { calls << QStringLiteral("CloseValueEditor"); }
  void DrawFieldValues() override { calls << QStringLiteral("DrawFieldValues"); }
  void ClearCoordinateField() override { calls << QStringLiteral("ClearCoordinateField"); }
  void ShowPointValues(int x, int y, int mode) override {
    calls << QStringLiteral("ShowPointValues %1 %2 %3").arg(x).arg(y).arg(mode);
  }
  void ShowControlPointValues(int i) override {
    calls << QStringLiteral("ShowControlPointValues %1").arg(i);
  }
  int IsPickingColour() const override { return pickingColour; }
  void EndPickColour() override {
    calls << QStringLiteral("EndPickColour");
    pickingColour = 0;
  }
  void SetAction(int id, int enabled) override {
    calls << QStringLiteral("SetAction %1 %2").arg(id).arg(enabled);
  }
  void RemovePromptButtons() override { calls << QStringLiteral("RemovePromptButtons"); }
  void ResetValuesBarScroll() override { calls << QStringLiteral("ResetValuesBarScroll"); }
  void ShowOrderButtons(int front, int back) override {
    calls << QStringLiteral("ShowOrderButtons %1 %2").arg(front).arg(back);
  }
  void SetPromptText(int id) override { calls << QStringLiteral("SetPromptText %1").arg(id); }
  void EnableOKButton(int enable) override {
    calls << QStringLiteral("EnableOKButton %1").arg(enable);
  }
  void ShowObjectList(int show) override { calls << QStringLiteral("ShowObjectList %1").arg(show); }
  void UpdateObjectListTicks() override { calls << QStringLiteral("UpdateObjectListTicks"); }
  void UpdateObjectListRow(int object) override {
    calls << QStringLiteral("UpdateObjectListRow %1").arg(object);
  }
  int IsPointInObjectList(QPoint point) const override {
    return objectList.contains(point) ? 1 : 0;
  }
  void SelectTool(int tool, int subMode) override {
    calls << QStringLiteral("SelectTool %1 %2").arg(tool).arg(subMode);
    if (window != nullptr) window->SetTool(tool, subMode);
  }
  void ShowLiveLength() override { calls << QStringLiteral("ShowLiveLength"); }
  void DrawToolButton(int tool, int look) override {
    calls << QStringLiteral("DrawToolButton %1 %2").arg(tool).arg(look);
  }

  // The calls whose text starts with prefix.
  QStringList Calls(const QString& prefix) const {
    QStringList found;
    for (const QString& call : calls) {
      if (call.startsWith(prefix)) found << call;
    }
    return found;
  }
};

}  // namespace zeph::testing
