// The PDF file a print job offers where no printer is installed: the drawing's name in the
// person's own documents folder (as the desktop names it), never a fixed name in the shared
// temporary folder.
#include <QDir>
#include <QFile>

#include "app_fixture.h"

namespace zeph::testing {
namespace {

class PrintFileNameTest : public AppTest {
 protected:
  void TearDown() override {
    QFile::remove(UserDirsFile());
    AppTest::TearDown();
  }
  static QString UserDirsFile() {
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("user-dirs.dirs"));
  }
  // The desktop's own name for the documents folder, under the test's home.
  static void NameDocumentsFolder(const QString& relative) {
    QFile file(UserDirsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("XDG_DOCUMENTS_DIR=\"$HOME/" + relative.toUtf8() + "\"\n");
  }
};

TEST_F(PrintFileNameTest, TheDrawingsNameInTheDocumentsFolder) {
  const QString home = QDir::homePath();
  ASSERT_TRUE(QDir().mkpath(QDir(home).filePath(QStringLiteral("Papers"))));
  NameDocumentsFolder(QStringLiteral("Papers"));
  CZephDoc doc;
  const struct {
    QString path;
    QString offered;
  } cases[] = {
      {QStringLiteral("/somewhere/Bridge.zpd"), QStringLiteral("Papers/Bridge.pdf")},
      {QStringLiteral("/somewhere/my plan.v2.zpd"), QStringLiteral("Papers/my plan.v2.pdf")},
      {QStringLiteral("/somewhere/shapes.zsy"), QStringLiteral("Papers/shapes.pdf")},
      {QString(), QStringLiteral("Papers/Untitled.pdf")},
  };
  for (const auto& c : cases) {
    doc.SetFilePath(c.path);
    EXPECT_EQ(MakePrintFileName(&doc), QDir(home).filePath(c.offered)) << c.path.toStdString();
  }
  EXPECT_EQ(MakePrintFileName(nullptr), QDir(home).filePath(QStringLiteral("Papers/Untitled.pdf")));
  EXPECT_FALSE(MakePrintFileName(&doc).startsWith(QDir::tempPath()));

  // A documents folder that is not there: the home folder.
  NameDocumentsFolder(QStringLiteral("Gone"));
  doc.SetFilePath(QStringLiteral("/somewhere/Bridge.zpd"));
  EXPECT_EQ(MakePrintFileName(&doc), QDir(home).filePath(QStringLiteral("Bridge.pdf")));
}

}  // namespace
}  // namespace zeph::testing
