#include "support/sysinfo.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <QRegularExpression>
#include <QVersionNumber>

#include "support/help.h"
#include "support/log.h"

namespace {

class SystemInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetSystemInfo();
    ResetHelpState();
  }
  void TearDown() override {
    ResetLogState();
    ResetSystemInfo();
    ResetHelpState();
  }
};

TEST_F(SystemInfoTest, ThisSystemTakesTheNewestClassWithItsKernelInTheCode) {
  DetectWindowsVersion();
  EXPECT_EQ(g_osClass, 2);
  EXPECT_EQ(g_uiOsClass, 2);
  EXPECT_EQ(g_isVistaOrLater, 1);
  EXPECT_EQ(g_isServer, 0);
  EXPECT_EQ(g_glitchCount, 0);

  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  const QString release = QString::fromLocal8Bit(names.release);
  const QVersionNumber version = QVersionNumber::fromString(release);
  EXPECT_EQ(g_systemCode, MakeSystemCode(false, version.majorVersion(), version.minorVersion(), 0));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^0[a-zA-Z]{2}0$")).match(g_systemCode).hasMatch())
      << g_systemCode.toStdString();
  EXPECT_TRUE(g_machineDescription.contains(release)) << g_machineDescription.toStdString();
  EXPECT_FALSE(g_machineDescription.contains(QStringLiteral("Windows")));
  EXPECT_EQ(g_windowsBitness, BitnessOfMachine(QString::fromLocal8Bit(names.machine)));
}

TEST(SystemCode, IsFourLettersAndDigitsWhateverTheNumbers) {
  struct Case {
    bool server;
    int major;
    int minor;
    int servicePack;
    const char* code;
  };
  for (const Case& c :
       {Case{false, 6, 1, 0, "0gb0"}, Case{false, 10, 0, 0, "0ka0"}, Case{false, 6, 1, 1, "0gb1"},
        Case{true, 5, 2, 2, "1fc2"}, Case{false, 25, 26, 9, "0zA9"},
        Case{false, 51, 52, 10, "0ZZ9"}, Case{false, 1000, -1, -4, "0Za0"}}) {
    EXPECT_EQ(MakeSystemCode(c.server, c.major, c.minor, c.servicePack),
              QString::fromLatin1(c.code))
        << c.code;
  }
}

TEST(SystemBitness, FollowsTheKernelsArchitectureName) {
  struct Case {
    const char* machine;
    int bitness;
  };
  for (const Case& c : {Case{"x86_64", 2}, Case{"aarch64", 2}, Case{"arm64", 2}, Case{"ppc64le", 2},
                        Case{"riscv64", 2}, Case{"s390x", 2}, Case{"i686", 1}, Case{"i386", 1},
                        Case{"armv7l", 1}, Case{"ppc", 1}, Case{"", 0}}) {
    EXPECT_EQ(BitnessOfMachine(QString::fromLatin1(c.machine)), c.bitness) << c.machine;
  }
}

TEST(MachineDescription, AddsTheDetailInBracketsOnlyWhenThereIsOne) {
  EXPECT_EQ(
      FormatMachineDescription(QStringLiteral("Windows 98"), QStringLiteral("Second Edition")),
      QStringLiteral("Windows 98 [Second Edition]"));
  EXPECT_EQ(FormatMachineDescription(QStringLiteral("Debian GNU/Linux 12 (bookworm)"), QString()),
            QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
}

TEST_F(SystemInfoTest, AHelpTopicOutOfPlaceIsReportedOnce) {
  g_helpTopics[7] = CHelpTopic(8, QStringLiteral("command_file_add"));
  g_helpTopics[9] = CHelpTopic(3, QStringLiteral("command_file_new"));
  DetectWindowsVersion();
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 25001);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  ASSERT_EQ(g_firstGlitchValueCount, 1);
  EXPECT_EQ(g_firstGlitchValues[0], 7);
  // The rest of the set-up is done all the same.
  EXPECT_EQ(g_uiOsClass, 2);
  EXPECT_FALSE(g_systemCode.isEmpty());
}

TEST_F(SystemInfoTest, FreeingTheSupportResourcesEmptiesTheLogRing) {
  LogAction(25001, 0, 0);
  LogString(QStringLiteral("kept"));
  ASSERT_NE(g_logCodes, nullptr);
  FreeSupportResources();
  EXPECT_EQ(g_logCodes, nullptr);
  EXPECT_EQ(g_logValues, nullptr);
  EXPECT_EQ(g_logCapacity, 0);
  EXPECT_EQ(g_loggedStringCapacity, 0);
}

}  // namespace
