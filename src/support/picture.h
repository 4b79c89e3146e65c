#pragma once
// The program's picture: one raster or vector picture loaded from a file or from bytes in
// memory, drawn into a rectangle with one of twelve fit modes, optionally through a bitmap
// kept at the size last drawn so that repainting at an unchanged size is a single copy. When
// loading fails the picture keeps a state whose message can be drawn in its place. Also the
// picture-file chooser and the clipboard test made before pasting a picture.
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/drawcontext.h"
#include "platform/picturecodec.h"

// Picture states.
inline constexpr int kImageLoaded = 0;
inline constexpr int kImageNotOpened = 1;
inline constexpr int kImageMissingFromMemory = 2;
inline constexpr int kImageNotChosen = 3;
inline constexpr int kImageFormatUnknown = 4;
inline constexpr int kImageFileNotFound = 5;
inline constexpr int kImageOtherError = 6;

// Fit modes of CImage::Draw:
// 0  the whole picture, proportions kept, as large as fits, at the rectangle's top-left
//    (centred in the spare direction when drawn through the cache);
// 1  as 0, centred in the spare direction;
// 2  the whole picture stretched to the rectangle;
// 3..11 the rectangle filled, proportions kept, the overflow cut off; the part kept is at the
//    top (3, 4, 5), middle (6, 7, 8) or bottom (9, 10, 11) of a relatively taller picture and
//    at the left (3, 6, 9), centre (4, 7, 10) or right (5, 8, 11) of a relatively wider one.
inline constexpr int kFitWhole = 0;
inline constexpr int kFitWholeCentred = 1;
inline constexpr int kFitStretch = 2;
inline constexpr int kFitCropTopLeft = 3;
inline constexpr int kFitCropCentre = 7;
inline constexpr int kFitCropBottomLeft = 9;
inline constexpr int kFitCropBottomRight = 11;

class CImage {
 public:
  CImage();
  virtual ~CImage();
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // Frees the picture and its cached bitmap, then takes state.
  void Release(int state);
  // An empty path: kImageNotChosen. A failure leaves the picture released in the state that
  // names it.
  void LoadFromFile(const QString& path);
  // A raster picture, or else a vector picture, from the bytes, which are not kept; a failure
  // leaves the picture released in kImageMissingFromMemory.
  void LoadFromMemory(const void* bytes, unsigned size);

  int IsOk() const { return m_state == kImageLoaded ? 1 : 0; }
  int GetState() const { return m_state; }
  // The picture's size in pixels; 0 without a picture.
  int GetWidth() const;
  int GetHeight() const;
  std::int32_t GetSerialNumber() const { return m_serialNumber; }

  // Draws the picture into rect (right and bottom outside) fitted by fitMode, through the
  // cached bitmap when useCache is set; 1 when drawn.
  int Draw(zeph::CDrawContext* dc, const zeph::DcRect& rect, int fitMode, int useCache);
  // Renders the cached bitmap for a width x height rectangle and fitMode; 1 on success.
  int BuildCachedBitmap(zeph::CDrawContext* dc, int width, int height, int fitMode);
  // The size and mode the cached bitmap was made for; 0 without one.
  int GetCachedWidth() const { return m_cachedWidth; }
  int GetCachedHeight() const { return m_cachedHeight; }
  int GetCachedFitMode() const { return m_cachedFitMode; }

  // White, with the state's message in red word-wrapped and centred inside.
  void DrawErrorFrame(zeph::CDrawContext* dc, const zeph::DcRect& rect) const;
  QString GetStateMessage() const;

 private:
  std::int32_t m_state = kImageNotOpened;
  std::unique_ptr<zeph::CPictureSource> m_picture;
  std::unique_ptr<zeph::CPictureBitmap> m_cachedBitmap;
  std::int32_t m_cachedWidth = 0;
  std::int32_t m_cachedHeight = 0;
  std::int32_t m_cachedFitMode = -1;
  std::int32_t m_serialNumber = 0;
};

// The next serial number a new CImage takes.
extern std::int32_t g_imageSerialCounter;
// The folder the picture-file chooser showed last.
extern QString g_lastPictureFolder;

// The picture-file chooser, starting at path's folder (or, for an empty path, the folder
// shown last). 1 and path set when a file was chosen; otherwise 0 and path unchanged.
int ChoosePictureFile(QString& path, const QString& title);
// 1 when the clipboard holds a picture with a height.
int ClipboardHasPicture();

// Puts the serial counter and the chooser's folder back as at program start. For tests.
void ResetPictureState();
