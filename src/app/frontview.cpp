#include "app/frontview.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <optional>

#include "document/document.h"
#include "editor/buttoncolours.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "platform/qt/imagecontext.h"
#include "platform/qt/qtfont.h"
#include "support/appservices.h"
#include "support/fontspec.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogDeactivate = 3401;
constexpr int kLogSetUpColours = 3403;
constexpr int kLogOnDraw = 3405;
constexpr int kLogOnFinish = 3406;
constexpr int kLogLayOut = 3409;
constexpr int kLogOnSize = 3422;

// The colour of the border around the buttons when there is no picture.
constexpr int kFrameColourEntry = 18;

struct FrontButtonEntry {
  int id;
  const char16_t* caption;  // when the string table has none
};
constexpr std::array<FrontButtonEntry, kFrontButtonCount> kFrontButtons = {{
    {kIdFrontTellMe, u"&Tell me\nabout the\nprogram"},
    {kIdFrontCreate, u"&Create\na new\ndrawing"},
    {kIdFrontLoad, u"&Load\nan old\ndrawing"},
    {kIdFrontFinish, u"&Finish the\nprogram"},
}};

std::int32_t g_frontColoursDone = 0;

QString FrontCaption(const FrontButtonEntry& entry) {
  const QString text = LoadProgramString(entry.id);
  return text.isEmpty() ? QString::fromUtf16(entry.caption) : text;
}

// A caption as the button shows it: "&&" is a plain '&', a single '&' marks the next letter.
QString ShownCaption(const QString& caption) {
  QString shown;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    shown.push_back(caption[i]);
  }
  return shown;
}

// A font made from a description; false when it cannot be made.
bool MakeFont(std::unique_ptr<zeph::DcFont>& font, const QString& face, int size, bool bold,
              bool italic) {
  CFontSpec spec;
  spec.Set(face, static_cast<std::int16_t>(size), bold, italic);
  auto made = std::make_unique<zeph::DcFont>();
  if (spec.CreateFont(made.get(), nullptr, 100, 0) != 1) return false;
  font = std::move(made);
  return true;
}

// A context that measures text as the screen shows it.
struct MeasuringContext {
  QImage image{1, 1, QImage::Format_RGB32};
  zeph::CImageContext dc{image};
};

zeph::ColourRef FromQColor(const QColor& colour) {
  return zeph::MakeColour(colour.red(), colour.green(), colour.blue());
}

}  // namespace

void ResetFrontViewColours() { g_frontColoursDone = 0; }

CFrontView::CFrontView(QWidget* parent, CZephDoc* document)
    : CZephView(parent), m_document(document) {
  setFocusPolicy(Qt::StrongFocus);
  const zeph::DeviceCaps caps = zeph::ScreenDeviceCaps();
  g_screenDpiX = caps.dpiX;
  g_screenDpiY = caps.dpiY;
}

CFrontView::~CFrontView() {
  RemoveButtons();
  m_picture.Release(kImageNotOpened);
}

// ---- Colours ----

void CFrontView::SetUpColours() {
  if (g_frontColoursDone != 0) return;
  g_frontColoursDone = 1;
  LogScope trace(kLogSetUpColours);
  g_viewAreaSize = size();
  {
    MeasuringContext screen;
    SetUpDisplay(screen.dc);
  }
  trace.Step(1);
  if (g_displayColourMode == kDisplayExactColours) {
    SetUpOverlayXorColours();
  } else {
    // A palette display draws exclusive-or on palette indexes: each entry names the table
    // colour whose index, flipped against the background's, shows the wanted colour.
    g_overlayXorColours.fill(0);
    for (std::size_t i = 0; i < 16; ++i) g_overlayXorColours[i] = g_colourTable[15 - i];
    constexpr std::array<std::pair<int, int>, 14> kMore = {{{16, 3},
                                                            {17, 1},
                                                            {18, 4},
                                                            {19, 4},
                                                            {20, 1},
                                                            {21, 2},
                                                            {22, 5},
                                                            {26, 1},
                                                            {27, 1},
                                                            {28, 1},
                                                            {29, 4},
                                                            {30, 12},
                                                            {31, 1},
                                                            {32, 6}}};
    for (const auto& [entry, from] : kMore) {
      g_overlayXorColours[static_cast<std::size_t>(entry)] =
          g_colourTable[static_cast<std::size_t>(from)];
    }
  }
  const QPalette system = palette();
  SetUpButtonColours(FromQColor(system.color(QPalette::Button)),
                     FromQColor(system.color(QPalette::Dark)));
  trace.Exit();
}

int CFrontView::EnablePainting() {
  m_ready = 1;
  update();
  return 1;
}

// ---- Showing and hiding ----

void CFrontView::PrepareToShow() {
  // A palette display without free entries never shows the picture.
  if (m_showPicture == 0 && g_displayColourMode > 0) m_showPicture = 1;
  LayOut();
  update();
}

void CFrontView::Deactivate() {
  LogScope trace(kLogDeactivate);
  RemoveButtons();
  m_picture.Release(kImageNotOpened);
  m_showPicture = 0;
  trace.Exit();
}

void CFrontView::RemoveButtons() {
  for (auto& button : m_buttons) button.reset();
  m_buttonCount = 0;
  m_group.Clear();
}

zeph::CFrontButton* CFrontView::GetButton(int index) const {
  if (index < 0 || index >= kFrontButtonCount) return nullptr;
  return m_buttons[static_cast<std::size_t>(index)].get();
}

// ---- Layout ----

void CFrontView::LayOut() {
  LogScope trace(kLogLayOut);
  const int w0 = width();
  const int h0 = height();
  MeasuringContext measure;
  zeph::CDrawContext& dc = measure.dc;

  // The title's fonts, made for the size the screen is laid out at. Start-up lays the screen
  // out before the main window has its size; fonts made only once then would leave the title
  // a few pixels high.
  const int titleSize = std::clamp(std::min(w0 / 25, 2 * h0 / 40), 0, 32767);
  m_titleFont1.reset();
  m_titleFont2.reset();
  MakeFont(m_titleFont1, QStringLiteral("Times New Roman"), titleSize, true, true);
  MakeFont(m_titleFont2, QStringLiteral("Times New Roman"), titleSize, true, false);
  std::optional<zeph::DcFont> firstFont;
  SelectGdiObject(dc, m_titleFont1.get(), firstFont);
  m_leftBand = GetTextWidth(dc, u"Zephorin", -1, 1) + 40;
  trace.Step(1);

  RemoveButtons();
  m_buttonCount = kFrontButtonCount;
  if (!MakeFont(m_buttonFont, QStringLiteral("Arial"), 12, true, false)) {
    m_buttonFont = std::make_unique<zeph::DcFont>(GetLargeBoldFont());
  }
  SelectGdiObject(dc, m_buttonFont.get(), firstFont);
  const int lineHeight = GetLineHeight(dc);

  std::array<zeph::DcRect, kFrontButtonCount> rects{};
  int h = 0;
  int w = 0;
  if (m_showPicture != 0) {
    // A column at the right edge, tighter on a low screen.
    int top = 30;
    int gap = 15;
    if (h0 < 12 * lineHeight + 185) {
      top = 15;
      gap = 5;
    }
    h = std::min(100, (h0 + gap - 2 * top) / 4 - gap);
    w = std::min(120, w0 / 4);
    for (int i = 0; i < kFrontButtonCount; ++i) {
      const int y = top + i * (h + gap);
      rects[static_cast<std::size_t>(i)] = {w0 - 30 - w, y, w0 - 30, y + h};
    }
  } else {
    // Two by two inside a border.
    h = (h0 - 20) / 3;
    w = (w0 - 20 - m_leftBand) / 3;
    m_rightBand = (w0 - 20 - m_leftBand - 2 * w) / 3;
    m_topBand = (h0 - 2 * h - 20) / 4;
    for (int i = 0; i < kFrontButtonCount; ++i) {
      const int x = m_leftBand + m_rightBand + ((i & 1) != 0 ? w + 20 : 0);
      const int y = 2 * m_topBand + ((i & 2) != 0 ? h + 20 : 0);
      rects[static_cast<std::size_t>(i)] = {x, y, x + w, y + h};
    }
  }
  trace.Step(2);

  int widest = 0;
  for (int i = 0; i < kFrontButtonCount; ++i) {
    const FrontButtonEntry& entry = kFrontButtons[static_cast<std::size_t>(i)];
    auto button = std::make_unique<zeph::CFrontButton>();
    zeph::DcRect rect = rects[static_cast<std::size_t>(i)];
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    if (!button->Create(rect, this, entry.id)) {
      ReportGlitch(kLogLayOut, 1);
      continue;
    }
    const QString caption = FrontCaption(entry);
    if (LoadProgramString(entry.id).isEmpty()) button->SetCaptionText(caption);
    // The mnemonic marks the letter; the lines painted show the caption without it.
    button->SplitCaption(ShownCaption(caption));
    button->SetScheme(zeph::kSchemeBlue);
    const int id = entry.id;
    connect(button.get(), &QPushButton::clicked, this, [this, id]() { OnButton(id); });
    m_group.AddControl(button.get(), 1);
    widest = std::max(widest, GetWidestLineWidth(dc, caption));
    m_buttons[static_cast<std::size_t>(i)] = std::move(button);
  }

  // The caption font shrinks to fit three lines and the widest line, never below 8 points.
  int fontSize = 12;
  if (lineHeight > 0 && h - 20 < 3 * lineHeight) {
    fontSize = TruncateToShort((h - 20) * 12.0 / (3 * lineHeight));
  }
  if (widest > 0 && w - 20 < widest) {
    fontSize = std::min(fontSize, static_cast<int>(TruncateToShort((w - 20) * 12.0 / widest)));
  }
  if (fontSize < 12) {
    if (fontSize < 9) fontSize = 8;
    MakeFont(m_buttonFont, QStringLiteral("Arial"), fontSize, true, false);
    for (auto& button : m_buttons) {
      if (button) button->SetFont(m_buttonFont.get(), true);
    }
  }
  if (firstFont) dc.SelectFont(*firstFont);
  if (m_buttons[0]) m_buttons[0]->setFocus(Qt::OtherFocusReason);
  trace.Exit();
}

void CFrontView::OnSize(int width, int height) {
  if (width == 0 || height == 0) return;
  if (width == m_lastWidth && height == m_lastHeight) return;
  LogScope trace(kLogOnSize);
  m_lastWidth = width;
  m_lastHeight = height;
  if (m_buttonCount > 0) {
    LayOut();
    update();
  }
  trace.Exit();
}

// ---- Painting ----

void CFrontView::OnDraw(zeph::CDrawContext& dc) {
  if (m_ready == 0) return;
  LogScope trace(kLogOnDraw);
  if (g_palette) SetUpUiColours();
  const int w0 = width();
  const int h0 = height();
  std::optional<zeph::DcFont> firstFont;

  if (m_showPicture != 0) {
    // Reading and scaling the picture takes a moment; once cached, a repaint is a copy.
    const bool slow = m_picture.IsOk() == 0 || m_picture.GetCachedWidth() != w0 ||
                      m_picture.GetCachedHeight() != h0;
    if (slow) ShowWaitCursor();
    if (m_picture.IsOk() == 0) {
      m_picture.LoadFromFile(g_programFolder + u'/' + QString::fromUtf16(kFrontPictureName));
    }
    const int drawn = m_picture.Draw(&dc, {0, 0, w0, h0}, kFitCropCentre, 1);
    if (slow) HideWaitCursor();
    if (drawn == 0) m_showPicture = 0;
    trace.Step(1);
  }
  if (m_showPicture == 0 && m_rightBand != 0) {
    const zeph::ColourRef frame = UiColour(kFrameColourEntry);
    const int right = w0 - m_rightBand;
    const int bottom = h0 - m_topBand;
    FillBox(dc, 0, 0, w0 - 1, m_topBand - 1, frame);
    FillBox(dc, 0, m_topBand, m_leftBand - 1, h0 - 1, frame);
    FillBox(dc, right, m_topBand, w0 - 1, h0 - 1, frame);
    FillBox(dc, m_leftBand, bottom, right - 1, h0 - 1, frame);
    DrawBoxOutlineUi(dc, m_leftBand, m_topBand, right - 1, bottom - 1, kUiBlack, 1);
  }

  // "Zepho" leaning, "rin 3" upright, reading as one word.
  SetTextColourUi(dc, kUiBlue);
  SetTransparentBk(dc);
  int x = 20;
  if (m_titleFont1) {
    SelectGdiObject(dc, m_titleFont1.get(), firstFont);
    DrawTextAt(dc, x, 10, u"Zepho", kAlignLeft, -1);
    x += GetTextWidth(dc, u"Zepho", -1, 0) - GetTextWidth(dc, u" ", -1, 0) / 3;
  }
  if (m_titleFont2) {
    SelectGdiObject(dc, m_titleFont2.get(), firstFont);
    DrawTextAt(dc, x, 10, u"rin 3", kAlignLeft, -1);
  }
  if (firstFont) dc.SelectFont(*firstFont);
  trace.Exit();
}

void CFrontView::paintEvent(QPaintEvent* /*event*/) {
  if (m_ready == 0) return;  // nothing until start-up has finished
  if (m_buffer.size() != size()) m_buffer = QImage(size(), QImage::Format_RGB32);
  if (m_buffer.isNull()) return;
  m_buffer.fill(zeph::ToQColor(g_backgroundColour));
  {
    zeph::CImageContext dc(m_buffer);
    OnDraw(dc);
  }
  QPainter painter(this);
  painter.drawImage(0, 0, m_buffer);
}

void CFrontView::resizeEvent(QResizeEvent* event) {
  CZephView::resizeEvent(event);
  OnSize(width(), height());
}

void CFrontView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    OnHelp();
    return;
  }
  CZephView::keyPressEvent(event);
}

// ---- The buttons ----

void CFrontView::OnButton(int id) {
  switch (id) {
    case kIdFrontTellMe:
      return OnTellMe();
    case kIdFrontCreate:
      return OnCreateDrawing();
    case kIdFrontLoad:
      return OnLoadDrawing();
    case kIdFrontFinish:
      return OnFinish();
    default:
      return;
  }
}

void CFrontView::OnTellMe() { ShowHelpTopic(kTopicZephorinFunctions, 0); }

void CFrontView::OnHelp() { OnTellMe(); }

void CFrontView::OnCreateDrawing() {
  if (m_owner != nullptr) m_owner->ShowEditingView();
}

void CFrontView::OnLoadDrawing() {
  if (m_document == nullptr) return;
  if (m_document->ChooseAndOpenFile() != 0 && m_owner != nullptr) m_owner->ShowEditingView();
}

void CFrontView::OnFinish() {
  QWidget* main = m_owner != nullptr ? m_owner->GetMainWindow() : nullptr;
  if (main == nullptr) {
    ReportGlitch(kLogOnFinish, 1);
    return;
  }
  main->close();
}
