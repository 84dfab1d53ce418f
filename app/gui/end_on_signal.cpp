#include "app/gui/end_on_signal.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>

namespace orlavo {
namespace {

// A signal handler may only write to a descriptor; the notifier brings the
// news to the event loop.
int signal_pipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(signal_pipe[0], &byte, 1);
}

}  // namespace

EndOnSignal::EndOnSignal(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[1], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &EndOnSignal::Arrived);
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

EndOnSignal::~EndOnSignal() {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  for (int& fd : signal_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void EndOnSignal::Arrived() {
  char buffer[16];
  [[maybe_unused]] ssize_t got = ::read(signal_pipe[1], buffer, sizeof buffer);
  requested_ = true;
  QApplication::closeAllWindows();
}

}  // namespace orlavo
