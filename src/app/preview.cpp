// The print preview inside the main window: the preview widget with its own bar takes the
// view's place until it is closed. Every repaint of the preview lays the pages out afresh
// from the drawing and the printer as they are then.
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "document/document.h"
#include "editor/zephview.h"
#include "support/log.h"

namespace {

constexpr int kLogPreview = 1109;

// Keeps the preview's printer until the preview widget, made before it, is gone.
class CPrinterHolder final : public QObject {
 public:
  CPrinterHolder(std::unique_ptr<QPrinter> printer, QObject* parent)
      : QObject(parent), m_printer(std::move(printer)) {}

 private:
  std::unique_ptr<QPrinter> m_printer;
};

}  // namespace

bool CMainFrame::OnFilePrintPreview(CZephView& view) {
  LogScope trace(kLogPreview);
  if (m_preview != nullptr) return true;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (const CZephDoc* doc = view.GetDocument()) {
    printer->setPageOrientation(doc->GetPrintSettings().GetLandscape() != 0 ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait);
  }
  m_previewView = &view;
  m_previewPage = new QWidget(this);
  m_previewPage->setObjectName(QStringLiteral("PrintPreview"));
  auto* layout = new QVBoxLayout(m_previewPage);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bar = new QWidget(m_previewPage);
  auto* barLayout = new QHBoxLayout(bar);
  auto button = [this, bar, barLayout](const QString& text, const char* name, auto slot) {
    auto* b = new QPushButton(text, bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, slot);
    barLayout->addWidget(b);
    return b;
  };
  button(tr("&Print..."), "PreviewPrint", [this] {
    CZephView* v = m_previewView;
    EndPreview();
    if (v != nullptr) v->OnFilePrint(kIdFilePrint);
  });
  button(tr("&Next Page"), "PreviewNext", [this] { StepPreviewPage(1); });
  button(tr("Pre&v Page"), "PreviewPrev", [this] { StepPreviewPage(-1); });
  button(tr("Zoom &In"), "PreviewZoomIn", [this] { m_preview->zoomIn(); });
  button(tr("Zoom &Out"), "PreviewZoomOut", [this] { m_preview->zoomOut(); });
  button(tr("&Close"), "PreviewClose", [this] { EndPreview(); });
  m_previewPageLabel = new QLabel(bar);
  barLayout->addWidget(m_previewPageLabel);
  barLayout->addStretch(1);
  layout->addWidget(bar);

  m_preview = new QPrintPreviewWidget(printer.get(), m_previewPage);
  m_preview->setObjectName(QStringLiteral("PreviewWidget"));
  new CPrinterHolder(std::move(printer), m_previewPage);
  layout->addWidget(m_preview, 1);
  connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
    if (m_previewView != nullptr && p != nullptr) m_previewView->PaintPrintPreview(*p);
  });
  connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &CMainFrame::UpdatePreviewBar);

  OnSetPreviewMode(true);
  m_stack->addWidget(m_previewPage);
  m_stack->setCurrentWidget(m_previewPage);
  m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
  m_preview->fitInView();
  m_preview->updatePreview();
  UpdatePreviewBar();
  return trace.Return(true);
}

void CMainFrame::OnSetPreviewMode(bool preview) {
  // The toolbar is hidden while the preview shows and comes back as it was.
  if (preview) {
    m_toolBarBeforePreview = IsToolBarShown();
    ShowToolBar(false);
  } else {
    ShowToolBar(m_toolBarBeforePreview);
  }
}

void CMainFrame::EndPreview() {
  if (m_preview == nullptr) return;
  QWidget* page = m_previewPage;
  m_stack->removeWidget(page);
  m_preview = nullptr;
  m_previewPage = nullptr;
  m_previewPageLabel = nullptr;
  m_previewView = nullptr;
  page->deleteLater();
  if (m_activeView != nullptr) m_stack->setCurrentWidget(m_activeView);
  OnSetPreviewMode(false);
}

void CMainFrame::StepPreviewPage(int step) {
  if (m_preview == nullptr) return;
  const int page = std::clamp(m_preview->currentPage() + step, 1, std::max(1, m_preview->pageCount()));
  m_preview->setCurrentPage(page);
  UpdatePreviewBar();
}

void CMainFrame::UpdatePreviewBar() {
  if (m_preview == nullptr || m_previewPageLabel == nullptr) return;
  m_previewPageLabel->setText(tr("Page %1 of %2").arg(m_preview->currentPage()).arg(m_preview->pageCount()));
  if (auto* next = m_previewPage->findChild<QPushButton*>(QStringLiteral("PreviewNext"))) {
    next->setEnabled(m_preview->currentPage() < m_preview->pageCount());
  }
  if (auto* prev = m_previewPage->findChild<QPushButton*>(QStringLiteral("PreviewPrev"))) {
    prev->setEnabled(m_preview->currentPage() > 1);
  }
}
