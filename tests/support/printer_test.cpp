#include "support/printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/printersystem.h"
#include "platform/recordingcontext.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/settings.h"
#include "support/sharedconfig.h"

namespace {

using zeph::DeviceCaps;
using zeph::PageOrientation;

// A printer of the given resolution with an A4 page and unprintable margins of a quarter inch
// at the left and right and a sixth of an inch at the top and bottom.
DeviceCaps PrinterCaps(int dpiX, int dpiY, bool colour = true) {
  DeviceCaps caps;
  caps.dpiX = dpiX;
  caps.dpiY = dpiY;
  caps.physicalWidth = static_cast<int>(std::lround(8.267716535433072 * dpiX));
  caps.physicalHeight = static_cast<int>(std::lround(11.692913385826772 * dpiY));
  caps.physicalOffsetX = dpiX / 4;
  caps.physicalOffsetY = dpiY / 6;
  caps.width = caps.physicalWidth - 2 * caps.physicalOffsetX;
  caps.height = caps.physicalHeight - 2 * caps.physicalOffsetY;
  caps.widthMm = 197;  // 210 mm less two quarter inches, to whole millimetres
  caps.heightMm = 280;
  caps.colourBits = colour ? 24 : 1;
  return caps;
}

class FakeDevice final : public zeph::CPrinterDevice {
 public:
  explicit FakeDevice(const DeviceCaps& caps) {
    m_dc.SetDeviceCaps(caps);
    m_dc.SetPrinting(true);
  }
  zeph::CDrawContext& Dc() override { return m_dc; }

 private:
  zeph::CRecordingContext m_dc;
};

class FakePrinterSystem final : public zeph::IPrinterSystem {
 public:
  bool GetDefaults(zeph::PrinterDefaults& defaults) override {
    if (!installed) return false;
    defaults.name = name;
    defaults.hasOrientation = hasOrientation;
    defaults.orientation = orientation;
    return true;
  }
  std::unique_ptr<zeph::CPrinterDevice> OpenDefaultPrinter() override {
    ++opened;
    if (!installed || failOpen) return nullptr;
    return std::make_unique<FakeDevice>(caps);
  }
  bool SetDefaultOrientation(PageOrientation wanted) override {
    if (refuseOrientation) return false;
    orientation = wanted;
    // A turned page swaps the printer's sides.
    std::swap(caps.physicalWidth, caps.physicalHeight);
    std::swap(caps.width, caps.height);
    std::swap(caps.widthMm, caps.heightMm);
    return true;
  }

  bool installed = true;
  bool failOpen = false;
  bool refuseOrientation = false;
  bool hasOrientation = true;
  QString name = QStringLiteral("Laser 600");
  PageOrientation orientation = PageOrientation::kPortrait;
  DeviceCaps caps = PrinterCaps(600, 600);
  int opened = 0;
};

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    zeph::SetPrinterSystem(&m_system);
    SetPrintableAreaComputer([this] { ++m_areaComputed; });
  }
  void TearDown() override {
    EXPECT_EQ(g_callDepth, 0);
    zeph::SetPrinterSystem(nullptr);
    ResetAll();
  }
  static void ResetAll() {
    ResetPrinterState();
    ResetScreenState();
    ResetLogState();
    ResetSharedConfigState();
  }
  static QStringList Names() {
    QStringList names;
    for (int row = 0; row < g_printerCount; ++row) names.append(g_printerNames[row]);
    return names;
  }
  static void AddPrinters(const QStringList& names) {
    for (const QString& name : names) RegisterPrinter(name, nullptr);
  }

  FakePrinterSystem m_system;
  int m_areaComputed = 0;
};

// ---- Known printers ----

TEST_F(PrinterTest, PrintersAreKeptInNameOrder) {
  AddPrinters({QStringLiteral("Canon"), QStringLiteral("Epson")});
  int added = -1;
  EXPECT_EQ(RegisterPrinter(QStringLiteral("  HP"), &added), 2);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(RegisterPrinter(QStringLiteral("canon "), &added), 0);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(RegisterPrinter(QStringLiteral("Brother"), &added), 0);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(Names(), (QStringList{QStringLiteral("Brother"), QStringLiteral("Canon"),
                                  QStringLiteral("Epson"), QStringLiteral("HP")}));
  EXPECT_EQ(g_printerLineThickness[0], 1);
  EXPECT_EQ(g_printerArcThickness[0], 1);
  EXPECT_EQ(g_printerHatchDotSize[0], 1);
  EXPECT_EQ(g_printerIsColour[0], 0);
  EXPECT_EQ(g_printerSaved[0], 0);
}

TEST_F(PrinterTest, InsertingKeepsTheCurrentPrinterOnItsRow) {
  AddPrinters({QStringLiteral("Canon"), QStringLiteral("Epson")});
  g_printerLineThickness[1] = 3;
  g_currentPrinter = 1;  // Epson
  RegisterPrinter(QStringLiteral("Brother"), nullptr);
  EXPECT_EQ(g_currentPrinter, 2);
  EXPECT_EQ(g_printerNames[g_currentPrinter], QStringLiteral("Epson"));
  EXPECT_EQ(GetPrinterLineThickness(), 3);
  RegisterPrinter(QStringLiteral("Xerox"), nullptr);
  EXPECT_EQ(g_currentPrinter, 2);
}

TEST_F(PrinterTest, FullTableNeverOverwritesAnotherPrinter) {
  QStringList names;
  for (int i = 0; i < kPrinterTableSize; ++i) names.append(QStringLiteral("P%1").arg(i + 10));
  AddPrinters(names);
  ASSERT_EQ(g_printerCount, kPrinterTableSize);
  g_printerSaved[0] = 1;
  g_currentPrinter = 0;
  int added = -1;
  EXPECT_EQ(RegisterPrinter(QStringLiteral("A first"), &added), -1);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(RegisterPrinter(QStringLiteral("Z last"), &added), -1);
  EXPECT_EQ(Names(), names);
  EXPECT_EQ(g_printerSaved[0], 1);
  EXPECT_EQ(g_currentPrinter, 0);
  // A printer already known is still found.
  EXPECT_EQ(RegisterPrinter(QStringLiteral("p59"), &added), 49);
}

TEST_F(PrinterTest, FactorsWithoutACurrentPrinterAreOne) {
  AddPrinters({QStringLiteral("Canon")});
  g_printerLineThickness[0] = 5;
  g_printerArcThickness[0] = 6;
  g_printerHatchDotSize[0] = 7;
  for (int row : {-1, 1, 50, 32767}) {
    g_currentPrinter = static_cast<std::int16_t>(row);
    EXPECT_EQ(GetPrinterLineThickness(), 1) << row;
    EXPECT_EQ(GetPrinterArcThickness(), 1) << row;
    EXPECT_EQ(GetPrinterHatchDotSize(), 1) << row;
  }
  g_currentPrinter = 0;
  EXPECT_EQ(GetPrinterLineThickness(), 5);
  EXPECT_EQ(GetPrinterArcThickness(), 6);
  EXPECT_EQ(GetPrinterHatchDotSize(), 7);
}

TEST_F(PrinterTest, ColourComesFromTheTableOrTheDevice) {
  zeph::CRecordingContext mono;
  mono.SetDeviceCaps(PrinterCaps(300, 300, false));
  zeph::CRecordingContext colour;
  colour.SetDeviceCaps(PrinterCaps(300, 300, true));
  EXPECT_EQ(IsColourPrinter(&mono, 1), 0);  // no current row: the device decides
  EXPECT_EQ(IsColourPrinter(&colour, 0), 1);
  AddPrinters({QStringLiteral("Canon")});
  g_currentPrinter = 0;
  g_printerIsColour[0] = 1;
  EXPECT_EQ(IsColourPrinter(&mono, 1), 1);
  EXPECT_EQ(IsColourPrinter(&mono, 0), 0);
}

// ---- The shared printing context ----

TEST_F(PrinterTest, NewPrinterGetsFactorsFromItsResolution) {
  struct Case {
    const char* name;
    int dpiX;
    int dpiY;
    bool colour;
    bool plotter;
    int line;
    int hatch;
    int isColour;
  };
  const Case cases[] = {
      {"600 dpi colour", 600, 600, true, false, 4, 6, 1},
      {"100 dpi", 100, 100, true, false, 1, 3, 1},
      {"600 x 300 dpi", 600, 300, false, false, 2, 4, 0},
      {"plotter", 600, 600, true, true, 1, 1, 0},
  };
  for (const Case& c : cases) {
    ResetPrinterState();
    m_system.caps = PrinterCaps(c.dpiX, c.dpiY, c.colour);
    m_system.caps.plotter = c.plotter;
    int isNew = -1;
    ASSERT_NE(GetPrinterDC(&isNew), nullptr) << c.name;
    EXPECT_EQ(isNew, 1) << c.name;
    EXPECT_EQ(g_printerDCExists, 1) << c.name;
    ASSERT_EQ(g_currentPrinter, 0) << c.name;
    EXPECT_EQ(GetPrinterLineThickness(), c.line) << c.name;
    EXPECT_EQ(GetPrinterArcThickness(), c.line) << c.name;
    EXPECT_EQ(GetPrinterHatchDotSize(), c.hatch) << c.name;
    EXPECT_EQ(g_printerIsColour[0], c.isColour) << c.name;
  }
}

TEST_F(PrinterTest, KnownPrinterKeepsItsFactorsAndTheContextIsShared) {
  AddPrinters({QStringLiteral("Laser 600")});
  g_printerLineThickness[0] = 2;
  int isNew = -1;
  zeph::CDrawContext* dc = GetPrinterDC(&isNew);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(isNew, 0);
  EXPECT_EQ(GetPrinterLineThickness(), 2);
  EXPECT_TRUE(dc->IsPrinting());
  EXPECT_EQ(GetPrinterDC(&isNew), dc);
  EXPECT_EQ(m_system.opened, 1);
  DeletePrinterDC();
  EXPECT_EQ(g_printerDCExists, 0);
  EXPECT_EQ(g_printerDC, nullptr);
}

TEST_F(PrinterTest, UnusablePrintersLeaveNoContext) {
  struct Case {
    const char* name;
    bool installed;
    bool failOpen;
    QString printer;
    int step;
  };
  const Case cases[] = {
      {"no printer", false, false, QStringLiteral("Laser 600"), 3},
      {"rendering device", true, false, QStringLiteral("Rendering Subsystem"), 2},
      {"cannot be opened", true, true, QStringLiteral("Laser 600"), 6},
  };
  for (const Case& c : cases) {
    ResetPrinterState();
    ResetLogState();
    m_system.installed = c.installed;
    m_system.failOpen = c.failOpen;
    m_system.name = c.printer;
    int isNew = -1;
    EXPECT_EQ(GetPrinterDC(&isNew), nullptr) << c.name;
    EXPECT_EQ(isNew, 0) << c.name;
    EXPECT_EQ(g_printerDCExists, -1) << c.name;
    EXPECT_EQ(g_printerCount, 0) << c.name;
    ASSERT_EQ(g_logPosition, 2) << c.name;
    EXPECT_EQ(g_logCodes[1], 20502) << c.name;
    EXPECT_EQ(g_logValues[1], 9000 + c.step) << c.name;
  }
  // The next call tries again.
  m_system.installed = true;
  m_system.failOpen = false;
  m_system.name = QStringLiteral("Laser 600");
  EXPECT_NE(GetPrinterDC(nullptr), nullptr);
  EXPECT_EQ(g_printerDCExists, 1);
}

// ---- Metrics ----

TEST_F(PrinterTest, MeasuringReadsThePageResolutionAndMargins) {
  m_system.caps = PrinterCaps(600, 300);
  m_system.caps.physicalOffsetX = 150;  // 0.25 inch
  m_system.caps.physicalOffsetY = 50;   // 1/6 inch at 300 dpi
  m_system.caps.physicalWidth = static_cast<int>(std::lround((0.25 + 197 / 25.4 + 0.251) * 600));
  MeasurePrinter();
  EXPECT_EQ(g_printerDpiX, 600);
  EXPECT_EQ(g_printerDpiY, 300);
  EXPECT_DOUBLE_EQ(g_printerWidthInches, 197 / 25.4);
  EXPECT_DOUBLE_EQ(g_printerHeightInches, 280 / 25.4);
  EXPECT_EQ(g_printerScreenRatio, 6);  // 600 / 96 = 6.25
  EXPECT_DOUBLE_EQ(g_printerLeftMargin, 0.25);
  EXPECT_DOUBLE_EQ(g_printerTopMargin, 1.0 / 6);
  EXPECT_DOUBLE_EQ(g_printerRightMargin, 0.25);  // 0.251 is within 0.02 of the left margin
  EXPECT_NEAR(g_printerBottomMargin, m_system.caps.physicalHeight / 300.0 - 280 / 25.4 - 1.0 / 6,
              1e-12);
  EXPECT_EQ(m_areaComputed, 1);

  // Measuring opens the printer anew, so that a changed default printer is picked up.
  m_system.name = QStringLiteral("Inkjet");
  m_system.caps = PrinterCaps(300, 300);
  MeasurePrinter();
  EXPECT_EQ(m_system.opened, 2);
  EXPECT_EQ(g_printerNames[g_currentPrinter], QStringLiteral("Inkjet"));
  EXPECT_EQ(g_printerScreenRatio, 3);
  EXPECT_DOUBLE_EQ(g_printerTopMargin, 50 / 300.0);
}

TEST_F(PrinterTest, RatioToTheScreenIsRoundedAndAtLeastOne) {
  struct Case {
    int dpi;
    int screenDpi;
    int ratio;
  };
  for (const Case& c : {Case{150, 96, 2}, Case{120, 96, 1}, Case{72, 96, 1}, Case{1200, 120, 10},
                        Case{300, 200, 1}}) {
    g_screenDpiX = c.screenDpi;
    m_system.caps = PrinterCaps(c.dpi, c.dpi);
    MeasurePrinter();
    EXPECT_EQ(g_printerScreenRatio, c.ratio) << c.dpi << " / " << c.screenDpi;
  }
}

TEST_F(PrinterTest, WithoutAPrinterTheA4FallbackIsUsed) {
  m_system.installed = false;
  g_printLandscapeRequest = 1;
  MeasurePrinter();
  EXPECT_NEAR(g_printerWidthInches, 11.69, 0.005);
  EXPECT_NEAR(g_printerHeightInches, 8.27, 0.005);
  EXPECT_EQ(g_printerDpiX, 300);
  EXPECT_EQ(g_printerDpiY, 300);
  EXPECT_EQ(g_printerScreenRatio, 3);
  EXPECT_EQ(g_printerLeftMargin, 0);
  EXPECT_EQ(g_printerBottomMargin, 0);
  EXPECT_EQ(g_printerDCExists, -1);
  EXPECT_EQ(m_areaComputed, 1);

  UseFallbackPrinterMetrics(0);
  EXPECT_DOUBLE_EQ(g_printerWidthInches, 8.267716535433072);
  EXPECT_DOUBLE_EQ(g_printerHeightInches, 11.692913385826772);
  EXPECT_EQ(m_areaComputed, 2);
}

// ---- Orientation ----

TEST_F(PrinterTest, TurningThePaperMeasuresThePrinterAgain) {
  MeasurePrinter();
  const double portraitWidth = g_printerWidthInches;
  EXPECT_EQ(SetPrinterOrientation(0), 0);  // already portrait: nothing is measured
  EXPECT_EQ(m_system.opened, 1);
  EXPECT_EQ(SetPrinterOrientation(1), 1);
  EXPECT_EQ(g_printLandscapeRequest, 1);
  EXPECT_EQ(m_system.orientation, PageOrientation::kLandscape);
  EXPECT_EQ(m_system.opened, 2);
  EXPECT_DOUBLE_EQ(g_printerHeightInches, portraitWidth);
  EXPECT_EQ(m_areaComputed, 2);
}

TEST_F(PrinterTest, OrientationThatCannotBeSetChangesNothing) {
  m_system.hasOrientation = false;
  EXPECT_EQ(SetPrinterOrientation(1), 0);
  m_system.hasOrientation = true;
  m_system.refuseOrientation = true;
  EXPECT_EQ(SetPrinterOrientation(1), 0);
  EXPECT_EQ(m_system.orientation, PageOrientation::kPortrait);
  EXPECT_EQ(m_system.opened, 0);

  // Without a printer the fallback page is turned instead.
  m_system.installed = false;
  EXPECT_EQ(SetPrinterOrientation(1), 0);
  EXPECT_NEAR(g_printerWidthInches, 11.69, 0.005);
  EXPECT_EQ(g_printLandscapeRequest, 1);
}

// ---- Print dialog choices ----

TEST(PrintChoices, LastPageFollowsTheToPageExceptInPreview) {
  PrintDialogChoices choices;
  choices.maxPage = 9;
  choices.toPage = 4;
  LimitMaxPageToToPage(choices);
  EXPECT_EQ(choices.maxPage, 4u);
  choices.maxPage = 9;
  choices.preview = true;
  LimitMaxPageToToPage(choices);
  EXPECT_EQ(choices.maxPage, 9u);
  choices.preview = false;
  choices.toPage = 12;
  LimitMaxPageToToPage(choices);
  EXPECT_EQ(choices.maxPage, 9u);
}

TEST(PrintChoices, RestartPutsBackWhatWasSaved) {
  CRestartPrint restart;
  PrintDialogChoices choices;
  choices.fromPage = 2;
  choices.toPage = 5;
  choices.copies = 3;
  choices.flags = 0x40;
  restart.Restore(choices);  // nothing saved yet
  EXPECT_EQ(choices.fromPage, 2);
  restart.Save(choices);
  PrintDialogChoices fresh;
  restart.Restore(fresh);
  EXPECT_EQ(fresh.fromPage, 2);
  EXPECT_EQ(fresh.toPage, 5);
  EXPECT_EQ(fresh.copies, 3);
  EXPECT_EQ(fresh.flags, 0x40u);
  EXPECT_EQ(restart.IsSaved(), 1);
}

// ---- Hooks ----

TEST_F(PrinterTest, SettingsFileRowsFillTheTableAndSavedRowsGoBack) {
  InstallPrinterHooks();
  AddPrinters({QStringLiteral("Canon")});
  g_currentPrinter = 0;
  const PrinterTableHooks& hooks = GetPrinterTableHooks();
  ASSERT_TRUE(hooks.registerSavedPrinter);
  hooks.registerSavedPrinter({QStringLiteral("HP LaserJet 4"), 2, 2, 4, 1});
  hooks.registerSavedPrinter({QStringLiteral("Brother"), 3, 4, 5, 0});
  EXPECT_EQ(Names(), (QStringList{QStringLiteral("Brother"), QStringLiteral("Canon"),
                                  QStringLiteral("HP LaserJet 4")}));
  EXPECT_EQ(g_currentPrinter, 1);  // still Canon
  EXPECT_EQ(g_printerSaved[2], 1);
  EXPECT_EQ(g_printerHatchDotSize[2], 4);
  EXPECT_EQ(g_printerIsColour[2], 1);

  const std::vector<PrinterSettingsRow> saved = hooks.savedPrinters();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].name, QStringLiteral("Brother"));
  EXPECT_EQ(saved[0].arcThickness, 4);
  EXPECT_EQ(saved[1].name, QStringLiteral("HP LaserJet 4"));
  EXPECT_EQ(FormatPrinterLine(saved[1]), QStringLiteral("Printer=2,2,4,1,HP LaserJet 4"));

  EXPECT_EQ(GetLogHooks().selectedPrinter(), 1);
  EXPECT_EQ(GetLogHooks().knownPrinters().size(), 3);
}

TEST_F(PrinterTest, FactorsComeFromAndGoBackToTheMakerWideFile) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  g_logFolder = folder.path();
  g_sharedSettingsFolder = folder.path();
  const QString path = folder.filePath(QStringLiteral("Corvelle.cmf"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "Printer=2, 2 ,4,1,  HP LaserJet 4 \r\nPrinter=2,x,4,1,Bad\r\n"
        "Printer=3,3,5,0,Brother\r\n");
  }
  InstallPrinterHooks();
  ReadPrinterSettings();
  EXPECT_EQ(Names(), (QStringList{QStringLiteral("Brother"), QStringLiteral("HP LaserJet 4")}));

  // The default printer is known from the file: its factors are kept, not measured.
  m_system.name = QStringLiteral("HP LaserJet 4");
  int isNew = -1;
  ASSERT_NE(GetPrinterDC(&isNew), nullptr);
  EXPECT_EQ(isNew, 0);
  EXPECT_EQ(GetPrinterLineThickness(), 2);
  EXPECT_EQ(GetPrinterHatchDotSize(), 4);
  EXPECT_EQ(IsColourPrinter(&g_printerDC->Dc(), 1), 1);

  // A new printer is not written until the manager saves its row.
  m_system.name = QStringLiteral("Laser 600");
  MeasurePrinter();
  EXPECT_EQ(g_printerCount, 3);
  g_printerLineThickness[0] = 1;  // Brother
  ASSERT_EQ(WritePrinterSettings(), 1);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            QByteArray("Printer=1,3,5,0,Brother\r\nPrinter=2,2,4,1,HP LaserJet 4\r\n"));
  ResetSettingsState();
  ResetFileStatus();
}

}  // namespace
