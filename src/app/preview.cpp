// The print preview inside the main window: the preview widget with its own bar takes the
// view's place until it is closed. Every repaint of the preview lays the pages out afresh
// from the drawing and the printer as they are then.
//
// The pages are drawn at the resolution at which they are shown, one page pixel to one
// screen pixel, and shown unscaled: arcs set pixel by pixel and one-pixel lines stay whole,
// as on the printed page. Fitting and zooming choose that resolution and draw again.
#include <QEvent>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "document/document.h"
#include "editor/zephview.h"
#include "platform/qt/qtprintersystem.h"
#include "support/log.h"
#include "support/printer.h"

namespace {

constexpr int kLogPreview = 1109;

constexpr int kMinPreviewDpi = 10;
constexpr int kMaxPreviewDpi = 1200;
constexpr double kPreviewZoomStep = 1.25;
constexpr int kPreviewFitMargin = 12;  // pixels around the fitted page

}  // namespace

// Keeps the preview's printer until the preview widget, made before it, is gone, and the
// resolution at which the pages are drawn and shown.
class CPreviewScale final : public QObject {
 public:
  CPreviewScale(std::unique_ptr<QPrinter> printer, QPrintPreviewWidget* preview, QObject* parent)
      : QObject(parent), m_printer(std::move(printer)), m_preview(preview) {
    setObjectName(QStringLiteral("PreviewScale"));
    m_preview->installEventFilter(this);
  }

  int Dpi() const { return m_dpi; }
  bool IsFitted() const { return m_fit; }

  // The whole page in the preview's window; kept so while the window changes size.
  void Fit() {
    m_fit = true;
    QGraphicsView* view = m_preview->findChild<QGraphicsView*>();
    const QSize room = view != nullptr ? view->maximumViewportSize() : m_preview->size();
    const QSizeF page = m_printer->pageLayout().fullRect(QPageLayout::Inch).size();
    if (room.isEmpty() || page.isEmpty()) return Show(m_dpi);
    const double across = (room.width() - 2 * kPreviewFitMargin) / page.width();
    const double down = (room.height() - 2 * kPreviewFitMargin) / page.height();
    const int dpi = static_cast<int>(std::floor(std::min(across, down)));
    Show(dpi);
    // The widget keeps a margin of its own about the page: the whole of it must fit too.
    const QSizeF scene = view != nullptr ? view->sceneRect().size() : QSizeF();
    if (scene.width() > room.width() || scene.height() > room.height()) {
      const double shrink = std::min(room.width() / scene.width(), room.height() / scene.height());
      Show(static_cast<int>(std::floor(dpi * shrink)));
    }
  }
  void Zoom(double factor) {
    m_fit = false;
    Show(static_cast<int>(std::lround(m_dpi * factor)));
  }
  void SetDpi(int dpi) {
    m_fit = false;
    Show(dpi);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_preview && event->type() == QEvent::Resize && m_fit) Fit();
    return QObject::eventFilter(watched, event);
  }

 private:
  void Show(int dpi) {
    dpi = std::clamp(dpi, kMinPreviewDpi, kMaxPreviewDpi);
    const bool changed = dpi != m_dpi || !m_drawn;
    m_dpi = dpi;
    m_drawn = true;
    if (changed) m_preview->updatePreview();
    // The widget scales its pages by its zoom factor times the screen's resolution over the
    // printer's; at this factor that is one, and the view is set to exactly that.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen != nullptr ? std::round(screen->logicalDotsPerInchY()) : 96.0;
    m_preview->setZoomFactor(m_dpi / std::max(1.0, screenDpi));
    if (QGraphicsView* view = m_preview->findChild<QGraphicsView*>())
      view->setTransform(QTransform());
  }

  std::unique_ptr<QPrinter> m_printer;
  QPrintPreviewWidget* m_preview;
  int m_dpi = 96;
  bool m_fit = true;
  bool m_drawn = false;
};

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
  button(tr("Zoom &In"), "PreviewZoomIn", [this] { m_previewScale->Zoom(kPreviewZoomStep); });
  button(tr("Zoom &Out"), "PreviewZoomOut", [this] { m_previewScale->Zoom(1 / kPreviewZoomStep); });
  button(tr("&Close"), "PreviewClose", [this] { EndPreview(); });
  m_previewPageLabel = new QLabel(bar);
  barLayout->addWidget(m_previewPageLabel);
  barLayout->addStretch(1);
  layout->addWidget(bar);

  // The shared printer's paper, so that the page is fitted before it is first drawn.
  if (auto* device = dynamic_cast<zeph::CQtPrinterDevice*>(g_printerDC.get())) {
    printer->setPageLayout(device->printer().pageLayout());
  }
  m_preview = new QPrintPreviewWidget(printer.get(), m_previewPage);
  m_preview->setObjectName(QStringLiteral("PreviewWidget"));
  m_previewScale = new CPreviewScale(std::move(printer), m_preview, m_previewPage);
  layout->addWidget(m_preview, 1);
  connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
    if (m_previewView != nullptr && p != nullptr && m_previewScale != nullptr) {
      m_previewView->PaintPrintPreview(*p, m_previewScale->Dpi());
    }
  });
  connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &CMainFrame::UpdatePreviewBar);

  OnSetPreviewMode(true);
  m_stack->addWidget(m_previewPage);
  m_stack->setCurrentWidget(m_previewPage);
  m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
  m_previewPage->layout()->activate();
  m_previewScale->Fit();
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
  m_previewScale = nullptr;
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

int CMainFrame::GetPreviewDpi() const {
  return m_previewScale != nullptr ? m_previewScale->Dpi() : 0;
}

void CMainFrame::SetPreviewDpi(int dpi) {
  if (m_previewScale != nullptr) m_previewScale->SetDpi(dpi);
}
