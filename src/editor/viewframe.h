#pragma once
// What the views ask of the main frame around them: the print preview, and the symbol library
// and symbol choices that Insert needs. The main frame implements it; until one is installed,
// and in tests, a frame that has no preview and chooses nothing stands in.

class CZephView;

class IViewFrame {
 public:
  virtual ~IViewFrame() = default;

  // Shows the print preview of view's drawing; false when no preview could be shown.
  virtual bool OnFilePrintPreview(CZephView& /*view*/) { return false; }
  // Lets the user choose a symbol library; true when one was chosen.
  virtual bool ChooseSymbolLibrary() { return false; }
  // Lets the user choose a symbol of the current library; true when one was chosen.
  virtual bool ChooseSymbol() { return false; }
  // Whether a print preview can be shown at all (File > Print preview is enabled).
  virtual bool CanPrintPreview() const { return false; }
};

// The frame in use; the stand-in until one is installed.
IViewFrame& GetViewFrame();
// Installs a frame (not owned); null restores the stand-in.
void SetViewFrame(IViewFrame* frame);
// The frame that has no preview and chooses nothing.
IViewFrame& GetNullViewFrame();
