#pragma once
// A private X server for the program tests: Xvfb on a display it picks itself, with openbox as
// the window manager, so focus, activation and window sizes behave as on a desktop. Both end
// with the test program (and with it, should it die).
#include <sys/types.h>
#include <QString>

class CTestXServer {
 public:
  CTestXServer() = default;
  ~CTestXServer() { Stop(); }
  CTestXServer(const CTestXServer&) = delete;
  CTestXServer& operator=(const CTestXServer&) = delete;

  // Starts the server and the window manager; empty when both run, else why they do not.
  QString Start();
  void Stop();
  // ":N" while the server runs.
  const QString& Display() const { return m_display; }

 private:
  pid_t m_server = 0;
  pid_t m_windowManager = 0;
  QString m_display;
};

// Why the program tests cannot run on a real X server; empty when they can.
const QString& NoDisplayReason();
void SetNoDisplayReason(const QString& reason);
