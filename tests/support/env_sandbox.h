#pragma once
// The ground both sandbox fixtures stand on: a fresh temporary folder for each test, folders
// made in it, environment variables set or unset for the test and put back afterwards, and
// whole-file reads and writes.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// Readable texts in failure messages.
static inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class EnvSandbox : public ::testing::Test {
 protected:
  QString Path(const QString& relative) const { return m_root.path() + u'/' + relative; }
  QString MakeFolder(const QString& relative) const {
    QDir().mkpath(Path(relative));
    return Path(relative);
  }
  void SetEnv(const char* name, const QString& value) {
    Save(name);
    qputenv(name, value.toUtf8());
  }
  void UnsetEnv(const char* name) {
    Save(name);
    qunsetenv(name);
  }
  // Every variable set or unset since the test began, back as it was (the last step of a
  // fixture's TearDown).
  void RestoreEnv() {
    for (auto it = m_savedEnv.rbegin(); it != m_savedEnv.rend(); ++it) {
      if (it->second) {
        qputenv(it->first.constData(), *it->second);
      } else {
        qunsetenv(it->first.constData());
      }
    }
  }

  static void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
  }

  QTemporaryDir m_root;

 private:
  void Save(const char* name) {
    for (const auto& saved : m_savedEnv)
      if (saved.first == name) return;
    std::optional<QByteArray> old;
    if (qEnvironmentVariableIsSet(name)) old = qgetenv(name);
    m_savedEnv.emplace_back(QByteArray(name), std::move(old));
  }

  std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnv;
};
