#pragma once
// The prompt area's words, by their string-table ids: the prompts that guide each step of a
// tool and the action captions of the OK and Restart buttons. Every file of the editor names
// them from here.

// ---- Action captions (the OK button; 57 and 58 the Restart button) ----
inline constexpr int kActionCopy = 48;              // "Copy the selected items"
inline constexpr int kActionRotate = 49;            // "Rotate the selected items"
inline constexpr int kActionMoveItems = 50;         // "Move the selected items"
inline constexpr int kActionReflect = 51;           // "Reflect the selected items"
inline constexpr int kActionScale = 52;             // "Scale the selected items"
inline constexpr int kActionStretch = 53;           // "Stretch the selected items"
inline constexpr int kActionMovePoints = 54;        // "Move the selected points"
inline constexpr int kActionDelete = 55;            // "Delete the selected items"
inline constexpr int kActionTransfer = 56;          // "Transfer the selected items"
inline constexpr int kActionSelectNewItems = 57;    // "Select new items"
inline constexpr int kActionSelectNewPoints = 58;   // "Select new points"
inline constexpr int kActionDeleteObjects = 59;     // "Delete the selected objects"
inline constexpr int kActionRemoveProtection = 60;  // "Remove shape protection"

// ---- Prompts ----
inline constexpr int kPromptLineEnd = 128;
inline constexpr int kPromptCircleCentre = 129;
inline constexpr int kPromptCirclePoint = 130;
inline constexpr int kPromptPressDown = 131;  // "Press the left mouse button down."
inline constexpr int kPromptLineStart = 132;
inline constexpr int kPromptArcStart = 133;
inline constexpr int kPromptArcEnd = 134;
inline constexpr int kPromptArcThirdPoint = 135;
inline constexpr int kPromptCornerChoose = 136;
inline constexpr int kPromptCornerSize = 137;
inline constexpr int kPromptDimensionLine = 138;
inline constexpr int kPromptPlaceDimension = 139;
inline constexpr int kPromptTextStart = 140;
inline constexpr int kPromptTypeText = 141;  // "Type in the text and then press ENTER."
inline constexpr int kPromptEllipseAxis = 142;
inline constexpr int kPromptEllipseOtherAxis = 143;
inline constexpr int kPromptInsert = 144;
inline constexpr int kPromptDeleteRelease = 147;
inline constexpr int kPromptBreak = 148;
inline constexpr int kPromptOrigin = 149;
inline constexpr int kPromptChooseCopy = 150;
inline constexpr int kPromptCopyGrips = 151;
inline constexpr int kPromptCornerScanning = 152;
inline constexpr int kPromptCurveStart = 153;
inline constexpr int kPromptCurveEnd = 154;
inline constexpr int kPromptControlStart = 155;
inline constexpr int kPromptControlEnd = 156;
inline constexpr int kPromptRectangleCorner = 157;
inline constexpr int kPromptRectangleOtherCorner = 158;
inline constexpr int kPromptExtend = 159;
inline constexpr int kPromptChooseMove = 160;
inline constexpr int kPromptMoveGrips = 161;
inline constexpr int kPromptChooseRotate = 162;
inline constexpr int kPromptRotateCentre = 163;
inline constexpr int kPromptChooseScale = 164;
inline constexpr int kPromptScalePoint = 165;
inline constexpr int kPromptChooseReflect = 166;
inline constexpr int kPromptMirrorLine = 167;
inline constexpr int kPromptChooseStretch = 168;
inline constexpr int kPromptStretchLine = 169;
inline constexpr int kPromptChoosePoints = 170;
inline constexpr int kPromptMoveItem = 171;
inline constexpr int kPromptChooseRecolour = 172;
inline constexpr int kPromptShapeCorner = 173;
inline constexpr int kPromptArcCentre = 174;
inline constexpr int kPromptChooseHide = 192;
inline constexpr int kPromptIdentify = 193;
inline constexpr int kPromptName = 194;
inline constexpr int kPromptChooseTransfer = 195;
inline constexpr int kPromptChooseDeleteObjects = 196;
