// A program that saves one drawing and, when told, kills itself at a point of the save, as a
// power cut or a kill -9 would end the program there. The drawing-file tests start it once and
// look at what each save leaves; every save runs in a child process of its own, forked from
// this one, so that the program's start is paid once and not at every point.
//   zeph_save_kill <drawing> <backup folder 0|1> <backup series 0|1>
// It reads the point to die at (0: none) from each line of its input, saves, and answers
// "points <n>" (the points the save passed, when it was not killed) and then "end killed" or
// "end exit <code>" (0 when the save succeeded).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "document/document.h"
#include "document/drawingfile.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "support/filestatus.h"
#include "support/options.h"
#include "support/safesave.h"

namespace {

int g_killAt = 0;
int g_points = 0;

void AtSavePoint(int point) {
  g_points = point;
  if (point == g_killAt) ::raise(SIGKILL);
}

// The save of the child: it ends the process, killed or with the save's result.
[[noreturn]] void SaveAndEnd(const QString& path) {
  // Each item is a write of its own, a point of the save.
  CZephDoc doc;
  doc.EnableUndo(0);
  for (int i = 0; i < 4; ++i) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(i * 10, 0);
    line->SetEnd(i * 10, 5000 + i);
    line->SetLineStyle(kLineStyleUnbroken);
    doc.AddItem(line);
  }
  SetSaveFaultForTest(0);
  SetSavePointObserverForTest(AtSavePoint);
  // A kill loses nothing the system already holds; only a power cut would need the syncs.
  SetSyncToDisk(false);
  doc.WriteDrawingFile(path);
  std::printf("points %d\n", g_points);
  std::fflush(stdout);
  std::_Exit(g_fileStatus == kFileOk ? 0 : 2);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zeph_save_kill <drawing> <folder> <series>\n");
    return 64;
  }
  ApplyOptionDefaults();
  SetOptionFlag(kOptionUseBackupFolder, std::atoi(argv[2]));
  SetOptionFlag(kOptionCreateBackupSeries, std::atoi(argv[3]));
  const QString path = QString::fromLocal8Bit(argv[1]);

  char line[32];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    g_killAt = std::atoi(line);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0) return 70;
    if (child == 0) SaveAndEnd(path);
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return 70;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
      std::printf("end killed\n");
    } else {
      std::printf("end exit %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 99);
    }
    std::fflush(stdout);
  }
  return 0;
}
