#include "support/picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/desktop.h"
#include "platform/filedialogs.h"
#include "platform/presenter.h"
#include "platform/recordingcontext.h"
#include "support/controlservices.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/log.h"
#include "support/screen.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcRect;

// What the fake imaging library was asked to do.
struct Journal {
  struct Rendered {
    DcRect band;
    int width;
    int height;
  };
  struct Drawn {
    int x;
    int y;
    int width;
    int height;
  };
  std::vector<Rendered> rendered;
  std::vector<Drawn> drawn;
  bool renderFails = false;
};

class FakeBitmap final : public zeph::CPictureBitmap {
 public:
  FakeBitmap(Journal& journal, int width, int height)
      : m_journal(journal), m_width(width), m_height(height) {}
  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  bool DrawTo(zeph::CDrawContext&, int x, int y) const override {
    m_journal.drawn.push_back({x, y, m_width, m_height});
    return true;
  }

 private:
  Journal& m_journal;
  int m_width;
  int m_height;
};

class FakePicture final : public zeph::CPictureSource {
 public:
  FakePicture(Journal& journal, int width, int height)
      : m_journal(journal), m_width(width), m_height(height) {}
  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  bool IsVector() const override { return false; }
  std::unique_ptr<zeph::CPictureBitmap> Render(const DcRect& band, int width, int height,
                                               zeph::ColourRef) const override {
    m_journal.rendered.push_back({band, width, height});
    if (m_journal.renderFails) return nullptr;
    return std::make_unique<FakeBitmap>(m_journal, width, height);
  }

 private:
  Journal& m_journal;
  int m_width;
  int m_height;
};

// Files and bytes name their picture: "W x H" makes a picture of that size; other contents
// fail with the status they name.
class FakeCodec final : public zeph::IPictureCodec {
 public:
  explicit FakeCodec(Journal& journal) : m_journal(journal) {}
  std::unique_ptr<zeph::CPictureSource> LoadFile(const QString& path, int& status) override {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      status = zeph::kPictureFileNotFound;
      return nullptr;
    }
    return Decode(file.readAll(), status);
  }
  std::unique_ptr<zeph::CPictureSource> LoadBytes(QByteArrayView bytes, int& status) override {
    return Decode(bytes.toByteArray(), status);
  }

 private:
  std::unique_ptr<zeph::CPictureSource> Decode(const QByteArray& bytes, int& status) {
    const QList<QByteArray> parts = bytes.split('x');
    bool okWidth = false;
    bool okHeight = false;
    if (parts.size() == 2) {
      const int width = parts[0].trimmed().toInt(&okWidth);
      const int height = parts[1].trimmed().toInt(&okHeight);
      if (okWidth && okHeight) {
        status = zeph::kPictureOk;
        return std::make_unique<FakePicture>(m_journal, width, height);
      }
    }
    status = bytes == "unknown" ? zeph::kPictureUnknownFormat : zeph::kPictureGenericError;
    return nullptr;
  }

  Journal& m_journal;
};

class FakeTextLayout final : public ITextLayout {
 public:
  void LayOutTextCentred(zeph::CDrawContext& dc, UiRect& rect, const QString& text, int alignment,
                         int breakLongWords, int wrapAtSpaces) override {
    calls.push_back({rect, text, alignment, breakLongWords, wrapAtSpaces, dc.GetTextColour(),
                     dc.GetBkColour()});
  }
  struct Call {
    UiRect rect;
    QString text;
    int alignment;
    int breakLongWords;
    int wrapAtSpaces;
    zeph::ColourRef textColour;
    zeph::ColourRef bkColour;
  };
  std::vector<Call> calls;
};

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    ResetPictureState();
    ResetScreenState();
    g_logFolder = m_folder.path();
    zeph::SetPictureCodec(&m_codec);
  }
  void TearDown() override {
    EXPECT_EQ(g_callDepth, 0);
    zeph::SetPictureCodec(nullptr);
    ResetPictureState();
    ResetScreenState();
    ResetLogState();
  }

  QString WriteFile(const char* name, const QByteArray& bytes) const {
    const QString path = m_folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  void LoadPicture(CImage& image, const char* size) {
    image.LoadFromMemory(size, static_cast<unsigned>(qstrlen(size)));
    ASSERT_EQ(image.IsOk(), 1);
  }

  QTemporaryDir m_folder;
  Journal m_journal;
  FakeCodec m_codec{m_journal};
  CRecordingContext m_dc;
};

// ---- Loading ----

TEST_F(PictureTest, LoadStatesNameEachFailure) {
  const QString unknown = WriteFile("notes.png", "unknown");
  const QString damaged = WriteFile("broken.png", "damaged");
  const QString good = WriteFile("good.png", "200x100");
  struct Case {
    const char* name;
    QString path;
    int state;
    const char* message;
  };
  const Case cases[] = {
      {"empty path", QString(), kImageNotChosen, "The picture has not been chosen."},
      {"missing file", m_folder.filePath(QStringLiteral("gone.png")), kImageFileNotFound,
       "The file cannot be found."},
      {"unknown format", unknown, kImageFormatUnknown,
       "The format of this file is not recognised."},
      {"damaged picture", damaged, kImageOtherError, "Error when showing a picture"},
      {"good picture", good, kImageLoaded, ""},
  };
  for (const Case& c : cases) {
    CImage image;
    image.LoadFromFile(c.path);
    EXPECT_EQ(image.GetState(), c.state) << c.name;
    EXPECT_EQ(image.GetStateMessage(), QString::fromUtf8(c.message)) << c.name;
    EXPECT_EQ(image.IsOk(), c.state == kImageLoaded ? 1 : 0) << c.name;
  }
  CImage image;
  image.LoadFromFile(good);
  EXPECT_EQ(image.GetWidth(), 200);
  EXPECT_EQ(image.GetHeight(), 100);
  // A failed load releases the picture loaded before.
  image.LoadFromFile(damaged);
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitWhole, 0), 0);
}

TEST_F(PictureTest, FailedLoadsAreLoggedWithTheStatus) {
  const QString unknown = WriteFile("notes.png", "unknown");
  CImage image;
  image.LoadFromFile(unknown);
  ASSERT_EQ(g_logPosition, 2);
  EXPECT_EQ(g_logCodes[0], 21503);
  EXPECT_EQ(g_logValues[0], 5001);
  EXPECT_EQ(g_logCodes[1], 0);
  EXPECT_EQ(g_logValues[1], zeph::kPictureUnknownFormat);

  ResetLogState();
  image.LoadFromMemory("junk", 4);
  EXPECT_EQ(image.GetState(), kImageMissingFromMemory);
  EXPECT_EQ(image.GetStateMessage(), QStringLiteral("Picture missing from tree file."));
  ASSERT_EQ(g_logPosition, 2);
  EXPECT_EQ(g_logCodes[0], 21504);
  EXPECT_EQ(g_logValues[0], 5001);
}

TEST_F(PictureTest, WithoutAnImagingLibraryAnExistingFileCannotBeShown) {
  zeph::SetPictureCodec(nullptr);
  CImage image;
  image.LoadFromFile(WriteFile("good.png", "200x100"));
  EXPECT_EQ(image.GetState(), kImageOtherError);
  image.LoadFromMemory("200x100", 7);
  EXPECT_EQ(image.GetState(), kImageMissingFromMemory);
}

TEST_F(PictureTest, NewPicturesAreUnopenedWithTheNextSerialNumber) {
  CImage first;
  CImage second;
  EXPECT_EQ(first.GetState(), kImageNotOpened);
  EXPECT_EQ(first.GetStateMessage(), QStringLiteral("The picture has not been opened."));
  EXPECT_EQ(first.GetSerialNumber(), 0);
  EXPECT_EQ(second.GetSerialNumber(), 1);
  first.Release(42);
  EXPECT_EQ(first.GetStateMessage(), QStringLiteral("Error when showing a picture"));
}

// ---- Drawing ----

TEST_F(PictureTest, DirectDrawingFitsThePictureByMode) {
  struct Case {
    const char* name;
    const char* picture;
    DcRect rect;
    int mode;
    DcRect band;
    Journal::Drawn drawn;
  };
  const Case cases[] = {
      {"whole, centred",
       "200x100",
       {0, 0, 100, 100},
       kFitWholeCentred,
       {0, 0, 200, 100},
       {0, 25, 100, 50}},
      {"whole, top-left",
       "200x100",
       {10, 20, 110, 120},
       kFitWhole,
       {0, 0, 200, 100},
       {10, 20, 100, 50}},
      {"whole, centred sideways",
       "100x200",
       {10, 20, 110, 120},
       kFitWholeCentred,
       {0, 0, 100, 200},
       {35, 20, 50, 100}},
      {"unknown mode as 0", "200x100", {0, 0, 100, 100}, 12, {0, 0, 200, 100}, {0, 0, 100, 50}},
      {"stretched", "200x100", {0, 0, 100, 100}, kFitStretch, {0, 0, 200, 100}, {0, 0, 100, 100}},
      {"wide, cut to the left",
       "200x100",
       {0, 0, 100, 100},
       kFitCropTopLeft,
       {0, 0, 100, 100},
       {0, 0, 100, 100}},
      {"wide, cut to the centre",
       "200x100",
       {0, 0, 100, 100},
       kFitCropCentre,
       {50, 0, 150, 100},
       {0, 0, 100, 100}},
      {"wide, cut to the right",
       "200x100",
       {0, 0, 100, 100},
       kFitCropBottomRight,
       {100, 0, 200, 100},
       {0, 0, 100, 100}},
      {"tall, cut to the top", "100x200", {0, 0, 100, 100}, 5, {0, 0, 100, 100}, {0, 0, 100, 100}},
      {"tall, cut to the middle",
       "100x200",
       {0, 0, 100, 100},
       6,
       {0, 50, 100, 150},
       {0, 0, 100, 100}},
      {"tall, cut to the bottom",
       "100x200",
       {5, 5, 105, 105},
       kFitCropBottomLeft,
       {0, 100, 100, 200},
       {5, 5, 100, 100}},
      {"tall, cut to a wider rect",
       "300x400",
       {0, 0, 200, 100},
       7,
       {0, 125, 300, 275},
       {0, 0, 200, 100}},
      {"same size, any mode",
       "100x100",
       {3, 4, 103, 104},
       kFitCropCentre,
       {0, 0, 100, 100},
       {3, 4, 100, 100}},
  };
  for (const Case& c : cases) {
    CImage image;
    LoadPicture(image, c.picture);
    m_journal = Journal();
    EXPECT_EQ(image.Draw(&m_dc, c.rect, c.mode, 0), 1) << c.name;
    ASSERT_EQ(m_journal.rendered.size(), 1u) << c.name;
    EXPECT_EQ(m_journal.rendered[0].band, c.band) << c.name;
    ASSERT_EQ(m_journal.drawn.size(), 1u) << c.name;
    const Journal::Drawn& d = m_journal.drawn[0];
    EXPECT_EQ((std::vector{d.x, d.y, d.width, d.height}),
              (std::vector{c.drawn.x, c.drawn.y, c.drawn.width, c.drawn.height}))
        << c.name;
  }
}

TEST_F(PictureTest, NothingIsDrawnWithoutPictureContextOrRoom) {
  CImage image;
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitWhole, 1), 0);
  LoadPicture(image, "200x100");
  EXPECT_EQ(image.Draw(nullptr, {0, 0, 100, 100}, kFitWhole, 1), 0);
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 0, 100}, kFitWhole, 1), 0);
  EXPECT_EQ(image.Draw(&m_dc, {50, 0, 10, 100}, kFitWhole, 0), 0);
  CImage empty;
  LoadPicture(empty, "0x100");
  EXPECT_EQ(empty.Draw(&m_dc, {0, 0, 100, 100}, kFitWhole, 0), 0);
  EXPECT_TRUE(m_journal.rendered.empty());
  EXPECT_TRUE(m_journal.drawn.empty());
}

TEST_F(PictureTest, CacheIsReusedOnlyForItsOwnSizeAndMode) {
  CImage image;
  LoadPicture(image, "200x100");
  // Built once, then copied.
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitWhole, 1), 1);
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitWhole, 1), 1);
  ASSERT_EQ(m_journal.rendered.size(), 1u);
  EXPECT_EQ(m_journal.rendered[0].width, 100);
  EXPECT_EQ(m_journal.rendered[0].height, 50);
  EXPECT_EQ(image.GetCachedWidth(), 100);
  EXPECT_EQ(image.GetCachedHeight(), 50);
  // Through the cache mode 0 is centred too.
  EXPECT_EQ(m_journal.drawn[0].y, 25);

  // Ten pixels taller: the same fitted bitmap, centred in the taller rectangle.
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 110}, kFitWhole, 1), 1);
  EXPECT_EQ(m_journal.rendered.size(), 1u);
  EXPECT_EQ(m_journal.drawn.back().y, 30);

  // Another mode never gets the bitmap made for mode 0.
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 110}, kFitWholeCentred, 1), 1);
  EXPECT_EQ(m_journal.rendered.size(), 2u);
  EXPECT_EQ(image.GetCachedFitMode(), kFitWholeCentred);

  // A filled rectangle of another height needs its own bitmap: the old one would leave a gap.
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitCropCentre, 1), 1);
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 110}, kFitCropCentre, 1), 1);
  ASSERT_EQ(m_journal.rendered.size(), 4u);
  EXPECT_EQ(m_journal.rendered[3].width, 100);
  EXPECT_EQ(m_journal.rendered[3].height, 110);
  EXPECT_EQ(m_journal.drawn.back().y, 0);

  // A new load forgets the cache.
  LoadPicture(image, "200x100");
  EXPECT_EQ(image.GetCachedWidth(), 0);
  EXPECT_EQ(image.GetCachedFitMode(), -1);
}

TEST_F(PictureTest, FailedCacheFallsBackToDrawingDirectly) {
  CImage image;
  LoadPicture(image, "200x100");
  m_journal.renderFails = true;
  EXPECT_EQ(image.Draw(&m_dc, {0, 0, 100, 100}, kFitWholeCentred, 1), 0);
  EXPECT_EQ(m_journal.rendered.size(), 2u);  // the cache, then the direct attempt
  EXPECT_EQ(image.GetCachedWidth(), 0);
  ASSERT_EQ(g_logPosition, 1);
  EXPECT_EQ(g_logCodes[0], 21502);
  EXPECT_EQ(g_logValues[0], 5050);

  m_journal = Journal();
  EXPECT_EQ(image.BuildCachedBitmap(&m_dc, 100, 100, kFitStretch), 1);
  EXPECT_EQ(image.GetCachedWidth(), 100);
  EXPECT_EQ(image.GetCachedHeight(), 100);
  CImage unopened;
  EXPECT_EQ(unopened.BuildCachedBitmap(&m_dc, 100, 100, kFitStretch), 0);
}

TEST_F(PictureTest, ErrorFrameShowsTheMessageInRedOnWhite) {
  FakeTextLayout layout;
  SetTextLayout(&layout);
  CImage image;
  image.LoadFromFile(m_folder.filePath(QStringLiteral("gone.png")));
  m_dc.SetTextColour(0x123456);
  m_dc.SetBkColour(0x654321);
  image.DrawErrorFrame(&m_dc, {10, 20, 210, 120});
  SetTextLayout(nullptr);

  const std::vector<zeph::DcCall>& calls = m_dc.calls();
  const auto fill = std::find_if(calls.begin(), calls.end(), [](const zeph::DcCall& c) {
    return c.op == zeph::DcOp::kFillRect;
  });
  ASSERT_NE(fill, calls.end());
  EXPECT_EQ(fill->rect, (DcRect{10, 20, 210, 120}));
  EXPECT_EQ(fill->colour & zeph::kColourMask, 0xFFFFFFu);
  ASSERT_EQ(layout.calls.size(), 1u);
  const FakeTextLayout::Call& call = layout.calls[0];
  EXPECT_EQ(call.rect, (UiRect{20, 24, 199, 115}));
  EXPECT_EQ(call.text, QStringLiteral("The file cannot be found."));
  EXPECT_EQ(call.alignment, 1);
  EXPECT_EQ(call.breakLongWords, 1);
  EXPECT_EQ(call.wrapAtSpaces, 1);
  EXPECT_EQ(call.textColour & zeph::kColourMask, 0x0000FFu);
  EXPECT_EQ(call.bkColour & zeph::kColourMask, 0xFFFFFFu);
  EXPECT_EQ(m_dc.GetTextColour(), 0x123456u);
  EXPECT_EQ(m_dc.GetBkColour(), 0x654321u);
}

// ---- Chooser and clipboard ----

class PictureChooserTest : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    zeph::ScriptedFileDialogs().Clear();
    g_samplesFolder.clear();
    GetCurrentFolderOfDrive(0, m_current);
  }
  void TearDown() override {
    zeph::ScriptedFileDialogs().Clear();
    g_samplesFolder.clear();
    SetCurrentFolder(m_current);
    PictureTest::TearDown();
  }
  static zeph::FileDialogResult Chosen(const QString& path, const QString& folder) {
    zeph::FileDialogResult result;
    result.answer = zeph::kIdOk;
    result.path = path;
    result.lastFolder = folder;
    return result;
  }

  QString m_current;
};

TEST_F(PictureChooserTest, StartsInThePathsFolderTheLastFolderOrTheCurrentOne) {
  zeph::CScriptedFileDialogs& dialogs = zeph::ScriptedFileDialogs();
  struct Case {
    const char* name;
    QString path;
    QString lastFolder;
    QString expectedFolder;
    QString expectedName;
  };
  const Case cases[] = {
      {"folder and name", QStringLiteral("/srv/pictures/ view.png "), QString(),
       QStringLiteral("/srv/pictures"), QStringLiteral("view.png")},
      {"stored backslashes", QStringLiteral("/srv\\old\\view.png"), QString(),
       QStringLiteral("/srv\\old"), QStringLiteral("view.png")},
      {"a file in the root", QStringLiteral("/view.png"), QString(), QStringLiteral("/"),
       QStringLiteral("view.png")},
      {"bare name", QStringLiteral("view.png"), QStringLiteral("/srv/last"), m_current,
       QStringLiteral("view.png")},
      {"nothing, remembered folder", QString(), QStringLiteral("/srv/last"),
       QStringLiteral("/srv/last"), QString()},
      {"nothing at all", QString(), QString(), m_current, QString()},
  };
  for (const Case& c : cases) {
    dialogs.Clear();
    g_lastPictureFolder = c.lastFolder;
    QString path = c.path;
    EXPECT_EQ(ChoosePictureFile(path, QString()), 0) << c.name;
    EXPECT_EQ(path, c.path) << c.name;
    ASSERT_EQ(dialogs.requests().size(), 1u) << c.name;
    const zeph::FileDialogRequest& request = dialogs.requests()[0];
    EXPECT_EQ(request.initialFolder, c.expectedFolder) << c.name;
    EXPECT_EQ(request.fileName, c.expectedName) << c.name;
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.defaultExtension, QStringLiteral("jpg"));
    EXPECT_EQ(request.flags, zeph::kOfnHideReadOnly | zeph::kOfnFileMustExist);
    EXPECT_FALSE(request.samplesButton) << c.name;
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral(" All graphics formats |*.bmp;")));
    EXPECT_TRUE(request.filter.endsWith(QStringLiteral("| All files (*.*) |*.*||")));
    // Cancelled: the folder last shown is remembered all the same.
    EXPECT_EQ(g_lastPictureFolder, c.expectedFolder) << c.name;
  }
}

TEST_F(PictureChooserTest, ChosenFileOrSampleFileIsTrimmedIntoThePath) {
  zeph::CScriptedFileDialogs& dialogs = zeph::ScriptedFileDialogs();
  dialogs.QueueResult(Chosen(QStringLiteral(" /srv/pictures/view.png "), "/srv/pictures"));
  QString path;
  EXPECT_EQ(ChoosePictureFile(path, QStringLiteral("Background picture")), 1);
  EXPECT_EQ(path, QStringLiteral("/srv/pictures/view.png"));
  EXPECT_EQ(g_lastPictureFolder, QStringLiteral("/srv/pictures"));
  EXPECT_EQ(dialogs.requests()[0].title, QStringLiteral("Background picture"));

  // The samples button opens a second dialog in the samples folder.
  dialogs.Clear();
  g_samplesFolder = QStringLiteral("/usr/share/zephorin/Samples");
  zeph::FileDialogResult samples;
  samples.samplesChosen = true;
  samples.lastFolder = QStringLiteral("/srv/elsewhere");
  dialogs.QueueResult(samples);
  dialogs.QueueResult(Chosen(QStringLiteral("/usr/share/zephorin/Samples/tree.jpg"), ""));
  EXPECT_EQ(ChoosePictureFile(path, QString()), 1);
  EXPECT_EQ(path, QStringLiteral("/usr/share/zephorin/Samples/tree.jpg"));
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_TRUE(dialogs.requests()[0].samplesButton);
  EXPECT_EQ(dialogs.requests()[1].initialFolder, g_samplesFolder);
  EXPECT_FALSE(dialogs.requests()[1].samplesButton);
  EXPECT_EQ(g_lastPictureFolder, QStringLiteral("/srv/elsewhere"));

  // Cancelling the samples dialog leaves the path alone.
  dialogs.Clear();
  dialogs.QueueResult(samples);
  EXPECT_EQ(ChoosePictureFile(path, QString()), 0);
  EXPECT_EQ(path, QStringLiteral("/usr/share/zephorin/Samples/tree.jpg"));
}

TEST(PictureClipboard, OnlyAPictureWithAHeightCounts) {
  zeph::CStandInDesktop& desktop = zeph::StandInDesktop();
  desktop.Reset();
  EXPECT_EQ(ClipboardHasPicture(), 0);
  desktop.SetClipboardPicture(true, {40, 0});
  EXPECT_EQ(ClipboardHasPicture(), 0);
  desktop.SetClipboardPicture(true, {40, 30});
  EXPECT_EQ(ClipboardHasPicture(), 1);
  desktop.Reset();
}

}  // namespace
