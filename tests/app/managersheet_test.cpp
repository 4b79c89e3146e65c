// Options > Manager: a standard user's sheet of disabled inputs that writes nothing; the
// save-name and start-folder choices written into the manager file; a printer value out of
// range keeps its printer; the sample drawings listed; pictures of the pages.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/managersheet.h"
#include "controls/filetypes.h"
#include "controls/table.h"
#include "sheets_fixture.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/printer.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/sharedconfig.h"

namespace zeph::testing {
namespace {

class ManagerSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    ResetSharedConfigState();
    ResetSettingsState();
    ResetPrinterState();
    ResetFileTypesState();
    ASSERT_TRUE(m_folder.isValid());
    g_sharedSettingsFolder = m_folder.path();
    g_managerFileName = QStringLiteral("Zeph.cmf");
    g_fileTypeDataFolder = m_folder.path() + QStringLiteral("/data");
    g_programPath = QStringLiteral("/opt/zeph/bin/zephorin");
    // Two known printers.
    g_printerCount = 2;
    g_printerNames[0] = QStringLiteral("Laser");
    g_printerNames[1] = QStringLiteral("Plotter");
    g_printerLineThickness = {};
    g_printerLineThickness[0] = 2;
    g_printerLineThickness[1] = 3;
    g_printerArcThickness = {};
    g_printerHatchDotSize = {};
    for (std::size_t i = 0; i < 2; ++i) g_printerArcThickness[i] = g_printerHatchDotSize[i] = 1;
    g_currentPrinter = 0;
  }
  void TearDown() override {
    ResetFileTypesState();
    ResetPrinterState();
    ResetSettingsState();
    ResetSharedConfigState();
    g_samplesFolder.clear();
    SheetTest::TearDown();
  }
  QString ManagerFile() const {
    QFile file(m_folder.path() + QStringLiteral("/Zeph.cmf"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll());
  }

  QTemporaryDir m_folder;
};

TEST_F(ManagerSheetTest, AStandardUserSeesEveryInputDisabledAndOkWritesNothing) {
  Play([](CPropertySheetPlus& sheet) {
    const struct {
      int page;
      int id;
    } inputs[] = {{0, kIdcSaveNameNo},    {1, kIdcKeepOptions}, {1, kIdcSaveOptionsForAll},
                  {2, kIdcStartPath},     {2, kIdcBrowse},      {3, kIdcLineThickness},
                  {3, kIdcColourPrinter}, {4, kIdcMoveSamples}, {5, kIdcRepairFileTypes}};
    for (const auto& input : inputs) {
      QWidget* control = On<QWidget>(sheet, input.page, input.id);
      ASSERT_NE(control, nullptr) << input.page << " " << input.id;
      EXPECT_FALSE(control->isEnabled()) << input.page << " " << input.id;
    }
    Ok(sheet);
  });
  EXPECT_EQ(ShowManagerSheet(nullptr, kPrivilegeStandardUser), kIdOk);
  EXPECT_FALSE(QFile::exists(m_folder.path() + QStringLiteral("/Zeph.cmf")));
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(ManagerSheetTest, TheSaveNameAndTheStartFolderAreWrittenAsTheirTexts) {
  struct Case {
    int radio;
    const char* written;
    int mode;
  };
  const Case cases[] = {{kIdcSaveNameNo, "SaveName=No", kSaveNameNo},
                        {kIdcSaveNameMyDocuments, "SaveName=My Documents", kSaveNameMyDocuments},
                        {kIdcSaveNameAppData, "SaveName=UserCorvDir", kSaveNameUserCorvDir}};
  for (const Case& c : cases) {
    Play([&](CPropertySheetPlus& sheet) {
      On<QRadioButton>(sheet, 0, c.radio)->setChecked(true);
      On<QLineEdit>(sheet, 2, kIdcStartPath)->setText(QStringLiteral("Documents/Class 5"));
      Ok(sheet);
    });
    EXPECT_EQ(ShowManagerSheet(nullptr, kPrivilegeAdministrator), kIdOk);
    EXPECT_EQ(g_saveNameMode, c.mode);
    const QString written = ManagerFile();
    EXPECT_TRUE(written.contains(QString::fromLatin1(c.written))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Start=Documents/Class 5")));
  }
}

TEST_F(ManagerSheetTest, ALineThicknessOutOfRangeKeepsItsPrinter) {
  Play([this](CPropertySheetPlus& sheet) {
    auto* list = On<QComboBox>(sheet, 3, kIdcPrinterList);
    auto* page = static_cast<CEditPrintersPage*>(sheet.GetPage(3));
    ASSERT_EQ(list->currentIndex(), 0);
    FindControl(*page, kIdcLineThickness)->setProperty("text", QStringLiteral("25"));
    list->setCurrentIndex(1);
    page->OnPrinterChosen(1);
    EXPECT_EQ(list->currentIndex(), 0) << "the first printer stays";
    ASSERT_EQ(m_presenter.shown().size(), 1u);
    EXPECT_EQ(m_presenter.shown()[0].text, QStringLiteral("Enter an integer between 1 and 20."));
    // A good value goes to its printer when another is chosen, and OK stores it.
    FindControl(*page, kIdcLineThickness)->setProperty("text", QStringLiteral("7"));
    page->OnPrinterChosen(1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(FindControl(*page, kIdcLineThickness))->text(),
              QStringLiteral("3"));
    Ok(sheet);
  });
  EXPECT_EQ(ShowManagerSheet(nullptr, kPrivilegeElevated), kIdOk);
  EXPECT_EQ(g_printerLineThickness[0], 7);
  EXPECT_EQ(g_printerSaved[0], 1);
  EXPECT_EQ(g_printerLineThickness[1], 3);
}

TEST_F(ManagerSheetTest, TheSampleDrawingsAreListed) {
  const QString samples = m_folder.path() + QStringLiteral("/samples");
  ASSERT_TRUE(QDir().mkpath(samples));
  for (const char* name : {"house.zpd", "boat.zpd", "notes.txt"}) {
    QFile file(samples + u'/' + QString::fromLatin1(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  struct Case {
    QString folder;
    int rows;
  };
  const Case cases[] = {{QString(), 0}, {samples, 2}};
  for (const Case& c : cases) {
    g_samplesFolder = c.folder;
    int rows = -1;
    Play([&](CPropertySheetPlus& sheet) {
      rows = On<CTableWnd>(sheet, 4, kIdcSamplesTable)->GetRowCount();
      Cancel(sheet);
    });
    ShowManagerSheet(nullptr, kPrivilegeElevated);
    EXPECT_EQ(rows, c.rows) << c.folder.toStdString();
  }
}

TEST_F(ManagerSheetTest, PicturesOfThePages) {
  Play([](CPropertySheetPlus& sheet) {
    SaveSheetPictures(sheet, QStringLiteral("manager"));
    Cancel(sheet);
  });
  ShowManagerSheet(nullptr, kPrivilegeElevated);
  EXPECT_TRUE(QFile::exists(QStringLiteral(ZEPH_RENDER_DIR "/manager_5.png")));
}

}  // namespace
}  // namespace zeph::testing
