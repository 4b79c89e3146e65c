// Pictures loaded by the Qt codec from files the test makes, drawn fitted onto the back buffer.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/picturecodec.h"
#include "platform/qt/imagecontext.h"
#include "platform/qt/qtpicturecodec.h"
#include "platform/recordingcontext.h"
#include "support/log.h"
#include "support/picture.h"
#include "support/screen.h"

namespace {

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kGreen = 0xFF00FF00u;
constexpr QRgb kYellow = 0xFFFFFF00u;
constexpr QRgb kGrey = 0xFF808080u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

// A tall vector picture: green above, yellow below, 100 x 200.
const char kTallSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='200' viewBox='0 0 100 200'>"
    "<rect x='0' y='0' width='100' height='100' fill='#00ff00'/>"
    "<rect x='0' y='100' width='100' height='100' fill='#ffff00'/></svg>";

class QtPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    ResetScreenState();
    ResetPictureState();
    g_logFolder = m_folder.path();
    zeph::SetPictureCodec(&m_codec);

    // A wide raster picture: red left half, blue right half, 200 x 100.
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(kBlue);
    QPainter(&wide).fillRect(0, 0, 100, 100, QColor(kRed));
    m_png = m_folder.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(wide.save(m_png, "PNG"));
    m_svg = m_folder.filePath(QStringLiteral("tall.svg"));
    WriteFile(m_svg, kTallSvg);
  }
  void TearDown() override {
    zeph::SetPictureCodec(nullptr);
    ResetPictureState();
    ResetScreenState();
    ResetLogState();
  }

  static void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  // A grey canvas of size with the picture drawn into rect.
  static QImage Drawn(CImage& image, QSize size, const zeph::DcRect& rect, int mode, int useCache) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(kGrey);
    zeph::CImageContext dc(canvas);
    EXPECT_EQ(image.Draw(&dc, rect, mode, useCache), 1);
    return canvas;
  }

  QTemporaryDir m_folder;
  zeph::CQtPictureCodec m_codec;
  QString m_png;
  QString m_svg;
};

TEST_F(QtPictureTest, RasterPictureIsFittedIntoARectangleOfAnotherAspect) {
  CImage image;
  image.LoadFromFile(m_png);
  ASSERT_EQ(image.GetState(), kImageLoaded);
  EXPECT_EQ(image.GetWidth(), 200);
  EXPECT_EQ(image.GetHeight(), 100);

  // Whole and centred: 100 x 50, 25 pixels below the top, grey above and below.
  for (int useCache : {0, 1}) {
    const QImage out = Drawn(image, {120, 120}, {10, 10, 110, 110}, kFitWholeCentred, useCache);
    EXPECT_EQ(out.pixel(60, 34), kGrey) << useCache;
    EXPECT_EQ(out.pixel(12, 36), kRed) << useCache;
    EXPECT_EQ(out.pixel(107, 83), kBlue) << useCache;
    EXPECT_EQ(out.pixel(60, 85), kGrey) << useCache;
    EXPECT_EQ(out.pixel(9, 60), kGrey) << useCache;
  }
  // Cut to the centre: the middle 100 x 100 of the picture at full size, red then blue.
  const QImage centre = Drawn(image, {100, 100}, {0, 0, 100, 100}, kFitCropCentre, 0);
  EXPECT_EQ(centre.pixel(0, 0), kRed);
  EXPECT_EQ(centre.pixel(49, 99), kRed);
  EXPECT_EQ(centre.pixel(50, 0), kBlue);
  EXPECT_EQ(centre.pixel(99, 99), kBlue);
  // Cut to the left: the red half only.
  const QImage left = Drawn(image, {100, 100}, {0, 0, 100, 100}, kFitCropTopLeft, 1);
  EXPECT_EQ(left.pixel(0, 0), kRed);
  EXPECT_EQ(left.pixel(99, 99), kRed);
}

TEST_F(QtPictureTest, VectorPictureIsDrawnAfreshAtEverySize) {
  CImage image;
  image.LoadFromFile(m_svg);
  ASSERT_EQ(image.GetState(), kImageLoaded);
  EXPECT_EQ(image.GetWidth(), 100);
  EXPECT_EQ(image.GetHeight(), 200);

  // Into a square: 50 x 100 centred across, green above yellow.
  const QImage square = Drawn(image, {100, 100}, {0, 0, 100, 100}, kFitWholeCentred, 1);
  EXPECT_EQ(square.pixel(24, 50), kGrey);
  EXPECT_EQ(square.pixel(26, 2), kGreen);
  EXPECT_EQ(square.pixel(73, 97), kYellow);
  EXPECT_EQ(square.pixel(75, 50), kGrey);

  // Four times its size the edge between the colours stays one sharp row.
  const QImage large = Drawn(image, {400, 800}, {0, 0, 400, 800}, kFitStretch, 0);
  EXPECT_EQ(large.pixel(200, 399), kGreen);
  EXPECT_EQ(large.pixel(200, 400), kYellow);

  // Cut to the bottom of a wide rectangle: the yellow half fills it.
  const QImage bottom = Drawn(image, {200, 100}, {0, 0, 200, 100}, kFitCropBottomLeft, 1);
  EXPECT_EQ(bottom.pixel(0, 0), kYellow);
  EXPECT_EQ(bottom.pixel(199, 99), kYellow);
}

TEST_F(QtPictureTest, PicturesFromMemoryAndTheirFailures) {
  QByteArray png;
  {
    QFile file(m_png);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    png = file.readAll();
  }
  CImage image;
  image.LoadFromMemory(png.constData(), static_cast<unsigned>(png.size()));
  EXPECT_EQ(image.GetState(), kImageLoaded);
  EXPECT_EQ(image.GetWidth(), 200);
  image.LoadFromMemory(kTallSvg, sizeof kTallSvg - 1);
  EXPECT_EQ(image.GetState(), kImageLoaded);
  EXPECT_EQ(image.GetHeight(), 200);
  image.LoadFromMemory("not a picture", 13);
  EXPECT_EQ(image.GetState(), kImageMissingFromMemory);

  const QString text = m_folder.filePath(QStringLiteral("notes.txt"));
  WriteFile(text, "Not a picture at all.\n");
  const QString broken = m_folder.filePath(QStringLiteral("broken.png"));
  WriteFile(broken, png.left(40));
  struct Case {
    const char* name;
    QString path;
    int state;
  };
  const Case cases[] = {
      {"missing", m_folder.filePath(QStringLiteral("gone.png")), kImageFileNotFound},
      {"not a picture", text, kImageFormatUnknown},
      {"damaged picture", broken, kImageOtherError},
      {"picture behind a wrong name",
       [&] {
         const QString renamed = m_folder.filePath(QStringLiteral("really-png.jpg"));
         QFile::copy(m_png, renamed);
         return renamed;
       }(),
       kImageLoaded},
  };
  for (const Case& c : cases) {
    image.LoadFromFile(c.path);
    EXPECT_EQ(image.GetState(), c.state) << c.name;
  }
}

TEST_F(QtPictureTest, TransparentPartsShowTheBackgroundColour) {
  QImage clear(10, 10, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  QPainter(&clear).fillRect(0, 0, 5, 10, QColor(kRed));
  const QString path = m_folder.filePath(QStringLiteral("clear.png"));
  ASSERT_TRUE(clear.save(path, "PNG"));
  CImage image;
  image.LoadFromFile(path);
  const QImage out = Drawn(image, {10, 10}, {0, 0, 10, 10}, kFitStretch, 1);
  EXPECT_EQ(out.pixel(2, 5), kRed);
  EXPECT_EQ(out.pixel(8, 5), kWhite);
}

TEST_F(QtPictureTest, BitmapsHonourTheClip) {
  CImage image;
  image.LoadFromFile(m_png);
  QImage canvas(200, 100, QImage::Format_RGB32);
  canvas.fill(kGrey);
  zeph::CImageContext dc(canvas);
  dc.SetClipRect({50, 0, 150, 100});
  EXPECT_EQ(image.Draw(&dc, {0, 0, 200, 100}, kFitStretch, 1), 1);
  EXPECT_EQ(canvas.pixel(49, 50), kGrey);
  EXPECT_EQ(canvas.pixel(50, 50), kRed);
  EXPECT_EQ(canvas.pixel(149, 50), kBlue);
  EXPECT_EQ(canvas.pixel(150, 50), kGrey);
}

// The program's limit holds for every reader, whatever was set before; a small file that
// claims a picture of 30000 x 30000 is refused, not decoded into gigabytes.
TEST_F(QtPictureTest, PicturesPastTheAllocationLimitAreRefused) {
  QImageReader::setAllocationLimit(1);
  zeph::CQtPictureCodec codec;
  EXPECT_EQ(QImageReader::allocationLimit(), zeph::kPictureAllocationLimitMb);
  EXPECT_GE(zeph::kPictureAllocationLimitMb, 128);

  QByteArray bmp("BM");
  const auto put32 = [&bmp](quint32 v) {
    for (int i = 0; i < 4; ++i) bmp += char((v >> (8 * i)) & 0xFF);
  };
  const auto put16 = [&bmp](quint16 v) {
    bmp += char(v & 0xFF);
    bmp += char(v >> 8);
  };
  put32(54 + 64);  // file size, as claimed
  put32(0);
  put32(54);     // pixel data offset
  put32(40);     // info header size
  put32(30000);  // width
  put32(30000);  // height
  put16(1);
  put16(24);
  put32(0);
  put32(0);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  bmp += QByteArray(64, '\x7f');
  const QString path = m_folder.filePath(QStringLiteral("huge.bmp"));
  WriteFile(path, bmp);
  CImage image;
  image.LoadFromFile(path);
  EXPECT_FALSE(image.IsOk());
  EXPECT_EQ(image.GetWidth(), 0);
}

// A context that takes no back buffer's pixels gets the picture as runs of equal pixels.
TEST_F(QtPictureTest, OtherContextsGetRunsOfPixels) {
  CImage image;
  image.LoadFromFile(m_png);
  zeph::CRecordingContext dc(100, 100);
  dc.SetClipRect({0, 0, 100, 3});
  EXPECT_EQ(image.Draw(&dc, {5, 0, 25, 10}, kFitStretch, 1), 1);
  std::vector<zeph::DcCall> fills;
  for (const zeph::DcCall& call : dc.calls())
    if (call.op == zeph::DcOp::kFillRect) fills.push_back(call);
  // Three visible rows, each red then blue.
  ASSERT_EQ(fills.size(), 6u);
  EXPECT_EQ(fills[0].rect, (zeph::DcRect{5, 0, 15, 1}));
  EXPECT_EQ(fills[0].colour, zeph::MakeColour(255, 0, 0));
  EXPECT_EQ(fills[1].rect, (zeph::DcRect{15, 0, 25, 1}));
  EXPECT_EQ(fills[1].colour, zeph::MakeColour(0, 0, 255));
  EXPECT_EQ(fills[5].rect, (zeph::DcRect{15, 2, 25, 3}));
}

}  // namespace
