#pragma once
// Texts of the program's string table that the support library shows itself. The application
// registers the whole table at start-up (SetStringTable); until then, and in tests, the few
// texts below stand in, exactly as the table holds them.
#include <QString>

inline constexpr int kIdsNotEnoughMemory = 224;
// The warnings of the dialogs' number boxes.
inline constexpr int kIdsPleaseTypeNumber = 16;
inline constexpr int kIdsPleaseTypePositive = 18;
inline constexpr int kIdsPleaseTypeSmallWhole = 19;
inline constexpr int kIdsPleaseTypeNonZero = 35;

// The text of a string-table id: the registered table's, else the built-in one; empty when
// neither has it.
QString LoadProgramString(int id);
