// Pictures of a drawing: the background picture, the table of pasted pictures, pasting the
// clipboard's bitmap and turning it into a BMP file image without trusting its header.
#include "document/pictures.h"

#include <gtest/gtest.h>

#include <QString>
#include <climits>
#include <cstdint>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "platform/desktop.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutU16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

struct Header {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t headerSize = 40;
};

Bytes InfoHeader(const Header& h) {
  Bytes b;
  PutU32(b, h.headerSize);
  PutU32(b, static_cast<std::uint32_t>(h.width));
  PutU32(b, static_cast<std::uint32_t>(h.height));
  PutU16(b, 1);
  PutU16(b, h.bits);
  PutU32(b, h.compression);
  PutU32(b, h.imageSize);
  PutU32(b, 2835);
  PutU32(b, 2835);
  PutU32(b, h.coloursUsed);
  PutU32(b, 0);
  while (b.size() < h.headerSize) b.push_back(0);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes FileHeader(std::uint32_t fileSize, std::uint32_t offset) {
  Bytes b{'B', 'M'};
  PutU32(b, fileSize);
  PutU32(b, 0);
  PutU32(b, offset);
  return b;
}

// A 24-bit bitmap 2 x 2: rows of 6 pixel bytes and 2 padding bytes, bottom row first.
Bytes Dib24() {
  Header h;
  h.width = 2;
  h.height = 2;
  h.imageSize = 16;
  return Join({InfoHeader(h), {1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}});
}

// A 32-bit bitmap 3 x 2.
Bytes Dib32() {
  Header h;
  h.width = 3;
  h.height = 2;
  h.bits = 32;
  h.imageSize = 24;
  return Join({InfoHeader(h),
               {1, 2, 3, 0xFF, 4, 5, 6, 0xFF, 7, 8, 9, 0xFF},
               {10, 11, 12, 0x80, 13, 14, 15, 0x80, 16, 17, 18, 0x80}});
}

Bytes Convert(const Bytes& dib, DibProblem expected = DibProblem::kNone) {
  Bytes file;
  EXPECT_EQ(MakeBmpFileFromDib(dib.data(), dib.size(), file), expected);
  return file;
}

TEST(DibConversion, Small24BitImageIsCopiedByteForByte) {
  Header h;
  h.width = 2;
  h.height = 2;
  h.imageSize = 16;
  const Bytes expected = Join(
      {FileHeader(70, 54), InfoHeader(h), {1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}});
  EXPECT_EQ(Convert(Dib24()), expected);
}

TEST(DibConversion, Small32BitImageBecomes24BitWithPaddedRows) {
  Header h;
  h.width = 3;
  h.height = 2;
  h.bits = 24;
  h.imageSize = 24;
  const Bytes expected = Join({FileHeader(78, 54),
                               InfoHeader(h),
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0},
                               {10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}});
  EXPECT_EQ(Convert(Dib32()), expected);
}

TEST(DibConversion, TopDownRowsAreTurnedRound) {
  Bytes dib = Dib24();
  dib[8] = 0xFE;  // height -2
  dib[9] = dib[10] = dib[11] = 0xFF;
  const Bytes file = Convert(dib);
  ASSERT_EQ(file.size(), 70u);
  EXPECT_EQ(U32At(file, 14 + 8), 2u);
  const Bytes bottom(file.begin() + 54, file.begin() + 62);
  EXPECT_EQ(bottom, (Bytes{7, 8, 9, 10, 11, 12, 0, 0}));
}

TEST(DibConversion, ColourTablesAndMasksAreRead) {
  // 8 bits with a table of two entries: the table is kept.
  Header h8;
  h8.width = 3;
  h8.height = 1;
  h8.bits = 8;
  h8.coloursUsed = 2;
  const Bytes table{0, 0, 0, 0, 255, 255, 255, 0};
  const Bytes file8 = Convert(Join({InfoHeader(h8), table, {0, 1, 1, 0}}));
  ASSERT_EQ(file8.size(), 14u + 40 + 8 + 4);
  EXPECT_EQ(U32At(file8, 10), 62u);
  EXPECT_EQ(U32At(file8, 14 + 32), 2u);
  EXPECT_EQ(Bytes(file8.begin() + 54, file8.begin() + 62), table);
  EXPECT_EQ(Bytes(file8.begin() + 62, file8.end()), (Bytes{0, 1, 1, 0}));

  // 16 bits in 5-6-5 with its masks after the header: full red and full blue become 24 bits.
  Header h16;
  h16.width = 2;
  h16.height = 1;
  h16.bits = 16;
  h16.compression = 3;
  Bytes masks;
  PutU32(masks, 0xF800);
  PutU32(masks, 0x07E0);
  PutU32(masks, 0x001F);
  Bytes pixels;
  PutU16(pixels, 0xF800);
  PutU16(pixels, 0x001F);
  const Bytes file16 = Convert(Join({InfoHeader(h16), masks, pixels}));
  ASSERT_EQ(file16.size(), 14u + 40 + 8);
  EXPECT_EQ(file16[14 + 14], 24);
  EXPECT_EQ(U32At(file16, 14 + 16), 0u);
  EXPECT_EQ(Bytes(file16.begin() + 54, file16.end()), (Bytes{0, 0, 255, 255, 0, 0, 0, 0}));

  // 32 bits with masks in another order.
  Header h32;
  h32.width = 1;
  h32.height = 1;
  h32.bits = 32;
  h32.compression = 3;
  Bytes masks32;
  PutU32(masks32, 0x000000FF);  // red in the low byte
  PutU32(masks32, 0x0000FF00);
  PutU32(masks32, 0x00FF0000);
  const Bytes file32 = Convert(Join({InfoHeader(h32), masks32, {0x11, 0x22, 0x33, 0x44}}));
  EXPECT_EQ(Bytes(file32.begin() + 54, file32.end()), (Bytes{0x33, 0x22, 0x11, 0}));
}

TEST(DibConversion, HeadersAreNeverTrusted) {
  struct Case {
    const char* name;
    Bytes dib;
    DibProblem expected;
  };
  const auto with = [](Header h, const Bytes& pixels) { return Join({InfoHeader(h), pixels}); };
  Header base;
  base.width = 2;
  base.height = 2;
  base.imageSize = 16;
  const Bytes rows(16, 7);
  Header zeroHeight = base;
  zeroHeight.height = 0;
  Header zeroImageSize = base;
  zeroImageSize.imageSize = 0;
  Header negative = base;
  negative.height = -2;
  Header wrongSize = base;
  wrongSize.imageSize = 4000;
  Header zeroWidth = base;
  zeroWidth.width = 0;
  Header negativeWidth = base;
  negativeWidth.width = -2;
  Header oddBits = base;
  oddBits.bits = 7;
  Header runLength = base;
  runLength.bits = 8;
  runLength.compression = 1;
  Header core = base;
  core.headerSize = 12;
  Header wide = base;
  wide.width = INT_MAX;
  wide.height = 1;
  Header tall = base;
  tall.height = INT_MIN;
  Header hugeTable = base;
  hugeTable.coloursUsed = 0xFFFFFFFFu;
  Header noMasks = base;
  noMasks.bits = 32;
  noMasks.compression = 3;
  Header v5 = base;
  v5.headerSize = 124;
  const Bytes full = with(base, rows);
  const Case cases[] = {
      {"zero height", with(zeroHeight, rows), DibProblem::kNoHeight},
      {"zero image size", with(zeroImageSize, rows), DibProblem::kNone},
      {"negative height", with(negative, rows), DibProblem::kNone},
      {"image size beyond the block", with(wrongSize, rows), DibProblem::kNone},
      {"truncated block", Bytes(full.begin(), full.end() - 1), DibProblem::kTruncated},
      {"header only", InfoHeader(base), DibProblem::kTruncated},
      {"shorter than its header", Bytes(full.begin(), full.begin() + 20), DibProblem::kTooShort},
      {"three bytes", Bytes{40, 0, 0}, DibProblem::kTooShort},
      {"empty", Bytes{}, DibProblem::kTooShort},
      {"zero width", with(zeroWidth, rows), DibProblem::kNoHeight},
      {"negative width", with(negativeWidth, rows), DibProblem::kBadFormat},
      {"seven bits", with(oddBits, rows), DibProblem::kBadFormat},
      {"run-length", with(runLength, rows), DibProblem::kBadFormat},
      {"core header", with(core, rows), DibProblem::kBadHeader},
      {"widest row", with(wide, rows), DibProblem::kTruncated},
      {"tallest top-down", with(tall, rows), DibProblem::kTruncated},
      {"huge colour table", with(hugeTable, rows), DibProblem::kTruncated},
      {"masks missing", InfoHeader(noMasks), DibProblem::kTruncated},
      {"longer header", with(v5, rows), DibProblem::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file{1, 2, 3};
    EXPECT_EQ(MakeBmpFileFromDib(c.dib.data(), c.dib.size(), file), c.expected);
    if (c.expected != DibProblem::kNone) {
      EXPECT_TRUE(file.empty());
      continue;
    }
    // The sizes in the file are the computed ones.
    ASSERT_EQ(file.size(), 70u);
    EXPECT_EQ(U32At(file, 2), 70u);
    EXPECT_EQ(U32At(file, 14), 40u);
    EXPECT_EQ(U32At(file, 14 + 8), 2u);
    EXPECT_EQ(U32At(file, 14 + 20), 16u);
  }
}

// ---- The picture table and pasting ----

class PicturesTest : public DocumentTest {
 protected:
  void TearDown() override {
    zeph::StandInDesktop().Reset();
    DocumentTest::TearDown();
  }
  static void OnClipboard(Bytes dib) { zeph::StandInDesktop().SetClipboardBitmap(std::move(dib)); }

  CZephDoc doc;
};

TEST_F(PicturesTest, PastingTheSameBitmapTwiceKeepsOneRow) {
  OnClipboard(Dib24());
  const int row = doc.PastePicture(QString());
  ASSERT_EQ(row, 0);
  EXPECT_EQ(doc.PastePicture(QStringLiteral("Other")), 0);
  EXPECT_EQ(doc.GetPictureCount(), 1);
  EXPECT_EQ(doc.GetPictureSize(0), 70);
  EXPECT_EQ(Bytes(doc.GetPictureData(0), doc.GetPictureData(0) + 70), Convert(Dib24()));
  EXPECT_EQ(doc.GetPictureName(0), QStringLiteral("Clipboard1.bmp"));
  EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(PicturesTest, PastedPicturesAreNamedInSequence) {
  OnClipboard(Dib24());
  ASSERT_EQ(doc.PastePicture(QString()), 0);
  OnClipboard(Dib32());
  ASSERT_EQ(doc.PastePicture(QString()), 1);
  EXPECT_EQ(doc.GetPictureName(1), QStringLiteral("Clipboard1(2).bmp"));
  Bytes third = Dib24();
  third.back() = 9;
  OnClipboard(third);
  ASSERT_EQ(doc.PastePicture(QStringLiteral("CLIPBOARD1.png")), 2);
  EXPECT_EQ(doc.GetPictureName(2), QStringLiteral("CLIPBOARD1(3).bmp"));
  // Once the first row's bytes are freed its name is free again.
  doc.FreePictureData(0);
  EXPECT_EQ(doc.GetPictureSize(0), 0);
  EXPECT_EQ(doc.GetPictureData(0), nullptr);
  Bytes fourth = Dib24();
  fourth.back() = 10;
  OnClipboard(fourth);
  ASSERT_EQ(doc.PastePicture(QString()), 3);
  EXPECT_EQ(doc.GetPictureName(3), QStringLiteral("Clipboard1.bmp"));
  // A freed row never matches a paste of its old bytes.
  OnClipboard(Dib24());
  EXPECT_EQ(doc.PastePicture(QString()), 4);
}

TEST_F(PicturesTest, NothingUsableOnTheClipboard) {
  EXPECT_EQ(doc.PastePicture(QString()), -2);
  EXPECT_TRUE(presenter.shown().empty());
  Bytes bad = Dib24();
  bad[8] = 0;  // height 0
  OnClipboard(bad);
  EXPECT_EQ(doc.PastePicture(QString()), -2);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(presenter.shown()[0].text, PictureMessageText(kIdsPictureUnusable));
  EXPECT_FALSE(presenter.shown()[0].text.isEmpty());
  EXPECT_EQ(doc.GetPictureCount(), 0);
}

TEST_F(PicturesTest, ReferencesNameRowsByTheirIds) {
  ASSERT_EQ(doc.AddPictureRows(0), 0);  // counts as one row
  ASSERT_EQ(doc.AddPictureRows(2), 1);
  EXPECT_EQ(doc.GetPictureCount(), 3);
  EXPECT_EQ(doc.GetPictureReference(2), QStringLiteral(">0"));
  EXPECT_EQ(doc.GetPictureReference(0), QStringLiteral(">1"));
  EXPECT_EQ(doc.GetPictureReference(2), QStringLiteral(">0"));
  EXPECT_EQ(doc.FindPictureByReference(QStringLiteral(">1")), 0);
  EXPECT_EQ(doc.FindPictureByReference(QStringLiteral(">0")), 2);
  for (const char* text : {"abc", ">", ">-1", ">7", "0", ">1x", ""}) {
    EXPECT_EQ(doc.FindPictureByReference(QString::fromLatin1(text)), -1) << text;
  }
  // Bad rows.
  EXPECT_EQ(doc.GetPictureReference(3), QString());
  EXPECT_EQ(doc.GetPictureReference(-1), QString());
  EXPECT_EQ(doc.GetPictureName(9), QString());
  EXPECT_EQ(doc.GetPictureSize(-1), 0);
  doc.SetPictureData(5, Bytes{1});
  doc.SetPictureName(-2, QStringLiteral("x"));
  EXPECT_EQ(doc.FindPictureByData(nullptr, 0), -1);
}

TEST_F(PicturesTest, TheTableOutlivesClearingAndResetting) {
  OnClipboard(Dib24());
  ASSERT_EQ(doc.PastePicture(QString()), 0);
  doc.ClearDrawing();
  doc.ResetDrawing();
  EXPECT_EQ(doc.GetPictureCount(), 1);
  EXPECT_EQ(doc.GetPictureSize(0), 70);
}

TEST_F(PicturesTest, BackgroundPictureByPathOrReference) {
  EXPECT_EQ(doc.GetPictureScale(), 1.0);
  doc.SetPicture(QStringLiteral("/plans/site.png"));
  EXPECT_EQ(doc.GetPicturePath(), QStringLiteral("/plans/site.png"));
  EXPECT_EQ(doc.GetPictureX(), 0);
  EXPECT_EQ(doc.GetPictureY(), 0);
  EXPECT_EQ(doc.GetPictureScale(), 500.0);
  EXPECT_EQ(doc.IsChanged(), 1);
  // A file picture is stored in the drawing file: no warning, nothing cleared.
  EXPECT_EQ(doc.HasPastedBackgroundPicture(), 0);
  EXPECT_EQ(doc.WarnPastedPictureNotSaved(), 0);
  EXPECT_EQ(doc.ClearPictureReference(), 0);
  EXPECT_TRUE(presenter.shown().empty());

  OnClipboard(Dib24());
  const int row = doc.PastePicture(QString());
  doc.SetPicture(doc.GetPictureReference(row));
  EXPECT_EQ(doc.HasPastedBackgroundPicture(), 1);
  EXPECT_EQ(doc.WarnPastedPictureNotSaved(), 1);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(presenter.shown()[0].text, PictureMessageText(kIdsPastedPictureNotSaved));
  // Read back from a file, a reference would name a picture of this run: it goes.
  EXPECT_EQ(doc.ClearPictureReference(), 1);
  EXPECT_EQ(doc.GetPicturePath(), QString());
}

}  // namespace
