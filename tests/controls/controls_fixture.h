#pragma once
// What every controls test stands on: a string table of its own, the scripted presenter, the
// recording help viewer with installed help pages, a clock advanced by hand, a screen set up
// for exact colours, and a shown top-level window to host controls. Each test checks that no
// glitch was reported unless it expects one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <map>

#include "controls/timers.h"
#include "platform/helpviewer.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace zeph::testing {

// The test string table: ids the tests give captions and messages.
inline std::map<int, QString>& TestStrings() {
  static std::map<int, QString> strings;
  return strings;
}

inline QString LoadTestString(int id) {
  const auto found = TestStrings().find(id);
  return found != TestStrings().end() ? found->second : QString();
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetHelpState();
    ResetUiUtilState();
    ResetScreenState();
    ASSERT_TRUE(m_helpFolder.isValid());
    ASSERT_TRUE(QDir(m_helpFolder.path()).mkpath(QStringLiteral("Zeph/html")));
    SetHelpFileNames(m_helpFolder.path());
    GetBuiltInHelpViewer().Clear();
    TestStrings().clear();
    SetStringTable(&LoadTestString);
    SetPresenter(&m_presenter);
    SetTimerService(&m_clock);
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    m_host = std::make_unique<QWidget>();
    m_host->resize(400, 300);
  }

  // The host goes with the fixture, after the controls of derived fixtures.
  void TearDown() override {
    SetTimerService(nullptr);
    SetPresenter(nullptr);
    SetStringTable(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode;
    }
    GetBuiltInHelpViewer().Clear();
    ResetHelpState();
    ResetScreenState();
    ResetUiUtilState();
    ResetLogState();
  }

  // Shows the host window and makes it the active one, so that focus changes take effect.
  void ShowHost() {
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_host.get()));
  }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  // The help pages asked for, as topic names.
  static std::vector<QString> HelpPagesShown() {
    std::vector<QString> pages;
    for (const auto& request : GetBuiltInHelpViewer().requests()) pages.push_back(request.page);
    return pages;
  }

  ScriptedPresenter m_presenter;
  CManualTimerService m_clock;
  QTemporaryDir m_helpFolder;
  std::unique_ptr<QWidget> m_host;
  bool m_glitchExpected = false;
};

// Where screenshots go, made on first use.
inline QString RenderPath(const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  return QStringLiteral(ZEPH_RENDER_DIR "/") + name;
}

}  // namespace zeph::testing
