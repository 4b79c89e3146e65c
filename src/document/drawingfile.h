#pragma once
// Drawing files: one line-oriented text format for drawings (".zpd"), their backups (".zpk")
// and symbol libraries (".zsy"). The first line is a version tag; every version ever written
// is read, and only the newest ("Zephorin7") is written. The document's operations that read
// and write these files are declared with CZephDoc (document.h); this header holds the types
// they share, the tables of the format and the few services the reader and the writer take
// from outside the document.
//
// A save never loses a drawing: the new content goes to a temporary file beside the drawing,
// which replaces the drawing only once it is complete and on the disk; the new backup is made
// under a temporary name first and replaces the old backup only after the drawing is in place.
#include <QString>
#include <cstdint>

class CFontSpec;
class CZephDoc;

// DrawingFileVersion: chosen by the file's first line.
using DrawingFileVersion = int;
inline constexpr DrawingFileVersion kDrawingVersionZavil = 0;  // "Zavil4"
inline constexpr DrawingFileVersion kDrawingVersion1 = 1;      // "Zephorin1"
inline constexpr DrawingFileVersion kDrawingVersion2 = 2;      // "Zephorin2", "Zephorin2m"
inline constexpr DrawingFileVersion kDrawingVersion3 = 3;      // "Zephorin3"
inline constexpr DrawingFileVersion kDrawingVersion4 = 4;      // "Zephorin4"
inline constexpr DrawingFileVersion kDrawingVersion5 = 5;      // "Zephorin5", "Zephorin6"
inline constexpr DrawingFileVersion kDrawingVersion6 = 6;      // "Zephorin7", "Zephorin7a"

// DrawingReadMode: what a read is for.
using DrawingReadMode = int;
inline constexpr DrawingReadMode kReadOpen = 0;           // the drawing replaces the document's
inline constexpr DrawingReadMode kReadInsert = 1;         // added to the drawing, one undo step
inline constexpr DrawingReadMode kReadSymbolLibrary = 2;  // a library, numbered from 30001

// The tag the writer writes.
inline constexpr const char16_t* kDrawingFileTag = u"Zephorin7";

// The first object number of a symbol library's objects.
inline constexpr int kFirstLibraryObjectNumber = 30001;

// Each item section counts its items in an unsigned 16-bit line.
inline constexpr int kDrawingFileSectionLimit = 65535;

// The file status of a drawing that holds more items of one kind than the format can count:
// nothing has been written. ShowDrawingFileError names the kind and the limit.
inline constexpr int kFileTooManyItems = 16;
// The file status of a path with a name whose bytes are not text (HasNameThatIsNotText): it
// is neither read nor written, as the program could only reach another file.
inline constexpr int kFileNameNotText = 17;

// Message ids of the drawing files (the texts stand in the program's string table; the ones
// of this header are also built in, for a run without the table).
inline constexpr int kIdsDrawingSaved = 256;         // status bar after a save
inline constexpr int kIdsReplaceFile = 304;          // "%1" the file name
inline constexpr int kIdsSaveFailed = 409;           // "%1" the path
inline constexpr int kIdsOneItemIgnored = 422;
inline constexpr int kIdsItemsIgnored = 423;         // "%1" the count
inline constexpr int kIdsTooManyItemsOfKind = 429;   // "%1" the path, "%2" the count, "%3" kind
inline constexpr int kIdsNameNotText = 430;          // "%1" the path

// The version of a first line: kFileOk with version and whether the rest of the file is
// UTF-8; kFileIncompatible for "Zephorin" followed by 6..9 that is no known tag (a newer
// version); kFileNotDrawing otherwise.
int IdentifyDrawingFileTag(const QString& line, DrawingFileVersion& version, bool& utf8);

// The colour of an old ten-colour palette index (0..9); -1 for any other index.
std::int64_t OldPaletteColour(int index);

// A text value as one file line: every line break (CR LF, CR or LF) becomes the character 127,
// the program's stored form of a line break.
QString ToFileLine(const QString& text);

// The item kind's name for messages ("lines", "arcs", ...); empty for a type outside 0..8.
QString DrawingItemKindName(int type);

// The message for the current file status and a drawing file's path, as ShowFileError shows
// it, with the drawing files' own statuses kFileTooManyItems and kFileNameNotText; empty when
// the status is 0.
QString DrawingFileErrorMessage(const QString& path);
// Shows that message (exclamation, OK); nothing when the status is 0.
void ShowDrawingFileError(const QString& path);
// The kind and the count behind the last kFileTooManyItems.
void GetTooManyItems(int& type, int& count);

// ---- Services from outside the document ----

// Measures text in the width-fitting of texts from files up to "Zephorin3": the width in
// pixels of the text in the font at 100 % zoom, not turned, on a screen context.
class IOldTextMeasurer {
 public:
  virtual ~IOldTextMeasurer() = default;
  // 0 or less when the text cannot be measured.
  virtual int MeasureTextWidth(const CFontSpec& font, const QString& text) = 0;
};
// Installs a measurer (not owned); null goes back to the one that borrows the editing view's
// measuring context (which measures nothing while there is no editing view).
void SetOldTextMeasurer(IOldTextMeasurer* measurer);
IOldTextMeasurer& GetOldTextMeasurer();

// The conversion of the legacy segment records of files "Zephorin2" and "Zephorin3" into
// items, run after every read that counted any (inside the undo step of an insert): the
// document's ConvertLegacySegments, or what a test installs; null goes back to it.
using LegacyConversionHook = void (*)(CZephDoc& doc);
void SetLegacyConversionHook(LegacyConversionHook hook);
LegacyConversionHook GetLegacyConversionHook();

// ---- For tests ----
// The steps of a save that can fail: each write of a record or section, flushing the
// temporary file to the disk, closing it, making sure the old backup that the new one is to
// replace can be replaced, making the new backup and renaming the temporary file over the
// drawing.
enum class SaveStep : int { kWrite, kFlush, kClose, kKeepBackup, kBackup, kRename, kCount };
// From now on the k-th step of saving (counted over every save until the next call) fails as
// the disk or the file system would make it fail; 0 fails none.
void SetSaveFaultForTest(int k);
// The steps counted since SetSaveFaultForTest, and which kinds were met (bit per SaveStep).
int GetSaveStepCountForTest();
unsigned GetSaveStepKindsForTest();
// Called at each step: true when this one is to fail.
bool SaveStepFails(SaveStep step);
// The points of a save: every step above, and the points after them that cannot fail (the new
// backup made, the drawing replaced, the new backup under its name, the save done). The
// observer is called at each with its number, counted from 1 since SetSaveFaultForTest; a
// test program ends itself there to see what a kill leaves. Null: none.
using SavePointObserver = void (*)(int point);
void SetSavePointObserverForTest(SavePointObserver observer);
// Called at each point that cannot fail.
void PassSavePoint();
