#pragma once
// The imaging library over Qt: raster pictures through QImageReader (every format Qt and its
// installed image plugins read), vector pictures (SVG) through Qt's SVG renderer, which draws
// them afresh at every size.
#include "platform/picturecodec.h"

class QImage;

namespace zeph {

class CQtPictureCodec final : public IPictureCodec {
 public:
  // Sets the readers' allocation limit to kPictureAllocationLimitMb.
  CQtPictureCodec();
  std::unique_ptr<CPictureSource> LoadFile(const QString& path, int& status) override;
  std::unique_ptr<CPictureSource> LoadBytes(QByteArrayView bytes, int& status) override;
};

// A rendered picture as a Qt image (32-bit RGB), for contexts and tests that show it.
const QImage* PictureBitmapImage(const CPictureBitmap& bitmap);

}  // namespace zeph
