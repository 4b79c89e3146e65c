#pragma once
// The editing screen. Its client area holds the drawing window (in its scroll area) at the top
// left, the tool palette down the right edge and the values bar along the bottom, with the
// prompt area (buttons and prompt text) sharing the bar. The palette and the values bar are not
// windows: the view paints them itself and hit-tests the mouse against the boxes it recorded
// while painting. The value editors, the prompt buttons, the flyout list and the object list
// are child windows.
//
//   +------------------------------------+------+
//   | drawing window                     | pal- |
//   |                                    | ette |
//   +------------------------------------+------+  <- drawing-area height
//   | values bar: fields, buttons, prompt text    |
//   +---------------------------------------------+
#include <QImage>
#include <QPoint>
#include <QSize>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/timers.h"
#include "editor/ownerview.h"
#include "editor/zephview.h"
#include "items/itemservices.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"

class CDrawingScrollArea;
class CEditDrawing;
class CFlyoutTools;
class IObjectListWindow;

namespace zeph {
class CControlGroup;
class CViewButton;
class CViewList;
class CZephoEdit;
}  // namespace zeph

// Ids of the view's child windows.
inline constexpr int kIdValueEdit = 4001;
inline constexpr int kIdValueList = 4002;
inline constexpr int kIdObjectListBox = 4004;
inline constexpr int kIdEditDrawing = 5004;

// Command ids (and caption string ids) of the prompt buttons.
inline constexpr int kIdPromptOK = 1;
inline constexpr int kIdPromptHelp = 4;
inline constexpr int kIdPromptYes = 5;
inline constexpr int kIdPromptNo = 6;
inline constexpr int kIdPromptCancel = 7;
inline constexpr int kIdPromptRestart = 8;
inline constexpr int kIdPromptBringToFront = 9;
inline constexpr int kIdPromptSendToBack = 10;

// View menu commands handled by the view.
inline constexpr int kIdViewFit = 32787;
inline constexpr int kIdViewRedraw = 32816;
inline constexpr int kIdViewZoomIn = 32811;
inline constexpr int kIdViewZoomOut = 32812;

// Sizes of the palette and values bar before the view exists (afterwards from the small font).
inline constexpr int kDefaultPaletteWidth = 80;
inline constexpr int kDefaultValuesBarHeight = 50;
inline constexpr int kPromptButtonHeight = 30;
inline constexpr int kValueFieldSlots = 5;

// The view's timers: 1 repeats the palette's and values bar's arrows; 2 and 3 belong to the
// palette's hover.
inline constexpr int kViewTimerAutoScroll = 1;
inline constexpr int kViewTimerHover = 2;
inline constexpr int kViewTimerFlyout = 3;
inline constexpr int kAutoScrollInterval = 100;
inline constexpr int kAutoScrollDelayTicks = 5;

// Bits of the palette's and the values bar's arrow flags.
inline constexpr int kArrowForwardShown = 1;   // palette: down; values bar: right
inline constexpr int kArrowForwardPressed = 2;
inline constexpr int kArrowBackShown = 4;      // palette: up; values bar: left
inline constexpr int kArrowBackPressed = 8;

// ---- Program-wide state of the views ----
// Arial 8 pt bold, made by the first view that is created; when it cannot be made the flag
// stays 0 and the contexts' own font is used.
extern zeph::DcFont g_smallFont;
extern std::int32_t g_smallFontMade;
// The client size of the main frame's view area, measured once at start-up.
extern QSize g_viewAreaSize;

// ---- Zoom arithmetic (the origins before they are aligned) ----
struct ZoomTarget {
  int level = 1;
  std::int32_t originX = 0;
  std::int32_t originY = 0;
};
// One level out, the window's centre kept; the level stays when it is the coarsest.
ZoomTarget ComputeZoomOut(const CViewMapping& mapping);
// One level in, the drawing point under the box's bottom-left corner brought to the anchor;
// the level stays when it is the finest.
ZoomTarget ComputeZoomToBox(const CViewMapping& mapping, const zeph::DcRect& box);
// The finest level that shows the extent (inclusive drawing coordinates) in a window of
// width x height pixels, centred; false when the window has no size.
bool ComputeFit(int minX, int minY, int maxX, int maxY, int width, int height,
                ZoomTarget& target);
// The small font forgotten and the view area unknown again. For tests.
void ResetEditingViewGlobals();

class CEditingView : public CZephView,
                     public IOwnerView,
                     public zeph::CTimerOwner,
                     public IEditingView {
  Q_OBJECT

 public:
  explicit CEditingView(QWidget* parent = nullptr);
  ~CEditingView() override;

  // The view's drawing (not owned). Set before the view is first shown.
  void SetDocument(CZephDoc* document) { m_document = document; }
  CZephDoc* GetDocument() const override { return m_document; }

  // Creates the child windows and measures the sizes from the small font, once (the
  // constructor runs it): 0 on success.
  int Create();
  int IsWindowCreated() const { return m_windowCreated; }

  // ---- Lifecycle ----
  void PrepareToShow();
  void ResetForNewDrawing();
  void Deactivate();
  void CancelOperation();
  // Applies and closes the open value editor: 1, or the editor's own answer.
  int CloseValueEditorResult();
  void CloseValueEditor() override { CloseValueEditorResult(); }
  void RedrawDrawing();
  void ReleaseMouseCapture();
  void ShowPicture(int shown);
  int IsPictureShown() const;
  void DrawItem(const CDrawItem* item, int colourMode);
  int IsSelectionShown() const;
  void SuspendFeedback();
  int GetDrawingAreaHeight() const override { return m_drawingAreaHeight; }

  // ---- Measuring for the items ----
  // Texts and dimensions measure themselves with a context of the view's screen, which
  // measures as the drawing window draws. Every loan is a context of its own, so loans nest.
  zeph::CDrawContext* BorrowMeasuringContext() override;
  void ReleaseMeasuringContext(zeph::CDrawContext* dc) override;

  // ---- Layout ----
  int GetPaletteWidth() const { return m_paletteWidth; }
  int GetValuesBarHeight() const { return m_valuesBarHeight; }
  int GetLineHeight() const { return m_lineHeight; }
  int GetFlyoutWidth() const { return m_flyoutWidth; }
  int GetPaletteLeft() const { return m_paletteLeft; }
  int GetFieldsEnd() const { return m_fieldsEnd; }
  int GetFieldGap() const { return m_fieldGap; }
  int GetFieldMargin() const { return m_fieldMargin; }
  int GetButtonMargin() const { return m_buttonMargin; }
  int GetSpareWidth() const { return m_spareWidth; }
  // The size change as the view handles it (resizeEvent calls it).
  void OnSize(int cx, int cy);
  // Works out how the fields, the buttons and the prompt text share the values bar.
  void LayoutValuesBar(zeph::CDrawContext& dc);
  // Invalidates the values bar and paints it now; re-creates the single OK or Restart button
  // when its caption is set.
  void RedrawValuesBar(int erase);
  void ResetValuesBarScroll() override;

  // ---- Painting ----
  void OnEraseBkgnd(zeph::CDrawContext& dc, const zeph::DcRect& area);
  void OnDraw(zeph::CDrawContext& dc) override;
  void DrawValuesBar(zeph::CDrawContext& dc);
  void DrawPromptText(zeph::CDrawContext& dc);
  void DrawBreakQuestion(zeph::CDrawContext& dc);
  // The view's screen: what the last paint left, with the zoom box over it.
  const QImage& BackBuffer() const { return m_screen; }
  // Paints the whole view now (the drawing window paints itself).
  void UpdateView();

  // ---- Prompt area ----
  void RemovePromptButtons() override;
  void ShowOKButton(int captionId);
  void ShowRestartButton(int captionId);
  void ShowBreakButtons() override;
  void ShowOrderButtons(int frontDisabled, int backDisabled) override;
  void PlaceOrderButtons();
  void EnableOKButton(int enable) override;
  void SetAction(int captionId, int enabled) override;
  void SetRestartCaption(int captionId) override;
  void SetPromptText(int stringId) override;
  int GetPromptTextId() const { return m_promptTextId; }
  int AreButtonsShown() const { return m_buttonsShown; }
  // The prompt button of a command id while it exists; null otherwise.
  zeph::CViewButton* GetPromptButton(int id) const;
  const zeph::DcRect& GetPromptTextBox() const { return m_promptTextBox; }

  // The prompt buttons' commands.
  void OnPromptOK();
  void OnPromptYes();
  void OnPromptNo();
  void OnPromptCancel();
  void OnPromptRestart();
  void OnPromptHelp();
  void OnPromptBringToFront();
  void OnPromptSendToBack();

  // ---- Object list ----
  void ShowObjectList(int show) override;
  void PlaceObjectList();
  int RefreshObjectList() override;
  void SelectObjectInList(int objectNumber, int select) override;
  void UpdateObjectListTicks() override;
  int UpdateObjectListTicksResult();
  void UpdateObjectListRow(int objectNumber) override;
  void OnObjectListTick(int objectNumber, int ticked) override;
  int IsPointInObjectList(QPoint point) const override;
  int IsObjectListShown() const override { return m_objectListShown; }

  // ---- Zoom and scrolling ----
  void OnViewZoomIn();
  void OnViewZoomOut();
  void OnViewFit();
  void OnViewRedraw();
  bool OnUpdateViewZoomIn() const;
  bool OnUpdateViewZoomOut() const;
  bool OnUpdateViewFit() const;
  void MoveZoomBox(int x, int y);
  void ZoomToBox();
  // Esc while the zoom box follows the mouse: the box goes, no zoom.
  void EndZoomBox();
  int IsZoomBoxMode() const { return m_zoomBoxMode; }
  const zeph::DcRect& GetZoomBox() const { return m_zoomBox; }
  void ScrollPalette();
  void ScrollValuesBar();
  void StartAutoScroll();
  // One tick of the arrows' repetition.
  void OnAutoScrollTimer();
  int GetValuesBarFlags() const { return m_valuesBarFlags; }
  int GetFirstField() const { return m_firstField; }

  // ---- Children ----
  CEditDrawing* GetDrawingWindow() const { return m_drawing; }
  CDrawingScrollArea* GetScrollArea() const { return m_scrollArea; }
  zeph::CZephoEdit* GetValueEdit() const { return m_valueEdit.get(); }
  zeph::CViewList* GetValueList() const { return m_valueList.get(); }
  zeph::CViewList* GetObjectListBox() const { return m_objectListBox.get(); }
  int GetOpenEditor() const { return m_openEditor; }
  void SetOpenEditor(int kind, int field) {
    m_openEditor = kind;
    m_openField = field;
  }

  // ---- Input ----
  void OnLButtonDown(unsigned flags, QPoint point);
  void OnLButtonUp(unsigned flags, QPoint point);
  void OnMouseMove(unsigned flags, QPoint point);
  void OnChar(int character);
  void OnTimer(int id) override;

  // ---- Tool palette ----
  // The strip of the 28 tools down the right edge; the flyout list of a tool's sub-modes opens
  // to its left. Hunt and Grid switch the snap mode instead of becoming the tool.
  // Paints the palette strip (tool rows, separators, arrows) and records the rows' tops.
  void DrawPalette(zeph::CDrawContext& dc);
  // The mouse over the palette strip or the flyout list (client points).
  void OnPaletteLButtonDown(unsigned flags, QPoint point);
  void OnPaletteLButtonUp(unsigned flags, QPoint point);
  void OnPaletteMouseMove(unsigned flags, QPoint point);
  // Hover and flyout timers.
  void OnPaletteTimer(int id);
  // Tool letters, sub-mode digits and Esc; 1 when the key was used.
  int OnPaletteChar(int character);
  void SelectTool(int tool, int subMode) override;
  // One tool's row in look 0..4 (kLook... of editor/flyouttools.h), on dc or the view's screen.
  void DrawToolButton(int tool, int look) override { DrawToolButton(tool, look, nullptr); }
  void DrawToolButton(int tool, int look, zeph::CDrawContext* dc);
  // Hunt or Grid, whichever snap mode is on, selected (flag 1) or normal (0).
  void DrawSnapToolButton(int flag, zeph::CDrawContext* dc = nullptr);
  // Paints the palette strip again now.
  void RedrawPalette();
  // 0 outside the palette; else 1 with the tool under the point or -1.
  int HitTestPalette(int x, int y, int& tool) const;
  // 0 when no flyout list is open or the point is outside it; else 1 with the entry or -1.
  int HitTestFlyout(int x, int y, int& entry) const;
  // The current tool, Hunt while hunting and Grid while grid snapping.
  int IsToolActive(int tool) const;
  static int GetFlyoutEntryCount(int tool);
  // Opens the flyout list of the flyout tool, numbered when opened from the keyboard.
  void OpenFlyout(int keyboard);
  void CloseFlyout();
  void DrawFlyoutEntry(int entry, int look, zeph::CDrawContext* dc = nullptr);
  void KeepFlyoutToolHighlighted() override;
  // Points of the drawing window; IsViewPointInFlyout takes the view's own.
  int IsPointInFlyout(QPoint point) const override;
  int IsViewPointInFlyout(QPoint point) const;
  CFlyoutTools* GetFlyout() const { return m_flyout; }
  // The mouse leaving the view while it holds the mouse for the palette: a move outside.
  void leaveEvent(QEvent* event) override;

  std::array<std::int32_t, kToolCount> m_toolTops{};
  std::int16_t m_firstTool = 0;
  std::int16_t m_endTool = kToolCount;
  std::int16_t m_hotTool = -1;
  std::int16_t m_lastHotTool = -1;
  std::int32_t m_toolPressed = 0;
  std::int16_t m_paletteFlags = 0;
  zeph::DcRect m_upArrowBox;
  zeph::DcRect m_downArrowBox;
  std::int32_t m_flyoutOpen = 0;
  CFlyoutTools* m_flyout = nullptr;  // a child window of the view
  std::int32_t m_flyoutTool = -1;
  std::int32_t m_flyoutSpacing = 10;
  std::int16_t m_hotEntry = -1;
  std::int32_t m_entryPressed = 0;
  std::int32_t m_keyboardFlyout = 0;

  // ---- Values bar ----
  // The fields of the current tool along the bottom: labels, boxes, the parameters' values and
  // the live read-outs of the gesture in progress; a click on an editable field opens its
  // editor (an edit box, a list, an object chooser, a name edit or a dialog).
  // Picks the fields for the current tool and click step into the field list.
  void ChooseValueFields();
  // The layout's share of the fields: how many fit from the first field on (fitted), the
  // arrows' bits; answers the fields' width (arrows included).
  int FitValueFields(zeph::CDrawContext& dc, int width, int used, int items, int& fitted);
  void DrawValuesBarFields(zeph::CDrawContext& dc);
  void DrawFieldValues(zeph::CDrawContext& dc);
  // Boxes, the values when the tool shows them, and the read-outs.
  void DrawValuesBarContents(zeph::CDrawContext& dc);
  // The values again (after a parameter changed): the bar is repainted.
  void DrawFieldValues() override;
  // The slot whose box holds the point, -1 none; notes whether it hit the second line.
  int HitTestValueField(int x, int y);
  int IsSecondLineHit() const { return m_secondLineHit; }
  const zeph::DcRect& GetFieldBox(int slot) const;
  int GetEndField() const { return m_endField; }
  int AreFieldValuesDrawn() const { return m_drawValues; }
  // The mouse on the values bar: 1 when the press, release or move was the values bar's.
  int OnValuesBarPress(QPoint point);
  int OnValuesBarRelease(QPoint point);
  void OnValuesBarHover(QPoint point);
  int IsIBeamShown() const { return m_iBeam; }
  // Live read-outs.
  void ShowPointValues(int x, int y, int which) override;
  void ShowCursorPoint() override;
  void ShowArcValues() override { ShowArcValues(1); }
  void ShowArcValues(int flag);
  void ShowCurveValues() override;
  void ShowMoveValues() override;
  void ShowShapeValues() override;
  void ShowCircleValues() override;
  void ShowRectangleValues() override;
  void ShowLiveLength() override;
  void ShowControlPointValues(int i) override;
  void ClearCoordinateField() override;
  // The text a read-out put in a slot's line (0 or 1); empty when none.
  QString GetLiveText(int slot, int line) const;
  // Every parameter's default for a new drawing.
  void ResetValuesBarParameters();

  // The editors.
  void OpenValueEditor(int slot);
  // unit: kValueUnit...
  void OpenValueEdit(double value, int set, int unit);
  void OpenValueList(int current, int count, const char16_t* const* texts);
  void OpenObjectChooser(int objectNumber);
  void OpenObjectNameEdit(int objectNumber);
  // 1 when taken (the editor closes), 0 when refused (it stays open with its message).
  int ApplyValueEdit();
  int ApplyValueList();
  int ApplyObjectChooser(int fromText);
  int ApplyObjectNameEdit();
  int ApplyValueEditorOfKind(int kind);
  void OnValueEditorKey(int id, int key);
  void OnValueListSelChange();
  int ChooseHatchPattern();
  void EditColourField();
  void EditFontField();
  void EditHatchField();
  int GetOpenField() const { return m_openField; }
  const zeph::DcRect& GetEditorBox() const { return m_editorBox; }

 private:
  struct LiveLines {
    QString lines[2];
    std::int32_t blank = 0;
  };
  void SetLiveText(int slot, int line, const QString& text);
  // A point relative to the read-outs' origin into the slot's two lines.
  void SetLivePoint(int slot, const DrawingPoint& point);
  void ConnectValueEditors();
  void RepaintFieldBox(int slot);
  void HideValueEditors();
  std::array<LiveLines, kValueFieldSlots> m_live{};
  std::array<std::int32_t, kValueFieldSlots> m_shownIds{};
  std::int32_t m_shownCount = -1;
  std::int32_t m_drawValues = 0;
  std::int32_t m_editorsConnected = 0;
  std::int32_t m_editorUnit = 0;

 public:

  // ---- View commands ----
  // The menu commands the frame routes to the view while it is the active view, their update
  // handlers, the keys that act before the accelerators or on their release, and the focus.
  static constexpr int kCmdEditCopy = 57634;
  static constexpr int kCmdEditUndo = 57643;
  static constexpr int kCmdEditRedo = 57644;
  static constexpr int kCmdEditPrintingScale = 32776;
  static constexpr int kCmdEditRealWorldScale = 32788;
  static constexpr int kCmdViewObjectList = 32779;
  static constexpr int kCmdViewGridSettings = 32810;
  static constexpr int kCmdViewHiddenObjects = 32775;
  static constexpr int kCmdHelpCurrentTool = 32773;
  static constexpr int kCmdHelp = 57670;
  static constexpr int kCmdPickColour = 33081;
  // Runs a command of the view: false for one it does not handle.
  bool RunCommand(int id);
  // -1 for a command the view does not handle; else 1 enabled or 0, with check set to 0 or 1
  // for a command that is ticked (left alone otherwise).
  int UpdateCommand(int id, int& check) const;
  void OnEditCopy();
  void OnEditUndo();
  void OnEditRedo();
  bool OnUpdateEditUndo() const;
  bool OnUpdateEditRedo() const;
  void OnEditPrintingScale();
  void OnEditRealWorldScale();
  void OnViewObjectList();
  void OnViewGridSettings();
  void OnViewHiddenObjects();
  bool OnUpdateViewHiddenObjects(int& check) const;
  void OnHelpCurrentTool();
  void OnPickColour();
  bool OnUpdatePickColour(int& check) const;
  int IsPickingColour() const override { return m_pickColourMode; }
  void EndPickColour() override;
  // A key going down before the accelerators see it (Qt key and modifiers): F1, F9, F10 and
  // Ctrl with C, N, O, P, Y or Z let the mouse go, so a command never runs mid-drag.
  void PreTranslateKey(int qtKey, unsigned modifiers);
  // A key coming up: the modifier state, then F3 redraws and F8 fits.
  void OnKeyUp(int qtKey, int autoRepeat);
  void OnSetFocus();
  void OnKillFocus();
  // Gives the keys back to the drawing window after a value editor: the window takes them
  // while it edits a text; otherwise they stay with the view, whose tool letters they are.
  void FocusDrawing();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Watches the program's keys for PreTranslateKey and OnKeyUp while the view is shown.
  std::unique_ptr<QObject> m_keyWatcher;

 public:

 protected:
  int OnCreate();
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Makes a prompt button (owned by the view) and adds it to the control group.
  zeph::CViewButton* MakePromptButton(std::unique_ptr<zeph::CViewButton>& button, int id,
                                      const zeph::DcRect& rect, int disabled);
  void ShowSingleButton(std::unique_ptr<zeph::CViewButton>& button, int id, int captionId);
  void RecreatePromptButtons();
  void ConnectPromptButton(zeph::CViewButton* button);
  void OnPromptCommand(int id);
  // Applies the origin to the drawing window, recomputes its scroll bars and repaints.
  void ApplyZoom(int level, int originX, int originY);
  void UpdateScrollRanges(int refreshExtents);
  // The zoom box as an exclusive-or frame over the drawing window.
  void DrawZoomBoxFrame();
  void InvalidateValuesBar();
  void EnsureScreen();

  CZephDoc* m_document = nullptr;
  QImage m_screen;
  QImage m_measuringImage{1, 1, QImage::Format_RGB32};
  std::vector<std::unique_ptr<zeph::CDrawContext>> m_measuring;

  std::int32_t m_windowCreated = 0;
  std::int32_t m_created = 0;
  CEditDrawing* m_drawing = nullptr;  // owned through the scroll area, a child of the view
  CDrawingScrollArea* m_scrollArea = nullptr;
  std::int32_t m_lastWidth = 0;
  std::int32_t m_lastHeight = 0;
  std::int32_t m_lineHeight = 0;
  std::int32_t m_paletteWidth = kDefaultPaletteWidth;
  std::int32_t m_valuesBarHeight = kDefaultValuesBarHeight;
  std::int32_t m_mouseDown = 0;
  std::array<std::int32_t, 3> m_timers{};
  std::int32_t m_autoScrollDelay = 0;
  std::int32_t m_iBeam = 0;
  std::int32_t m_pickColourMode = 0;
  std::int32_t m_spareWidth = 0;
  std::int32_t m_fieldGap = 5;
  std::int32_t m_buttonMargin = 0;
  std::int32_t m_fieldMargin = 5;
  std::int32_t m_drawingAreaHeight = 0;
  std::unique_ptr<zeph::CZephoEdit> m_valueEdit;
  std::unique_ptr<zeph::CViewList> m_valueList;
  std::unique_ptr<zeph::CViewList> m_objectListBox;
  std::array<zeph::DcRect, kValueFieldSlots> m_fieldBoxes{};
  std::int32_t m_pressedField = -1;
  std::int32_t m_secondLineHit = 0;
  std::int32_t m_openEditor = 0;
  zeph::DcRect m_editorBox;
  std::int32_t m_openField = 0;
  std::int32_t m_firstField = 0;
  std::int32_t m_endField = 0;
  std::int32_t m_valuesBarFlags = 0;
  zeph::DcRect m_leftArrowBox;
  zeph::DcRect m_rightArrowBox;
  std::int32_t m_fieldsEnd = 0;
  std::int32_t m_promptFontMade = 0;
  zeph::DcFont m_promptFont;
  zeph::DcRect m_promptTextBox;
  std::int32_t m_promptTextId = 0;
  std::int32_t m_promptDrawn = 0;
  std::int32_t m_paletteLeft = 0;
  std::int32_t m_flyoutWidth = 0;
  std::int32_t m_buttonsShown = 0;
  std::unique_ptr<zeph::CControlGroup> m_controlGroup;
  std::unique_ptr<zeph::CViewButton> m_okButton;
  std::int32_t m_okCaption = 0;
  std::int32_t m_okWanted = 0;
  std::unique_ptr<zeph::CViewButton> m_restartButton;
  std::int32_t m_restartCaption = 0;
  std::unique_ptr<zeph::CViewButton> m_yesButton;
  std::unique_ptr<zeph::CViewButton> m_noButton;
  std::unique_ptr<zeph::CViewButton> m_cancelButton;
  std::unique_ptr<zeph::CViewButton> m_helpButton;
  std::unique_ptr<zeph::CViewButton> m_frontButton;
  std::unique_ptr<zeph::CViewButton> m_backButton;
  std::int32_t m_okEnabled = 0;
  std::unique_ptr<IObjectListWindow> m_objectList;
  std::int32_t m_objectListShown = 0;
  // The view holds the mouse: the drawing window's mouse events come to the view.
  std::int32_t m_holdsCapture = 0;
  std::int32_t m_zoomBoxMode = 0;
  std::int32_t m_zoomBoxDrawn = 0;
  std::int32_t m_zoomBoxHeight = 0;
  std::int32_t m_zoomBoxWidth = 0;
  zeph::DcRect m_zoomBox;
};
