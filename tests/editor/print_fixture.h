#pragma once
// Printing without a printer: a fake printer system whose one printer draws on a recording
// context, a fake print dialog and page counter, and a view of a drawing of our own. The
// printer has no unprintable margins and 254 dots per inch, so that at scale 1 to 1 one
// printer pixel is 100 drawing units.
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/printsettings.h"
#include "editor/viewframe.h"
#include "editor/zephview.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/printersystem.h"
#include "platform/recordingcontext.h"
#include "support/appservices.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/screen.h"

namespace zeph::testing {

inline constexpr int kPrinterDpi = 254;
// A page of 10 x 15 inches (portrait): whole millimetres, as printers report their pages.
inline DeviceCaps PageCaps(bool landscape) {
  DeviceCaps caps;
  caps.dpiX = kPrinterDpi;
  caps.dpiY = kPrinterDpi;
  const int w = 10 * kPrinterDpi;
  const int h = 15 * kPrinterDpi;
  caps.width = landscape ? h : w;
  caps.height = landscape ? w : h;
  caps.widthMm = caps.width / 10;  // 254 dpi: ten pixels a millimetre
  caps.heightMm = caps.height / 10;
  caps.physicalWidth = caps.width;
  caps.physicalHeight = caps.height;
  return caps;
}

class FakePrinterDevice final : public CPrinterDevice {
 public:
  explicit FakePrinterDevice(const DeviceCaps& caps) {
    m_dc.SetDeviceCaps(caps);
    m_dc.SetPrinting(true);
  }
  CDrawContext& Dc() override { return m_dc; }
  CRecordingContext& Recording() { return m_dc; }

 private:
  CRecordingContext m_dc;
};

class FakePrinterSystem final : public IPrinterSystem {
 public:
  bool GetDefaults(PrinterDefaults& defaults) override {
    if (!installed) return false;
    defaults.name = QStringLiteral("Fake printer");
    defaults.hasOrientation = true;
    defaults.orientation = orientation;
    return true;
  }
  std::unique_ptr<CPrinterDevice> OpenDefaultPrinter() override {
    if (!installed) return nullptr;
    return std::make_unique<FakePrinterDevice>(
        PageCaps(orientation == PageOrientation::kLandscape));
  }
  bool SetDefaultOrientation(PageOrientation wanted) override {
    orientation = wanted;
    return true;
  }

  bool installed = true;
  PageOrientation orientation = PageOrientation::kPortrait;
};

// The print dialog and the pages of a job; the dialog's answer is scripted.
class FakeJobDriver final : public IPrintJobDriver {
 public:
  bool DoPreparePrinting(CPrintInfo& info) override {
    dialogs.push_back(info);
    if (info.direct) return true;
    if (onDialog) onDialog(info);
    return answer;
  }
  CDrawContext* BeginJob(const CPrintInfo& info) override {
    ++jobs;
    job = info;
    return g_printerDCExists == 1 && g_printerDC != nullptr ? &g_printerDC->Dc() : nullptr;
  }
  bool StartPage(int page) override {
    pages.push_back(page);
    return true;
  }
  void EndPage() override {}
  void EndJob(bool /*aborted*/) override { ++ended; }

  bool answer = true;
  std::function<void(CPrintInfo&)> onDialog;
  std::vector<CPrintInfo> dialogs;  // as each dialog was asked for
  std::vector<int> pages;
  CPrintInfo job;  // as the last job began
  int jobs = 0;
  int ended = 0;
};

class CTestPrintView final : public CZephView {
 public:
  explicit CTestPrintView(CZephDoc* doc) : m_doc(doc) {}
  CZephDoc* GetDocument() const override { return m_doc; }
  void OnDraw(CDrawContext& /*dc*/) override {}

 private:
  CZephDoc* m_doc;
};

inline DrawItemPtr MakePrintLine(int x1, int y1, int x2, int y2) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetColour(0);
  line->SetLineStyle(kLineStyleUnbroken);
  return line;
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    SetPrinterSystem(&m_system);
    SetPrintJobDriver(&m_driver);
    CPrintSettings& s = m_doc.GetPrintSettings();
    s.SetLandscape(0);
    s.SetLeftMargin(0.0);
    s.SetRightMargin(0.0);
    s.SetTopMargin(0.0);
    s.SetBottomMargin(0.0);
    s.SetFooterMargin(2.54);  // one inch of footer
    s.SetMultiPageMargin(0.0);
    m_doc.SetPrintingScale(1.0);
    m_view = std::make_unique<CTestPrintView>(&m_doc);
    SetActivePrintDrawing(&m_doc);
  }

  void TearDown() override {
    m_view.reset();
    SetPrintJobDriver(nullptr);
    SetPrinterSystem(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetAll();
  }

  static void ResetAll() {
    ResetPrinterState();
    ResetPrintLayoutState();
    SetPrintableAreaComputer(nullptr);
    ResetViewGlobals();
    ResetOptionsState();
    ResetScreenState();
    ResetLogState();
    g_userName.clear();
  }

  void Add(DrawItemPtr item) { ASSERT_EQ(m_doc.AddItem(item), 1); }

  // A horizontal line whose printed width at scale 1 is printedPixels printer pixels plus
  // extraUnits drawing units (the extents' margin included), from x 0 and at height y.
  void AddLineOfWidth(int printedPixels, int extraUnits, int y = 0) {
    const int target = printedPixels * 100 + extraUnits;  // maxX - minX + 1
    // The extents' margin is learned from a probe drawing of the same kind of line.
    CZephDoc probe;
    DrawItemPtr probeLine = MakePrintLine(0, y, 100000, y);
    ASSERT_EQ(probe.AddItem(probeLine), 1);
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    ASSERT_EQ(probe.GetExtents(nullptr, minX, minY, maxX, maxY, 1), 1);
    Add(MakePrintLine(0, y, 100000 + target - (maxX - minX + 1), y));
    ASSERT_EQ(m_doc.GetExtents(nullptr, minX, minY, maxX, maxY, 1), 1);
    ASSERT_EQ(maxX - minX + 1, target);
  }

  // Measures the fake printer, as a print job does first.
  void Measure() {
    MeasurePrinter();
    ASSERT_EQ(g_printerDCExists, 1);
  }

  CRecordingContext& PrinterDc() {
    return static_cast<FakePrinterDevice&>(*g_printerDC).Recording();
  }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  FakePrinterSystem m_system;
  FakeJobDriver m_driver;
  CZephDoc m_doc;
  std::unique_ptr<CTestPrintView> m_view;
  bool m_glitchExpected = false;
};

}  // namespace zeph::testing
