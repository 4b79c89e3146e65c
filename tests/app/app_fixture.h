#pragma once
// The application started as the program starts it, with views that record what they were
// asked, a scripted presenter and a program folder of the test's own. Each test checks that
// no glitch was reported unless it expects one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe.h"
#include "app/views.h"
#include "app/zephapp.h"
#include "controls/dialogplus.h"
#include "document/document.h"
#include "editor/zephview.h"
#include "platform/presenter.h"
#include "spell/spell.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace zeph::testing {

// A view that prints nothing: stands in for the start screen and the editing view.
class CRecordedView final : public CZephView {
 public:
  CRecordedView(QWidget* parent, CZephDoc* document) : CZephView(parent), m_document(document) {}
  CZephDoc* GetDocument() const override { return m_document; }
  void OnDraw(CDrawContext& /*dc*/) override {}

 private:
  CZephDoc* m_document;
};

// Views that note every call in one shared list.
class CRecordingViews final : public IAppViews {
 public:
  explicit CRecordingViews(std::vector<std::string>& calls) : m_calls(calls) {}
  QWidget* CreateFrontView(QWidget* parent, CZephDoc* document) override {
    m_calls.push_back("create front");
    return new CRecordedView(parent, document);
  }
  QWidget* CreateEditingView(QWidget* parent, CZephDoc* document) override {
    m_calls.push_back("create editing");
    return new CRecordedView(parent, document);
  }
  CZephView* AsPrintView(QWidget* view) const override { return qobject_cast<CZephView*>(view); }
  void SetUpFrontColours() override { m_calls.push_back("front colours"); }
  void EnableFrontPainting() override { m_calls.push_back("front painting"); }
  void PrepareFrontToShow() override { m_calls.push_back("prepare front"); }
  void DeactivateFront() override { m_calls.push_back("deactivate front"); }
  void PrepareEditingToShow() override { m_calls.push_back("prepare editing"); }
  void DeactivateEditing() override { m_calls.push_back("deactivate editing"); }
  void ResetEditingForNewDrawing() override { m_calls.push_back("reset editing"); }
  void RedrawEditingDrawing() override { m_calls.push_back("redraw editing"); }
  void CancelEditingOperation() override { m_calls.push_back("cancel editing"); }
  bool RunEditingCommand(int id) override {
    m_calls.push_back("run " + std::to_string(id));
    return true;
  }
  // Every command of the editing view answers as a test sets it.
  int UpdateEditingCommand(int /*id*/, int& check) const override {
    check = editingCheck;
    return editingEnabled;
  }
  int editingEnabled = -1;
  int editingCheck = -1;

 private:
  std::vector<std::string>& m_calls;
};

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    ResetUiUtilState();
    ResetAppGlobals();
    g_windowPositionChanged = 0;
    g_samplesFolder.clear();
    g_programFolder = m_folder.path();
    g_userName = QStringLiteral("Tester");
    SetPresenter(&m_presenter);
    SetDialogRunner(&m_dialogs);
  }

  void TearDown() override {
    m_app.reset();
    DeleteAuxiliaryDocuments();
    g_spellChecker.reset();
    SetPresenter(nullptr);
    SetDialogRunner(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetUiUtilState();
    ResetOptionsState();
    ResetScreenState();
    ResetLogState();
    ResetAppGlobals();
  }

  // Starts the application with recording views on the command line.
  CZephApp& Start(const QString& commandLine = QString()) {
    m_app = std::make_unique<CZephApp>(std::make_unique<CRecordingViews>(m_calls));
    m_app->InitInstance(commandLine);
    QApplication::processEvents();
    return *m_app;
  }
  CMainFrame& Frame() { return *m_app->GetMainFrame(); }
  QString FilePath(const QString& name) const { return m_folder.filePath(name); }
  // Whether the calls since index from hold want, in order.
  bool CalledInOrder(const std::vector<std::string>& want, std::size_t from = 0) const {
    std::size_t w = 0;
    for (std::size_t i = from; i < m_calls.size() && w < want.size(); ++i) {
      if (m_calls[i] == want[w]) ++w;
    }
    return w == want.size();
  }

  QTemporaryDir m_folder;
  ScriptedPresenter m_presenter;
  // Every dialog is cancelled; the classes run are noted.
  std::vector<std::string> m_dialogsRun;
  CScriptedDialogRunner m_dialogs{[this](QDialog& dialog) {
    m_dialogsRun.emplace_back(dialog.metaObject()->className());
    dialog.reject();
  }};
  std::vector<std::string> m_calls;
  std::unique_ptr<CZephApp> m_app;
  bool m_glitchExpected = false;
};

}  // namespace zeph::testing
