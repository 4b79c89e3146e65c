#pragma once
// The first steps of the conversion of old hatches (CZephDoc::ConvertLegacySegments), on a
// plain array of legacy segment records, so that they can be checked on their own.
//
// Old files break long hatch lines into pieces. The merge joins a piece to the one that
// starts where it ends, pass after pass until nothing more joins; a large old file holds
// tens of thousands of pieces, so candidates are looked up by their object number, spacing
// and the cell of their start instead of comparing every pair.
#include <vector>

#include "items/legacysegment.h"

// How far apart the pieces of one hatch line may be.
inline constexpr int kLegacyMergeGap = 400;

// Direction (0..pi) and offset of every record, both ends open; a record without length is
// done at both ends, and kinds 3 and 4 become 4. True when any record is of kind 4.
bool PrepareLegacySegments(std::vector<CLegacySegment>& records);

// Joins collinear pieces: for each record with its start open, each other open record of the
// same object and spacing whose direction is within 0.1 and whose start lies within 400 of
// the first's end (as that end was when the first's turn began) is absorbed: the first takes
// its end and the absorbed record is done at both ends. Repeated until a pass joins nothing.
// The number of records absorbed.
int MergeLegacyPieces(std::vector<CLegacySegment>& records);
// The same by comparing every pair in every pass; what MergeLegacyPieces must agree with.
int MergeLegacyPiecesByPairs(std::vector<CLegacySegment>& records);

// The spacing of each group of open kind-4 records of one object: the smallest non-zero
// rounded difference of their offsets (2147483647 for a single record); the group becomes
// kind 3.
void SetLegacyGroupSpacing(std::vector<CLegacySegment>& records);

// For tests: the most rounds one tracing loop may take (0 or less: twice the records plus 16,
// more than any outline needs).
void SetHatchRoundLimitForTest(int limit);
