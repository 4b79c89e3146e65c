#pragma once
// What the application asks of its two views, the start screen and the editing view. The
// program's own views answer through CreateProgramViews; tests put in views that record what
// they were asked.
#include <QString>
#include <QStringList>
#include <memory>

#include "document/dochost.h"
#include "support/appservices.h"
#include "support/uiutil.h"

class CDrawItem;
class CZephDoc;
class CZephView;
class QWidget;

class IAppViews {
 public:
  virtual ~IAppViews() = default;

  // Makes the start screen (the frame's first pane) and the editing view for the drawing;
  // null when one cannot be made.
  virtual QWidget* CreateFrontView(QWidget* parent, CZephDoc* document) = 0;
  virtual QWidget* CreateEditingView(QWidget* parent, CZephDoc* document) = 0;
  // The view as the print code sees it; null for a view that cannot print.
  virtual CZephView* AsPrintView(QWidget* /*view*/) const { return nullptr; }

  // ---- The start screen ----
  virtual void SetUpFrontColours() {}
  virtual void EnableFrontPainting() {}
  virtual void PrepareFrontToShow() {}
  virtual void DeactivateFront() {}

  // ---- The editing view ----
  virtual void PrepareEditingToShow() {}
  virtual void DeactivateEditing() {}
  virtual void ResetEditingForNewDrawing() {}
  virtual void RedrawEditingDrawing() {}
  virtual void CancelEditingOperation() {}
  virtual void SuspendEditingFeedback() {}
  virtual void ReleaseEditingCapture() {}
  virtual bool IsPictureShown() const { return false; }
  virtual void ShowPicture(bool /*show*/) {}
  // Runs a command the editing view answers (undo, zoom, ...); false when it has none.
  virtual bool RunEditingCommand(int /*id*/) { return false; }
  // -1 the view has no such command, else 0 disabled / 1 enabled; check -1 none, 0 or 1.
  virtual int UpdateEditingCommand(int /*id*/, int& /*check*/) const { return -1; }

  // ---- The editor's state the drawing asks for ----
  virtual int GetCurrentTool() const { return -1; }
  virtual int IsCopyPlacing() const { return 0; }
  virtual int IsSelectionShown() const { return 0; }
  virtual int IsLineStartSet() const { return 0; }
  virtual void GetLineStart(int& x, int& y) const {
    x = 0;
    y = 0;
  }
  virtual void SetLineStart(int /*x*/, int /*y*/) {}
  virtual void DrawItem(const CDrawItem* /*item*/, int /*colourMode*/) {}
};

// The program's start screen and editing view.
std::unique_ptr<IAppViews> CreateProgramViews();

// ---- What the document and the support code ask of the running program ----
class CZephApp;

class CAppDocumentHost final : public IDocumentHost {
 public:
  explicit CAppDocumentHost(CZephApp& app) : m_app(app) {}
  void CancelEditing() override;
  void RefreshDrawing() override;
  void UpdateTitle() override;
  void UpdateEditingView() override;
  void SetStatusText(const QString& text) override;
  int GetCurrentTool() const override;
  int IsCopyPlacing() const override;
  int IsSelectionShown() const override;
  int IsLineStartSet() const override;
  void GetLineStart(int& x, int& y) const override;
  void SetLineStart(int x, int y) override;
  void DrawItem(const CDrawItem* item, int colourMode) override;
  int GetActiveViewCode() const override;
  void ShowEditingView() override;
  void ResetEditingView() override;
  int ShowDictionaryDialog(CDocDict* list) override;

 private:
  CZephApp& m_app;
};

class CAppServices final : public IAppServices {
 public:
  explicit CAppServices(CZephApp& app) : m_app(app) {}
  bool HasActiveDocument() const override;
  QString GetActiveDocumentPath() const override;
  int GetActiveDocumentItemCount() const override;
  void ReapplyPrintSettings() override;

 private:
  CZephApp& m_app;
};

inline constexpr int kRecentFileCount = 4;

// The recent files, most recent first, kept in the user's registry store.
class CRecentFiles final : public IRecentFileList {
 public:
  void Add(const QString& path) override;
  void Remove(const QString& path);
  void Load();
  void Save() const;
  const QStringList& Paths() const { return m_paths; }

 private:
  QStringList m_paths;
};

// ---- The program's dialogs the application opens (each modal; true when confirmed) ----
class CZephDoc;
bool ShowPrinterSetup(QWidget* parent);
bool ShowAboutBox(QWidget* parent);
bool ShowUpdateCheck(QWidget* parent);
bool AskUserName(QWidget* parent);
bool ChoosePicture(QWidget* parent, CZephDoc& document, QString& path);
bool ChooseLibraryFile(QWidget* parent, QString& path);
bool ChooseSymbolFromLibrary(QWidget* parent);
// The symbol transformations (Reflect, Rotate, Enlarge, Stretch) by their command id.
bool TransformSymbol(QWidget* parent, int commandId);
// The option sheets by their command id (Preferences, Manager, Page set-up).
bool ShowOptionSheet(QWidget* parent, int commandId);
// The editor's dialogs centred over parent; null takes them away again.
void InstallProgramDialogs(QWidget* parent);
// Whether the dialog of a command has been built yet (its menu entry is enabled).
bool IsDialogAvailable(int commandId);
