#include "platform/picturecodec.h"

namespace zeph {
namespace {

// Without an imaging library nothing can be read.
class CNoPictureCodec final : public IPictureCodec {
 public:
  std::unique_ptr<CPictureSource> LoadFile(const QString&, int& status) override {
    status = kPictureNotStarted;
    return nullptr;
  }
  std::unique_ptr<CPictureSource> LoadBytes(QByteArrayView, int& status) override {
    status = kPictureNotStarted;
    return nullptr;
  }
};

IPictureCodec* g_pictureCodec = nullptr;

}  // namespace

IPictureCodec& GetPictureCodec() {
  static CNoPictureCodec standIn;
  return g_pictureCodec != nullptr ? *g_pictureCodec : standIn;
}

void SetPictureCodec(IPictureCodec* codec) { g_pictureCodec = codec; }

}  // namespace zeph
