#pragma once
// Finished files written whole: what a PDF print job writes.
#include <QString>
#include <cstddef>
#include <memory>

namespace zeph {

// A file being written under a name of its own beside the path it is for, which it takes only
// when complete. The program installs its own safe file path; until then Qt's save file
// stands in.
class CFileOutput {
 public:
  virtual ~CFileOutput() = default;
  // False once anything could not be written.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Gives the file its name; false when it could not (the name is then as it was).
  virtual bool Commit() = 0;
  // Drops the file; the name stays as it was.
  virtual void Discard() = 0;
};
using FileOutputOpener = std::unique_ptr<CFileOutput> (*)(const QString& path);
// Installs the opener of finished files; null restores the stand-in.
void SetFileOutputOpener(FileOutputOpener opener);
// A new file for path; null when it cannot be made.
std::unique_ptr<CFileOutput> OpenFileOutput(const QString& path);

}  // namespace zeph
