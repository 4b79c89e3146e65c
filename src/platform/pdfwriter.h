#pragma once
// A PDF file written page by page. The caller writes each page's content as PDF operators;
// the writer packs it with a fast deflate, spread over the processor's cores, because a large
// drawing's page runs to tens of megabytes of operators. The file takes its name only when
// finished: an abandoned or failed job leaves any earlier file of that name as it was.
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileoutput.h"

namespace zeph {

class CPdfWriter {
 public:
  CPdfWriter();
  ~CPdfWriter();
  CPdfWriter(const CPdfWriter&) = delete;
  CPdfWriter& operator=(const CPdfWriter&) = delete;

  // Starts the file; false when it cannot be created. title may be empty.
  bool Open(const QString& path, const QString& title);
  bool IsOpen() const { return m_file != nullptr; }
  // Starts a page of the given size in points; a page still open is ended first.
  void BeginPage(double widthPt, double heightPt);
  // The open page's content, for appending operators.
  std::string& Content() { return m_content; }
  // Ends the file and gives it its name; false when anything could not be written.
  bool Finish();
  // Drops the file; an earlier file of the same name stays.
  void Abandon();

  // Appends value with at most two decimals, as PDF numbers are written.
  static void AppendNumber(std::string& out, double value);

 private:
  void EndPage();
  int NewObject();
  void BeginObject(int number);
  void Write(const char* data, std::size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }
  void WriteStream(int number, const QByteArray& packed);

  std::unique_ptr<CFileOutput> m_file;
  bool m_failed = false;
  long long m_offset = 0;
  std::vector<long long> m_offsets;  // by object number; 0 for objects not yet written
  std::vector<int> m_pages;          // the pages' object numbers
  QString m_title;
  bool m_pageOpen = false;
  double m_pageWidth = 0;
  double m_pageHeight = 0;
  std::string m_content;
};

}  // namespace zeph
