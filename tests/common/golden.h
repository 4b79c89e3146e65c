#pragma once
// Golden files: what a test makes, compared byte for byte with the file kept under
// tests/data/golden. A test that changes on purpose what it makes writes its goldens afresh
// with ZEPH_WRITE_GOLDEN=1 in the environment (then every comparison passes and the files
// are replaced); the difference is then reviewed like any other change.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <functional>

class CZephDoc;

namespace zeph::testing {

// The golden file name under the folder folder of tests/data/golden, against made: the same
// bytes, or a failure naming the first line that differs.
::testing::AssertionResult MatchesGolden(const QString& folder, const QString& name,
                                         const QByteArray& made);

// The drawing as the file writer writes it (no backup made, the document's changed flag and
// the file status left as they were).
QByteArray DrawingBytes(CZephDoc& doc);

// The drawing and its whole undo history against the goldens of folder: the drawing as it
// stands ("drawing.zpd"), then after each Undo that undo takes away, newest first
// ("undoN.zpd"), with the journal's size and record count after each ("journal.txt"); then
// every step redone, which must give the drawing as it stood. undo and redo are the
// program's own commands.
void CheckUndoHistory(const QString& folder, CZephDoc& doc, const std::function<void()>& undo,
                      const std::function<void()>& redo);

}  // namespace zeph::testing
