// Printing as a person meets it on a machine with no printer installed: File > Printer setup
// is the printer set-up (its own title, OK and Cancel) and prints nothing; File > Print offers
// a PDF file named after the drawing in the person's documents folder, and writes it there
// without following a link planted at that name.
#include <unistd.h>
#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QTest>

#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

QString Plain(QString text) {
  text.remove(u'&');
  const qsizetype tab = text.indexOf(u'\t');
  if (tab >= 0) text.truncate(tab);
  return text;
}

// Every PDF file under folder.
QStringList PdfFilesUnder(const QString& folder) {
  QStringList found;
  QDirIterator it(folder, {QStringLiteral("*.pdf"), QStringLiteral("*.PDF")},
                  QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) found << it.next();
  return found;
}

class PrintingTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (IsSkipped()) return;
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    m_documents = QDir(QDir::homePath()).filePath(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkpath(m_documents));
  }

  // Opens a menu of the menu bar and clicks its entry, as the mouse does.
  void ChooseMenu(const QString& menu, const QString& entry) {
    QMenuBar* bar = Frame().menuBar();
    QAction* top = nullptr;
    for (QAction* a : bar->actions()) {
      if (Plain(a->text()) == menu) top = a;
    }
    ASSERT_NE(top, nullptr) << menu.toStdString();
    ASSERT_NE(top->menu(), nullptr);
    ClickAt(bar, bar->actionGeometry(top).center());
    QMenu* popup = top->menu();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }, 2000)) << "no menu";
    Settle(50);
    QAction* item = nullptr;
    for (QAction* a : popup->actions()) {
      if (Plain(a->text()) == entry) item = a;
    }
    ASSERT_NE(item, nullptr) << entry.toStdString();
    ASSERT_TRUE(item->isEnabled()) << entry.toStdString();
    ClickAt(popup, popup->actionGeometry(item).center());
    Settle(100);
  }

  QString m_documents;
};

TEST_F(PrintingTest, PrinterSetupIsTheSetUpAndItsOkPrintsNothing) {
  StartProgram();
  CreateDrawing();
  DrawLine({200, 200}, {500, 300});
  const QStringList before = PdfFilesUnder(QDir::homePath()) + PdfFilesUnder(QDir::tempPath());

  QString title;
  QStringList buttons;
  m_person.Expect(QStringLiteral("the printer set-up"), [&](QWidget& window) {
    title = window.windowTitle();
    buttons = CPerson::ButtonTexts(window);
    CPerson::Press(window, QStringLiteral("OK"));
  });
  ChooseMenu(QStringLiteral("File"), QStringLiteral("Printer setup..."));
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_person.Waiting() == 0; }, 5000));
  Settle(200);
  EXPECT_EQ(title, QStringLiteral("Printer setup"));
  QStringList plain;
  for (const QString& b : buttons) plain << Plain(b);
  EXPECT_TRUE(plain.contains(QStringLiteral("OK"))) << plain.join(u',').toStdString();
  EXPECT_TRUE(plain.contains(QStringLiteral("Cancel"))) << plain.join(u',').toStdString();
  EXPECT_FALSE(plain.contains(QStringLiteral("Print"))) << plain.join(u',').toStdString();
  // Nothing was printed: no PDF file anywhere the program could write one.
  EXPECT_EQ(PdfFilesUnder(QDir::homePath()) + PdfFilesUnder(QDir::tempPath()), before);
}

TEST_F(PrintingTest, PrintOffersTheDrawingsNameInTheDocumentsFolderAndFollowsNoLink) {
  StartProgram();
  CreateDrawing();
  DrawLine({200, 200}, {500, 300});
  // Another file of the person's, and a link to it at the name the print offers.
  const QString victim = QDir(QDir::homePath()).filePath(QStringLiteral("victim.txt"));
  {
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep");
  }
  const QString offered = QDir(m_documents).filePath(QStringLiteral("Untitled.pdf"));
  ASSERT_EQ(
      ::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(offered).constData()), 0);

  QString fileField;
  m_person.Expect(QStringLiteral("the print dialog"), [&](QWidget& window) {
    for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
      if (edit->isVisible() && edit->text().endsWith(QStringLiteral(".pdf")))
        fileField = edit->text();
    }
    CPerson::Press(window, QStringLiteral("Print"));
  });
  // The name is taken: the dialog asks before replacing it.
  m_person.Expect(QStringLiteral("replace the file"),
                  [](QWidget& window) { CPerson::Press(window, QStringLiteral("Yes")); });
  ChooseMenu(QStringLiteral("File"), QStringLiteral("Print..."));
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_person.Waiting() == 0; }, 5000));
  Settle(300);
  EXPECT_EQ(fileField, offered);

  // The PDF file took the name; the file the link named is as it was.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo(offered).isSymLink(); }, 5000));
  QFile pdf(offered);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
  QFile kept(victim);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("keep"));
  // Nothing in the shared temporary folder.
  EXPECT_TRUE(PdfFilesUnder(QDir::tempPath()).isEmpty());
}

}  // namespace
}  // namespace zeph::testing
