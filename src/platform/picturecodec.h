#pragma once
// The imaging library: raster pictures (every format the platform reads) and vector pictures
// loaded from files or bytes, and rendered at a size into bitmaps that a drawing context can
// show. The Qt codec is installed at start-up; until then a stand-in answers every load with
// kPictureNotStarted, and tests install fakes.
#include <QByteArrayView>
#include <QString>
#include <memory>

#include "platform/drawcontext.h"

namespace zeph {

// Outcome of a load; the numbers are the ones the activity log records.
enum PictureStatus : int {
  kPictureOk = 0,
  kPictureGenericError = 1,  // the data is damaged, or the file cannot be read
  kPictureOutOfMemory = 3,
  kPictureFileNotFound = 10,
  kPictureUnknownFormat = 13,
  kPictureNotStarted = 18,  // no imaging library installed
};

// A picture rendered at one size.
class CPictureBitmap {
 public:
  virtual ~CPictureBitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Copies the bitmap with its top-left corner at (x, y) (logical); the clip applies, the
  // raster op does not. False when the context could not take it.
  virtual bool DrawTo(CDrawContext& dc, int x, int y) const = 0;
};

// A loaded picture.
class CPictureSource {
 public:
  virtual ~CPictureSource() = default;
  // The size in pixels; a vector picture's own size.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool IsVector() const = 0;
  // The band of the picture (its own pixels, right and bottom outside) scaled to width x
  // height with smooth interpolation; transparent parts show background. Null when the bitmap
  // cannot be made (an empty size, or no memory).
  virtual std::unique_ptr<CPictureBitmap> Render(const DcRect& band, int width, int height,
                                                 ColourRef background) const = 0;
};

// The most memory, in megabytes, that decoding one raster picture may take: a larger picture
// is refused as damaged rather than filling the memory (a small file can claim a huge size).
inline constexpr int kPictureAllocationLimitMb = 128;

class IPictureCodec {
 public:
  virtual ~IPictureCodec() = default;
  // A raster picture, or else a vector picture, from the file; null with status set when
  // neither can be read.
  virtual std::unique_ptr<CPictureSource> LoadFile(const QString& path, int& status) = 0;
  // The same from bytes in memory.
  virtual std::unique_ptr<CPictureSource> LoadBytes(QByteArrayView bytes, int& status) = 0;
};

// The codec in use; the stand-in until one is installed.
IPictureCodec& GetPictureCodec();
// Installs a codec (not owned); null restores the stand-in.
void SetPictureCodec(IPictureCodec* codec);

}  // namespace zeph
