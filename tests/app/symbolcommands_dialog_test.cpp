// The Symbol menu and Edit > Picture > Insert with their dialogs: Symbol > Select runs the
// library dialog first while there is no library, and a cancelled dialog changes nothing.
#include <QFile>
#include <QListWidget>
#include <QTest>

#include "app/editordialogsimpl.h"
#include "app/symboldialogs.h"
#include "app/valuedialogs.h"
#include "app_fixture.h"
#include "controls/dialogplus.h"
#include "editor/editordialogs.h"
#include "editor/showdrawing.h"
#include "support/filestatus.h"

namespace zeph::testing {
namespace {

using SymbolCommandsTest = AppTest;

// A library of one L-shaped symbol written as a file in the program folder.
void WriteLibrary(const QString& path) {
  CZephDoc library;
  DrawItemPtr a = CreateItem(kItemLine);
  a->SetStart(0, 0);
  a->SetEnd(5000, 0);
  a->SetLineStyle(1);
  DrawItemPtr b = CreateItem(kItemLine);
  b->SetStart(0, 0);
  b->SetEnd(0, 3000);
  b->SetLineStyle(1);
  ASSERT_EQ(library.AddItem(a), 1);
  ASSERT_EQ(library.AddItem(b), 1);
  library.WriteDrawingFile(path);
  ASSERT_EQ(g_fileStatus, 0);
}

TEST_F(SymbolCommandsTest, SelectWithoutALibraryRunsTheLibraryDialogFirst) {
  WriteLibrary(FilePath(QStringLiteral("Shapes.ZSY")));
  Start();
  ASSERT_TRUE(Frame().IsCommandEnabled(cmd::kSymbolLibrary));
  ASSERT_TRUE(Frame().IsCommandEnabled(cmd::kSymbolSelect));
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kSymbolReflect));

  // Cancelling the library dialog ends the command: no symbol dialog, no library.
  std::vector<int> templates;
  CScriptedDialogRunner cancel([&](QDialog& d) {
    templates.push_back(static_cast<CDialogPlus&>(d).GetTemplateId());
    static_cast<CDialogPlus&>(d).OnCommand(kIdCancel);
  });
  SetDialogRunner(&cancel);
  Frame().RunCommand(cmd::kSymbolSelect);
  EXPECT_EQ(templates, (std::vector<int>{kIddChooseLibrary}));
  EXPECT_EQ(g_symbolLibraryDoc->GetItemCount(), 0);

  // Choosing the library goes on to the symbol; cancelling that keeps the selected symbol.
  templates.clear();
  CScriptedDialogRunner library([&](QDialog& d) {
    auto& dialog = static_cast<CDialogPlus&>(d);
    templates.push_back(dialog.GetTemplateId());
    if (dialog.GetTemplateId() == kIddChooseLibrary) {
      auto* list = qobject_cast<QListWidget*>(FindControl(d, kIdcLibraryList));
      ASSERT_NE(list, nullptr);
      ASSERT_EQ(list->count(), 1);
      list->setCurrentRow(0);
      dialog.OnCommand(kIdOk);
    } else {
      dialog.OnCommand(kIdCancel);
    }
  });
  SetDialogRunner(&library);
  Frame().RunCommand(cmd::kSymbolSelect);
  EXPECT_EQ(templates, (std::vector<int>{kIddChooseLibrary, kIddChooseSymbol}));
  EXPECT_EQ(g_symbolLibraryDoc->GetItemCount(), 2);
  EXPECT_EQ(g_symbolDoc->GetItemCount(), 0);
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kSymbolEnlarge));

  // With a library, Select goes straight to the symbol; a pick and OK makes it the symbol.
  templates.clear();
  CScriptedDialogRunner pick([&](QDialog& d) {
    auto& dialog = static_cast<CDialogPlus&>(d);
    templates.push_back(dialog.GetTemplateId());
    auto& choose = static_cast<CChooseSymbolDialog&>(d);
    CShowDrawing* preview = choose.GetPreview();
    ASSERT_NE(preview, nullptr);
    preview->show();
    preview->UpdateWindow();
    const QPoint at(preview->GetMapping().DrawingToDeviceX(5000),
                    preview->GetMapping().DrawingToDeviceY(0));
    QTest::mouseClick(preview, Qt::LeftButton, {}, at);
    dialog.OnCommand(kIdOk);
  });
  SetDialogRunner(&pick);
  Frame().RunCommand(cmd::kSymbolSelect);
  SetDialogRunner(nullptr);
  EXPECT_EQ(templates, (std::vector<int>{kIddChooseSymbol}));
  EXPECT_EQ(g_symbolDoc->GetItemCount(), 2);
  EXPECT_TRUE(Frame().IsCommandEnabled(cmd::kSymbolEnlarge));
  // The editor reaches the program's dialogs through its interface.
  EXPECT_NE(dynamic_cast<CEditorDialogs*>(&GetEditorDialogs()), nullptr);
}

}  // namespace
}  // namespace zeph::testing
