// The pixels of wide lines, ellipses, arcs and both curve plotters, drawn into the back buffer
// for thousands of random shapes (clipped or not, tiny and huge, copied and exclusive-or'ed,
// with the window origin moved), must stay exactly as they were recorded: a checksum of each
// picture is kept in tests/data/pixel_hashes.txt. Faster rasterisers must not move a pixel.
//
// To record the file again after an intended change of the pictures, run this program with
// ZEPH_RECORD_PIXEL_HASHES set to the file to write.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "items/arcraster.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"

namespace {

using zeph::CImageContext;
using zeph::DcPoint;

constexpr int kWidth = 96;
constexpr int kHeight = 72;
constexpr int kCasesPerGroup = 800;
constexpr double kPi = 3.14159265358979323846;

// Random choices that do not depend on the standard library's distributions.
class CChooser {
 public:
  explicit CChooser(std::uint32_t seed) : m_random(seed) {}
  // lo..hi, both included.
  std::int64_t Int(std::int64_t lo, std::int64_t hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    const std::uint64_t r = (static_cast<std::uint64_t>(m_random()) << 32) | m_random();
    return lo + static_cast<std::int64_t>(r % span);
  }
  bool OneIn(int n) { return Int(1, n) == 1; }
  double Angle() { return static_cast<double>(Int(0, 359999)) * kPi / 180000; }
  // A coordinate near the picture, sometimes far from it.
  int Coord(int extent) {
    if (OneIn(16)) return static_cast<int>(Int(-2000000000, 2000000000));
    if (OneIn(10)) return static_cast<int>(Int(-5000, 5000));
    return static_cast<int>(Int(-8, extent + 8));
  }
  // A size up to usual, often tiny, sometimes huge.
  int Size(int usual) {
    if (OneIn(5)) return static_cast<int>(Int(0, 4));
    if (OneIn(12)) return static_cast<int>(Int(200, 999998));
    return static_cast<int>(Int(0, usual));
  }
  zeph::ColourRef Colour() { return static_cast<zeph::ColourRef>(Int(0, 0xFFFFFF)); }

 private:
  std::mt19937 m_random;
};

QImage Background() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      row[x] = 0xFF000000u | ((static_cast<std::uint32_t>(x * 37 + y * 101) * 2654435761u) >> 8);
    }
  }
  return image;
}

std::uint32_t HashOf(const QImage& image) {
  std::uint32_t hash = 2166136261u;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) hash = (hash ^ (row[x] & 0xFFFFFFu)) * 16777619u;
  }
  return hash;
}

// The context's state that every group varies: origin, clip and raster operation.
void SetUpContext(CImageContext& dc, CChooser& choose) {
  if (choose.OneIn(4)) {
    dc.SetWindowOrigin(
        {static_cast<int>(choose.Int(-12, 12)), static_cast<int>(choose.Int(-12, 12))});
  }
  if (choose.OneIn(4)) {
    const int left = static_cast<int>(choose.Int(-10, 40));
    const int top = static_cast<int>(choose.Int(-10, 30));
    dc.SetClipRect({left, top, left + static_cast<int>(choose.Int(0, 90)),
                    top + static_cast<int>(choose.Int(0, 70))});
  }
  if (choose.OneIn(3)) dc.SetRasterOp(zeph::RasterOp::kXor);
}

zeph::DcPen PenOf(CChooser& choose, int widest) {
  zeph::DcPen pen;
  pen.width = static_cast<int>(choose.OneIn(6) ? choose.Int(0, 1) : choose.Int(2, widest));
  pen.style = choose.OneIn(4) ? zeph::PenStyle::kGeometricFlat : zeph::PenStyle::kSolid;
  pen.colour = choose.Colour();
  return pen;
}

void DrawWideLine(CImageContext& dc, CChooser& choose) {
  const zeph::DcPen pen = PenOf(choose, choose.OneIn(4) ? 24 : 5);
  const int x1 = choose.Coord(kWidth);
  const int y1 = choose.Coord(kHeight);
  int x2 = choose.Coord(kWidth);
  int y2 = choose.Coord(kHeight);
  if (choose.OneIn(10)) {
    x2 = x1 + static_cast<int>(choose.Int(-1, 1));
    y2 = y1 + static_cast<int>(choose.Int(-1, 1));
  }
  if (choose.OneIn(2)) {
    dc.DrawLineWithEnd(pen, x1, y1, x2, y2);
  } else {
    dc.SelectPen(pen);
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
  }
}

// A box of the given sizes somewhere near the picture; a huge one passes through it.
void BoxOf(CChooser& choose, int& left, int& top, int& right, int& bottom) {
  const int w = choose.Size(120);
  const int h = choose.OneIn(3) ? w : choose.Size(120);
  left = w > 1000 && choose.OneIn(2)
             ? static_cast<int>(choose.Int(-w, 0)) + kWidth / 2
             : static_cast<int>(choose.Int(-w / 2 - 10, kWidth - w / 2 + 10));
  top = h > 1000 && choose.OneIn(2)
            ? static_cast<int>(choose.Int(-h, 0)) + kHeight / 2
            : static_cast<int>(choose.Int(-h / 2 - 10, kHeight - h / 2 + 10));
  right = left + w;
  bottom = top + h;
  if (choose.OneIn(8)) std::swap(left, right);
  if (choose.OneIn(8)) std::swap(top, bottom);
}

void DrawEllipse(CImageContext& dc, CChooser& choose) {
  int left = 0, top = 0, right = 0, bottom = 0;
  BoxOf(choose, left, top, right, bottom);
  dc.SelectPen(PenOf(choose, choose.OneIn(4) ? 30 : 5));
  dc.SelectBrush(
      {choose.OneIn(3) ? zeph::BrushStyle::kSolid : zeph::BrushStyle::kNull, choose.Colour()});
  dc.Ellipse(left, top, right, bottom);
}

void DrawArc(CImageContext& dc, CChooser& choose) {
  int left = 0, top = 0, right = 0, bottom = 0;
  BoxOf(choose, left, top, right, bottom);
  dc.SelectPen(PenOf(choose, choose.OneIn(4) ? 30 : 5));
  const int cx = left / 2 + right / 2;
  const int cy = top / 2 + bottom / 2;
  auto end = [&](int& x, int& y) {
    if (choose.OneIn(3)) {
      x = static_cast<int>(choose.Int(-40, kWidth + 40));
      y = static_cast<int>(choose.Int(-40, kHeight + 40));
      return;
    }
    const double t = choose.Angle();
    x = cx + static_cast<int>(std::lround(std::cos(t) * 1000));
    y = cy - static_cast<int>(std::lround(std::sin(t) * 1000));
  };
  int sx = 0, sy = 0, ex = 0, ey = 0;
  end(sx, sy);
  end(ex, ey);
  if (choose.OneIn(10)) {
    ex = sx;
    ey = sy;
  }
  dc.Arc(left, top, right, bottom, sx, sy, ex, ey);
}

// A point of the ellipse with radii rx, ry about the centre, or near it.
DcPoint OnEllipse(CChooser& choose, std::int64_t rx, std::int64_t ry) {
  if (choose.OneIn(8)) {  // on an axis
    switch (choose.Int(0, 3)) {
      case 0:
        return {static_cast<int>(rx), 0};
      case 1:
        return {0, static_cast<int>(-ry)};
      case 2:
        return {static_cast<int>(-rx), 0};
      default:
        return {0, static_cast<int>(ry)};
    }
  }
  const double t = choose.Angle();
  const int jitter = choose.OneIn(4) ? static_cast<int>(choose.Int(-2, 2)) : 0;
  return {static_cast<int>(std::lround(static_cast<double>(rx) * std::cos(t))) + jitter,
          static_cast<int>(std::lround(-static_cast<double>(ry) * std::sin(t)))};
}

int PlotterPen(CChooser& choose) {
  if (choose.OneIn(20)) return static_cast<int>(choose.Int(-1, 300));
  return static_cast<int>(choose.OneIn(4) ? choose.Int(1, 12) : choose.Int(1, 4));
}

// A centre near the picture, or one from which a huge curve passes through it.
DcPoint CentreFor(CChooser& choose, int rx, int ry) {
  if ((rx > 1000 || ry > 1000) && choose.OneIn(2)) {
    const double t = choose.Angle();
    return {kWidth / 2 - static_cast<int>(std::lround(rx * std::cos(t))),
            kHeight / 2 + static_cast<int>(std::lround(ry * std::sin(t)))};
  }
  if (choose.OneIn(20)) return {static_cast<int>(choose.Int(-1000001, 1000001)), kHeight / 2};
  return {static_cast<int>(choose.Int(0, kWidth)), static_cast<int>(choose.Int(0, kHeight))};
}

void DrawWithArcPlotter(CImageContext& dc, CChooser& choose) {
  const int rx = choose.Size(60);
  const int ry = choose.OneIn(2) ? rx : choose.Size(60);
  const DcPoint c = CentreFor(choose, rx, ry);
  DcPoint s = OnEllipse(choose, rx, ry);
  DcPoint e = OnEllipse(choose, rx, ry);
  if (choose.OneIn(12)) e = s;
  CArcPlotter plotter;
  plotter.SetPenWidth(PlotterPen(choose));
  plotter.Draw(dc, c.x, c.y, rx, ry, c.x + s.x, c.y + s.y, c.x + e.x, c.y + e.y, choose.Colour());
}

void DrawWithEllipsePlotter(CImageContext& dc, CChooser& choose) {
  const int a = choose.Size(60);
  const int b = choose.OneIn(3) ? a : choose.Size(60);
  const DcPoint c = CentreFor(choose, a, b);
  int ux = 0, uy = 0, vx = 0, vy = 0;
  if (choose.OneIn(10)) {  // any two half-axes
    ux = static_cast<int>(choose.Int(-200, 200));
    uy = static_cast<int>(choose.Int(-200, 200));
    vx = static_cast<int>(choose.Int(-200, 200));
    vy = static_cast<int>(choose.Int(-200, 200));
  } else {
    const double t =
        choose.OneIn(6) ? kPi / 2 * static_cast<double>(choose.Int(0, 3)) : choose.Angle();
    ux = static_cast<int>(std::lround(a * std::cos(t)));
    uy = static_cast<int>(std::lround(a * std::sin(t)));
    vx = static_cast<int>(std::lround(-b * std::sin(t)));
    vy = static_cast<int>(std::lround(b * std::cos(t)));
  }
  CEllipsePlotter plotter;
  plotter.SetPenWidth(PlotterPen(choose));
  if (choose.OneIn(2)) {
    DcPoint s = OnEllipse(choose, a, b);
    DcPoint e = OnEllipse(choose, a, b);
    if (choose.OneIn(12)) e = s;
    plotter.SetArcEnds(s.x, s.y, e.x, e.y);
  }
  plotter.Draw(dc, c.x, c.y, ux, uy, vx, vy, choose.Colour());
}

void DrawCurveOrPolygon(CImageContext& dc, CChooser& choose) {
  dc.SelectPen(PenOf(choose, 9));
  dc.SelectBrush(
      {choose.OneIn(2) ? zeph::BrushStyle::kSolid : zeph::BrushStyle::kNull, choose.Colour()});
  std::vector<DcPoint> points;
  const int count = choose.OneIn(2) ? 4 : static_cast<int>(choose.Int(2, 7));
  for (int i = 0; i < count; ++i) {
    points.push_back({static_cast<int>(choose.Int(-20, kWidth + 20)),
                      static_cast<int>(choose.Int(-20, kHeight + 20))});
  }
  if (count == 4 && choose.OneIn(2)) {
    dc.PolyBezier({points[0], points[1], points[2], points[3]});
  } else {
    dc.Polygon(points);
  }
}

struct Group {
  const char* name;
  std::function<void(CImageContext&, CChooser&)> draw;
};

const Group kGroups[] = {
    {"wide-lines", DrawWideLine},
    {"ellipses", DrawEllipse},
    {"ellipse-arcs", DrawArc},
    {"arc-plotter", DrawWithArcPlotter},
    {"ellipse-plotter", DrawWithEllipsePlotter},
    {"curves-polygons", DrawCurveOrPolygon},
};

// Each case's picture checksum, by "group index".
std::map<std::string, std::uint32_t> DrawEveryCase() {
  std::map<std::string, std::uint32_t> hashes;
  const QImage background = Background();
  for (std::size_t g = 0; g < std::size(kGroups); ++g) {
    for (int i = 0; i < kCasesPerGroup; ++i) {
      CChooser choose(static_cast<std::uint32_t>(g * 100000 + static_cast<std::size_t>(i)));
      QImage image = background;
      CImageContext dc(image);
      SetUpContext(dc, choose);
      kGroups[g].draw(dc, choose);
      hashes[std::string(kGroups[g].name) + " " + std::to_string(i)] = HashOf(image);
    }
  }
  return hashes;
}

TEST(PixelHashes, EveryShapeDrawsTheRecordedPixels) {
  ResetLogState();
  const std::map<std::string, std::uint32_t> hashes = DrawEveryCase();
  ResetLogState();
  const QByteArray record = qgetenv("ZEPH_RECORD_PIXEL_HASHES");
  if (!record.isEmpty()) {
    QFile file(QString::fromLocal8Bit(record));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
    QTextStream out(&file);
    for (const auto& [name, hash] : hashes) {
      out << QString::fromStdString(name) << ' ' << QString::number(hash, 16) << '\n';
    }
    GTEST_SKIP() << "recorded " << hashes.size() << " checksums";
  }
  QFile file(QStringLiteral(ZEPH_TEST_DATA_DIR "/pixel_hashes.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
  std::map<std::string, std::uint32_t> recorded;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QStringList parts = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3) continue;
    recorded[(parts[0] + QLatin1Char(' ') + parts[1]).toStdString()] = parts[2].toUInt(nullptr, 16);
  }
  ASSERT_EQ(recorded.size(), hashes.size());
  int changed = 0;
  for (const auto& [name, hash] : hashes) {
    const auto it = recorded.find(name);
    ASSERT_NE(it, recorded.end()) << name;
    if (it->second != hash && ++changed <= 20)
      ADD_FAILURE() << "the picture of " << name << " changed";
  }
  EXPECT_EQ(changed, 0);
}

}  // namespace
