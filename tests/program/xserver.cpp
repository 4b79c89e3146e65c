#include "program/xserver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <csignal>
#include <vector>

namespace {

QString g_noDisplayReason;

// Starts program with arguments, its output to /dev/null but for keepFd (left open as it is);
// the child ends when the test program does.
pid_t Spawn(const QString& program, const QStringList& arguments, int keepFd) {
  std::vector<QByteArray> storage;
  storage.push_back(QFile::encodeName(program));
  for (const QString& a : arguments) storage.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& a : storage) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, 0);
    if (keepFd != 1) dup2(null, 1);
    dup2(null, 2);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

void EndChild(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = 0;
      return;
    }
    QThread::msleep(20);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = 0;
}

}  // namespace

const QString& NoDisplayReason() { return g_noDisplayReason; }
void SetNoDisplayReason(const QString& reason) { g_noDisplayReason = reason; }

QString CTestXServer::Start() {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty()) return QStringLiteral("Xvfb is not installed (scripts/install-deps.sh)");
  const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
  if (openbox.isEmpty())
    return QStringLiteral("openbox is not installed (scripts/install-deps.sh)");

  // Xvfb picks a free display and writes its number to the pipe.
  int fds[2];
  if (pipe(fds) != 0) return QStringLiteral("no pipe for Xvfb");
  m_server = Spawn(xvfb,
                   {QStringLiteral("-displayfd"), QString::number(fds[1]),
                    QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1600x1000x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                   fds[1]);
  close(fds[1]);
  QByteArray number;
  pollfd wait{fds[0], POLLIN, 0};
  while (!number.endsWith('\n') && poll(&wait, 1, 15000) > 0) {
    char c = 0;
    if (read(fds[0], &c, 1) != 1) break;
    number.append(c);
  }
  close(fds[0]);
  if (m_server <= 0 || number.trimmed().isEmpty()) {
    Stop();
    return QStringLiteral("Xvfb did not start");
  }
  m_display = u':' + QString::fromLatin1(number.trimmed());
  qputenv("DISPLAY", m_display.toLocal8Bit());

  // openbox runs its start-up command once it manages the screen.
  const QString marker =
      QDir(QDir::tempPath()).filePath(QStringLiteral("openbox-started-%1").arg(getpid()));
  QFile::remove(marker);
  m_windowManager = Spawn(openbox,
                          {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                           QStringLiteral("touch ") + marker},
                          -1);
  for (int i = 0; i < 500 && !QFile::exists(marker); ++i) QThread::msleep(20);
  if (!QFile::remove(marker)) {
    Stop();
    return QStringLiteral("openbox did not start on the X server");
  }
  return {};
}

void CTestXServer::Stop() {
  EndChild(m_windowManager);
  EndChild(m_server);
  m_display.clear();
}
