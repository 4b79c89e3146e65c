#include "support/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <ios>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>

#include "support/log.h"

namespace {

// Points the user's config folder and the all-users data folder at a temporary folder, so
// that neither store is the real one.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_root.isValid());
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    m_savedDataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_CONFIG_HOME", m_root.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_DIRS", (m_root.filePath(QStringLiteral("machine")) + ":/usr/share").toUtf8());
    ResetLogState();
    ResetRegistryState();
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", m_savedConfig);
    qputenv("XDG_DATA_DIRS", m_savedDataDirs);
    ResetLogState();
    ResetRegistryState();
    SetRegistryStoreSettleTimeForTest(-1);
  }

  QString UserStore() const { return GetRegistryStorePath(RegistryRoot::kCurrentUser); }
  QString MachineStore() const { return GetRegistryStorePath(RegistryRoot::kLocalMachine); }

  static void WriteFile(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static void MakeReadOnly(const QString& path) {
    ASSERT_TRUE(QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
  }

  static const QStringList& MakerPath() {
    static const QStringList path{QStringLiteral("SOFTWARE"), QStringLiteral("Corvelle Software")};
    return path;
  }

  QTemporaryDir m_root;
  QByteArray m_savedConfig;
  QByteArray m_savedDataDirs;
};

TEST_F(RegistryTest, StoresLiveInTheMakerFolderOfTheConfigAndAllUsersFolders) {
  EXPECT_EQ(UserStore(), m_root.filePath(QStringLiteral("config/Corvelle Software/Registry.ini")));
  EXPECT_EQ(MachineStore(),
            m_root.filePath(QStringLiteral("machine/Corvelle Software/Registry.ini")));
  EXPECT_EQ(GetRegistryStorePath(RegistryRoot::kClassesRoot), MachineStore());
}

TEST_F(RegistryTest, OpenWithCreateMakesEveryMissingLevel) {
  RegistryKey key;
  const QStringList path{QStringLiteral("SOFTWARE"), QStringLiteral("Corvelle Software"),
                         QStringLiteral("Zephorin3")};
  EXPECT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), path, key, true, false), 2);
  EXPECT_TRUE(key.IsOpen());
  EXPECT_TRUE(key.IsWritable());
  EXPECT_EQ(key.path(), path);

  // Each level exists on its own, so deleting the deepest one leaves its parents.
  ASSERT_EQ(DeleteRegistryKey(RegistryKey::CurrentUser(),
                              QStringLiteral("SOFTWARE\\Corvelle Software\\Zephorin3")),
            1);
  RegistryKey parent;
  EXPECT_EQ(OpenRegistryPathForRead(RegistryKey::CurrentUser(), MakerPath(), parent, false), 1);
  EXPECT_FALSE(parent.IsWritable());
}

TEST_F(RegistryTest, OpenWithoutCreateOnAMissingPathFailsAndWritesNothing) {
  RegistryKey key = RegistryKey::CurrentUser();
  EXPECT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, false, false), 0);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(OpenRegistryPathForRead(RegistryKey::CurrentUser(), MakerPath(), key, true), 0);
  EXPECT_FALSE(QFileInfo::exists(UserStore()));

  RegistryKey closed;
  EXPECT_EQ(OpenRegistryPath(closed, MakerPath(), key, true, false), 0);
  EXPECT_FALSE(QFileInfo::exists(UserStore()));
}

TEST_F(RegistryTest, AReadOnlyStoreOpensForReadingOnlyAndRefusesChanges) {
  WriteFile(MachineStore(), "[SOFTWARE\\Corvelle Software\\Zephorin3]\nRMCC=sz:3.36\n");
  MakeReadOnly(MachineStore());
  const QByteArray before = ReadFile(MachineStore());

  RegistryKey key;
  const QStringList path = MakerPath() + QStringList{QStringLiteral("Zephorin3")};
  ASSERT_EQ(OpenRegistryPath(RegistryKey::LocalMachine(), path, key, true, false), 1);
  EXPECT_TRUE(key.IsOpen());
  EXPECT_FALSE(key.IsWritable());
  QString text;
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("RMCC"), text, false), 1);
  EXPECT_EQ(text, QStringLiteral("3.36"));

  EXPECT_EQ(WriteRegistryString(key, QStringLiteral("Installer"), QStringLiteral("RMCC")), 0);
  EXPECT_EQ(DeleteRegistryValue(key, QStringLiteral("RMCC")), 0);
  EXPECT_EQ(DeleteRegistryKey(RegistryKey::LocalMachine(), path.join(u'\\')), 0);
  RegistryKey child;
  EXPECT_EQ(OpenRegistryPath(key, {QStringLiteral("New")}, child, true, false), 0);
  EXPECT_EQ(ReadFile(MachineStore()), before);
}

TEST_F(RegistryTest, StringValuesRoundTripWhateverTheyHold) {
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, true, false), 2);
  struct Case {
    QString name;
    QString text;
  };
  const Case cases[] = {
      {QStringLiteral("Name"), QStringLiteral("Ann Smith")},
      {QStringLiteral("a=b"), QStringLiteral("x=y:z")},
      {QStringLiteral("[Section]"), QStringLiteral("[not a section]")},
      {QStringLiteral(";comment"), QStringLiteral("#also data")},
      {QStringLiteral("Path"), QStringLiteral("C:\\Temp\\n\\")},
      {QStringLiteral("Lines"), QStringLiteral("one\r\ntwo\nthree")},
      {QStringLiteral(" spaced "), QStringLiteral("  both ends  ")},
      {QString(), QStringLiteral("the default value")},
      {QStringLiteral("Empty"), QString()},
      {QStringLiteral("Accents"), QStringLiteral("Zo\u00eb \u00c5sa \u4e2d")},
  };
  for (const Case& c : cases)
    ASSERT_EQ(WriteRegistryString(key, c.name, c.text), 1) << c.name.toStdString();
  for (const Case& c : cases) {
    QString text = QStringLiteral("unchanged");
    EXPECT_EQ(ReadRegistryString(key, c.name, text, false), 1) << c.name.toStdString();
    EXPECT_EQ(text, c.text) << c.name.toStdString();
  }

  // Names are compared without case; writing again replaces the value.
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("NAME"), QStringLiteral("Bob")), 1);
  QString text;
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("name"), text, false), 1);
  EXPECT_EQ(text, QStringLiteral("Bob"));
  QString name;
  ASSERT_EQ(EnumRegistryValue(key, 0, name, text), 1);
  EXPECT_EQ(name, QStringLiteral("Name"));
  EXPECT_EQ(text, QStringLiteral("Bob"));
  EXPECT_EQ(EnumRegistryValue(key, static_cast<int>(std::size(cases)), name, text), 0);

  // A text is kept up to its first null character, as a reader would see it.
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Cut"), QStringLiteral("ab") + QChar(0) + u'c'),
            1);
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Cut"), text, false), 1);
  EXPECT_EQ(text, QStringLiteral("ab"));
}

// The store is parsed once; what another running program writes, by replacing the file or
// by writing into it, is still seen at the next access.
TEST_F(RegistryTest, AStoreIsParsedOnceUntilAnotherProgramChangesIt) {
  const auto writeStore = [&](const QByteArray& value, bool replace, std::int64_t age) {
    const QByteArray text = "[SOFTWARE\\Corvelle Software]\nName=sz:" + value + "\n";
    if (replace) {
      WriteFile(UserStore() + QStringLiteral(".new"), text);
      ASSERT_EQ(std::rename(QFile::encodeName(UserStore() + QStringLiteral(".new")).constData(),
                            QFile::encodeName(UserStore()).constData()),
                0);
    } else {
      WriteFile(UserStore(), text);
    }
    // A store last written age seconds ago.
    const struct timespec when = {std::time(nullptr) - age, 0};
    const struct timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(UserStore()).constData(), times, 0), 0);
  };
  const auto read = [&] {
    RegistryKey key;
    QString text;
    if (OpenRegistryPathForRead(RegistryKey::CurrentUser(), MakerPath(), key, false) == 1) {
      ReadRegistryString(key, QStringLiteral("Name"), text, false);
    }
    return text;
  };

  // Stores this test writes count as settled at once.
  SetRegistryStoreSettleTimeForTest(0);
  writeStore("one", false, 60);
  const int parses = GetRegistryStoreParseCountForTest();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(read(), QStringLiteral("one"));
  EXPECT_EQ(GetRegistryStoreParseCountForTest(), parses + 1);

  // Replaced whole, written into with the same size at another time, or grown.
  writeStore("two", true, 60);
  EXPECT_EQ(read(), QStringLiteral("two"));
  writeStore("six", false, 50);
  EXPECT_EQ(read(), QStringLiteral("six"));
  writeStore("seven", false, 50);
  EXPECT_EQ(read(), QStringLiteral("seven"));
  EXPECT_EQ(GetRegistryStoreParseCountForTest(), parses + 4);
  EXPECT_EQ(read(), QStringLiteral("seven"));
  EXPECT_EQ(GetRegistryStoreParseCountForTest(), parses + 4);

  // A store written a moment ago may be written again within the same file time: it is
  // parsed at every access until its time has settled.
  SetRegistryStoreSettleTimeForTest(-1);
  writeStore("ten", false, 0);
  EXPECT_EQ(read(), QStringLiteral("ten"));
  writeStore("one", false, 0);
  EXPECT_EQ(read(), QStringLiteral("one"));

  // And this program's own writes.
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, false, false), 2);
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("written")), 1);
  EXPECT_EQ(read(), QStringLiteral("written"));
}

TEST_F(RegistryTest, DeletedValueIsGoneAndASecondDeleteFails) {
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, true, false), 2);
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("Ann")), 1);
  EXPECT_EQ(DeleteRegistryValue(key, QStringLiteral("name")), 1);
  QString text;
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("Name"), text, false), 0);
  EXPECT_EQ(DeleteRegistryValue(key, QStringLiteral("Name")), 0);
}

TEST_F(RegistryTest, TypedValuesAreReadOnlyAsTheirType) {
  qputenv("ZEPH_REGISTRY_TEST", "/home/ann");
  WriteFile(MachineStore(),
            "[SOFTWARE\\Corvelle Software\\Zephorin3]\n"
            "Count=dword:12\n"
            "Big=dword:4294967295\n"
            "TooBig=dword:4294967296\n"
            "Bad=dword:12x\n"
            "Text=sz:12\n"
            "Folder=expand_sz:%ZEPH_REGISTRY_TEST%/Plans %UNSET_ZEPH_NAME% 100%\n"
            "Blob=hex:01,02\n");
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPathForRead(RegistryKey::LocalMachine(),
                                    {QStringLiteral("SOFTWARE\\Corvelle Software\\Zephorin3")}, key,
                                    false),
            1);

  struct DwordCase {
    const char* name;
    int result;
    std::uint32_t value;
  };
  for (const DwordCase& c :
       {DwordCase{"Count", 1, 12}, DwordCase{"Big", 1, 4294967295u}, DwordCase{"TooBig", 0, 7},
        DwordCase{"Bad", 0, 7}, DwordCase{"Text", 0, 7}, DwordCase{"Missing", 0, 7},
        DwordCase{"Blob", 0, 7}}) {
    std::uint32_t value = 7;
    EXPECT_EQ(ReadRegistryDword(key, QString::fromLatin1(c.name), &value), c.result) << c.name;
    EXPECT_EQ(value, c.value) << c.name;
  }

  QString text;
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("Count"), text, true), 0);
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("Folder"), text, false), 0);
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Folder"), text, true), 1);
  EXPECT_EQ(text, QStringLiteral("/home/ann/Plans %UNSET_ZEPH_NAME% 100%"));

  // Other types are listed with an empty text.
  QString name;
  ASSERT_EQ(EnumRegistryValue(key, 5, name, text), 1);
  EXPECT_EQ(name, QStringLiteral("Folder"));
  EXPECT_TRUE(text.isEmpty());
  ASSERT_EQ(EnumRegistryValue(key, 6, name, text), 1);
  EXPECT_EQ(name, QStringLiteral("Blob"));
  EXPECT_EQ(EnumRegistryValue(key, 7, name, text), 0);
  qunsetenv("ZEPH_REGISTRY_TEST");
}

TEST_F(RegistryTest, TextsBeyondTheBufferAreRefused) {
  const QByteArray longest(2047, 'x');
  qputenv("ZEPH_REGISTRY_LONG", QByteArray(2040, 'y'));
  WriteFile(UserStore(), "[Key]\nLongest=sz:" + longest + "\nTooLong=sz:" + longest +
                             "x\nGrows=expand_sz:%ZEPH_REGISTRY_LONG%12345678\n");
  RegistryKey key;
  ASSERT_EQ(
      OpenRegistryPathForRead(RegistryKey::CurrentUser(), {QStringLiteral("Key")}, key, false), 1);
  QString text;
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("Longest"), text, false), 1);
  EXPECT_EQ(text.size(), 2047);
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("TooLong"), text, false), 0);
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("Grows"), text, true), 0);
  QString name;
  EXPECT_EQ(EnumRegistryValue(key, 1, name, text), 0);
  qunsetenv("ZEPH_REGISTRY_LONG");
}

TEST_F(RegistryTest, DeletingAKeyTakesItsSubKeysOnly) {
  WriteFile(UserStore(),
            "[Software\\Maker]\nA=sz:1\n"
            "[Software\\Maker\\Product]\nB=sz:2\n"
            "[Software\\Maker\\Product\\Deep]\nC=sz:3\n"
            "[Software\\Maker\\Product2]\nD=sz:4\n");
  RegistryKey maker;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), {QStringLiteral("SOFTWARE\\maker")}, maker,
                             false, false),
            2);
  EXPECT_EQ(DeleteRegistryKey(maker, QStringLiteral("PRODUCT")), 1);
  RegistryKey key;
  EXPECT_EQ(OpenRegistryPathForRead(maker, {QStringLiteral("Product")}, key, false), 0);
  EXPECT_EQ(OpenRegistryPathForRead(maker, {QStringLiteral("Product\\Deep")}, key, false), 0);
  ASSERT_EQ(OpenRegistryPathForRead(maker, {QStringLiteral("Product2")}, key, false), 1);
  QString text;
  EXPECT_EQ(ReadRegistryString(key, QStringLiteral("D"), text, false), 1);
  EXPECT_EQ(ReadRegistryString(maker, QStringLiteral("A"), text, false), 1);

  EXPECT_EQ(DeleteRegistryKey(maker, QStringLiteral("Product")), 0);
  EXPECT_EQ(DeleteRegistryKey(maker, QString()), 0);
}

TEST_F(RegistryTest, SubKeysAreListedOnceInNameOrder) {
  WriteFile(UserStore(),
            "[Root\\beta]\n[Root\\Alpha\\Inner]\n[Root\\ALPHA]\n[Root\\gamma\\x\\y]\n[Rooted]\n");
  RegistryKey root;
  ASSERT_EQ(
      OpenRegistryPathForRead(RegistryKey::CurrentUser(), {QStringLiteral("Root")}, root, false),
      1);
  QStringList names;
  QString name;
  CTime written;
  for (int i = 0; EnumRegistryKey(root, i, name, &written) != 0; ++i) names += name;
  EXPECT_EQ(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"),
                                QStringLiteral("gamma")}));
  EXPECT_FALSE(written.IsZero());
  EXPECT_EQ(EnumRegistryKey(root, -1, name, nullptr), 0);
}

TEST_F(RegistryTest, LinesTheStoreDoesNotKnowSurviveARewrite) {
  const QByteArray original =
      "; written by hand\n"
      "[SOFTWARE\\Corvelle Software]\n"
      "# a note\n"
      "not a value line\n"
      "\n"
      "Blob=hex:01,02\n"
      "[Other]\n"
      "Keep=sz:yes\n";
  WriteFile(UserStore(), original);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, false, false), 2);
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("Ann")), 1);
  EXPECT_EQ(ReadFile(UserStore()),
            "; written by hand\n"
            "[SOFTWARE\\Corvelle Software]\n"
            "# a note\n"
            "not a value line\n"
            "\n"
            "Blob=hex:01,02\n"
            "Name=sz:Ann\n"
            "[Other]\n"
            "Keep=sz:yes\n");
}

TEST_F(RegistryTest, AValueStoredTwiceIsWrittenWhereItIsRead) {
  // Edited by hand: the key twice, the value twice in the first and once in the second.
  WriteFile(UserStore(),
            "[SOFTWARE\\Corvelle Software]\n"
            "Name=sz:first\n"
            "Name=sz:second\n"
            "[SOFTWARE\\Corvelle Software]\n"
            "name=sz:third\n"
            "Other=sz:kept\n");
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, false, false), 2);
  QString read;
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Name"), read, false), 1);
  EXPECT_EQ(read, QStringLiteral("first"));
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("Ann")), 1);
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Name"), read, false), 1);
  EXPECT_EQ(read, QStringLiteral("Ann"));
  EXPECT_EQ(ReadFile(UserStore()),
            "[SOFTWARE\\Corvelle Software]\n"
            "Name=sz:Ann\n"
            "[SOFTWARE\\Corvelle Software]\n"
            "Other=sz:kept\n");
}

TEST_F(RegistryTest, BackslashesTypedByHandKeepTheirValueThroughARewrite) {
  WriteFile(UserStore(),
            "[SOFTWARE\\Corvelle Software]\n"
            "Folder=sz:C:\\Drawings\\Class 4\n"
            "Trailing=sz:end\\\n");
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, false, false), 2);
  ASSERT_EQ(WriteRegistryString(key, QStringLiteral("Name"), QStringLiteral("Ann")), 1);
  QString read;
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Folder"), read, false), 1);
  EXPECT_EQ(read, QStringLiteral("C:\\Drawings\\Class 4"));
  ASSERT_EQ(ReadRegistryString(key, QStringLiteral("Trailing"), read, false), 1);
  EXPECT_EQ(read, QStringLiteral("end\\"));
}

TEST_F(RegistryTest, AStoreThatIsNotValidTextIsNeverRewritten) {
  const QByteArray original = "[SOFTWARE\\Corvelle Software]\nName=sz:Ann \xff\xfe\n";
  WriteFile(UserStore(), original);
  RegistryKey key;
  EXPECT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), MakerPath(), key, true, false), 0);
  EXPECT_EQ(ReadFile(UserStore()), original);
}

TEST_F(RegistryTest, ClassesRootIsTheMachinesClassesKey) {
  RegistryKey type;
  ASSERT_EQ(
      OpenRegistryPath(RegistryKey::ClassesRoot(), {QStringLiteral(".zpd")}, type, true, false), 2);
  ASSERT_EQ(WriteRegistryString(type, QString(), QStringLiteral("Zephorin.Drawing")), 1);
  RegistryKey machine;
  ASSERT_EQ(OpenRegistryPathForRead(RegistryKey::LocalMachine(),
                                    {QStringLiteral("SOFTWARE\\Classes\\.ZPD")}, machine, false),
            1);
  QString text;
  EXPECT_EQ(ReadRegistryString(machine, QString(), text, false), 1);
  EXPECT_EQ(text, QStringLiteral("Zephorin.Drawing"));
  EXPECT_FALSE(QFileInfo::exists(UserStore()));
}

TEST_F(RegistryTest, ClassesRootWriteTestLeavesNoKeyBehind) {
  EXPECT_EQ(CanWriteClassesRoot(), 1);
  RegistryKey key;
  EXPECT_EQ(
      OpenRegistryPathForRead(RegistryKey::ClassesRoot(), {QStringLiteral("._*_ZYX")}, key, false),
      0);
  EXPECT_FALSE(ReadFile(MachineStore()).contains("ZYX"));
}

TEST_F(RegistryTest, ClassesRootWriteTestFailsWhereTheMachineStoreCannotBeWritten) {
  // A read-only machine store.
  WriteFile(MachineStore(), "[SOFTWARE]\n");
  MakeReadOnly(MachineStore());
  EXPECT_EQ(CanWriteClassesRoot(), 0);
  EXPECT_EQ(ReadFile(MachineStore()), QByteArray("[SOFTWARE]\n"));

  // An all-users folder that is a file, so no store can be made under it.
  WriteFile(m_root.filePath(QStringLiteral("blocked")), "a file");
  qputenv("XDG_DATA_DIRS", m_root.filePath(QStringLiteral("blocked")).toUtf8());
  EXPECT_EQ(CanWriteClassesRoot(), 0);
}

TEST(Privilege, RootIsElevatedAndAdministratorGroupsCount) {
  struct Case {
    bool root;
    QStringList groups;
    int level;
  };
  const Case cases[] = {
      {true, {}, kPrivilegeElevated},
      {false, {QStringLiteral("users"), QStringLiteral("sudo")}, kPrivilegeAdministrator},
      {false, {QStringLiteral("wheel")}, kPrivilegeAdministrator},
      {false, {QStringLiteral("admin")}, kPrivilegeAdministrator},
      {false,
       {QStringLiteral("users"), QStringLiteral("adm"), QStringLiteral("sudoers")},
       kPrivilegeStandardUser},
      {false, {QStringLiteral("Sudo")}, kPrivilegeStandardUser},
      {false, {}, kPrivilegeStandardUser},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PrivilegeLevelOf(c.root, c.groups), c.level) << c.groups.join(u',').toStdString();

  const int level = GetUserPrivilegeLevel();
  if (geteuid() == 0) {
    EXPECT_EQ(level, kPrivilegeElevated);
  } else {
    EXPECT_TRUE(level == kPrivilegeStandardUser || level == kPrivilegeAdministrator);
  }
}

TEST(ExceptionKind, EachKindOfFailureHasItsNumber) {
  EXPECT_EQ(GetExceptionKind(std::bad_alloc()), kExceptionMemory);
  EXPECT_EQ(GetExceptionKind(std::bad_array_new_length()), kExceptionMemory);
  EXPECT_EQ(GetExceptionKind(std::invalid_argument("x")), kExceptionInvalidArgument);
  EXPECT_EQ(GetExceptionKind(std::ios_base::failure("x")), kExceptionFile);
  EXPECT_EQ(GetExceptionKind(std::filesystem::filesystem_error(
                "x", std::make_error_code(std::errc::no_such_file_or_directory))),
            kExceptionFile);
  EXPECT_EQ(GetExceptionKind(std::runtime_error("x")), kExceptionOther);
  EXPECT_EQ(GetExceptionKind(std::logic_error("x")), kExceptionOther);
  EXPECT_EQ(GetExceptionKind(std::system_error(std::make_error_code(std::errc::io_error))),
            kExceptionOther);
}

TEST(MathFaults, AreReportedAsGlitchesAndMarkTheResultUnusable) {
  struct Case {
    int type;
    double result;
    double expected;
    std::int16_t mathError;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {kMathUnderflow, 1e-320, 0.0, 0}, {kMathDomain, 5.0, 5.0, 1},
      {kMathSingularity, inf, inf, 1},  {kMathOverflow, inf, inf, 1},
      {kMathTotalLoss, 0.5, 0.5, 1},    {kMathPartialLoss, 0.25, 0.25, 0},
  };
  for (const Case& c : cases) {
    ResetLogState();
    ResetRegistryState();
    EXPECT_EQ(ReportMathError(c.type, c.result), c.expected) << c.type;
    EXPECT_EQ(g_mathError, c.mathError) << c.type;
    EXPECT_EQ(g_firstGlitchCode, 20221);
    EXPECT_EQ(g_firstGlitchNumber, 1);
    ASSERT_EQ(g_firstGlitchValueCount, 1);
    EXPECT_EQ(g_firstGlitchValues[0], c.type);
  }

  ResetLogState();
  ResetRegistryState();
  EXPECT_EQ(CheckMathResult(2.5), 2.5);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_TRUE(std::isnan(CheckMathResult(std::sqrt(-1.0))));
  EXPECT_EQ(g_mathError, 1);
  EXPECT_EQ(g_firstGlitchValues[0], kMathDomain);
  ResetLogState();
  ResetRegistryState();
  EXPECT_EQ(CheckMathResult(-inf), -inf);
  EXPECT_EQ(g_firstGlitchValues[0], kMathOverflow);
  EXPECT_EQ(g_mathError, 1);
  ResetLogState();
  ResetRegistryState();
}

}  // namespace
