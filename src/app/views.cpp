#include "app/views.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "document/document.h"
#include "editor/zephview.h"
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
int CAppDocumentHost::ShowDictionaryDialog(CDocDict* /*list*/) { return 0; }

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
  QPrinter printer;
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool ShowAboutBox(QWidget* /*parent*/) { return false; }
bool ShowUpdateCheck(QWidget* /*parent*/) { return false; }
bool AskUserName(QWidget* /*parent*/) { return false; }
bool ChoosePicture(QWidget* /*parent*/, CZephDoc& /*document*/, QString& /*path*/) { return false; }
bool ChooseLibraryFile(QWidget* /*parent*/, QString& /*path*/) { return false; }
bool ChooseSymbolFromLibrary(QWidget* /*parent*/) { return false; }
bool TransformSymbol(QWidget* /*parent*/, int /*commandId*/) { return false; }
bool ShowOptionSheet(QWidget* /*parent*/, int /*commandId*/) { return false; }

bool IsDialogAvailable(int commandId) {
  switch (commandId) {
    case cmd::kFilePrinterSetup:
      return true;
    default:
      return false;
  }
}

// ---- The program's views ----

namespace {

// Stands in for a view that has not been built yet: a plain view of the drawing.
class CPlainView final : public CZephView {
 public:
  CPlainView(QWidget* parent, CZephDoc* document) : CZephView(parent), m_document(document) {}
  CZephDoc* GetDocument() const override { return m_document; }
  void OnDraw(zeph::CDrawContext& /*dc*/) override {}

 private:
  CZephDoc* m_document;
};

class CProgramViews final : public IAppViews {
 public:
  QWidget* CreateFrontView(QWidget* parent, CZephDoc* document) override {
    m_front = new CPlainView(parent, document);
    return m_front;
  }
  QWidget* CreateEditingView(QWidget* parent, CZephDoc* document) override {
    m_editing = new CPlainView(parent, document);
    return m_editing;
  }
  CZephView* AsPrintView(QWidget* view) const override { return qobject_cast<CZephView*>(view); }

 private:
  CZephView* m_front = nullptr;
  CZephView* m_editing = nullptr;
};

}  // namespace

std::unique_ptr<IAppViews> CreateProgramViews() { return std::make_unique<CProgramViews>(); }
