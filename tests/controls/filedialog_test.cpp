// The program's file dialogs on Qt's own file dialog, played through the scripted dialog
// runner: filters, the last folder, the samples button and its help, and the chooser that
// goes on into the samples folder when the button was used.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "controls/dialogplus.h"
#include "controls/filezephodialog.h"
#include "controls_fixture.h"
#include "support/datafolders.h"
#include "support/picture.h"

namespace zeph::testing {
namespace {

const QString kDrawingFilter = QStringLiteral(
    " Zephorin files (*.zpd) |*.zpd| Backup files (*.zpk) |*.zpk| Symbol library files (*.zsy) "
    "|*.zsy| All files (*.*) |*.*||");

class FileDialogTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ASSERT_TRUE(m_files.isValid());
    m_folder = QDir(m_files.path()).absolutePath();
    ASSERT_TRUE(QDir(m_folder).mkpath(QStringLiteral("samples")));
    ASSERT_TRUE(QDir(m_folder).mkpath(QStringLiteral("other")));
    m_samples = m_folder + QStringLiteral("/samples");
    Touch(m_folder + QStringLiteral("/house.zpd"));
    Touch(m_samples + QStringLiteral("/bridge.zpd"));
    Touch(m_samples + QStringLiteral("/sky.png"));
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    SetFileDialogs(nullptr);
    g_samplesFolder.clear();
    ResetPictureState();
    ControlsTest::TearDown();
  }

  static void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
  }

  static QPushButton* SamplesButton(QDialog& dialog) {
    return qobject_cast<QPushButton*>(FindControl(dialog, kIdcSamplesButton));
  }

  QTemporaryDir m_files;
  QString m_folder;
  QString m_samples;
};

TEST_F(FileDialogTest, FiltersShowTheirDescriptionsWithTheRealPatterns) {
  EXPECT_EQ(FileFilterToNameFilters(kDrawingFilter),
            (QStringList{QStringLiteral("Zephorin files (*.zpd)"),
                         QStringLiteral("Backup files (*.zpk)"),
                         QStringLiteral("Symbol library files (*.zsy)"),
                         QStringLiteral("All files (*)")}));
  // A description whose shown patterns differ from the real ones, several patterns, a
  // description without patterns and an empty pattern list.
  EXPECT_EQ(FileFilterToNameFilters(QStringLiteral(
                " Photo files (*.jpeg) |*.jpg;*.jpeg| Pictures |*.png| Anything || ||")),
            (QStringList{QStringLiteral("Photo files (*.jpg *.jpeg)"),
                         QStringLiteral("Pictures (*.png)"), QStringLiteral("Anything (*)")}));
  EXPECT_TRUE(FileFilterToNameFilters(QString()).isEmpty());
}

TEST_F(FileDialogTest, WithoutTheButtonFlagItIsThePlainDialogAndOkGivesTheFile) {
  CScriptedDialogRunner runner([this](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(SamplesButton(dialog), nullptr);
    EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(files.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(files.selectedNameFilter(), QStringLiteral("Zephorin files (*.zpd)"));
    files.selectFile(m_folder + QStringLiteral("/house.zpd"));
    dialog.accept();
  });
  SetDialogRunner(&runner);
  CFileSamplesDialog dialog(true, QStringLiteral("zpd"), QString(),
                            kOfnFileMustExist | kOfnHideReadOnly, kDrawingFilter, nullptr);
  dialog.setDirectory(m_folder);
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(dialog.WasSamplesChosen(), 0);
  EXPECT_EQ(dialog.GetPathName(), m_folder + QStringLiteral("/house.zpd"));
  EXPECT_EQ(dialog.GetLastFolder(), m_folder);
}

TEST_F(FileDialogTest, TheSamplesButtonCancelsWithTheChosenFlagAndTheLastFolderIsTheOneShown) {
  CScriptedDialogRunner runner([this](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    // The user looks into another folder first.
    files.setDirectory(m_folder + QStringLiteral("/other"));
    QPushButton* button = SamplesButton(dialog);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("&Sample files ..."));
    dialog.resize(640, 420);
    dialog.grab().save(RenderPath(QStringLiteral("file_dialog_samples_button.png")));
    button->click();
  });
  SetDialogRunner(&runner);
  CFileSamplesDialog dialog(true, QStringLiteral("zpd"), QString(), kOfnFileMustExist,
                            kDrawingFilter, nullptr);
  dialog.setDirectory(m_folder);
  dialog.ShowSamplesButton(1);
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.WasSamplesChosen(), 1);
  EXPECT_TRUE(dialog.GetPathName().isEmpty());
  EXPECT_EQ(dialog.GetLastFolder(), m_folder + QStringLiteral("/other"));

  // Cancelled the ordinary way: not chosen, the folder still remembered.
  CScriptedDialogRunner cancel([](QDialog& dialog) { dialog.reject(); });
  SetDialogRunner(&cancel);
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.WasSamplesChosen(), 0);
  EXPECT_EQ(dialog.GetLastFolder(), m_folder + QStringLiteral("/other"));
}

TEST_F(FileDialogTest, HelpKeyAnswersOnlyOverTheSamplesButton) {
  ShowHost();
  CFileSamplesDialog dialog(true, QStringLiteral("zpd"), QString(), 0, kDrawingFilter,
                            m_host.get());
  dialog.setDirectory(m_folder);
  dialog.ShowSamplesButton(1);
  CScriptedDialogRunner runner([](QDialog& window) {
    auto& files = static_cast<CFileSamplesDialog&>(window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QPushButton* button = SamplesButton(window);
    ASSERT_NE(button, nullptr);
    // Elsewhere in the dialog: no help at all.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_TRUE(GetBuiltInHelpViewer().requests().empty());
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_TRUE(files.OnHelpInfo());
    window.reject();
  });
  SetDialogRunner(&runner);
  dialog.DoModal();
  EXPECT_EQ(HelpPagesShown(), (std::vector<QString>{QStringLiteral("html/sample_files_button.htm"),
                                                    QStringLiteral("html/sample_files_button.htm")}));
}

TEST_F(FileDialogTest, SaveDialogAddsTheDefaultExtensionAndLeavesTheReplaceQuestionToTheCaller) {
  CScriptedDialogRunner runner([this](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(files.testOption(QFileDialog::DontConfirmOverwrite));
    files.selectFile(m_folder + QStringLiteral("/house"));
    dialog.accept();
  });
  SetDialogRunner(&runner);
  InstallFileDialogs();
  FileDialogRequest request;
  request.open = false;
  request.defaultExtension = QStringLiteral("zpd");
  request.filter = kDrawingFilter;
  request.title = QStringLiteral("Saving the drawing");
  request.initialFolder = m_folder;
  const FileDialogResult result = GetFileDialogs().ShowFileDialog(request);
  EXPECT_EQ(result.answer, kIdOk);
  EXPECT_FALSE(result.samplesChosen);
  EXPECT_EQ(result.path, m_folder + QStringLiteral("/house.zpd"));
  EXPECT_EQ(result.lastFolder, m_folder);
}

TEST_F(FileDialogTest, TheSaveDialogReportsTheFilterChosenAndAddsItsExtension) {
  const QString filter = QStringLiteral(
      " Drawing file (*.zpd) |*.zpd| Symbol library file (*.zsy) |*.zsy| All Files (*.*) |*.*||");
  struct Case {
    const char* name;
    int first;   // the filter the request selects
    int chosen;  // the filter the person picks, from 1
    const char* path;
  };
  const Case cases[] = {
      {"drawing files kept", 1, 1, "/house.zpd"},
      {"symbol library files picked", 1, 2, "/house.zsy"},
      {"symbol library files first", 2, 2, "/house.zsy"},
      {"all files give the default extension", 2, 3, "/house.zpd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int shownFirst = 0;
    CScriptedDialogRunner runner([&](QDialog& dialog) {
      auto& files = static_cast<QFileDialog&>(dialog);
      auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      ASSERT_NE(types, nullptr);
      shownFirst = types->currentIndex() + 1;
      // As the list does when a person picks an entry.
      types->setCurrentIndex(c.chosen - 1);
      emit types->activated(c.chosen - 1);
      emit types->textActivated(types->currentText());
      files.selectFile(m_folder + QStringLiteral("/house"));
      dialog.accept();
    });
    SetDialogRunner(&runner);
    InstallFileDialogs();
    FileDialogRequest request;
    request.open = false;
    request.defaultExtension = QStringLiteral("zpd");
    request.filter = filter;
    request.filterIndex = c.first;
    request.initialFolder = m_folder;
    const FileDialogResult result = GetFileDialogs().ShowFileDialog(request);
    EXPECT_EQ(shownFirst, c.first);
    EXPECT_EQ(result.answer, kIdOk);
    EXPECT_EQ(result.filterIndex, c.chosen);
    EXPECT_EQ(result.path, m_folder + QLatin1String(c.path));
  }
}

// The program's picture chooser with these dialogs installed: the samples button leads to a
// second dialog in the samples folder, without the button, and its choice is the answer.
TEST_F(FileDialogTest, TheSamplesButtonSwitchesTheChooserToTheSamplesFolder) {
  g_samplesFolder = m_samples;
  InstallFileDialogs();
  std::vector<QString> shownFolders;
  std::vector<bool> hadButton;
  CScriptedDialogRunner runner([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    shownFolders.push_back(files.directory().absolutePath());
    hadButton.push_back(SamplesButton(dialog) != nullptr);
    if (SamplesButton(dialog) != nullptr) {
      SamplesButton(dialog)->click();
    } else {
      files.selectFile(m_samples + QStringLiteral("/sky.png"));
      dialog.accept();
    }
  });
  SetDialogRunner(&runner);
  QString path = m_folder + QStringLiteral("/house.png");
  ASSERT_EQ(ChoosePictureFile(path, QStringLiteral("Picture")), 1);
  EXPECT_EQ(path, m_samples + QStringLiteral("/sky.png"));
  EXPECT_EQ(runner.runs(), 2);
  EXPECT_EQ(shownFolders, (std::vector<QString>{m_folder, m_samples}));
  EXPECT_EQ(hadButton, (std::vector<bool>{true, false}));
  // The first dialog's folder is the one the chooser starts from next time.
  EXPECT_EQ(g_lastPictureFolder, m_folder);
}

}  // namespace
}  // namespace zeph::testing
