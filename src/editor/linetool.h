#pragma once
// The Line tool's constraints, apart from the window so that they can be checked alone.

// The direction of a line under the angle setting: with a valid angle step the nearest
// multiple of the step (a tie keeps the lower one; past the last multiple the choice is
// between it and a full turn, which is 0); otherwise the setting itself, a fixed direction.
double ConstrainLineAngle(double angle, double setting);

// The length that puts a line's end in the given direction on the cursor's vertical or
// horizontal line, whichever the direction crosses more steeply.
double ProjectLineLength(double angle, double dx, double dy);
