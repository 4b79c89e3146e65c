#pragma once
// What the rendering tests share: the white of an empty sheet, panels of one sheet seen at a
// zoom level, ink counts, the Qt application that fonts need, and the editing view and
// document that texts and dimensions measure and scale with.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

#include "items/itemdocument.h"
#include "items/itemservices.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/numbers.h"

inline constexpr QRgb kWhite = 0xFFFFFFFFu;

// One view of the sheet drawn on the image.
struct Panel {
  int zoomLevel;
  int left;  // device x of the panel's drawing origin
  int top;
};

inline CViewMapping MappingOf(const Panel& panel) {
  CViewMapping mapping;
  mapping.SetZoomLevel(panel.zoomLevel);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(panel.zoomLevel);
  mapping.originX = -panel.left * mapping.scaleX;
  mapping.originY = panel.top * mapping.scaleY;
  return mapping;
}

// Whether any pixel within `reach` of p has ink.
inline bool InkNear(const QImage& image, QPoint p, int reach) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint q(p.x() + dx, p.y() + dy);
      if (image.valid(q) && image.pixel(q) != kWhite) return true;
    }
  }
  return false;
}

inline int InkIn(const QImage& image, const QRect& rect) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (image.valid(x, y) && image.pixel(x, y) != kWhite) ++count;
    }
  }
  return count;
}

inline int InkIn(const QImage& image, int left, int top, int right, int bottom) {
  return InkIn(image, QRect(QPoint(left, top), QPoint(right, bottom)));
}

// Fonts need a Qt application; this program has none of its own, so a test makes one for as
// long as it draws (unless one exists already).
inline std::unique_ptr<QGuiApplication> MakeGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "items_render_tests";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

// Texts and dimensions measure with the editing view's context: here, with the machine's
// fonts on a scratch image, as on the screen.
class CImageView final : public IEditingView {
 public:
  CImageView() : m_image(8, 8, QImage::Format_RGB32), m_dc(m_image) {}
  zeph::CDrawContext* BorrowMeasuringContext() override { return &m_dc; }
  void ReleaseMeasuringContext(zeph::CDrawContext*) override {}

 private:
  QImage m_image;
  zeph::CImageContext m_dc;
};

// A document that records nothing; dimensions read the drawing's real-world scale from it.
class CPlainDocument final : public IItemDocument {
 public:
  explicit CPlainDocument(double realWorldScale) : m_realWorldScale(realWorldScale) {}
  std::int16_t RecordItemChange(UndoKind, CDrawItem*) override { return 0; }
  std::int16_t RecordItemMove(UndoKind, CDrawItem*, int, int) override { return 0; }
  int EnableUndo(int) override { return 0; }
  void MarkChanged() override {}
  void DropCachedIntersections(const CDrawItem*) override {}
  int FindCachedIntersections(const CDrawItem*, const CDrawItem*) override { return -1; }
  void CacheIntersections(int, const CDrawItem*, const CDrawItem*) override {}
  int MapGroupNumber(int group) override { return group; }
  int GetFillOrder(const CDrawItem*, int&, int&) const override { return 0; }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return 1.0; }
  double GetAutomaticPrintScale() const override { return 1.0; }
  double GetRealWorldScale() const override { return m_realWorldScale; }

 private:
  double m_realWorldScale;
};

inline CFontSpec Font(int points) {
  CFontSpec font;
  font.Set(QStringLiteral("Arial"), static_cast<std::int16_t>(points), false, false);
  return font;
}
