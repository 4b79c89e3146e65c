#include "platform/helpviewer.h"

namespace zeph {
namespace {
IHelpViewer* g_helpViewer = nullptr;
}  // namespace

RecordingHelpViewer& GetBuiltInHelpViewer() {
  static RecordingHelpViewer viewer;
  return viewer;
}

IHelpViewer& GetHelpViewer() {
  return g_helpViewer != nullptr ? *g_helpViewer : GetBuiltInHelpViewer();
}

void SetHelpViewer(IHelpViewer* viewer) { g_helpViewer = viewer; }

void RecordingHelpViewer::ShowHelpPage(const QString& helpFolder, const QString& page,
                                       int command) {
  m_requests.push_back({helpFolder, page, command});
}

}  // namespace zeph
