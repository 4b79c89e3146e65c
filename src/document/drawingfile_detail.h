#pragma once
// What the drawing-file reader, writer and tables share among themselves.
#include <QString>

// Records the kind and count behind a kFileTooManyItems status.
void SetTooManyItems(int type, int count);
// A drawing-file message: the string table's text, else the built-in one.
QString DrawingFileMessage(int id);

// Log codes of the drawing files.
inline constexpr int kLogShowDrawingFileError = 1284;
inline constexpr int kLogReadDrawingFile = 1285;
inline constexpr int kLogMapLoadedObjectNumber = 1286;
inline constexpr int kLogWriteDrawingFile = 1287;
inline constexpr int kLogSaveDrawing = 1288;
inline constexpr int kLogReplaceDrawingFile = 1289;
// Glitches.
inline constexpr int kGlitchReadMode = 1285;
inline constexpr int kGlitchSaveException = 1288;
