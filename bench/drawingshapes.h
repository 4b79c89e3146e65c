#pragma once
// What the drawing benchmarks share: shapes in drawing units beside the items that draw them,
// the same shapes drawn by QPainter for comparison, the mapping that fits a 1920x1080 back
// buffer, the thread's processor time and a checksum of an image.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"

namespace bench {

inline constexpr int kWidth = 1920;
inline constexpr int kHeight = 1080;
inline constexpr int kUnitsPerPixel = 1000;  // the zoom at which the drawing fills the buffer
inline constexpr double kPi = 3.14159265358979323846;

enum class Kind { kLine, kArc, kCircle, kEllipse, kTurnedEllipse };

// One shape in drawing units (y upwards), kept beside its item so that QPainter can draw
// the same thing.
struct Shape {
  Kind kind = Kind::kLine;
  int pen = 1;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends
  int cx = 0, cy = 0, r = 0;           // arc, circle; ellipse centre
  double start = 0, sweep = 0;         // arc angles, radians counter-clockwise
  int a = 0, b = 0;                    // ellipse semi-axes
  double rotation = 0;                 // ellipse turn, radians
};

inline DrawItemPtr MakeItem(const Shape& s) {
  DrawItemPtr item;
  switch (s.kind) {
    case Kind::kLine:
      item = CreateItem(kItemLine);
      item->SetStart(s.x1, s.y1);
      item->SetEnd(s.x2, s.y2);
      item->SetLineStyle(kLineStyleUnbroken);
      break;
    case Kind::kArc: {
      item = CreateItem(kItemArc);
      const double e = s.start + s.sweep;
      item->SetStart(static_cast<int>(std::lround(s.cx + s.r * std::cos(s.start))),
                     static_cast<int>(std::lround(s.cy + s.r * std::sin(s.start))));
      item->SetEnd(static_cast<int>(std::lround(s.cx + s.r * std::cos(e))),
                   static_cast<int>(std::lround(s.cy + s.r * std::sin(e))));
      item->SetAngle(s.sweep);
      item->Recalculate();
      break;
    }
    case Kind::kCircle:
      item = CreateItem(kItemCircle);
      item->SetCentre(s.cx, s.cy);
      item->SetRadius(s.r);
      break;
    case Kind::kEllipse:
    case Kind::kTurnedEllipse:
      item = CreateItem(kItemEllipse);
      item->SetCentre(s.cx, s.cy);
      item->SetSemiAxes(s.a, s.b);
      item->SetRotation(s.rotation);
      break;
  }
  item->SetColour(static_cast<int>(s.pen * 0x101010));
  item->SetPenWidth(s.pen);
  return item;
}

// The mapping that shows the drawing from (originX, originY) at units per pixel.
inline CViewMapping FitMapping(int unitsPerPixel, int originX, int originY) {
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = unitsPerPixel;
  mapping.originX = originX;
  mapping.originY = originY;
  mapping.windowWidth = kWidth;
  mapping.windowHeight = kHeight;
  mapping.anchorY = kHeight;
  return mapping;
}

// The mapping at which the drawing fills the buffer.
inline CViewMapping FittingMapping() {
  return FitMapping(kUnitsPerPixel, 0, kHeight * kUnitsPerPixel);
}

inline double DevX(int x) { return static_cast<double>(x) / kUnitsPerPixel; }
inline double DevY(int y) { return kHeight - static_cast<double>(y) / kUnitsPerPixel; }

// The same shape as QPainter draws it, at the fitting zoom.
inline void DrawWithQt(QPainter& painter, const Shape& s) {
  QPen pen(QColor(s.pen * 16, s.pen * 16, s.pen * 16));
  pen.setWidth(s.pen);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  switch (s.kind) {
    case Kind::kLine:
      painter.drawLine(QPointF(DevX(s.x1), DevY(s.y1)), QPointF(DevX(s.x2), DevY(s.y2)));
      break;
    case Kind::kArc: {
      const double r = static_cast<double>(s.r) / kUnitsPerPixel;
      painter.drawArc(QRectF(DevX(s.cx) - r, DevY(s.cy) - r, 2 * r, 2 * r),
                      static_cast<int>(s.start * 180 / kPi * 16),
                      static_cast<int>(s.sweep * 180 / kPi * 16));
      break;
    }
    case Kind::kCircle: {
      const double r = static_cast<double>(s.r) / kUnitsPerPixel;
      painter.drawEllipse(QPointF(DevX(s.cx), DevY(s.cy)), r, r);
      break;
    }
    case Kind::kEllipse:
    case Kind::kTurnedEllipse: {
      const double a = static_cast<double>(s.a) / kUnitsPerPixel;
      const double b = static_cast<double>(s.b) / kUnitsPerPixel;
      if (s.rotation == 0.0) {
        painter.drawEllipse(QPointF(DevX(s.cx), DevY(s.cy)), a, b);
      } else {
        painter.save();
        painter.translate(DevX(s.cx), DevY(s.cy));
        painter.rotate(-s.rotation * 180 / kPi);
        painter.drawEllipse(QPointF(0, 0), a, b);
        painter.restore();
      }
      break;
    }
  }
}

// The thread's processor time in seconds: on a shared machine, time spent waiting for a
// processor would otherwise land on whichever side happened to be running.
inline double Now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A 32-bit checksum (FNV-1a) of the image's pixels: a change of any pixel of a drawing shows
// as a different number.
inline std::uint32_t ImageChecksum(const QImage& image) {
  std::uint32_t hash = 2166136261u;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      hash = (hash ^ row[x]) * 16777619u;
    }
  }
  return hash;
}

// "name=checksum" for a benchmark's label, where it shows in full.
inline std::string ChecksumText(const char* name, const QImage& image) {
  char text[48];
  std::snprintf(text, sizeof text, "%s=%08x", name, ImageChecksum(image));
  return text;
}

// The chosen items drawn through their Draw into a back buffer at the fitting zoom against
// the same shapes drawn by QPainter on the same image, the two in turn in every round
// ("ratio" = ours / Qt's), and the checksum of the items alone drawn on a white image.
inline void CompareWithQt(benchmark::State& state, const std::vector<Shape>& shapes,
                          const std::vector<DrawItemPtr>& items,
                          const std::vector<std::size_t>& chosen) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  zeph::CImageContext dc(image);
  const CViewMapping mapping = FittingMapping();
  for (std::size_t i : chosen) items[i]->Draw(&dc, &mapping, kDrawOwnColour, 0);
  state.SetLabel(ChecksumText("checksum", image));
  double ours = 0;
  double qt = 0;
  for (auto _ : state) {
    const auto t0 = Now();
    for (std::size_t i : chosen) items[i]->Draw(&dc, &mapping, kDrawOwnColour, 0);
    const auto t1 = Now();
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setBrush(Qt::NoBrush);
      for (std::size_t i : chosen) DrawWithQt(painter, shapes[i]);
    }
    const auto t2 = Now();
    ours += t1 - t0;
    qt += t2 - t1;
    benchmark::ClobberMemory();
  }
  const auto rounds = static_cast<double>(state.iterations());
  state.counters["items"] = static_cast<double>(chosen.size());
  state.counters["ours_ms"] = ours * 1000 / rounds;
  state.counters["qt_ms"] = qt * 1000 / rounds;
  state.counters["ratio"] = qt > 0 ? ours / qt : 0;
}

}  // namespace bench
