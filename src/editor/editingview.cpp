#include "editor/editingview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <new>

#include "controls/controls.h"
#include "controls/edits.h"
#include "controls/input.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "editor/buttoncolours.h"
#include "editor/drawingscrollarea.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/strings.h"

using zeph::CDrawContext;
using zeph::DcRect;

zeph::DcFont g_smallFont;
std::int32_t g_smallFontMade = 0;
QSize g_viewAreaSize;

namespace {

// The size change traces under a code of its own, apart from the value editor's 2806.
constexpr int kLogEditingViewSize = 2804;

IObjectListFactory g_nullObjectListFactory;
IPromptHandlers g_nullPromptHandlers;
IValuesBarPart* g_valuesBarPart = nullptr;
IObjectListFactory* g_objectListFactory = nullptr;
IPromptHandlers* g_promptHandlers = nullptr;

}  // namespace

void ResetEditingViewGlobals() {
  g_smallFont = zeph::DcFont();
  g_smallFontMade = 0;
  g_viewAreaSize = QSize();
}

IValuesBarPart& GetValuesBarPart() {
  return g_valuesBarPart != nullptr ? *g_valuesBarPart : GetViewValuesBar();
}
IObjectListFactory& GetObjectListFactory() {
  return g_objectListFactory != nullptr ? *g_objectListFactory : g_nullObjectListFactory;
}
IPromptHandlers& GetPromptHandlers() {
  return g_promptHandlers != nullptr ? *g_promptHandlers : g_nullPromptHandlers;
}
void SetValuesBarPart(IValuesBarPart* part) { g_valuesBarPart = part; }
void SetObjectListFactory(IObjectListFactory* factory) { g_objectListFactory = factory; }
void SetPromptHandlers(IPromptHandlers* handlers) { g_promptHandlers = handlers; }

// ---- Creation and destruction ----

CEditingView::CEditingView(QWidget* parent)
    : CZephView(parent), m_controlGroup(std::make_unique<zeph::CControlGroup>()) {
  setWindowTitle(QStringLiteral("Drawing view"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  EnsureScreen();
  // The children exist from the start: the program may forward to them before the view is
  // first shown.
  Create();
}

int CEditingView::Create() {
  if (m_windowCreated != 0) return 0;
  m_windowCreated = 1;
  return OnCreate();
}

void CEditingView::showEvent(QShowEvent* event) {
  Create();
  CZephView::showEvent(event);
}

CEditingView::~CEditingView() {
  // Items measure with the view while it is registered: they may not once it goes.
  if (GetEditingView() == this) SetEditingView(nullptr);
  KillAllTimers();
  if (m_drawing != nullptr) m_drawing->removeEventFilter(this);
  RemovePromptButtons();
  m_objectList.reset();
  m_objectListBox.reset();
  m_valueList.reset();
  // The drawing window asks its view for things while it goes: it goes first.
  delete m_scrollArea;
  m_scrollArea = nullptr;
  m_drawing = nullptr;
  m_valueEdit.reset();
  m_controlGroup.reset();
}

zeph::CDrawContext* CEditingView::BorrowMeasuringContext() {
  try {
    m_measuring.push_back(std::make_unique<zeph::CImageContext>(m_measuringImage));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return m_measuring.back().get();
}

void CEditingView::ReleaseMeasuringContext(zeph::CDrawContext* dc) {
  std::erase_if(m_measuring, [dc](const auto& lent) { return lent.get() == dc; });
}

int CEditingView::OnCreate() {
  LogScope trace(2800);
  g_screenDpiX = logicalDpiX();
  g_screenDpiY = logicalDpiY();
  if (g_smallFontMade == 0) {
    CFontSpec spec;
    spec.Set(QStringLiteral("Arial"), 8, true, false);
    g_smallFontMade = spec.CreateFont(&g_smallFont, nullptr, 100, 0) == 1 ? 1 : 0;
  }
  {
    zeph::CImageContext dc(m_screen);
    if (g_smallFontMade != 0) dc.SelectFont(g_smallFont);
    m_lineHeight = ::GetLineHeight(dc);
    m_paletteWidth = GetTextWidth(dc, u"Dimension", 0, 0) + 12;
    m_flyoutWidth = GetTextWidth(dc, u"Move a dimension", 0, 0) + 14;
    m_valuesBarHeight = 2 * m_lineHeight + 16;
  }
  const zeph::DcFont* smallFont = g_smallFontMade != 0 ? &g_smallFont : nullptr;
  trace.Step(1);
  m_valueList = std::make_unique<zeph::CViewList>();
  m_valueList->SetKeyHandOver(1);
  m_valueList->Create({}, this, kIdValueList);
  m_valueList->SetFont(smallFont, false);
  m_valueList->hide();
  m_objectListBox = std::make_unique<zeph::CViewList>();
  m_objectListBox->SetKeyHandOver(1);
  m_objectListBox->Create({}, this, kIdObjectListBox);
  m_objectListBox->SetFont(smallFont, false);
  m_objectListBox->hide();
  trace.Step(2);
  m_valueEdit = std::make_unique<zeph::CZephoEdit>(0, this);
  m_valueEdit->setObjectName(QStringLiteral("valueEdit"));
  if (smallFont != nullptr) m_valueEdit->setFont(zeph::QtFontOf(*smallFont, m_valueEdit.get()));
  // Small margins, so that the box over a field of the values bar stays about a line high.
  m_valueEdit->document()->setDocumentMargin(1);
  m_valueEdit->hide();
  trace.Step(3);
  m_drawing = new CEditDrawing();
  m_drawing->setWindowTitle(QStringLiteral("Edit drawing"));
  m_scrollArea = new CDrawingScrollArea(m_drawing, this);
  m_scrollArea->setGeometry(0, 0, 0, 0);
  m_drawing->SetOwnerView(this);
  // While the zoom box follows the mouse, the mouse over the drawing is the view's.
  m_drawing->installEventFilter(this);
  m_scrollArea->show();
  return trace.Return(0);
}

void CEditingView::EnsureScreen() {
  const QSize wanted(std::max(width(), 1), std::max(height(), 1));
  if (m_screen.size() == wanted) return;
  m_screen = QImage(wanted, QImage::Format_RGB32);
  m_screen.fill(Qt::white);
}

// ---- Layout ----

void CEditingView::resizeEvent(QResizeEvent* event) {
  CZephView::resizeEvent(event);
  Create();
  EnsureScreen();
  OnSize(width(), height());
}

void CEditingView::OnSize(int cx, int cy) {
  if (cx == m_lastWidth && cy == m_lastHeight) return;
  LogScope trace(kLogEditingViewSize);
  m_lastWidth = cx;
  m_lastHeight = cy;
  m_paletteLeft = cx - m_paletteWidth;
  m_drawingAreaHeight = cy - m_valuesBarHeight;
  if (m_scrollArea != nullptr) {
    m_scrollArea->setGeometry(0, 0, std::max(m_paletteLeft, 0), std::max(m_drawingAreaHeight, 0));
  }
  {
    zeph::CImageContext dc(m_screen);
    LayoutValuesBar(dc);
  }
  if (m_buttonsShown != 0) RecreatePromptButtons();
  if (m_objectListShown != 0) PlaceObjectList();
  update();
  trace.Exit();
}

void CEditingView::LayoutValuesBar(CDrawContext& dc) {
  const int width = m_lastWidth;
  int used = 0;
  int items = 0;
  const int caption = m_okCaption != 0 ? m_okCaption : m_restartCaption;
  if (caption != 0) {
    const QString text = LoadProgramString(caption);
    if (!text.isEmpty()) {
      const zeph::DcFont old = dc.SelectFont(GetDialogFont());
      used += GetTextWidth(dc, text, 0, 0) + 10;
      ++items;
      dc.SelectFont(old);
    }
  }
  if (m_promptTextId != 0) {
    const QString text = LoadProgramString(m_promptTextId);
    if (!text.isEmpty()) {
      if (m_promptFontMade == 0) {
        CFontSpec spec;
        spec.Set(QStringLiteral("Arial"), 8, true, false);
        m_promptFontMade = spec.CreateFont(&m_promptFont, nullptr, 100, 0) == 1 ? 1 : 0;
      }
      const zeph::DcFont old = dc.SelectFont(m_promptFont);
      const int lineFeed = text.indexOf(QLatin1Char('\n'));
      int wider = GetTextWidth(dc, QStringView(text).left(lineFeed < 0 ? text.size() : lineFeed),
                               0, 0);
      if (lineFeed >= 0) {
        wider = std::max(wider, GetTextWidth(dc, QStringView(text).mid(lineFeed + 1), 0, 0));
      }
      used += wider + 10;
      ++items;
      dc.SelectFont(old);
    }
  }
  int fitted = 0;
  const int fieldsWidth = FitValueFields(dc, width, used, items, fitted);
  used += fieldsWidth;
  int spare = width - used;
  int gap = 0;
  int buttonMargin = 0;
  if (fitted + items > 0) {
    gap = std::max(std::min(spare / (fitted + items + 1), 30), 5);
    spare -= (fitted + items + 1) * gap;
  }
  if (items > 0 && spare > 0) {
    buttonMargin = std::min(spare / (2 * items), 25);
    spare -= 2 * items * buttonMargin;
  }
  int fieldMargin = gap;
  if (items > 0 && spare < gap) {
    fieldMargin = std::max(gap / 2, 5);
    spare += 2 * (gap - fieldMargin);
  }
  m_spareWidth = spare;
  m_fieldGap = gap;
  m_buttonMargin = buttonMargin;
  m_fieldMargin = fieldMargin;
  m_fieldsEnd = fieldsWidth + fieldMargin + (fitted - 1) * gap;
}

void CEditingView::InvalidateValuesBar() {
  update(0, m_drawingAreaHeight, std::max(m_lastWidth, 0), std::max(m_valuesBarHeight, 0));
}

void CEditingView::RedrawValuesBar(int) {
  InvalidateValuesBar();
  UpdateView();
  if (m_okCaption != 0) {
    ShowOKButton(m_okCaption);
  } else if (m_restartCaption != 0) {
    ShowRestartButton(m_restartCaption);
  }
}

void CEditingView::ResetValuesBarScroll() {
  m_firstField = 0;
  RedrawValuesBar(1);
}

// ---- Painting ----

void CEditingView::paintEvent(QPaintEvent* event) {
  EnsureScreen();
  {
    zeph::CImageContext dc(m_screen);
    const QRect area = event->rect();
    OnEraseBkgnd(dc, {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    OnDraw(dc);
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), m_screen, event->rect());
}

void CEditingView::UpdateView() {
  EnsureScreen();
  {
    zeph::CImageContext dc(m_screen);
    OnEraseBkgnd(dc, {0, 0, m_screen.width(), m_screen.height()});
    OnDraw(dc);
  }
  repaint();
}

void CEditingView::OnEraseBkgnd(CDrawContext& dc, const DcRect& area) {
  const int right = m_lastWidth - 1;
  const int bottom = m_lastHeight - 1;
  dc.SetClipRect(area);
  DrawHorizontalLineUi(dc, m_paletteLeft, right, 0, 15);
  DrawVerticalLineUi(dc, m_paletteLeft, 0, m_drawingAreaHeight, 7);
  DrawHorizontalLineUi(dc, 0, right, m_drawingAreaHeight, 7);
  if (right > m_paletteLeft && m_drawingAreaHeight > 1) {
    FillBox(dc, m_paletteLeft + 1, 1, right, m_drawingAreaHeight - 1, g_buttonFaceColour);
  }
  if (bottom > m_drawingAreaHeight) {
    FillBox(dc, 0, m_drawingAreaHeight + 1, right, bottom, g_buttonFaceColour);
  }
  dc.ResetClip();
}

void CEditingView::OnDraw(CDrawContext& dc) {
  DrawPalette(dc);
  DrawValuesBar(dc);
}

void CEditingView::DrawValuesBar(CDrawContext& dc) {
  ChooseValueFields();
  LayoutValuesBar(dc);
  DrawValuesBarContents(dc);
  if (m_drawing != nullptr && m_drawing->IsBreakOffered() != 0) DrawBreakQuestion(dc);
  if (m_promptTextId != 0 && !LoadProgramString(m_promptTextId).isEmpty()) DrawPromptText(dc);
}

// ---- Lifecycle ----

void CEditingView::PrepareToShow() {
  LogScope trace(2807);
  Create();
  if (m_created == 0) {
    m_drawing->AttachDrawing();
    CViewMapping& mapping = m_drawing->GetMapping();
    // Until the drawing window has been given a size, the view area tells what it will be
    // (the view's own size when the area was not measured).
    if (mapping.windowWidth <= 0 || mapping.windowHeight <= 0) {
      const QSize area = g_viewAreaSize.isEmpty() ? size() : g_viewAreaSize;
      const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
      const int extentWidth = std::max(area.width() - m_paletteWidth - bar, 1);
      const int extentHeight = std::max(area.height() - m_valuesBarHeight - bar, 1);
      mapping.SetWindowExtent(extentWidth, extentHeight);
      mapping.SetClientSize(0, extentHeight);
    }
    ResetForNewDrawing();
    m_created = 1;
  } else {
    ResetForNewDrawing();
  }
  trace.Exit();
}

void CEditingView::ResetForNewDrawing() {
  LogScope trace(2831);
  if (m_created != 0) SelectTool(kToolNewLine, -1);
  g_lineStartSet = 0;
  if (m_document != nullptr) g_realWorldScale = m_document->GetRealWorldScale();
  CViewMapping& mapping = m_drawing->GetMapping();
  int level = GetOptionShort(kOptionZoomStart);
  // A level outside the table would give no scale at all: the present level stays.
  if (level < 1 || level > kZoomLevelCount) level = mapping.GetZoomLevel();
  const int scale = ZoomScaleOfLevel(level);
  mapping.SetZoomLevel(level);
  mapping.scaleX = scale;
  mapping.scaleY = scale;
  mapping.originX = ClampInt64ToInt(static_cast<std::int64_t>(scale) * mapping.anchorX);
  mapping.originY = ClampInt64ToInt(static_cast<std::int64_t>(scale) * mapping.anchorY);
  mapping.AlignOrigin();
  GetValuesBarPart().ResetParameters(*this);
  if (m_created != 0) {
    RedrawDrawing();
  } else {
    UpdateScrollRanges(1);
  }
  trace.Exit();
}

void CEditingView::Deactivate() {
  LogScope trace(2803);
  CancelOperation();
  RemovePromptButtons();
  m_drawing->EndBreakOffer();
  trace.Exit();
}

void CEditingView::CancelOperation() {
  LogScope trace(2801);
  m_drawing->CancelOperation();
  CloseValueEditorResult();
  trace.Exit();
}

int CEditingView::CloseValueEditorResult() {
  switch (m_openEditor) {
    case kValueEditorNone:
      return 1;
    case kValueEditorEdit:
    case kValueEditorList:
    case kValueEditorObjectChooser:
    case kValueEditorName: {
      const int result = GetValuesBarPart().ApplyValueEditor(*this, m_openEditor);
      if (result == 1) {
        m_openEditor = kValueEditorNone;
        m_valueEdit->hide();
        m_valueList->hide();
      }
      return result;
    }
    default:
      SetGlitchValue(m_openEditor);
      ReportGlitch(2802, 1);
      m_openEditor = kValueEditorNone;
      return 1;
  }
}

void CEditingView::RedrawDrawing() {
  UpdateScrollRanges(1);
  m_drawing->Invalidate();
  InvalidateValuesBar();
}

void CEditingView::ReleaseMouseCapture() {
  m_holdsCapture = 0;
  if (g_mouseCaptured == 0) return;
  g_mouseCaptured = 0;
  zeph::ReleaseCapture();
}

void CEditingView::ShowPicture(int shown) {
  if (m_drawing != nullptr) m_drawing->SetShowPicture(shown);
}

int CEditingView::IsPictureShown() const {
  return m_drawing != nullptr ? m_drawing->IsPictureShown() : 0;
}

void CEditingView::DrawItem(const CDrawItem* item, int colourMode) {
  m_drawing->DrawItem(item, colourMode);
}

int CEditingView::IsSelectionShown() const { return m_drawing->IsSelectionShown(); }

void CEditingView::SuspendFeedback() { m_drawing->SuspendFeedback(); }

// ---- Object list ----

void CEditingView::ShowObjectList(int show) {
  if (show == 0) {
    if (m_objectList != nullptr && m_objectList->GetWindow() != nullptr) {
      m_objectList->GetWindow()->hide();
    }
    m_objectListShown = 0;
    return;
  }
  if (m_document == nullptr || m_document->GetItemCount() == 0) return;
  if (m_objectList == nullptr) {
    try {
      m_objectList = GetObjectListFactory().Create(*this, this);
    } catch (const std::bad_alloc&) {
      SetGlitchValue(8991);
      ReportGlitch(2835, 1);
      return;
    }
    // No object list window is installed: the view goes on without it.
    if (m_objectList == nullptr) return;
    if (m_objectList->GetWindow() == nullptr) {
      m_objectList.reset();
      SetGlitchValue(9001);
      ReportGlitch(2835, 1);
      return;
    }
  }
  if (m_objectList->Fill(m_document) > 0) {
    m_objectListShown = 1;
    PlaceObjectList();
    m_objectList->GetWindow()->show();
    m_objectList->GetWindow()->raise();
  } else {
    m_objectList.reset();
    m_objectListShown = 0;
    SetGlitchValue(8992);
    ReportGlitch(2835, 1);
  }
}

void CEditingView::PlaceObjectList() {
  if (m_objectListShown == 0 || m_objectList == nullptr) return;
  QWidget* window = m_objectList->GetWindow();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int limitX = m_paletteLeft - bar;
  const int limitY = m_drawingAreaHeight - bar;
  QRect place = window->geometry();
  if (place.right() >= limitX) place.moveRight(limitX - 1);
  if (place.bottom() >= limitY) place.moveBottom(limitY - 1);
  if (place.left() < 0) place.moveLeft(0);
  if (place.top() < 0) place.moveTop(0);
  window->setGeometry(place);
}

int CEditingView::RefreshObjectList() {
  return m_objectList != nullptr ? m_objectList->Refresh() : 0;
}

void CEditingView::SelectObjectInList(int objectNumber, int select) {
  if (m_objectList != nullptr) m_objectList->SelectObject(objectNumber, select);
}

void CEditingView::UpdateObjectListTicks() { UpdateObjectListTicksResult(); }

int CEditingView::UpdateObjectListTicksResult() {
  return m_objectList != nullptr ? m_objectList->UpdateTicks() : 0;
}

void CEditingView::UpdateObjectListRow(int objectNumber) {
  if (m_objectList == nullptr) return;
  if (CZephDoc* document = m_objectList->GetDocument(); document != nullptr) {
    document->SetObjectTickByNumber(objectNumber, 255);
  }
}

void CEditingView::OnObjectListTick(int objectNumber, int ticked) {
  m_drawing->ChooseObject(objectNumber, ticked != 0 ? 0 : 1);
}

int CEditingView::IsPointInObjectList(QPoint point) const {
  if (m_objectListShown == 0 || m_objectList == nullptr) return 0;
  const QWidget* window = m_objectList->GetWindow();
  if (window == nullptr || !window->isVisible()) return 0;
  return window->geometry().contains(m_drawing->mapTo(this, point)) ? 1 : 0;
}

// ---- Input ----

void CEditingView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    OnLButtonDown(zeph::MouseFlagsOf(*event), event->position().toPoint());
  }
}

void CEditingView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    OnLButtonUp(zeph::MouseFlagsOf(*event), event->position().toPoint());
  }
}

void CEditingView::mouseMoveEvent(QMouseEvent* event) {
  OnMouseMove(zeph::MouseFlagsOf(*event), event->position().toPoint());
}

void CEditingView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    OnChar(27);
  } else if (!event->text().isEmpty()) {
    OnChar(event->text().at(0).unicode());
  } else {
    CZephView::keyPressEvent(event);
  }
}

bool CEditingView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_drawing || (m_zoomBoxMode == 0 && m_holdsCapture == 0)) {
    return CZephView::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint point = m_drawing->mapTo(this, mouse->position().toPoint());
      const unsigned flags = zeph::MouseFlagsOf(*mouse);
      if (event->type() == QEvent::MouseMove) {
        OnMouseMove(flags, point);
      } else if (event->type() == QEvent::MouseButtonRelease) {
        OnLButtonUp(flags, point);
      }
      return true;
    }
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        OnChar(27);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CEditingView::OnLButtonDown(unsigned flags, QPoint point) {
  if (m_zoomBoxMode != 0) return;
  m_mouseDown = 1;
  if (OnValuesBarPress(point) != 0) return;
  if (point.y() >= m_drawingAreaHeight) {
    const auto inside = [point](const DcRect& box) {
      return point.x() >= box.left && point.x() < box.right && point.y() >= box.top &&
             point.y() < box.bottom;
    };
    if ((m_valuesBarFlags & kArrowForwardShown) != 0 && inside(m_rightArrowBox)) {
      m_valuesBarFlags |= kArrowForwardPressed;
      UpdateView();
      StartAutoScroll();
    } else if ((m_valuesBarFlags & kArrowBackShown) != 0 && inside(m_leftArrowBox)) {
      m_valuesBarFlags |= kArrowBackPressed;
      UpdateView();
      StartAutoScroll();
    }
    return;
  }
  if (point.x() >= m_paletteLeft || IsViewPointInFlyout(point) != 0) {
    OnPaletteLButtonDown(flags, point);
  }
}

void CEditingView::OnLButtonUp(unsigned flags, QPoint point) {
  if (m_zoomBoxMode != 0) {
    m_zoomBoxMode = 0;
    MoveZoomBox(point.x(), point.y());
    ReleaseMouseCapture();
    ZoomToBox();
    return;
  }
  // A release ends the zoom box's capture left by Esc.
  if (m_holdsCapture != 0) {
    ReleaseMouseCapture();
    return;
  }
  m_mouseDown = 0;
  if ((m_valuesBarFlags & (kArrowForwardPressed | kArrowBackPressed)) != 0) {
    m_valuesBarFlags &= ~(kArrowForwardPressed | kArrowBackPressed);
    KillTimer(kViewTimerAutoScroll);
    m_timers[0] = 0;
    UpdateView();
    return;
  }
  if (OnValuesBarRelease(point) != 0) return;
  OnPaletteLButtonUp(flags, point);
  if ((m_paletteFlags & (kArrowForwardPressed | kArrowBackPressed)) == 0 && m_timers[0] != 0) {
    KillTimer(kViewTimerAutoScroll);
    m_timers[0] = 0;
  }
}

void CEditingView::OnMouseMove(unsigned flags, QPoint point) {
  if (m_zoomBoxMode != 0) {
    MoveZoomBox(point.x(), point.y());
    return;
  }
  OnValuesBarHover(point);
  OnPaletteMouseMove(flags, point);
}

void CEditingView::OnChar(int character) {
  if (character == 27 && m_zoomBoxMode != 0) {
    EndZoomBox();
    return;
  }
  OnPaletteChar(character);
}

void CEditingView::OnTimer(int id) {
  if (id == kViewTimerAutoScroll) {
    OnAutoScrollTimer();
  } else {
    OnPaletteTimer(id);
  }
}
