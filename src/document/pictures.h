#pragma once
// Pictures pasted from the clipboard: turning the clipboard's device-independent bitmap into
// the complete BMP file image that the document's picture table keeps, and the messages about
// pasted pictures.
//
// The bitmap comes from another program, so nothing in its header is trusted: the row size
// is computed from the width and the bit depth, every size is checked against the block
// before a byte is read, rows stored top-down are turned round, colour tables and colour
// masks are read where the header announces them.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// Why a clipboard bitmap is refused.
enum class DibProblem : int {
  kNone = 0,
  kTooShort = 1,   // shorter than its header
  kBadHeader = 2,  // a header size the program does not know
  kNoHeight = 3,   // a height (or width) of 0
  kBadFormat = 4,  // a bit depth, plane count or compression the program cannot read
  kTruncated = 5,  // the masks, colour table or rows reach beyond the block
  kTooLarge = 6,   // the picture would not fit the file's 32-bit sizes
  kNoMemory = 7,
};

// The BMP file image of a device-independent bitmap of size bytes: the 14-byte file header,
// a 40-byte info header, the colour table when the bitmap has one, then the rows bottom-up,
// each padded with zero bytes to a multiple of 4. A bitmap of 32 bits per pixel becomes one
// of 24 (the fourth byte of each pixel dropped, or the colour masks applied), as does one of
// 16 bits with colour masks; other depths keep their bytes. On a problem the image is empty.
DibProblem MakeBmpFileFromDib(const std::uint8_t* block, std::size_t size,
                              std::vector<std::uint8_t>& file);

// Messages of pasted pictures.
inline constexpr int kIdsPictureUnusable = 901;
inline constexpr int kIdsPastedPictureNotSaved = 902;

// The text of one of the messages above: the string table's when it has one, else the
// program's own.
QString PictureMessageText(int id);
