// A program that saves one drawing and, when told, kills itself at a point of the save, as a
// power cut or a kill -9 would end the program there. The drawing-file tests run it in a
// process of its own for every point and look at what is left.
//   zeph_save_kill <drawing> <backup folder 0|1> <backup series 0|1> <point to die at, 0 none>
// It prints "points <n>", the points the save passed, and exits 0 when the save succeeded.
#include <signal.h>

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "document/document.h"
#include "document/drawingfile.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "support/filestatus.h"
#include "support/options.h"

namespace {

int g_killAt = 0;
int g_points = 0;

void AtSavePoint(int point) {
  g_points = point;
  if (point == g_killAt) ::raise(SIGKILL);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: zeph_save_kill <drawing> <folder> <series> <point>\n");
    return 64;
  }
  ApplyOptionDefaults();
  SetOptionFlag(kOptionUseBackupFolder, std::atoi(argv[2]));
  SetOptionFlag(kOptionCreateBackupSeries, std::atoi(argv[3]));
  g_killAt = std::atoi(argv[4]);

  // Each item is a write of its own, a point of the save.
  CZephDoc doc;
  doc.EnableUndo(0);
  for (int i = 0; i < 20; ++i) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(i * 10, 0);
    line->SetEnd(i * 10, 5000 + i);
    line->SetLineStyle(kLineStyleUnbroken);
    doc.AddItem(line);
  }
  SetSaveFaultForTest(0);
  SetSavePointObserverForTest(AtSavePoint);
  doc.WriteDrawingFile(QString::fromLocal8Bit(argv[1]));
  std::printf("points %d\n", g_points);
  return g_fileStatus == kFileOk ? 0 : 2;
}
