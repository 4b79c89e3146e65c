#pragma once
// Texts of the program's string table that the support library shows itself. The application
// registers the whole table at start-up (SetStringTable); until then, and in tests, the few
// texts below stand in, exactly as the table holds them.
#include <QString>

inline constexpr int kIdsNotEnoughMemory = 224;

// The text of a string-table id: the registered table's, else the built-in one; empty when
// neither has it.
QString LoadProgramString(int id);
