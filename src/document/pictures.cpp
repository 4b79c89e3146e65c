// The pictures of a drawing: the background picture by path or by reference to a pasted
// picture, the table of pictures pasted from the clipboard in this run (kept as complete BMP
// file images, never written to a drawing file), and pasting the clipboard's bitmap.
#include "document/pictures.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>

#include "document/document.h"
#include "platform/desktop.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace {

constexpr int kLogAddPictureRows = 1212;
constexpr int kLogPastePicture = 1230;

constexpr int kPictureTableFirstCapacity = 20;
constexpr int kPictureTableLimit = 32767;  // rows are numbered by 16-bit values
constexpr int kNumberedNameLimit = 10000;
constexpr double kPastedPictureScale = 500.0;

// ---- Reading the bitmap ----

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kCompressionAlphaBitFields = 6;
// A BMP file's sizes are 32-bit; the table keeps sizes as int32.
constexpr std::uint64_t kLargestFile = 0x7FFFFFFF;

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
void WriteU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void WriteU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Bytes of a row of width pixels of bits each, padded to 4 bytes.
std::uint64_t RowBytes(std::uint64_t bits, std::uint64_t width) {
  return (bits * width + 31) / 32 * 4;
}

// One colour channel through its mask, scaled to 8 bits.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t field = mask >> shift;
  const std::uint32_t value = (pixel & mask) >> shift;
  const int width = std::bit_width(field);
  if (width >= 8) return static_cast<std::uint8_t>(value >> (width - 8));
  return static_cast<std::uint8_t>(value * 255u / field);
}

// ---- Messages ----

struct PictureText {
  int id;
  const char16_t* text;
};
constexpr PictureText kPictureTexts[] = {
    {kIdsPictureUnusable, u"Sorry - the picture on the clipboard cannot be used."},
    {kIdsPastedPictureNotSaved,
     u"The background picture was pasted from the clipboard\nand is not stored in the drawing "
     u"file.\nThe drawing will be saved without it."},
};

void ShowPictureWarning(int id) {
  LogNumber(id);
  zeph::GetPresenter().ShowMessageBox(PictureMessageText(id), QString::fromUtf16(kProductName),
                                      zeph::kMbOk | zeph::kMbIconExclamation);
}

QString FilePart(const QString& path) {
  QString name;
  GetNameFromPath(path, name);
  return name;
}

}  // namespace

QString PictureMessageText(int id) {
  QString text = LoadProgramString(id);
  if (!text.isEmpty()) return text;
  for (const PictureText& entry : kPictureTexts) {
    if (entry.id == id) return QString::fromUtf16(entry.text);
  }
  return QString();
}

DibProblem MakeBmpFileFromDib(const std::uint8_t* block, std::size_t size,
                              std::vector<std::uint8_t>& file) {
  file.clear();
  if (block == nullptr || size < 4) return DibProblem::kTooShort;
  const std::uint32_t headerSize = ReadU32(block);
  // The info header and its later versions; the old core header is not offered by clipboards.
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
      headerSize != 124) {
    return DibProblem::kBadHeader;
  }
  if (size < headerSize) return DibProblem::kTooShort;
  const auto width = static_cast<std::int32_t>(ReadU32(block + 4));
  const auto height = static_cast<std::int32_t>(ReadU32(block + 8));
  const std::uint16_t bitCount = ReadU16(block + 14);
  const std::uint32_t compression = ReadU32(block + 16);
  const std::uint32_t imageSize = ReadU32(block + 20);
  const std::uint32_t coloursUsed = ReadU32(block + 32);
  const std::uint32_t coloursImportant = ReadU32(block + 36);
  if (height == 0 || width == 0) return DibProblem::kNoHeight;
  if (width < 0) return DibProblem::kBadFormat;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return DibProblem::kBadFormat;
  }
  const bool masked =
      compression == kCompressionBitFields || compression == kCompressionAlphaBitFields;
  if (compression != kCompressionRgb && !(masked && (bitCount == 16 || bitCount == 32))) {
    return DibProblem::kBadFormat;
  }

  // Colour masks: inside a longer header, else right after the info header.
  std::uint64_t offset = headerSize;
  std::uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
  if (masked) {
    const std::uint8_t* at = block + kInfoHeaderSize;
    if (headerSize == kInfoHeaderSize) {
      offset += compression == kCompressionAlphaBitFields ? 16 : 12;
      if (offset > size) return DibProblem::kTruncated;
    }
    for (int i = 0; i < 3; ++i) masks[i] = ReadU32(at + 4 * i);
  }
  // The colour table: every entry the header announces is skipped; depths of 8 bits or less
  // keep as many as their pixels can name.
  std::uint64_t tableEntries = coloursUsed;
  if (bitCount <= 8 && tableEntries == 0) tableEntries = std::uint64_t{1} << bitCount;
  const std::uint64_t keptEntries =
      bitCount <= 8 ? std::min<std::uint64_t>(tableEntries, std::uint64_t{1} << bitCount) : 0;
  const std::uint64_t tableOffset = offset;
  offset += tableEntries * 4;

  const bool topDown = height < 0;
  const std::uint64_t rows = topDown
                                 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height))
                                 : static_cast<std::uint64_t>(height);
  const std::uint64_t sourceRow = RowBytes(bitCount, static_cast<std::uint64_t>(width));
  if (offset > size || rows > (size - offset) / sourceRow) return DibProblem::kTruncated;
  const std::uint64_t pixelBytes = sourceRow * rows;
  if (imageSize != 0 && imageSize != pixelBytes) {
    // The sender's own size is only reported: the rows are counted from width and depth.
    LogAction(kLogPastePicture, 9, kLogHandled);
    LogNumber(static_cast<int>(imageSize));
  }

  const bool convert = bitCount == 32 || (bitCount == 16 && masked);
  const std::uint16_t outBits = convert ? 24 : bitCount;
  const std::uint64_t outRow = RowBytes(outBits, static_cast<std::uint64_t>(width));
  const std::uint64_t outImage = outRow * rows;
  const std::uint64_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + keptEntries * 4;
  const std::uint64_t fileSize = pixelOffset + outImage;
  if (fileSize > kLargestFile) return DibProblem::kTooLarge;
  try {
    file.assign(static_cast<std::size_t>(fileSize), 0);
  } catch (const std::bad_alloc&) {
    file.clear();
    return DibProblem::kNoMemory;
  }

  std::uint8_t* out = file.data();
  out[0] = 'B';
  out[1] = 'M';
  WriteU32(out + 2, static_cast<std::uint32_t>(fileSize));
  WriteU32(out + 10, static_cast<std::uint32_t>(pixelOffset));
  std::uint8_t* info = out + kFileHeaderSize;
  std::memcpy(info, block, kInfoHeaderSize);
  WriteU32(info, kInfoHeaderSize);
  WriteU32(info + 8, static_cast<std::uint32_t>(rows));
  WriteU16(info + 12, 1);
  WriteU16(info + 14, outBits);
  WriteU32(info + 16, kCompressionRgb);
  WriteU32(info + 20, static_cast<std::uint32_t>(outImage));
  WriteU32(info + 32, static_cast<std::uint32_t>(bitCount <= 8 ? keptEntries : 0));
  WriteU32(info + 36, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                          coloursImportant, bitCount <= 8 ? keptEntries : 0)));
  if (keptEntries > 0) {
    std::memcpy(info + kInfoHeaderSize, block + tableOffset,
                static_cast<std::size_t>(keptEntries * 4));
  }

  const std::uint8_t* pixels = block + offset;
  for (std::uint64_t row = 0; row < rows; ++row) {
    // Files keep the bottom row first.
    const std::uint64_t sourceIndex = topDown ? rows - 1 - row : row;
    const std::uint8_t* from = pixels + sourceIndex * sourceRow;
    std::uint8_t* to = out + pixelOffset + row * outRow;
    if (!convert) {
      std::memcpy(to, from, static_cast<std::size_t>(outRow));
      continue;
    }
    for (std::int32_t x = 0; x < width; ++x) {
      if (bitCount == 32 && !masked) {
        // Blue, green, red; the fourth byte is dropped.
        std::memcpy(to, from + 4 * static_cast<std::size_t>(x), 3);
      } else {
        const std::uint32_t pixel = bitCount == 32
                                        ? ReadU32(from + 4 * static_cast<std::size_t>(x))
                                        : ReadU16(from + 2 * static_cast<std::size_t>(x));
        to[0] = Channel(pixel, masks[2]);
        to[1] = Channel(pixel, masks[1]);
        to[2] = Channel(pixel, masks[0]);
      }
      to += 3;
    }
  }
  return DibProblem::kNone;
}

// ---- The background picture ----

void CZephDoc::SetPicture(const QString& path) {
  // The picture is part of what the drawing file keeps.
  if (path != m_picturePath || m_pictureX != 0 || m_pictureY != 0 ||
      m_pictureScale != kPastedPictureScale) {
    m_changed = 1;
  }
  m_picturePath = path;
  m_pictureX = 0;
  m_pictureY = 0;
  m_pictureScale = kPastedPictureScale;
}

int CZephDoc::HasPastedBackgroundPicture() const { return m_picturePath.startsWith(u'>') ? 1 : 0; }

int CZephDoc::ClearPictureReference() {
  if (HasPastedBackgroundPicture() == 0) return 0;
  m_picturePath.clear();
  return 1;
}

int CZephDoc::WarnPastedPictureNotSaved() const {
  if (HasPastedBackgroundPicture() == 0) return 0;
  ShowPictureWarning(kIdsPastedPictureNotSaved);
  return 1;
}

// ---- The picture table ----

int CZephDoc::PastePicture(const QString& name) {
  LogScope trace(kLogPastePicture);
  std::vector<std::uint8_t> block;
  bool offered = false;
  try {
    offered = zeph::GetDesktop().GetClipboardBitmap(block);
  } catch (const std::bad_alloc&) {
    return trace.Return(-2, kLogMemory, 1);
  }
  if (!offered) return trace.Return(-2, kLogFailed, 1);
  std::vector<std::uint8_t> image;
  const DibProblem problem = MakeBmpFileFromDib(block.data(), block.size(), image);
  if (problem == DibProblem::kNoMemory) return trace.Return(-2, kLogMemory, 4);
  if (problem != DibProblem::kNone) {
    LogNumber(static_cast<int>(problem));
    ShowPictureWarning(kIdsPictureUnusable);
    return trace.Return(-2, kLogFailed, 2);
  }
  const int existing = FindPictureByData(image.data(), image.size());
  if (existing >= 0) return trace.Return(existing);
  const int row = AddPictureRows(1);
  if (row < 0) return trace.Return(-1, kLogMemory, 5);
  SetPictureData(row, std::move(image));
  SetPictureName(row, name);
  return trace.Return(row);
}

int CZephDoc::AddPictureRows(int n) {
  LogScope trace(kLogAddPictureRows);
  if (n <= 0) {
    n = 1;
    trace.Step(1, kLogHandled);
  }
  const std::size_t count = m_pictures.size();
  if (count + static_cast<std::size_t>(n) > static_cast<std::size_t>(kPictureTableLimit)) {
    return trace.Return(-1, kLogMemory, 2);
  }
  const std::size_t needed = count + static_cast<std::size_t>(n);
  try {
    if (m_pictures.capacity() < needed) {
      const std::size_t capacity = m_pictures.capacity();
      std::size_t grown = capacity == 0 ? kPictureTableFirstCapacity : capacity * 2;
      if (grown < needed) grown = capacity + static_cast<std::size_t>(n) + 10;
      m_pictures.reserve(grown);
    }
    PictureEntry empty;
    empty.id = -1;
    m_pictures.resize(needed, empty);
  } catch (const std::bad_alloc&) {
    m_pictures.resize(count);
    return trace.Return(-1, kLogMemory, 3);
  }
  return trace.Return(static_cast<int>(count));
}

void CZephDoc::SetPictureData(int row, std::vector<std::uint8_t>&& bytes) {
  if (row < 0 || row >= GetPictureCount()) return;
  m_pictures[static_cast<std::size_t>(row)].bytes = std::move(bytes);
}

void CZephDoc::SetPictureName(int row, const QString& name) {
  if (row < 0 || row >= GetPictureCount()) return;
  QString candidate = name.isEmpty() ? QStringLiteral("Clipboard1") : name;
  SetExtension(candidate, QStringLiteral("bmp"), 0);
  const auto taken = [this, row](const QString& wanted) {
    const QString file = FilePart(wanted);
    for (int other = 0; other < GetPictureCount(); ++other) {
      const PictureEntry& entry = m_pictures[static_cast<std::size_t>(other)];
      if (other == row || entry.bytes.empty()) continue;
      if (FilePart(entry.name).compare(file, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
  };
  for (int step = 0; step < kNumberedNameLimit && taken(candidate); ++step) {
    candidate = NextNumberedName(candidate);
  }
  m_pictures[static_cast<std::size_t>(row)].name = candidate;
}

void CZephDoc::FreePictureData(int row) {
  if (row < 0 || row >= GetPictureCount()) return;
  std::vector<std::uint8_t>().swap(m_pictures[static_cast<std::size_t>(row)].bytes);
}

int CZephDoc::FindPictureByData(const std::uint8_t* bytes, std::size_t size) const {
  if (bytes == nullptr || size == 0) return -1;
  for (int row = 0; row < GetPictureCount(); ++row) {
    const std::vector<std::uint8_t>& held = m_pictures[static_cast<std::size_t>(row)].bytes;
    if (held.size() == size && std::memcmp(held.data(), bytes, size) == 0) return row;
  }
  return -1;
}

const std::uint8_t* CZephDoc::GetPictureData(int row) const {
  if (row < 0 || row >= GetPictureCount()) return nullptr;
  const std::vector<std::uint8_t>& bytes = m_pictures[static_cast<std::size_t>(row)].bytes;
  return bytes.empty() ? nullptr : bytes.data();
}

int CZephDoc::GetPictureSize(int row) const {
  if (row < 0 || row >= GetPictureCount()) return 0;
  return static_cast<int>(m_pictures[static_cast<std::size_t>(row)].bytes.size());
}

QString CZephDoc::GetPictureName(int row) const {
  if (row < 0 || row >= GetPictureCount()) return QString();
  return m_pictures[static_cast<std::size_t>(row)].name;
}

void CZephDoc::EnsurePictureId(int row) {
  if (row < 0 || row >= GetPictureCount()) return;
  PictureEntry& entry = m_pictures[static_cast<std::size_t>(row)];
  if (entry.id >= 0) return;
  std::int32_t largest = -1;
  for (const PictureEntry& other : m_pictures) largest = std::max(largest, other.id);
  entry.id = largest + 1;
}

QString CZephDoc::GetPictureReference(int row) {
  if (row < 0 || row >= GetPictureCount()) return QString();
  EnsurePictureId(row);
  return QStringLiteral(">") + QString::number(m_pictures[static_cast<std::size_t>(row)].id);
}

int CZephDoc::FindPictureByReference(const QString& text) const {
  if (!text.startsWith(u'>')) return -1;
  int id = 0;
  if (TextToInt(QStringView(text).mid(1), id) == 0 || id < 0) return -1;
  for (int row = 0; row < GetPictureCount(); ++row) {
    if (m_pictures[static_cast<std::size_t>(row)].id == id) return row;
  }
  return -1;
}
