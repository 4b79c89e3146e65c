#include "support/picture.h"

#include <QByteArrayView>
#include <algorithm>
#include <new>

#include "platform/desktop.h"
#include "platform/filedialogs.h"
#include "platform/presenter.h"
#include "support/controlservices.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/textutil.h"

std::int32_t g_imageSerialCounter = 0;
QString g_lastPictureFolder;

namespace {

// Where a picture goes for a rectangle and a fit mode: the band of the picture shown, the
// size it is shown at, and its offset inside the rectangle when drawn directly.
struct Fit {
  zeph::DcRect band;
  int width = 0;
  int height = 0;
  int offsetX = 0;
  int offsetY = 0;
};

bool KeepsWholePicture(int fitMode) { return fitMode < kFitStretch || fitMode > 11; }

Fit FitPicture(int pictureWidth, int pictureHeight, int width, int height, int fitMode) {
  Fit fit;
  fit.band = {0, 0, pictureWidth, pictureHeight};
  fit.width = width;
  fit.height = height;
  if (pictureWidth == width && pictureHeight == height) return fit;
  const double sx = static_cast<double>(width) / pictureWidth;
  const double sy = static_cast<double>(height) / pictureHeight;
  if (fitMode == kFitStretch) return fit;
  if (KeepsWholePicture(fitMode)) {
    // A side rounded to nothing would hide the picture altogether.
    if (sx <= sy) {
      fit.height = std::max(1, RoundToInt(pictureHeight * sx));
    } else {
      fit.width = std::max(1, RoundToInt(pictureWidth * sy));
    }
    if (fitMode == kFitWholeCentred) {
      fit.offsetX = (width - fit.width) / 2;
      fit.offsetY = (height - fit.height) / 2;
    }
    return fit;
  }
  const int anchor = fitMode - kFitCropTopLeft;
  if (sx <= sy) {
    // Relatively wider: a band of the full height, anchored left, centre or right.
    const int bandWidth = std::clamp(RoundToInt(width / sy), 1, pictureWidth);
    const int rest = pictureWidth - bandWidth;
    const int left = anchor % 3 == 0 ? 0 : anchor % 3 == 1 ? rest / 2 : rest;
    fit.band = {left, 0, left + bandWidth, pictureHeight};
  } else {
    // Relatively taller: a band of the full width, anchored top, middle or bottom.
    const int bandHeight = std::clamp(RoundToInt(height / sx), 1, pictureHeight);
    const int rest = pictureHeight - bandHeight;
    const int top = anchor / 3 == 0 ? 0 : anchor / 3 == 1 ? rest / 2 : rest;
    fit.band = {0, top, pictureWidth, top + bandHeight};
  }
  return fit;
}

// What transparent parts of a picture show: the colour under drawings and controls.
zeph::ColourRef PictureBackground() { return g_backgroundColour; }

constexpr char16_t kPictureFilter[] =
    u" All graphics formats |*.bmp;*.emf;*.gif;*.jpg;*.jpe;*.png;*.tif;*.wmf;*.svg| Bitmap files "
    u"(*.bmp) |*.bmp| Graphics files (*.png) |*.png| Photo files (*.jpeg) |*.jpg;*.jpeg| TIFF "
    u"files (*.tif) |*.tif| Vector files (*.emf, *.wmf) |*.emf;*.wmf| CompuServe files (*.gif) "
    u"|*.gif| All files (*.*) |*.*||";

}  // namespace

CImage::CImage() : m_serialNumber(g_imageSerialCounter++) {}

CImage::~CImage() { Release(kImageNotOpened); }

void CImage::Release(int state) {
  m_picture.reset();
  m_cachedBitmap.reset();
  m_cachedWidth = 0;
  m_cachedHeight = 0;
  m_cachedFitMode = -1;
  m_state = state;
}

// Loading and caching record only their failures: pictures are loaded and drawn while
// painting.
void CImage::LoadFromFile(const QString& path) {
  Release(kImageNotOpened);
  if (path.isEmpty()) {
    m_state = kImageNotChosen;
    return;
  }
  int status = zeph::kPictureOk;
  try {
    m_picture = zeph::GetPictureCodec().LoadFile(path, status);
  } catch (const std::bad_alloc&) {
    m_picture.reset();
    status = zeph::kPictureOutOfMemory;
  }
  if (m_picture == nullptr) {
    LogAction(21503, 1, kLogMinorFailure);
    LogNumber(status);
    if (FileExists(path) == 0) {
      Release(kImageFileNotFound);
    } else if (status == zeph::kPictureUnknownFormat) {
      Release(kImageFormatUnknown);
    } else {
      Release(kImageOtherError);
    }
    return;
  }
  m_state = kImageLoaded;
}

void CImage::LoadFromMemory(const void* bytes, unsigned size) {
  Release(kImageNotOpened);
  int status = zeph::kPictureGenericError;
  if (bytes != nullptr || size == 0) {
    try {
      m_picture = zeph::GetPictureCodec().LoadBytes(
          QByteArrayView(static_cast<const char*>(bytes), static_cast<qsizetype>(size)), status);
    } catch (const std::bad_alloc&) {
      m_picture.reset();
      status = zeph::kPictureOutOfMemory;
    }
  }
  if (m_picture == nullptr) {
    LogAction(21504, 1, kLogMinorFailure);
    LogNumber(status);
    Release(kImageMissingFromMemory);
    return;
  }
  m_state = kImageLoaded;
}

int CImage::GetWidth() const { return m_picture != nullptr ? m_picture->Width() : 0; }

int CImage::GetHeight() const { return m_picture != nullptr ? m_picture->Height() : 0; }

int CImage::Draw(zeph::CDrawContext* dc, const zeph::DcRect& rect, int fitMode, int useCache) {
  if (dc == nullptr || m_picture == nullptr) return 0;
  const int pictureWidth = m_picture->Width();
  const int pictureHeight = m_picture->Height();
  if (pictureWidth <= 0 || pictureHeight <= 0) return 0;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return 0;
  const Fit fit = FitPicture(pictureWidth, pictureHeight, width, height, fitMode);

  if (useCache != 0) {
    // A bitmap made for another size or mode is never shown in place of this one.
    const bool fits = m_cachedBitmap != nullptr && m_cachedWidth == fit.width &&
                      m_cachedHeight == fit.height && m_cachedFitMode == fitMode;
    if (fits || BuildCachedBitmap(dc, width, height, fitMode) != 0) {
      int x = rect.left;
      int y = rect.top;
      if (KeepsWholePicture(fitMode)) {
        x += (width - m_cachedWidth) / 2;
        y += (height - m_cachedHeight) / 2;
      }
      return m_cachedBitmap->DrawTo(*dc, x, y) ? 1 : 0;
    }
  }

  std::unique_ptr<zeph::CPictureBitmap> bitmap;
  try {
    bitmap = m_picture->Render(fit.band, fit.width, fit.height, PictureBackground());
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (bitmap == nullptr) return 0;
  return bitmap->DrawTo(*dc, rect.left + fit.offsetX, rect.top + fit.offsetY) ? 1 : 0;
}

int CImage::BuildCachedBitmap(zeph::CDrawContext* dc, int width, int height, int fitMode) {
  m_cachedBitmap.reset();
  m_cachedWidth = 0;
  m_cachedHeight = 0;
  m_cachedFitMode = -1;
  if (m_picture == nullptr || m_picture->Width() <= 0 || m_picture->Height() <= 0 ||
      dc == nullptr) {
    LogAction(21502, 1, kLogMinorFailure);
    return 0;
  }
  const Fit fit = FitPicture(m_picture->Width(), m_picture->Height(), width, height, fitMode);
  try {
    m_cachedBitmap = m_picture->Render(fit.band, fit.width, fit.height, PictureBackground());
  } catch (const std::bad_alloc&) {
    m_cachedBitmap.reset();
  }
  if (m_cachedBitmap == nullptr) {
    LogAction(21502, 50, kLogMinorFailure);
    return 0;
  }
  m_cachedWidth = fit.width;
  m_cachedHeight = fit.height;
  m_cachedFitMode = fitMode;
  return 1;
}

void CImage::DrawErrorFrame(zeph::CDrawContext* dc, const zeph::DcRect& rect) const {
  if (dc == nullptr) return;
  dc->FillRect(rect, UiColour(kUiWhite));
  const zeph::ColourRef oldText = dc->SetTextColour(UiColour(kUiRed));
  const zeph::ColourRef oldBk = dc->SetBkColour(UiColour(kUiWhite));
  // The layout takes right and bottom as inside the rectangle.
  UiRect inside{rect.left + 10, rect.top + 4, rect.right - 10 - 1, rect.bottom - 4 - 1};
  GetTextLayout().LayOutTextCentred(*dc, inside, GetStateMessage(), 1, 1, 1);
  dc->SetBkColour(oldBk);
  dc->SetTextColour(oldText);
}

QString CImage::GetStateMessage() const {
  switch (m_state) {
    case kImageLoaded:
      return QString();
    case kImageNotOpened:
      return QStringLiteral("The picture has not been opened.");
    case kImageMissingFromMemory:
      return QStringLiteral("Picture missing from tree file.");
    case kImageNotChosen:
      return QStringLiteral("The picture has not been chosen.");
    case kImageFormatUnknown:
      return QStringLiteral("The format of this file is not recognised.");
    case kImageFileNotFound:
      return QStringLiteral("The file cannot be found.");
    default:
      return QStringLiteral("Error when showing a picture");
  }
}

int ChoosePictureFile(QString& path, const QString& title) {
  LogScope trace(28002);
  // Stored paths may carry either separator.
  const int cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  QString folder;
  QString name = path;
  if (cut >= 0) {
    folder = cut == 0 ? path.left(1) : path.left(cut);
    name = path.mid(cut + 1);
  }
  TrimText(name);
  QString currentFolder;
  GetCurrentFolderOfDrive(0, currentFolder);

  zeph::FileDialogRequest request;
  request.open = true;
  request.defaultExtension = QStringLiteral("jpg");
  request.fileName = name;
  request.flags = zeph::kOfnHideReadOnly | zeph::kOfnFileMustExist;
  request.filter = QString::fromUtf16(kPictureFilter);
  request.title = title;
  if (!folder.isEmpty()) {
    request.initialFolder = folder;
  } else if (name.isEmpty() && !g_lastPictureFolder.isEmpty()) {
    request.initialFolder = g_lastPictureFolder;
  } else {
    request.initialFolder = currentFolder;
  }
  request.samplesButton = !g_samplesFolder.isEmpty();

  zeph::IFileDialogs& dialogs = zeph::GetFileDialogs();
  const zeph::FileDialogResult first = dialogs.ShowFileDialog(request);
  g_lastPictureFolder = first.lastFolder;
  QString chosen;
  bool wasChosen = false;
  if (first.answer == zeph::kIdOk) {
    chosen = first.path;
    wasChosen = true;
  } else if (first.samplesChosen) {
    request.initialFolder = g_samplesFolder;
    request.samplesButton = false;
    const zeph::FileDialogResult samples = dialogs.ShowFileDialog(request);
    if (samples.answer == zeph::kIdOk) {
      chosen = samples.path;
      wasChosen = true;
    }
  }

  if (SetCurrentFolder(currentFolder) == 0) {
    SetGlitchMessage(currentFolder);
    ReportGlitch(28002, 1);
  }
  if (!wasChosen) return trace.Return(0);
  TrimText(chosen);
  path = chosen;
  return trace.Return(1);
}

int ClipboardHasPicture() {
  zeph::DcSize size;
  if (!zeph::GetDesktop().GetClipboardPictureSize(size)) return 0;
  return size.cy != 0 ? 1 : 0;
}

void ResetPictureState() {
  g_imageSerialCounter = 0;
  g_lastPictureFolder.clear();
}
