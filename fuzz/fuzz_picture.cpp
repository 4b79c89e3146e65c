// Pictures from outside: the bytes loaded from memory and from a file through the Qt codec,
// then drawn at a small size both directly and through the cached bitmap. A picture that does
// not load must end in a state that names why, and a loaded one must have a size.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "platform/qt/imagecontext.h"
#include "platform/qt/qtpicturecodec.h"
#include "support/picture.h"

namespace {

void CheckAndDraw(CImage& picture, std::uint8_t fit) {
  const int state = picture.GetState();
  fuzz::Check(state >= kImageLoaded && state <= kImageOtherError);
  if (!picture.IsOk()) {
    fuzz::Check(picture.GetWidth() == 0 && picture.GetHeight() == 0);
    return;
  }
  fuzz::Check(picture.GetWidth() > 0 && picture.GetHeight() > 0);
  QImage image(48, 32, QImage::Format_RGB32);
  image.fill(Qt::white);
  zeph::CImageContext dc(image);
  const zeph::DcRect rect{2, 3, 45, 30};
  picture.Draw(&dc, rect, fit % 12, 0);
  picture.Draw(&dc, rect, (fit / 12) % 12, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = [] {
    static int argc = 1;
    static char name[] = "fuzz_picture";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    // The program's own limit: larger pictures are refused by the reader, as in the program.
    static zeph::CQtPictureCodec codec;
    zeph::SetPictureCodec(&codec);
    fuzz::Check(QImageReader::allocationLimit() == zeph::kPictureAllocationLimitMb);
    return true;
  }();
  (void)started;
  if (size < 1 || size > 200000) return 0;
  const std::uint8_t fit = data[0];
  ++data;
  --size;

  CImage fromMemory;
  fromMemory.LoadFromMemory(data, unsigned(size));
  fuzz::Check(fromMemory.IsOk() || fromMemory.GetState() == kImageMissingFromMemory);
  CheckAndDraw(fromMemory, fit);

  const QString path = fuzz::Home() + QStringLiteral("/tmp/picture");
  if (!fuzz::WriteInput(path, data, size)) return 0;
  CImage fromFile;
  fromFile.LoadFromFile(path);
  CheckAndDraw(fromFile, fit);
  return 0;
}
