#include "items/itemdocument.h"

#include "support/textfile.h"

int ReadEdgeKind(CTextFileReader& reader, int& kind) {
  std::int16_t value = 0;
  if (reader.ReadShort(value) == 0) return 0;
  if (value < 0 || value > 3) return 0;
  kind = value;
  return 1;
}

void WriteEdgeKind(CTextFileWriter& writer, int kind) { writer.WriteShort(kind); }
