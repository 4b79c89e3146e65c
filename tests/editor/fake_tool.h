#pragma once
// An editor window whose tool records the click steps it is called with, in a fixture with a
// recording editing view around it.
#include <utility>
#include <vector>

#include "editor_fixture.h"
#include "recording_view.h"

namespace zeph::testing {

// A tool that records the click step at every call and may move the step on at a release.
class CFakeToolWindow final : public CEditDrawing {
 public:
  std::vector<int> steps;
  bool nextPointAtRelease = false;

  void DispatchClick() override {
    steps.push_back(GetClickStep());
    if (nextPointAtRelease && GetClickStep() % 3 == 2) SetClickStep(GetClickStep() + 1);
  }
  std::vector<int> Take() { return std::exchange(steps, {}); }
  int IsToolAvailable(int tool) const override {
    return tool >= 0 && tool < kToolCount && tool != kToolHunt && tool != kToolGrid ? 1 : 0;
  }
};

class FakeToolTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_window.reset();
    m_fake = new CFakeToolWindow;
    m_window.reset(m_fake);
    m_window->resize(kWidth, kHeight);
    m_window->show();
    QApplication::sendPostedEvents();
    SetZoom(8, 20, kHeight - 20);
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    g_appActive = 1;
  }

  CFakeToolWindow* m_fake = nullptr;
  CRecordingView m_view;
};

}  // namespace zeph::testing
