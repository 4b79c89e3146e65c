#pragma once
// Whole-file reads and writes for tests that prepare and inspect the files under test.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Writes the file, making its folder first.
inline void WriteFile(const QString& path, const QByteArray& content) {
  QDir().mkpath(path.left(path.lastIndexOf(u'/')));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(content), content.size());
}

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}
