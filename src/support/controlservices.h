#pragma once
// What the support library needs from the program's own controls, which are built later: the
// colours of the start screen's button schemes that a palette screen must reserve, and the
// word-wrapping text layout. The controls register their implementations at start-up; until
// then, and in tests, a stand-in that knows nothing answers (no scheme colours, no text).
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/drawcontext.h"
#include "support/uirect.h"

struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// A logical palette: the colours the program asks a palette screen to reserve.
struct CLogicalPalette {
  std::uint16_t version = 0x300;
  std::vector<PaletteEntry> entries;
};

class IColourSchemePalette {
 public:
  virtual ~IColourSchemePalette() = default;
  // The number of entries reserved after the colour table's 45 for the schemes in use.
  virtual int GetSchemePaletteEntryCount() const = 0;
  // Writes the schemes' colours into the palette's entries from first on, never past its
  // entry count; the last index written.
  virtual int AddSchemeColoursToPalette(CLogicalPalette& palette, int first) = 0;
};

class ITextLayout {
 public:
  virtual ~ITextLayout() = default;
  // Lays text out word-wrapped within rect (right and bottom inside) and, when it fits, moves
  // it down by half the free height, then draws it in the context's current colours.
  // alignment: 0 left, 1 centred, 2 right.
  virtual void LayOutTextCentred(zeph::CDrawContext& dc, UiRect& rect, const QString& text,
                                 int alignment, int breakLongWords, int wrapAtSpaces) = 0;
};

// The registered services, or the stand-ins.
IColourSchemePalette& GetColourSchemePalette();
ITextLayout& GetTextLayout();
// Registers a service (not owned); null restores the stand-in.
void SetColourSchemePalette(IColourSchemePalette* palette);
void SetTextLayout(ITextLayout* layout);
