#include "platform/pdfwriter.h"

#include <QByteArray>
#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <future>
#include <thread>

namespace zeph {
namespace {

constexpr int kCatalog = 1;
constexpr int kPages = 2;
constexpr int kInfo = 3;
// Below this a page's content is packed in one piece; threads would cost more than they save.
constexpr std::size_t kPieceBytes = 256 * 1024;

// Deflated as a zlib stream, which is what /FlateDecode reads. The fastest level: the content
// is plain operators that pack well even so, and the time goes into packing.
QByteArray Deflate(const char* data, std::size_t size) {
  QByteArray packed =
      qCompress(reinterpret_cast<const uchar*>(data), static_cast<qsizetype>(size), 1);
  // qCompress puts the unpacked size in front of the stream.
  return packed.size() > 4 ? packed.mid(4) : QByteArray();
}

// The content cut at line ends into pieces of about equal size; a page's content may be an
// array of streams, read as one when they are cut between operators.
std::vector<std::pair<std::size_t, std::size_t>> Pieces(const std::string& content) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t count =
      std::clamp<std::size_t>(content.size() / kPieceBytes, 1, std::min(cores, 16u));
  std::vector<std::pair<std::size_t, std::size_t>> pieces;
  std::size_t start = 0;
  for (std::size_t i = 1; i <= count && start < content.size(); ++i) {
    std::size_t end = i == count ? content.size() : content.size() * i / count;
    if (end < content.size()) {
      const std::size_t newline = content.find('\n', end);
      end = newline == std::string::npos ? content.size() : newline + 1;
    }
    if (end > start) pieces.emplace_back(start, end - start);
    start = end;
  }
  if (pieces.empty()) pieces.emplace_back(0, 0);
  return pieces;
}

// A text string of the document information: ASCII as it is, anything else as UTF-16.
std::string TextString(const QString& text) {
  bool ascii = true;
  for (const QChar c : text) ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
  std::string out;
  if (ascii) {
    out += '(';
    for (const QChar c : text) {
      const char ch = static_cast<char>(c.unicode());
      if (ch == '(' || ch == ')' || ch == '\\') out += '\\';
      out += ch;
    }
    out += ')';
    return out;
  }
  out += "<FEFF";
  char hex[8];
  for (const QChar c : text) {
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(c.unicode()));
    out += hex;
  }
  out += '>';
  return out;
}

}  // namespace

CPdfWriter::CPdfWriter() = default;

CPdfWriter::~CPdfWriter() { Abandon(); }

void CPdfWriter::AppendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) value = 0;
  long long hundredths = std::llround(value * 100);
  if (hundredths < 0) {
    out += '-';
    hundredths = -hundredths;
  }
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, hundredths / 100);
  out.append(digits, written.ptr);
  const int fraction = static_cast<int>(hundredths % 100);
  if (fraction != 0) {
    out += '.';
    out += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) out += static_cast<char>('0' + fraction % 10);
  }
}

bool CPdfWriter::Open(const QString& path, const QString& title) {
  Abandon();
  std::unique_ptr<CFileOutput> file = OpenFileOutput(path);
  if (file == nullptr) return false;
  m_file = std::move(file);
  m_failed = false;
  m_offset = 0;
  m_offsets.assign(kInfo + 1, 0);
  m_pages.clear();
  m_title = title;
  m_pageOpen = false;
  m_content.clear();
  // The second line's high bytes mark the file as binary for programs that guess.
  Write(std::string("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"));
  return !m_failed;
}

void CPdfWriter::BeginPage(double widthPt, double heightPt) {
  if (!IsOpen()) return;
  if (m_pageOpen) EndPage();
  m_pageOpen = true;
  m_pageWidth = widthPt;
  m_pageHeight = heightPt;
  m_content.clear();
}

int CPdfWriter::NewObject() {
  m_offsets.push_back(0);
  return static_cast<int>(m_offsets.size()) - 1;
}

void CPdfWriter::BeginObject(int number) {
  m_offsets[static_cast<std::size_t>(number)] = m_offset;
  Write(std::to_string(number) + " 0 obj\n");
}

void CPdfWriter::Write(const char* data, std::size_t size) {
  if (m_failed || m_file == nullptr || size == 0) return;
  if (!m_file->Write(data, size)) {
    m_failed = true;
    return;
  }
  m_offset += static_cast<long long>(size);
}

void CPdfWriter::WriteStream(int number, const QByteArray& packed) {
  BeginObject(number);
  // An empty stream is left unpacked: a zero-length deflated stream is not a valid one.
  Write("<< /Length " + std::to_string(packed.size()) +
        (packed.isEmpty() ? " >>\nstream\n" : " /Filter /FlateDecode >>\nstream\n"));
  Write(packed.constData(), static_cast<std::size_t>(packed.size()));
  Write(std::string("\nendstream\nendobj\n"));
}

void CPdfWriter::EndPage() {
  if (!m_pageOpen) return;
  m_pageOpen = false;
  const auto pieces = Pieces(m_content);
  std::vector<QByteArray> packed(pieces.size());
  if (pieces.size() == 1) {
    packed[0] = Deflate(m_content.data() + pieces[0].first, pieces[0].second);
  } else {
    std::vector<std::future<QByteArray>> work;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
      work.push_back(std::async(std::launch::async, Deflate, m_content.data() + pieces[i].first,
                                pieces[i].second));
    }
    packed[0] = Deflate(m_content.data() + pieces[0].first, pieces[0].second);
    for (std::size_t i = 1; i < pieces.size(); ++i) packed[i] = work[i - 1].get();
  }
  // Packing fails only when memory runs out; the file would lose the page's drawing.
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (packed[i].isEmpty() && pieces[i].second > 0) m_failed = true;
  }
  m_content.clear();
  std::string contents;
  for (const QByteArray& piece : packed) {
    const int stream = NewObject();
    WriteStream(stream, piece);
    contents += std::to_string(stream) + " 0 R ";
  }
  const int page = NewObject();
  BeginObject(page);
  std::string dictionary = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
  AppendNumber(dictionary, m_pageWidth);
  dictionary += ' ';
  AppendNumber(dictionary, m_pageHeight);
  dictionary += "] /Resources << >> /Contents [ " + contents + "] >>\nendobj\n";
  Write(dictionary);
  m_pages.push_back(page);
}

bool CPdfWriter::Finish() {
  if (!IsOpen()) return false;
  // A file without pages is not a PDF file readers open; an empty job gives one blank page.
  if (!m_pageOpen && m_pages.empty()) BeginPage(595.28, 841.89);
  EndPage();
  std::string kids;
  for (const int page : m_pages) kids += std::to_string(page) + " 0 R ";
  BeginObject(kPages);
  Write("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(m_pages.size()) +
        " >>\nendobj\n");
  BeginObject(kCatalog);
  Write(std::string("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"));
  BeginObject(kInfo);
  std::string info = "<< /Producer (Zephorin)";
  if (!m_title.isEmpty()) info += " /Title " + TextString(m_title);
  const QString now = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
  info += " /CreationDate (D:" + now.toStdString() + "Z) >>\nendobj\n";
  Write(info);
  const long long xref = m_offset;
  std::string table = "xref\n0 " + std::to_string(m_offsets.size()) + "\n0000000000 65535 f \n";
  char entry[32];
  for (std::size_t i = 1; i < m_offsets.size(); ++i) {
    std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", m_offsets[i]);
    table += entry;
  }
  table += "trailer\n<< /Size " + std::to_string(m_offsets.size()) +
           " /Root 1 0 R /Info 3 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  Write(table);
  const bool written = !m_failed && m_file->Commit();
  if (!written) m_file->Discard();
  m_file.reset();
  return written;
}

void CPdfWriter::Abandon() {
  if (m_file == nullptr) return;
  m_file->Discard();
  m_file.reset();
  m_pageOpen = false;
  m_content.clear();
}

}  // namespace zeph
