// Bitmaps pasted from the clipboard come from any program: whatever their header says, the
// conversion to the file image the drawing keeps must read nothing outside the block, and a
// bitmap it accepts must give a whole BMP file whose own sizes agree with it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "document/pictures.h"
#include "fuzzcommon.h"

namespace {

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, sizeof v);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool isolated = [] {
    fuzz::Isolate();
    return true;
  }();
  static_cast<void>(isolated);
  // The block is copied so that the sanitizer sees exactly its size.
  const std::vector<std::uint8_t> block(data, data + size);
  std::vector<std::uint8_t> file;
  const DibProblem problem = MakeBmpFileFromDib(block.data(), block.size(), file);
  if (problem != DibProblem::kNone) {
    fuzz::Check(file.empty());
    return 0;
  }
  // "BM", the file size, and the pixel offset inside the file.
  fuzz::Check(file.size() >= 14 + 40);
  fuzz::Check(file[0] == 'B' && file[1] == 'M');
  fuzz::Check(Read32(file, 2) == file.size());
  fuzz::Check(Read32(file, 10) <= file.size());
  return 0;
}
