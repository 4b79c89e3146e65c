#pragma once
// The colours of the palette, the flyout list and the values bar: the system's button face,
// a lighter shade of it for a hovered button and a darker one for a pressed button, and the
// system's button shadow. The start screen's colour set-up sets them once a run; until then
// they hold what it would make of a light grey face.
#include "platform/drawcontext.h"

extern zeph::ColourRef g_buttonFaceColour;
extern zeph::ColourRef g_buttonShadowColour;
extern zeph::ColourRef g_buttonHoverColour;
extern zeph::ColourRef g_buttonPressedColour;

// Face and shadow as given, hover and pressed made from the face.
void SetUpButtonColours(zeph::ColourRef face, zeph::ColourRef shadow);
// Back to the start values. For tests.
void ResetButtonColours();
