#pragma once
// The program's string table: the words of every message, prompt and button caption the
// program shows by number. The support library carries the texts its own layers need built in;
// this table holds the rest, and start-up registers it, so the two together answer every id.
#include <QString>

// The text of id in the program's own table; empty for an id the table does not hold.
QString LoadApplicationString(int id);
// Registers the table as the program's string table (start-up does this).
void InstallProgramStrings();
