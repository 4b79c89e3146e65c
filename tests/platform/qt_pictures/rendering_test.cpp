// Draws the screen helpers and pictures onto one back buffer and writes it as
// "screen_rendering.png" beside the test program, for a person to look at. The checks here
// only make sure that each part landed where it was drawn.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/qt/imagecontext.h"
#include "platform/qt/qtpicturecodec.h"
#include "support/controlservices.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/picture.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

using zeph::CDrawContext;
using zeph::CImageContext;
using zeph::DcRect;

QRgb Rgb(zeph::ColourRef colour) {
  return qRgb(zeph::RedOf(colour), zeph::GreenOf(colour), zeph::BlueOf(colour));
}

// Until the controls register the program's word-wrapping layout: one centred line.
class OneLineLayout final : public ITextLayout {
 public:
  void LayOutTextCentred(CDrawContext& dc, UiRect& rect, const QString& text, int alignment, int,
                         int) override {
    const int top = (rect.top + rect.bottom - GetLineHeight(dc)) / 2;
    DrawTextInBox(dc, rect.left, top, text, rect.right, alignment);
  }
};

// A landscape 300 x 150: sky, a hill and a sun.
QImage Landscape() {
  QImage image(300, 150, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, 150);
  sky.setColorAt(0, QColor(70, 130, 220));
  sky.setColorAt(1, QColor(200, 225, 255));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(250, 210, 40));
  painter.drawEllipse(QPointF(240, 40), 22, 22);
  painter.setBrush(QColor(60, 150, 60));
  painter.drawEllipse(QRectF(-80, 90, 460, 160));
  return image;
}

// A vector picture 100 x 100: a red ring on white with a blue bar.
const char kRingSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100' viewBox='0 0 100 100'>"
    "<rect width='100' height='100' fill='white'/>"
    "<circle cx='50' cy='50' r='38' fill='none' stroke='#cc0000' stroke-width='10'/>"
    "<rect x='20' y='45' width='60' height='10' fill='#0033cc'/></svg>";

class RenderingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    ResetScreenState();
    ResetPictureState();
    ResetSharedFonts();
    g_logFolder = m_folder.path();
    zeph::SetPictureCodec(&m_codec);
    SetTextLayout(&m_layout);
  }
  void TearDown() override {
    SetTextLayout(nullptr);
    zeph::SetPictureCodec(nullptr);
    ResetSharedFonts();
    ResetPictureState();
    ResetScreenState();
    ResetLogState();
  }

  QTemporaryDir m_folder;
  zeph::CQtPictureCodec m_codec;
  OneLineLayout m_layout;
};

void Heading(CDrawContext& dc, int left, int top, const QString& text) {
  const zeph::DcFont previous = dc.SelectFont(GetBoldFont());
  SetTextColourUi(dc, kUiBlack);
  DrawTextAt(dc, left, top, text, kAlignLeft, -1);
  dc.SelectFont(previous);
}

TEST_F(RenderingTest, ScreenHelpersAndPicturesMakeOnePicture) {
  QImage canvas(760, 560, QImage::Format_RGB32);
  canvas.fill(Rgb(g_backgroundColour));
  CImageContext dc(canvas);
  SetUpDisplay(dc);
  SetTransparentBk(dc);

  // ---- Boxes and frames ----
  Heading(dc, 10, 8, QStringLiteral("Boxes and frames"));
  DrawBoxOutlineUi(dc, 10, 40, 79, 99, kUiBlack, 1);
  DrawBoxOutlineUi(dc, 90, 40, 159, 99, kUiBlue, 3);
  FillBoxUi(dc, 170, 40, 239, 99, kUiRed);
  DrawFramedBoxUi(dc, 250, 40, 319, 99, kUiBlack, kUiSilver);
  FillVerticalGradient(dc, 330, 40, 449, 99, zeph::MakeColour(0, 60, 160),
                       zeph::MakeColour(230, 240, 255));
  for (int arrow = kArrowLeft; arrow <= kArrowDown; ++arrow) {
    const int left = 460 + arrow * 36;
    Draw3dArrowButton(dc, {left, 40, left + 31, 71}, arrow, arrow == kArrowDown ? 1 : 0);
  }
  DrawFramedBoxUi(dc, 610, 40, 649, 79, kUiGrey, kUiWhite);
  DrawTickMark(dc, 610, 40, 649, 79, 6, 3);
  dc.MoveTo(460, 90);
  LineToWithEndUi(dc, 740, 90, kUiGrey, 1);
  DrawHorizontalLineUi(dc, 460, 740, 95, kUiBlue);
  FillBox(dc, 660, 40, 740, 79, LightenColour(UiColour(kUiRed), 0.6));

  // ---- Fitted texts ----
  Heading(dc, 10, 112, QStringLiteral("Texts fitted into boxes"));
  const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog");
  const zeph::DcFont textFont = GetSmallFont();
  const zeph::DcFont previousFont = dc.SelectFont(textFont);
  const int line = GetLineHeight(dc);
  int top = 140;
  for (int alignment : {kAlignLeft, kAlignCentre, kAlignRight}) {
    DrawBoxOutlineUi(dc, 9, top - 1, 331, top + line, kUiGrey, 1);
    SetTextColourUi(dc, kUiBlack);
    DrawTextInBox(dc, 10, top, QStringLiteral("Aligned %1").arg(alignment), 330, alignment);
    top += line + 6;
  }
  // Too wide for its box: cut at the box, drawn from the left whatever the alignment.
  DrawBoxOutlineUi(dc, 9, top - 1, 151, top + line, kUiRed, 1);
  DrawTextInBox(dc, 10, top, sentence, 150, kAlignRight);
  top += line + 6;
  // As many characters as fit into narrowing widths.
  for (int width : {240, 180, 120, 60}) {
    const int count = FitTextToWidth(dc, sentence, width, 0, -1, 0);
    DrawBoxOutlineUi(dc, 9, top - 1, 10 + width, top + line, kUiBlue, 1);
    DrawTextAt(dc, 10, top, sentence, kAlignLeft, count);
    DrawTextAt(dc, 20 + width, top, QStringLiteral("%1 characters").arg(count), kAlignLeft, -1);
    top += line + 6;
  }
  SetOpaqueBkColourUi(dc, kUiSilver);
  DrawTextLine(dc, 10, top, QStringLiteral("An opaque line of text on silver"), 330);
  SetTransparentBk(dc);
  dc.SelectFont(previousFont);

  // ---- Pictures ----
  Heading(dc, 360, 112, QStringLiteral("Pictures fitted into rectangles"));
  const QString png = m_folder.filePath(QStringLiteral("landscape.png"));
  ASSERT_TRUE(Landscape().save(png, "PNG"));
  const QString svg = m_folder.filePath(QStringLiteral("ring.svg"));
  {
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kRingSvg);
  }
  CImage landscape;
  landscape.LoadFromFile(png);
  ASSERT_EQ(landscape.IsOk(), 1);
  CImage ring;
  ring.LoadFromFile(svg);
  ASSERT_EQ(ring.IsOk(), 1);
  CImage missing;
  missing.LoadFromFile(m_folder.filePath(QStringLiteral("missing.png")));

  struct Shown {
    CImage* image;
    DcRect rect;
    int mode;
    int useCache;
    const char* label;
  };
  const Shown shown[] = {
      {&landscape, {360, 140, 480, 260}, kFitWholeCentred, 1, "whole, centred"},
      {&landscape, {490, 140, 610, 260}, kFitCropCentre, 1, "cut to the centre"},
      {&landscape, {620, 140, 740, 260}, kFitStretch, 0, "stretched"},
      {&ring, {360, 290, 520, 370}, kFitWholeCentred, 1, "vector, centred"},
      {&ring, {530, 290, 590, 410}, kFitCropBottomLeft, 1, "vector, cut"},
      {&ring, {600, 290, 740, 410}, kFitStretch, 0, "vector, stretched"},
  };
  dc.SelectFont(textFont);
  for (const Shown& s : shown) {
    DrawBoxOutlineUi(dc, s.rect.left - 1, s.rect.top - 1, s.rect.right, s.rect.bottom, kUiGrey, 1);
    EXPECT_EQ(s.image->Draw(&dc, s.rect, s.mode, s.useCache), 1) << s.label;
    SetTextColourUi(dc, kUiBlack);
    DrawTextInBox(dc, s.rect.left, s.rect.bottom + 3, QString::fromLatin1(s.label),
                  s.rect.right - 1, kAlignCentre);
  }
  const DcRect errorRect{360, 430, 740, 480};
  DrawBoxOutlineUi(dc, errorRect.left - 1, errorRect.top - 1, errorRect.right, errorRect.bottom,
                   kUiRed, 1);
  missing.DrawErrorFrame(&dc, errorRect);
  dc.SelectFont(previousFont);

  const QString output = QStringLiteral(ZEPH_RENDER_FOLDER "/screen_rendering.png");
  QFile::remove(output);
  ASSERT_TRUE(canvas.save(output, "PNG")) << output.toStdString();
  EXPECT_TRUE(QFile::exists(output));

  // Each part is where it was drawn.
  EXPECT_EQ(canvas.pixel(200, 70), Rgb(UiColour(kUiRed)));
  EXPECT_EQ(canvas.pixel(250, 40), Rgb(UiColour(kUiBlack)));
  EXPECT_EQ(canvas.pixel(285, 70), Rgb(UiColour(kUiSilver)));
  // The landscape, 120 x 60 centred in its square: sky above the hill, background above it.
  EXPECT_EQ(canvas.pixel(420, 165), Rgb(g_backgroundColour));
  EXPECT_NE(canvas.pixel(420, 175), Rgb(g_backgroundColour));
  // The ring's blue bar across the middle of its stretched rectangle.
  EXPECT_EQ(qBlue(canvas.pixel(670, 350)), 0xCC);
  // The error frame is white inside its red outline, with red text in it.
  EXPECT_EQ(canvas.pixel(365, 435), Rgb(UiColour(kUiWhite)));
  int red = 0;
  for (int y = errorRect.top; y < errorRect.bottom; ++y)
    for (int x = errorRect.left; x < errorRect.right; ++x)
      if (canvas.pixel(x, y) == Rgb(UiColour(kUiRed))) ++red;
  EXPECT_GT(red, 20);
}

}  // namespace
