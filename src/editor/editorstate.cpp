#include "editor/editorstate.h"

#include "items/geometry.h"
#include "support/screen.h"

std::int32_t g_currentTool = -1;
std::int32_t g_snapMode = kSnapNone;
std::int32_t g_toolState = 0;
std::int32_t g_currentSubMode = -1;
std::int32_t g_toolSubMode = 0;
std::int32_t g_shapeSubMode = 0;
std::int32_t g_cornerSubMode = 0;
std::int32_t g_objectSubMode = 0;
std::int32_t g_copyPlacing = 0;
std::int32_t g_moveDragging = 0;
DrawingPoint g_lineStart;
std::int32_t g_lineStartSet = 0;
std::int32_t g_appActive = 0;
std::int32_t g_justActivated = 0;
std::int32_t g_mouseCaptured = 0;
std::int32_t g_systemKeyDown = 0;
std::int32_t g_drawingColour = 0;
std::int16_t g_currentObject = 0;
std::uint8_t g_lineStyle = 1;
double g_lineLength = 0.0;
std::int32_t g_lineLengthSet = 0;
double g_lineAngle = 0.0;
std::int32_t g_lineAngleSet = 0;
double g_copyDistance = 0.0;
std::int32_t g_copyDistanceSet = 0;
double g_copyAngle = 0.0;
std::int32_t g_copyAngleSet = 0;
double g_readoutLength = 0.0;
double g_readoutAngle = 0.0;
DrawingPoint g_readoutMove;
std::uint8_t g_arcPointChoice = 0;
std::uint16_t g_actionCount = 1;
std::array<std::int16_t, 4> g_toolActionCounts{};
std::int32_t g_keepOriginals = 0;
std::int32_t g_makeNewObject = 0;
std::int32_t g_copyOptionRead = 0;
std::int32_t g_transformOptionsRead = 0;
std::int32_t g_stretchWarningArmed = 0;
std::int32_t g_objectChosen = 0;
std::int32_t g_recolourCount = 0;
std::array<std::int32_t, 10> g_recolourColours{};
std::int32_t g_hiddenObjectsExist = 0;
std::int32_t g_showHiddenObjects = 0;
DrawingPoint g_readoutOrigin;
std::array<zeph::ColourRef, 45> g_overlayXorColours{};

void SetUpOverlayXorColours() {
  static_assert(std::tuple_size_v<decltype(g_overlayXorColours)> == kColourTableSize);
  const zeph::ColourRef background = g_backgroundColour & zeph::kColourMask;
  for (int i = 0; i < kColourTableSize; ++i) {
    g_overlayXorColours[static_cast<std::size_t>(i)] =
        (g_colourTable[static_cast<std::size_t>(i)] & zeph::kColourMask) ^ background;
  }
}

int GetToolSubMode(int tool) {
  switch (tool) {
    case kToolMove:
      return g_toolSubMode;
    case kToolShape:
      return g_shapeSubMode;
    case kToolCorner:
      return g_cornerSubMode;
    case kToolObject:
      return g_objectSubMode;
    default:
      return -1;
  }
}

void ResetEditorState() {
  g_currentTool = -1;
  g_snapMode = kSnapNone;
  g_toolState = 0;
  g_currentSubMode = -1;
  g_toolSubMode = 0;
  g_shapeSubMode = 0;
  g_cornerSubMode = 0;
  g_objectSubMode = 0;
  g_copyPlacing = 0;
  g_moveDragging = 0;
  g_lineStart = {};
  g_lineStartSet = 0;
  g_appActive = 0;
  g_justActivated = 0;
  g_mouseCaptured = 0;
  g_systemKeyDown = 0;
  g_drawingColour = 0;
  g_currentObject = 0;
  g_lineStyle = 1;
  g_lineLength = 0.0;
  g_lineLengthSet = 0;
  g_lineAngle = 0.0;
  g_lineAngleSet = 0;
  g_copyDistance = 0.0;
  g_copyDistanceSet = 0;
  g_copyAngle = 0.0;
  g_copyAngleSet = 0;
  g_readoutLength = 0.0;
  g_readoutAngle = 0.0;
  g_readoutMove = {};
  g_arcPointChoice = 0;
  g_actionCount = 1;
  g_toolActionCounts = {};
  g_keepOriginals = 0;
  g_makeNewObject = 0;
  g_copyOptionRead = 0;
  g_transformOptionsRead = 0;
  g_stretchWarningArmed = 0;
  g_objectChosen = 0;
  g_recolourCount = 0;
  g_recolourColours = {};
  g_hiddenObjectsExist = 0;
  g_showHiddenObjects = 0;
  g_readoutOrigin = {};
  SetUpOverlayXorColours();
}
