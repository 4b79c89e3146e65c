#pragma once
// The help window behind a small interface: support code asks for a page of an HTML help
// folder, the user interface shows it. Until the user interface installs its window, and in
// tests, a headless stand-in records what it was asked to show.
#include <QString>
#include <vector>

namespace zeph {

// What the viewer is asked to do with the page (the help command of a help request).
enum HelpCommand : int {
  kHelpDisplayTopic = 0,     // show the page
  kHelpDisplayContents = 1,  // show the page with the contents beside it
  kHelpDisplayIndex = 2,     // show the page with the index beside it
};

class IHelpViewer {
 public:
  virtual ~IHelpViewer() = default;
  // Shows page (a path relative to helpFolder, with '/' separators, such as
  // "html/tool_line.htm") of the HTML help in helpFolder. command is passed on as given.
  // A page that cannot be shown is the viewer's own business: nothing is reported back.
  virtual void ShowHelpPage(const QString& helpFolder, const QString& page, int command) = 0;
};

// The viewer in use; the recording stand-in until the user interface installs its own.
IHelpViewer& GetHelpViewer();
// Installs a viewer (not owned); null restores the built-in stand-in.
void SetHelpViewer(IHelpViewer* viewer);

// Headless viewer: shows nothing and remembers every request.
class RecordingHelpViewer : public IHelpViewer {
 public:
  struct Request {
    QString helpFolder;
    QString page;
    int command = 0;
  };

  void ShowHelpPage(const QString& helpFolder, const QString& page, int command) override;

  const std::vector<Request>& requests() const { return m_requests; }
  void Clear() { m_requests.clear(); }

 private:
  std::vector<Request> m_requests;
};

// The built-in stand-in, so tests can read what it recorded.
RecordingHelpViewer& GetBuiltInHelpViewer();

}  // namespace zeph
