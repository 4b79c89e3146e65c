#include "support/controlservices.h"

namespace {

class CNoSchemePalette final : public IColourSchemePalette {
 public:
  int GetSchemePaletteEntryCount() const override { return 0; }
  int AddSchemeColoursToPalette(CLogicalPalette&, int first) override { return first - 1; }
};

class CNoTextLayout final : public ITextLayout {
 public:
  void LayOutTextCentred(zeph::CDrawContext&, UiRect&, const QString&, int, int, int) override {}
};

CNoSchemePalette g_noSchemePalette;
CNoTextLayout g_noTextLayout;
IColourSchemePalette* g_schemePalette = &g_noSchemePalette;
ITextLayout* g_textLayout = &g_noTextLayout;

}  // namespace

IColourSchemePalette& GetColourSchemePalette() { return *g_schemePalette; }
ITextLayout& GetTextLayout() { return *g_textLayout; }

void SetColourSchemePalette(IColourSchemePalette* palette) {
  g_schemePalette = palette != nullptr ? palette : &g_noSchemePalette;
}

void SetTextLayout(ITextLayout* layout) {
  g_textLayout = layout != nullptr ? layout : &g_noTextLayout;
}
