#include "platform/filedialogs.h"

namespace zeph {
namespace {
IFileDialogs* g_fileDialogs = nullptr;
}  // namespace

CScriptedFileDialogs& ScriptedFileDialogs() {
  static CScriptedFileDialogs dialogs;
  return dialogs;
}

IFileDialogs& GetFileDialogs() {
  return g_fileDialogs != nullptr ? *g_fileDialogs : ScriptedFileDialogs();
}

void SetFileDialogs(IFileDialogs* dialogs) { g_fileDialogs = dialogs; }

FileDialogResult CScriptedFileDialogs::ShowFileDialog(const FileDialogRequest& request) {
  m_requests.push_back(request);
  if (m_results.empty()) {
    FileDialogResult cancelled;
    cancelled.lastFolder = request.initialFolder;
    return cancelled;
  }
  FileDialogResult result = m_results.front();
  m_results.pop_front();
  if (result.filterIndex == 0) result.filterIndex = request.filterIndex;
  return result;
}

}  // namespace zeph
