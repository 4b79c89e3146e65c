#pragma once
// Test helpers: a white canvas with a context on it, and the pixels that differ from white.
#include "platform/qt/imagecontext.h"

#include <QImage>
#include <compare>
#include <set>

namespace zeph::testing {

struct Pixel {
  int x = 0;
  int y = 0;
  friend auto operator<=>(const Pixel&, const Pixel&) = default;
};

using PixelSet = std::set<Pixel>;

inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kBlack = 0xFF000000u;

struct Canvas {
  explicit Canvas(int width = 120, int height = 90)
      : image(width, height, QImage::Format_RGB32), dc((image.fill(kWhite), image)) {}
  QImage image;
  CImageContext dc;
};

// The pixels whose colour is not background; with colour, only those of that colour.
inline PixelSet PixelsOf(const QImage& image, QRgb colour) {
  PixelSet set;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) set.insert({x, y});
    }
  }
  return set;
}

inline PixelSet PixelsNot(const QImage& image, QRgb background = kWhite) {
  PixelSet set;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) set.insert({x, y});
    }
  }
  return set;
}

// Whether the pixels form one group when neighbours (diagonals too) join.
inline bool IsConnected(const PixelSet& pixels) {
  if (pixels.empty()) return true;
  PixelSet seen;
  std::vector<Pixel> todo{*pixels.begin()};
  seen.insert(*pixels.begin());
  while (!todo.empty()) {
    const Pixel p = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const Pixel q{p.x + dx, p.y + dy};
        if (pixels.count(q) != 0 && seen.insert(q).second) todo.push_back(q);
      }
    }
  }
  return seen.size() == pixels.size();
}

struct Bounds {
  int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
};

inline Bounds BoundsOf(const PixelSet& pixels) {
  Bounds b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  for (const Pixel& p : pixels) {
    b.left = std::min(b.left, p.x);
    b.top = std::min(b.top, p.y);
    b.right = std::max(b.right, p.x);
    b.bottom = std::max(b.bottom, p.y);
  }
  return b;
}

// A picture of deterministic noise, so that exclusive-or drawing meets every kind of pixel.
inline void FillWithNoise(QImage& image) {
  std::uint32_t state = 12345;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      state = state * 1664525u + 1013904223u;
      image.setPixel(x, y, 0xFF000000u | (state >> 8));
    }
  }
}

}  // namespace zeph::testing
