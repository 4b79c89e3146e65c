#pragma once
// The program's open and save dialogs, behind one replaceable interface so that tests and
// headless runs answer them without a display. The dialogs of the user interface are
// installed at start-up; until then a scripted stand-in answers.
#include <QString>
#include <deque>
#include <vector>

namespace zeph {

// Dialog flags the program passes.
inline constexpr unsigned kOfnHideReadOnly = 0x4;
inline constexpr unsigned kOfnFileMustExist = 0x1000;

struct FileDialogRequest {
  bool open = true;
  QString defaultExtension;  // without the dot
  QString fileName;          // the name first shown
  unsigned flags = 0;
  // Pairs of description and patterns, each ended by '|', the list ended by a second '|':
  // "Pictures (*.png) |*.png| All files (*.*) |*.*||".
  QString filter;
  QString title;               // empty: the dialog's own title
  QString initialFolder;       // empty: the current folder
  bool samplesButton = false;  // offers a "&Sample files ..." button
  int filterIndex = 1;         // the filter first selected, counted from 1
};

struct FileDialogResult {
  int answer = 2;              // kIdOk (1) or kIdCancel (2); the samples button gives 2
  bool samplesChosen = false;  // the dialog was ended by the samples button
  QString path;                // the file chosen, with answer kIdOk
  QString lastFolder;          // the folder last shown in the dialog
  // The filter selected when the dialog closed, counted from 1; 0 when not known (a scripted
  // answer without one reports the filter its request selected).
  int filterIndex = 0;
};

class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
};

IFileDialogs& GetFileDialogs();
// Installs the dialogs (not owned); null restores the scripted stand-in.
void SetFileDialogs(IFileDialogs* dialogs);

// Headless dialogs: answer from a script (cancel when it is empty, the last folder being the
// one the dialog opened in) and remember every request.
class CScriptedFileDialogs final : public IFileDialogs {
 public:
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;
  void QueueResult(const FileDialogResult& result) { m_results.push_back(result); }
  const std::vector<FileDialogRequest>& requests() const { return m_requests; }
  void Clear() {
    m_results.clear();
    m_requests.clear();
  }

 private:
  std::deque<FileDialogResult> m_results;
  std::vector<FileDialogRequest> m_requests;
};

// The built-in stand-in.
CScriptedFileDialogs& ScriptedFileDialogs();

}  // namespace zeph
