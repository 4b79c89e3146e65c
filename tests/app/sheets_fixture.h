#pragma once
// What the option-sheet tests stand on: clean options, log and screen, the scripted presenter,
// a host that records what the sheets ask of the application, and a dialog runner whose
// script plays the user on the sheet.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <functional>
#include <string>
#include <vector>

#include "controls/dialogplus.h"
#include "controls/propertysheet.h"
#include "document/dochost.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph::testing {

class CRecordingHost final : public IDocumentHost {
 public:
  std::vector<std::string> calls;
  void RefreshDrawing() override { calls.push_back("refresh"); }
  void UpdateTitle() override { calls.push_back("title"); }
  void UpdateEditingView() override { calls.push_back("editing view"); }
};

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetOptionsState();
    ResetScreenState();
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    SetPresenter(&m_presenter);
    SetDocumentHost(&m_host);
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    SetDocumentHost(nullptr);
    SetPresenter(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetOptionsState();
    ResetScreenState();
    ResetLogState();
  }

  // The next sheet is played by script (the sheet is the dialog it gets).
  void Play(std::function<void(CPropertySheetPlus&)> script) {
    m_runner = std::make_unique<CScriptedDialogRunner>(
        [script](QDialog& dialog) { script(static_cast<CPropertySheetPlus&>(dialog)); });
    SetDialogRunner(m_runner.get());
  }
  // Shows page index and answers the control of id on it.
  template <typename Control>
  static Control* On(CPropertySheetPlus& sheet, int page, int id) {
    sheet.SetActivePage(page);
    return qobject_cast<Control*>(FindControl(*sheet.GetPage(page), id));
  }
  static void Ok(CPropertySheetPlus& sheet) { sheet.accept(); }
  static void Cancel(CPropertySheetPlus& sheet) { sheet.reject(); }

  ScriptedPresenter m_presenter;
  CRecordingHost m_host;
  std::unique_ptr<CScriptedDialogRunner> m_runner;
  bool m_glitchExpected = false;
};

// Pictures of every page of a sheet, as <name>_<page>.png under the build folder's render/app.
inline void SaveSheetPictures(CPropertySheetPlus& sheet, const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  sheet.resize(sheet.sizeHint().expandedTo(QSize(560, 380)));
  for (int i = 0; i < sheet.GetPageCount(); ++i) {
    sheet.SetActivePage(i);
    QApplication::processEvents();
    sheet.grab().save(QStringLiteral(ZEPH_RENDER_DIR "/%1_%2.png").arg(name).arg(i));
  }
}

}  // namespace zeph::testing
