#pragma once
// The tool table: the 28 tools' names as the palette lists them, their shortcut letters, the
// sub-mode entries of the four tools with a flyout list and the help topic of each tool.
// Read-only program texts.
#include <QString>

// The shortcut letter of a tool (upper case), 0 for a number outside 0..27.
char16_t GetToolLetter(int tool);
// The palette name of a tool; empty for a number outside 0..27.
QString GetPaletteToolName(int tool);
// The help topic (an index into the help-topic table) that Help > Current tool shows.
int GetToolHelpTopic(int tool);
// Entries of the tool's flyout list: 3 for Shape, 2 for Corner, 6 for Move, 5 for Object and
// 0 for every other tool.
int GetToolFlyoutCount(int tool);
// Entry k of the tool's flyout list selects sub-mode k. The plain form is shown for the
// mouse; the numbered form ("1  Fillet") when the list was opened from the keyboard. Empty
// for an entry the tool does not have.
QString GetToolFlyoutText(int tool, int entry, int numbered);
