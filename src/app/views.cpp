#include "app/views.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>
#include <memory>

#include "app/appdialogs.h"
#include "app/editordialogsimpl.h"
#include "app/frontview.h"
#include "app/mainframe.h"
#include "app/managersheet.h"
#include "app/optionssheet.h"
#include "app/pagesetupsheet.h"
#include "app/spelldictdialog.h"  // spell check: Edit > Dictionary
#include "app/zephapp.h"
#include "document/document.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "editor/zephview.h"
#include "items/itemservices.h"
#include "platform/presenter.h"
#include "platform/printersystem.h"
#include "platform/qt/qtprintersystem.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/registry.h"

// ---- The document's host ----

void CAppDocumentHost::CancelEditing() { m_app.CancelEditing(); }
void CAppDocumentHost::RefreshDrawing() { m_app.RefreshDrawing(); }
void CAppDocumentHost::UpdateTitle() { m_app.UpdateTitle(); }
void CAppDocumentHost::UpdateEditingView() { m_app.UpdateEditingView(); }
void CAppDocumentHost::SetStatusText(const QString& text) { ShowStatusText(text, 0); }
int CAppDocumentHost::GetCurrentTool() const { return m_app.GetViews().GetCurrentTool(); }
int CAppDocumentHost::IsCopyPlacing() const { return m_app.GetViews().IsCopyPlacing(); }
int CAppDocumentHost::IsSelectionShown() const { return m_app.GetViews().IsSelectionShown(); }
int CAppDocumentHost::IsLineStartSet() const { return m_app.GetViews().IsLineStartSet(); }
void CAppDocumentHost::GetLineStart(int& x, int& y) const { m_app.GetViews().GetLineStart(x, y); }
void CAppDocumentHost::SetLineStart(int x, int y) { m_app.GetViews().SetLineStart(x, y); }
void CAppDocumentHost::DrawItem(const CDrawItem* item, int colourMode) {
  if (m_app.GetActiveViewCode() == kViewEditing) m_app.GetViews().DrawItem(item, colourMode);
}
int CAppDocumentHost::GetActiveViewCode() const { return m_app.GetActiveViewCode(); }
void CAppDocumentHost::ShowEditingView() { m_app.ShowEditingView(); }
void CAppDocumentHost::ResetEditingView() { m_app.ResetEditingView(); }
// ---- Spell check: Edit > Dictionary on the drawing's word list ----
int CAppDocumentHost::ShowDictionaryDialog(CDocDict* list) {
  if (list == nullptr) return 0;
  return zeph::ShowSpellDictionaryDialog(*list, m_app.GetMainFrame());
}

// ---- The support code's services ----

bool CAppServices::HasActiveDocument() const { return m_app.GetActiveDocument() != nullptr; }
QString CAppServices::GetActiveDocumentPath() const {
  const CZephDoc* doc = m_app.GetActiveDocument();
  return doc != nullptr ? doc->GetFilePath() : QString();
}
int CAppServices::GetActiveDocumentItemCount() const {
  const CZephDoc* doc = m_app.GetActiveDocument();
  return doc != nullptr ? doc->GetItemCount() : 0;
}
void CAppServices::ReapplyPrintSettings() { m_app.ReapplyPrintSettings(); }

// ---- Recent files ----

namespace {

const QStringList& RecentFilesKeyPath() {
  static const QStringList path{QStringLiteral("Software"), QStringLiteral("Corvelle Software"),
                                QStringLiteral("Zephorin"), QStringLiteral("Recent File List")};
  return path;
}

}  // namespace

void CRecentFiles::Add(const QString& path) {
  if (path.isEmpty()) return;
  m_paths.removeAll(path);
  m_paths.prepend(path);
  while (m_paths.size() > kRecentFileCount) m_paths.removeLast();
  Save();
  if (CZephApp* app = GetZephApp(); app != nullptr && app->GetMainFrame() != nullptr) {
    app->GetMainFrame()->RefreshRecentFileMenu();
  }
}

void CRecentFiles::Remove(const QString& path) {
  if (m_paths.removeAll(path) > 0) Save();
}

void CRecentFiles::Load() {
  m_paths.clear();
  RegistryKey key;
  if (OpenRegistryPathForRead(RegistryKey::CurrentUser(), RecentFilesKeyPath(), key, false) == 0) return;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    QString path;
    if (ReadRegistryString(key, QStringLiteral("File%1").arg(i), path, false) != 0 && !path.isEmpty()) {
      m_paths << path;
    }
  }
}

void CRecentFiles::Save() const {
  RegistryKey key;
  if (OpenRegistryPath(RegistryKey::CurrentUser(), RecentFilesKeyPath(), key, true, false) < 2) return;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString name = QStringLiteral("File%1").arg(i);
    if (i <= m_paths.size()) {
      WriteRegistryString(key, name, m_paths[i - 1]);
    } else {
      DeleteRegistryValue(key, name);
    }
  }
}

// ---- Dialogs ----

bool ShowPrinterSetup(QWidget* parent) {
  // The set-up works on the printer the next print job gets, and chooses for the jobs after
  // it: the printer and its paper. It prints nothing.
  auto* printers = dynamic_cast<zeph::CQtPrinterSystem*>(&zeph::GetPrinterSystem());
  std::unique_ptr<QPrinter> printer = printers != nullptr ? printers->MakePrinter() : nullptr;
  if (printer == nullptr) printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer.get(), parent);
  dialog.setWindowTitle(QObject::tr("Printer setup"));
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
      ok->setText(QObject::tr("OK"));
      ok->setIcon(QIcon());  // not the printer of a Print button
    }
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  if (printers != nullptr) printers->ChoosePrinter(*printer);
  return true;
}

bool ShowAboutBox(QWidget* parent) { return zeph::RunAboutDialog(parent) == zeph::kIdOk; }
bool ShowUpdateCheck(QWidget* parent) { return zeph::RunCheckUpdatesDialog(parent) == zeph::kIdOk; }
bool AskUserName(QWidget* parent) { return zeph::RunEditNameDialog(parent) == zeph::kIdOk; }
bool ChoosePicture(QWidget* parent, CZephDoc& document, QString& path) {
  return zeph::RunChoosePicture(parent, document, path);
}
bool ChooseLibraryFile(QWidget* parent, QString& path) { return zeph::RunChooseLibraryFile(parent, path); }
bool ChooseSymbolFromLibrary(QWidget* parent) { return zeph::RunChooseSymbol(parent); }
bool TransformSymbol(QWidget* parent, int commandId) {
  switch (commandId) {
    case cmd::kSymbolReflect: return zeph::RunSymbolTransform(parent, SymbolTransform::kReflect);
    case cmd::kSymbolRotate: return zeph::RunSymbolTransform(parent, SymbolTransform::kRotate);
    case cmd::kSymbolEnlarge: return zeph::RunSymbolTransform(parent, SymbolTransform::kEnlarge);
    case cmd::kSymbolStretch: return zeph::RunSymbolTransform(parent, SymbolTransform::kStretch);
    default: return false;
  }
}
bool ShowOptionSheet(QWidget* parent, int commandId) {
  CZephApp* app = GetZephApp();
  switch (commandId) {
    case cmd::kOptionsPreferences:
      return zeph::ShowOptionsSheet(parent) == zeph::kIdOk;
    case cmd::kFilePageSetup:
      return app != nullptr &&
             zeph::ShowPageSetupSheet(parent, app->GetActiveDocument(), app->NoDrawingShownYet()) == zeph::kIdOk;
    case cmd::kOptionsManager:
      return zeph::ShowManagerSheet(parent, GetUserPrivilegeLevel()) == zeph::kIdOk;
    default:
      return false;
  }
}

// Every command's dialog has been built; a command whose dialog comes later answers false
// here, and its menu entry shows disabled.
bool IsDialogAvailable(int /*commandId*/) { return true; }

void InstallProgramDialogs(QWidget* parent) {
  if (parent != nullptr) {
    zeph::InstallEditorDialogs(parent);
  } else {
    zeph::RemoveEditorDialogs();
  }
}

// ---- The program's views ----

namespace {

class CProgramViews final : public IAppViews, public IFrontViewOwner {
 public:
  QWidget* CreateFrontView(QWidget* parent, CZephDoc* document) override {
    m_front = new CFrontView(parent, document);
    m_front->SetOwner(this);
    QObject::connect(m_front, &QObject::destroyed, [this] { m_front = nullptr; });
    return m_front;
  }
  void SetUpFrontColours() override {
    if (m_front) m_front->SetUpColours();
  }
  void EnableFrontPainting() override {
    if (m_front) m_front->EnablePainting();
  }
  void PrepareFrontToShow() override {
    if (m_front) m_front->PrepareToShow();
  }
  void DeactivateFront() override {
    if (m_front) m_front->Deactivate();
  }
  // The start screen's buttons.
  void ShowEditingView() override {
    if (CZephApp* app = GetZephApp()) app->ShowEditingView();
  }
  QWidget* GetMainWindow() const override {
    CZephApp* app = GetZephApp();
    return app != nullptr ? app->GetMainFrame() : nullptr;
  }
  QWidget* CreateEditingView(QWidget* parent, CZephDoc* document) override {
    m_editing = new CEditingView(parent);
    m_editing->SetDocument(document);
    m_editing->setWindowTitle(QStringLiteral("Drawing view"));
    // Texts and dimensions measure themselves with the editing view.
    SetEditingView(m_editing);
    // Gone with the frame's close order; the pointer must not outlive it.
    QObject::connect(m_editing, &QObject::destroyed, [this] { m_editing = nullptr; });
    return m_editing;
  }
  CZephView* AsPrintView(QWidget* view) const override { return qobject_cast<CZephView*>(view); }

  void PrepareEditingToShow() override {
    if (m_editing) m_editing->PrepareToShow();
  }
  void DeactivateEditing() override {
    if (m_editing) m_editing->Deactivate();
  }
  void ResetEditingForNewDrawing() override {
    if (m_editing) m_editing->ResetForNewDrawing();
  }
  void RedrawEditingDrawing() override {
    if (m_editing) m_editing->RedrawDrawing();
  }
  void CancelEditingOperation() override {
    if (m_editing) m_editing->CancelOperation();
  }
  void SuspendEditingFeedback() override {
    if (m_editing) m_editing->SuspendFeedback();
  }
  void ReleaseEditingCapture() override {
    if (m_editing) m_editing->ReleaseMouseCapture();
  }
  bool IsPictureShown() const override { return m_editing && m_editing->IsPictureShown() != 0; }
  void ShowPicture(bool show) override {
    if (m_editing) m_editing->ShowPicture(show ? 1 : 0);
  }
  bool RunEditingCommand(int id) override {
    if (!m_editing) return false;
    switch (id) {
      case cmd::kViewZoomIn: m_editing->OnViewZoomIn(); return true;
      case cmd::kViewZoomOut: m_editing->OnViewZoomOut(); return true;
      case cmd::kViewFit: m_editing->OnViewFit(); return true;
      case cmd::kViewRedraw: m_editing->OnViewRedraw(); return true;
      // The editing view runs the rest of its commands itself.
      default: return m_editing->RunCommand(id);
    }
  }
  int UpdateEditingCommand(int id, int& check) const override {
    if (!m_editing) return -1;
    switch (id) {
      case cmd::kViewZoomIn: return m_editing->OnUpdateViewZoomIn() ? 1 : 0;
      case cmd::kViewZoomOut: return m_editing->OnUpdateViewZoomOut() ? 1 : 0;
      case cmd::kViewFit: return m_editing->OnUpdateViewFit() ? 1 : 0;
      case cmd::kViewRedraw: return 1;
      // The editing view runs the rest of its commands itself.
      default: return m_editing->UpdateCommand(id, check);
    }
  }

  int GetCurrentTool() const override { return g_currentTool; }
  int IsCopyPlacing() const override { return g_copyPlacing; }
  int IsSelectionShown() const override { return m_editing ? m_editing->IsSelectionShown() : 0; }
  int IsLineStartSet() const override { return g_lineStartSet; }
  void GetLineStart(int& x, int& y) const override {
    x = g_lineStart.x;
    y = g_lineStart.y;
  }
  void SetLineStart(int x, int y) override {
    g_lineStart.x = x;
    g_lineStart.y = y;
    g_lineStartSet = 1;
  }
  void DrawItem(const CDrawItem* item, int colourMode) override {
    if (m_editing) m_editing->DrawItem(item, colourMode);
  }

 private:
  CFrontView* m_front = nullptr;
  CEditingView* m_editing = nullptr;
};

}  // namespace

std::unique_ptr<IAppViews> CreateProgramViews() { return std::make_unique<CProgramViews>(); }
