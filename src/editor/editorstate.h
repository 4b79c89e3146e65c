#pragma once
// The editor's program-wide state: the current tool and snap mode that the palette sets, the
// tool state and sub-modes of the tool at work, and the chaining point of the line tools. The
// editor, the editing view, the tool handlers and the document's host read them.
#include <array>
#include <cstdint>

#include "document/dochost.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"

// The 28 tools, in the palette's order. Hunt and Grid are switches of the snap mode and never
// become the current tool.
inline constexpr int kToolNewLine = 0;
inline constexpr int kToolLine = 1;
inline constexpr int kToolArc = 2;
inline constexpr int kToolCircle = 3;
inline constexpr int kToolEllipse = 4;
inline constexpr int kToolCurve = 5;
inline constexpr int kToolFill = 6;
inline constexpr int kToolText = 7;
inline constexpr int kToolShape = 8;
inline constexpr int kToolDimension = 9;
inline constexpr int kToolCorner = 10;
inline constexpr int kToolInsert = 11;
inline constexpr int kToolHunt = 12;
inline constexpr int kToolGrid = 13;
// 14 to 19 and 21 to 23 are named in document/dochost.h.
inline constexpr int kToolObject = 20;
inline constexpr int kToolColour = 24;
inline constexpr int kToolBreak = 25;
inline constexpr int kToolExtend = 26;
inline constexpr int kToolOrigin = 27;

// g_snapMode values.
inline constexpr int kSnapNone = 0;
inline constexpr int kSnapHunt = 1;
inline constexpr int kSnapGrid = 2;

// The tool in use, 0..27 (-1 before a drawing is first shown).
extern std::int32_t g_currentTool;
extern std::int32_t g_snapMode;
// The current tool's state, 0..10; what it means belongs to the tool.
extern std::int32_t g_toolState;

// The click step of a gesture: the point being placed (from 0) times three plus the phase of
// the mouse button for it. A handler learns from the step which point it is at and whether the
// button has just gone down, is held or has come up.
inline constexpr int kClickPhases = 3;
inline constexpr int kPhasePressed = 0;   // the button has just gone down
inline constexpr int kPhaseHeld = 1;      // down, the point following the cursor
inline constexpr int kPhaseReleased = 2;  // up again, the point placed
constexpr int ClickStepOf(int point, int phase) { return point * kClickPhases + phase; }
constexpr int ClickPointOf(int step) { return step / kClickPhases; }
constexpr int ClickPhaseOf(int step) { return step % kClickPhases; }

// The values of g_toolState, one table for every file that reads or sets it.
inline constexpr int kStateIdle = 0;
inline constexpr int kStateChoosing = 1;
inline constexpr int kStateValues = 2;
inline constexpr int kStateModifyWaiting = 3;
inline constexpr int kStateCurveHandles = 4;
inline constexpr int kStateControlPointDrag = 5;
inline constexpr int kStateDimensionPicked = 6;
inline constexpr int kStateDimensionDrag = 7;
inline constexpr int kStateObjectHide = 8;
inline constexpr int kStateObjectIdentify = 9;
inline constexpr int kStateObjectDelete = 10;
// The sub-mode shown in the flyout list, -1 when the tool has none.
extern std::int32_t g_currentSubMode;
// The sub-modes the tools remember between uses.
extern std::int32_t g_toolSubMode;    // Move: 0..5
// The Move tool's sub-modes, as its flyout list orders them.
inline constexpr int kMoveItem = 0;
inline constexpr int kMoveItems = 1;
inline constexpr int kMovePoint = 2;
inline constexpr int kMovePoints = 3;
inline constexpr int kDragOutLine = 4;
inline constexpr int kSplitPoint = 5;
extern std::int32_t g_shapeSubMode;   // Shape: 0 square, 1 rectangle, 2 regular polygon
extern std::int32_t g_cornerSubMode;  // Corner: 0 fillet, 1 chamfer
extern std::int32_t g_objectSubMode;  // Object: 0..4
// Copy is placing its copies (1) rather than having its items chosen (0).
extern std::int32_t g_copyPlacing;
// Move is dragging its items.
extern std::int32_t g_moveDragging;
// The chaining point of the line tools, valid while g_lineStartSet is non-zero.
extern DrawingPoint g_lineStart;
extern std::int32_t g_lineStartSet;

// The main window's state, kept by the main frame and read by the editor: the program is
// active, it was just activated by a click (that click only activates), the editing view or
// the editor holds the mouse capture, a system key is down.
extern std::int32_t g_appActive;
extern std::int32_t g_justActivated;
extern std::int32_t g_mouseCaptured;
extern std::int32_t g_systemKeyDown;

// The values bar's parameters for the next item; a value with a set flag counts only while
// the flag is 1.
extern std::int32_t g_drawingColour;
extern std::int16_t g_currentObject;
extern std::uint8_t g_lineStyle;  // 1..6
extern double g_lineLength;       // drawing units
extern std::int32_t g_lineLengthSet;
extern double g_lineAngle;  // radians: an angle step when valid as one, else a fixed direction
extern std::int32_t g_lineAngleSet;

// Copy with a fixed distance and angle repeats its copies along that offset.
extern double g_copyDistance;  // drawing units
extern std::int32_t g_copyDistanceSet;
extern double g_copyAngle;  // radians
extern std::int32_t g_copyAngleSet;

// The live read-outs of the gesture in progress.
extern double g_readoutLength;  // drawing units
extern double g_readoutAngle;   // radians
extern DrawingPoint g_readoutMove;
// The Arc tool's form: 1 centre first, otherwise three points.
extern std::uint8_t g_arcPointChoice;

// What the tools remember between uses in a run (kept with the values bar's parameters).
extern std::uint16_t g_actionCount;  // copies or repetitions of Copy and the transforms
// The remembered counts of Copy, Rotate, Enlarge and Stretch.
extern std::array<std::int16_t, 4> g_toolActionCounts;
extern std::int32_t g_keepOriginals;
extern std::int32_t g_makeNewObject;
// The Copy option, and the two transform options, have been read from the options this run.
extern std::int32_t g_copyOptionRead;
extern std::int32_t g_transformOptionsRead;
// The Stretch tool warns once that shapes cannot be stretched.
extern std::int32_t g_stretchWarningArmed;
// The Object tool: an object was chosen; the Object and Colour tools: items recoloured.
extern std::int32_t g_objectChosen;
extern std::int32_t g_recolourCount;
// The distinct colours of the items the Colour tool has chosen (g_recolourCount of them).
extern std::array<std::int32_t, 10> g_recolourColours;
// Items hidden by the Object tool exist; View > Hidden objects shows them.
extern std::int32_t g_hiddenObjectsExist;
extern std::int32_t g_showHiddenObjects;
// The point the coordinate read-outs are measured from (set by the Origin tool).
extern DrawingPoint g_readoutOrigin;

// The 45 exclusive-or colours of the overlays: drawn in exclusive-or over the background
// colour, entry i shows the colour table's entry i.
extern std::array<zeph::ColourRef, 45> g_overlayXorColours;
// Builds g_overlayXorColours from the colour table and the background colour.
void SetUpOverlayXorColours();

// The sub-mode of tool that the flyout list shows, -1 for a tool without sub-modes.
int GetToolSubMode(int tool);

// Back to the start values. For tests.
void ResetEditorState();
