#include "editor/buttoncolours.h"

#include "support/uiutil.h"

namespace {
constexpr zeph::ColourRef kStartFace = zeph::MakeColour(0xF0, 0xF0, 0xF0);
constexpr zeph::ColourRef kStartShadow = zeph::MakeColour(0xA0, 0xA0, 0xA0);
}  // namespace

zeph::ColourRef g_buttonFaceColour = kStartFace;
zeph::ColourRef g_buttonShadowColour = kStartShadow;
zeph::ColourRef g_buttonHoverColour = LightenColour(kStartFace, 0.4);
zeph::ColourRef g_buttonPressedColour = DarkenColour(kStartFace, 0.1);

void SetUpButtonColours(zeph::ColourRef face, zeph::ColourRef shadow) {
  g_buttonFaceColour = face;
  g_buttonShadowColour = shadow;
  g_buttonHoverColour = LightenColour(face, 0.4);
  g_buttonPressedColour = DarkenColour(face, 0.1);
}

void ResetButtonColours() { SetUpButtonColours(kStartFace, kStartShadow); }
