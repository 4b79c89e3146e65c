#pragma once
// What the drawing document asks of the layers above it: the editor (the current tool, the
// chaining point of the line tools, whether chosen items are shown highlighted) and the shell
// (cancel the tool's operation, redraw, the window title, undo and redo availability, the
// status bar). The application installs its host at start-up; until then, and in tests, a
// host that does nothing and answers "no tool, nothing shown" stands in.
#include <QString>

class CDrawItem;
class CDocDict;

// Tool numbers the document compares against (the palette's order).
inline constexpr int kToolMove = 14;
inline constexpr int kToolCopy = 15;
inline constexpr int kToolRotate = 16;
inline constexpr int kToolReflect = 17;
inline constexpr int kToolEnlarge = 18;
inline constexpr int kToolStretch = 19;
inline constexpr int kToolDelete = 21;
inline constexpr int kToolModify = 22;
inline constexpr int kToolValues = 23;

class IDocumentHost {
 public:
  virtual ~IDocumentHost() = default;

  // Ends whatever the current tool is doing (the drawing is about to change under it).
  virtual void CancelEditing() {}
  // Redraws the whole drawing.
  virtual void RefreshDrawing() {}
  virtual void UpdateTitle() {}
  // Undo or redo may have become available or unavailable.
  virtual void UpdateEditingView() {}
  virtual void SetStatusText(const QString& /*text*/) {}

  // The editor's state.
  virtual int GetCurrentTool() const { return -1; }
  // Copy is placing its copies (1), or its items are still being chosen (0).
  virtual int IsCopyPlacing() const { return 0; }
  // The editing view shows the chosen items highlighted.
  virtual int IsSelectionShown() const { return 0; }
  // The chaining point of the line tools, and whether it is set.
  virtual int IsLineStartSet() const { return 0; }
  virtual void GetLineStart(int& x, int& y) const {
    x = 0;
    y = 0;
  }
  virtual void SetLineStart(int /*x*/, int /*y*/) {}

  // ---- Corners and Break ----
  // Draws an item in the editing view: colourMode kDrawOwnColour, or a colour such as the
  // background colour, which wipes the item from the display.
  virtual void DrawItem(const CDrawItem* /*item*/, int /*colourMode*/) {}

  // The shell's views (the document commands show the drawing when it was opened).
  // 0 when the editing view is the one shown.
  virtual int GetActiveViewCode() const { return 0; }
  virtual void ShowEditingView() {}
  virtual void ResetEditingView() {}
  // Edit > Dictionary: shows the dialog that edits the drawing's word list; 0 when it could
  // not be made.
  virtual int ShowDictionaryDialog(CDocDict* /*list*/) { return 0; }
};

// The host in use: the installed one, else the one that does nothing.
IDocumentHost& GetDocumentHost();
// Installs a host (not owned); null goes back to the one that does nothing.
void SetDocumentHost(IDocumentHost* host);
