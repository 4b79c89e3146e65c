#pragma once
// What the editor window asks of the editing view around it: the values bar and its editor,
// colour picking, the read-outs, the prompt area's text and buttons, the object list and the
// flyout list, and the palette's buttons. The editing view implements it; until a view is
// attached a view that does nothing stands in.
#include <QCursor>
#include <QPoint>

class CDrawItem;
class CZephDoc;

class IOwnerView {
 public:
  virtual ~IOwnerView() = default;

  // The drawing the view shows.
  virtual CZephDoc* GetDocument() const { return nullptr; }

  // ---- Values bar ----
  // Applies and closes the value editor open on the values bar.
  virtual void CloseValueEditor() {}
  virtual void DrawFieldValues() {}
  virtual void ClearCoordinateField() {}
  virtual void ResetValuesBarScroll() {}
  // Read-outs of the gesture in progress.
  virtual void ShowCursorPoint() {}
  virtual void ShowPointValues(int /*x*/, int /*y*/, int /*mode*/) {}
  virtual void ShowLiveLength() {}
  virtual void ShowMoveValues() {}
  virtual void ShowArcValues() {}
  virtual void ShowCircleValues() {}
  virtual void ShowCurveValues() {}
  virtual void ShowRectangleValues() {}
  virtual void ShowShapeValues() {}
  // The length and angle of the picked curve's control point i (0 or 1).
  virtual void ShowControlPointValues(int /*i*/) {}

  // ---- Colour picking ----
  virtual int IsPickingColour() const { return 0; }
  virtual void EndPickColour() {}
  // The cursor shown over the drawing while a colour is picked.
  virtual QCursor GetPickColourCursor() const { return QCursor(Qt::PointingHandCursor); }

  // ---- Prompt area ----
  // The OK button with the action caption (a string id; 0: no button), enabled from the start
  // when enabled is 1, else until the editor enables it; the Restart caption is cleared.
  virtual void SetAction(int /*stringId*/, int /*enabled*/) {}
  // The prompt text (a string id; 0 clears it).
  virtual void SetPromptText(int /*stringId*/) {}
  virtual void EnableOKButton(int /*enable*/) {}
  virtual void SetRestartCaption(int /*stringId*/) {}
  virtual void RemovePromptButtons() {}
  // Yes, No and Cancel for the Break tool's offer of pieces.
  virtual void ShowBreakButtons() {}
  // The fill order buttons: whether the picked fill is frontmost and hindmost.
  virtual void ShowOrderButtons(int /*frontmost*/, int /*hindmost*/) {}

  // ---- Object list and flyout list ----
  virtual void ShowObjectList(int /*show*/) {}
  virtual int IsObjectListShown() const { return 0; }
  virtual int RefreshObjectList() { return 0; }
  virtual void UpdateObjectListTicks() {}
  virtual void UpdateObjectListRow(int /*objectNumber*/) {}
  // Ticks (select 1) or unticks the object's row.
  virtual void SelectObjectInList(int /*objectNumber*/, int /*select*/) {}
  virtual void OnObjectListTick(int /*objectNumber*/, int /*ticked*/) {}
  // Client points of the editor window.
  virtual int IsPointInObjectList(QPoint /*point*/) const { return 0; }
  virtual int IsPointInFlyout(QPoint /*point*/) const { return 0; }
  virtual void KeepFlyoutToolHighlighted() {}

  // ---- Palette and layout ----
  // Selects a tool as the palette does (its button shown down, then the editor's SetTool).
  virtual void SelectTool(int /*tool*/, int /*subMode*/) {}
  virtual void DrawToolButton(int /*tool*/, int /*look*/) {}
  virtual int GetDrawingAreaHeight() const { return 0; }
};

// The view that does nothing.
IOwnerView& GetNullOwnerView();
