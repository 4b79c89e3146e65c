#pragma once
// The parts of the editing view that come with later work, called through small interfaces:
// the values bar's parameters and value editors, the floating object list window and the
// editor's handlers of the prompt buttons. Each has an implementation that does nothing, which
// the view uses until the real one is installed.
#include <memory>

class CEditDrawing;
class CEditingView;
class CZephDoc;
class QWidget;

// Value editor kinds the view can have open on the values bar.
inline constexpr int kValueEditorNone = 0;
inline constexpr int kValueEditorEdit = 1;
inline constexpr int kValueEditorList = 2;
inline constexpr int kValueEditorObjectChooser = 3;
inline constexpr int kValueEditorName = 4;

// The values bar's tool parameters and the editors of its fields.
class IValuesBarPart {
 public:
  virtual ~IValuesBarPart() = default;
  // Every tool parameter takes its default for a newly opened drawing.
  virtual void ResetParameters(CEditingView& /*view*/) {}
  // Applies the open value editor of kind; 1 when it was taken (the editor closes), 0 when
  // the value was refused (the editor stays open with its message).
  virtual int ApplyValueEditor(CEditingView& /*view*/, int /*kind*/) { return 1; }
};

// The floating list of the drawing's objects with their ticks.
class IObjectListWindow {
 public:
  virtual ~IObjectListWindow() = default;
  virtual QWidget* GetWindow() = 0;
  // Fills the list from the drawing; answers the row count.
  virtual int Fill(CZephDoc* document) = 0;
  virtual int Refresh() { return 0; }
  virtual void SelectObject(int /*objectNumber*/, int /*select*/) {}
  virtual int UpdateTicks() { return 0; }
  virtual CZephDoc* GetDocument() const { return nullptr; }
};

// Makes the object list window for a view; null when there is none yet.
class IObjectListFactory {
 public:
  virtual ~IObjectListFactory() = default;
  virtual std::unique_ptr<IObjectListWindow> Create(CEditingView& /*view*/, QWidget* /*parent*/) {
    return nullptr;
  }
};

// The editor's handlers of the prompt buttons.
class IPromptHandlers {
 public:
  virtual ~IPromptHandlers() = default;
  virtual void OnPromptOK(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptYes(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptNo(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptCancel(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptRestart(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptBringToFront(CEditDrawing& /*drawing*/) {}
  virtual void OnPromptSendToBack(CEditDrawing& /*drawing*/) {}
};

// The parts in use (never null: the ones that do nothing until others are installed).
IValuesBarPart& GetValuesBarPart();
IObjectListFactory& GetObjectListFactory();
IPromptHandlers& GetPromptHandlers();
// Installs a part (not owned); null restores the one that does nothing.
void SetValuesBarPart(IValuesBarPart* part);
void SetObjectListFactory(IObjectListFactory* factory);
void SetPromptHandlers(IPromptHandlers* handlers);
