// A test of files in a folder of its own: paths in it, what it holds, and files put and read.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

  QString Path(const QString& name) const { return m_folder.filePath(name); }
  QString Path(const char* name) const { return Path(QString::fromUtf8(name)); }
  // Every entry, hidden ones and links included, by name.
  QStringList Entries() const {
    return QDir(m_folder.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                   QDir::Name);
  }
  static void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  // "<missing>" when the file cannot be read, so that it never equals an empty file.
  static QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  QTemporaryDir m_folder;
};
