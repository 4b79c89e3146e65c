#pragma once
// An open text file as the writers of fixed-form lines see it: something that takes strings.
// The activity log, the usage log and the text-file writer each provide one.
#include <QString>

class ITextOutput {
 public:
  virtual ~ITextOutput() = default;
  // Writes the text as it stands; "\n" in it is a line end, written as CR LF by the file.
  virtual void WriteString(const QString& text) = 0;
};

// Collects what is written, for building text in memory and for tests.
class StringTextOutput final : public ITextOutput {
 public:
  void WriteString(const QString& text) override { m_text += text; }
  const QString& text() const { return m_text; }

 private:
  QString m_text;
};
