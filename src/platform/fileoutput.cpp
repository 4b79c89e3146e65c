#include "platform/fileoutput.h"

#include <QSaveFile>

namespace zeph {
namespace {

// Qt's save file: the stand-in until the program installs its own.
class CQtSaveFileOutput final : public CFileOutput {
 public:
  explicit CQtSaveFileOutput(const QString& path) : m_file(path) {}
  bool Open() { return m_file.open(QIODevice::WriteOnly); }
  bool Write(const char* data, std::size_t size) override {
    return m_file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
  }
  bool Commit() override { return m_file.commit(); }
  void Discard() override { m_file.cancelWriting(); }

 private:
  QSaveFile m_file;
};

FileOutputOpener g_fileOutputOpener = nullptr;

}  // namespace

void SetFileOutputOpener(FileOutputOpener opener) { g_fileOutputOpener = opener; }

std::unique_ptr<CFileOutput> OpenFileOutput(const QString& path) {
  if (g_fileOutputOpener != nullptr) return g_fileOutputOpener(path);
  auto file = std::make_unique<CQtSaveFileOutput>(path);
  if (!file->Open()) return nullptr;
  return file;
}

}  // namespace zeph
