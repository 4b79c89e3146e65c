// Points the home, XDG and temporary folders of the whole test program at a temporary folder,
// so that a glitch reported by any test writes its "Zeph.err" there and never into the real
// home folder. Fixtures that need their own folders set them on top of this.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace {

class SandboxEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    m_root = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_root->isValid());
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
      const QString folder = m_root->filePath(QString::fromLatin1(name));
      ASSERT_TRUE(QDir().mkpath(folder));
      qputenv(name, folder.toUtf8());
    }
  }
  void TearDown() override { m_root.reset(); }

 private:
  std::unique_ptr<QTemporaryDir> m_root;
};

[[maybe_unused]] ::testing::Environment* const g_sandbox =
    ::testing::AddGlobalTestEnvironment(new SandboxEnvironment);

}  // namespace
