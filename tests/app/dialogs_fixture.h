#pragma once
// What the tests of the program's dialogs stand on: clean logs, options and screen, the three
// auxiliary documents, a scripted presenter, and running a dialog with a script that plays
// the user. Each test checks that no glitch was reported unless it expects one.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <cstdint>
#include <functional>
#include <vector>

#include "controls/dialogplus.h"
#include "document/document.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/desktop.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph::testing {

inline QString DialogRenderPath(const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  return QStringLiteral(ZEPH_RENDER_DIR "/") + name;
}

inline DrawItemPtr MakeDialogLine(int x1, int y1, int x2, int y2, int object, int group = 0) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetColour(0);
  line->SetLineStyle(kLineStyleUnbroken);
  line->SetObjectNumber(static_cast<std::int16_t>(object));
  line->SetGroupNumber(group);
  return line;
}

// A 24-bit device-independent bitmap of w x h pixels of one grey.
inline std::vector<std::uint8_t> GreyDib(int w, int h, std::uint8_t grey) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> dib(40, 0);
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[static_cast<std::size_t>(at + i)] = (v >> (8 * i)) & 0xFF;
  };
  put32(0, 40);
  put32(4, static_cast<std::uint32_t>(w));
  put32(8, static_cast<std::uint32_t>(h));
  dib[12] = 1;
  dib[14] = 24;
  put32(20, static_cast<std::uint32_t>(stride * h));
  dib.resize(40 + static_cast<std::size_t>(stride * h), grey);
  return dib;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    ResetViewGlobals();
    ResetGeometryGlobals();
    SetPresenter(&m_presenter);
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    ASSERT_EQ(CreateAuxiliaryDocuments(), 1);
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    SetPresenter(nullptr);
    StandInDesktop().Reset();
    DeleteAuxiliaryDocuments();
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetOptionsState();
    ResetScreenState();
    ResetLogState();
  }

  // Runs the dialog with the script as the user; answers how it ended.
  static int Run(CDialogPlus& dialog, const std::function<void(QDialog&)>& script) {
    CScriptedDialogRunner runner(script);
    SetDialogRunner(&runner);
    const int result = dialog.DoModal();
    SetDialogRunner(nullptr);
    return result;
  }
  static void Shoot(QDialog& dialog, const QString& name) {
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(DialogRenderPath(name));
  }
  static void SetText(QDialog& dialog, int id, const QString& text) {
    QWidget* control = FindControl(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      combo->setEditText(text);
    } else {
      ADD_FAILURE() << "no text control " << id;
    }
  }
  static void Click(QDialog& dialog, int id) {
    auto* button = qobject_cast<QAbstractButton*>(FindControl(dialog, id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
  }
  static void Ok(QDialog& dialog) { static_cast<CDialogPlus&>(dialog).OnCommand(kIdOk); }
  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }
  std::vector<QString> Messages() const {
    std::vector<QString> texts;
    for (const auto& shown : m_presenter.shown()) texts.push_back(shown.text);
    return texts;
  }

  ScriptedPresenter m_presenter;
  bool m_glitchExpected = false;
};

}  // namespace zeph::testing
