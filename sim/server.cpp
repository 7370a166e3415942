#include "sim/server.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "sim/control.h"

namespace velta::sim {

namespace {

constexpr double kAdvanceSeconds = 0.25;  // how often the live model moves on
constexpr std::size_t kControlLineLimit = 1 << 20;  // "set-mem 0" with all 2048 bytes is 4 KiB
constexpr double kIdleWaitSeconds = 3600.0;
// A paced line takes in no more than this ahead of the device (4 s at 9600 baud); a peer that
// sends faster waits, as a program does whose serial port's transmit buffer is full.
constexpr std::size_t kInputBacklog = 4096;

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int) { stopSignal = 1; }

// Stop signals are blocked except while waiting in ppoll, so none is lost between the check of
// the flag and the wait.
void InstallSignals(sigset_t& waitMask) {
  signal(SIGPIPE, SIG_IGN);
  struct sigaction action{};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(s, &action, nullptr);
    sigaddset(&blocked, s);
  }
  sigprocmask(SIG_BLOCK, &blocked, &waitMask);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigdelset(&waitMask, s);
}

timespec ToTimespec(double seconds) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
  return ts;
}

}  // namespace

double MonotonicSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

Server::Server(Device& device, const SimOptions& options)
    : device_(device),
      options_(options),
      adapter_{options.adapterLatencyMs / 1000.0, MonotonicSeconds()} {}

Server::~Server() {
  CloseTcpClient();
  for (auto& client : controlClients_) CloseFd(client.fd);
  CloseFd(tcpListener_.fd);
  CloseFd(controlListener_.fd);
  CloseFd(pty_.master);
  CloseFd(pty_.slave);
  if (linkMade_) unlink(options_.ptyLink.c_str());
}

bool Server::Start(std::string& error) {
  if (options_.tcp) {
    tcpListener_ = ListenTcp(options_.tcpHost, options_.tcpPort, error);
    if (tcpListener_.fd < 0) return false;
    std::printf("tcp %s:%u\n", options_.tcpHost.c_str(), tcpListener_.port);
  }
  if (options_.control) {
    controlListener_ = ListenTcp("127.0.0.1", options_.controlPort, error);
    if (controlListener_.fd < 0) return false;
    std::printf("control 127.0.0.1:%u\n", controlListener_.port);
  }
  if (options_.pty) {
    pty_ = OpenPty(error);
    if (pty_.master < 0) return false;
    if (!options_.ptyLink.empty()) {
      if (!MakeSymlink(pty_.path, options_.ptyLink, error)) return false;
      linkMade_ = true;
    }
    ptyLink_ = std::make_unique<Link>();
    ptyLink_->fd = pty_.master;
    ptyLink_->input = InputQueue(options_.baud);
    ptyLink_->output = OutputQueue(options_.baud, adapter_);
    std::printf("pty %s\n", pty_.path.c_str());
    if (!options_.ptyLink.empty()) std::printf("pty-link %s\n", options_.ptyLink.c_str());
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return true;
}

void Server::CloseTcpClient() {
  if (tcpClient_) CloseFd(tcpClient_->fd);
  tcpClient_.reset();
}

void Server::ReadLink(Link& link, double now) {
  std::uint8_t buffer[4096];
  while (link.input.Size() < kInputBacklog) {
    const ssize_t n = read(link.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;
    if (n <= 0) {
      // The TCP peer is done sending; what it sent is still served and replies still on their
      // way go out while it listens. (A pseudo-terminal reports EIO only while no program holds
      // it; the held slave end prevents that.)
      if (link.tcp) link.closing = true;
      return;
    }
    link.input.Add(std::span(buffer, static_cast<std::size_t>(n)), now);
  }
}

void Server::DeliverInput(Link& link, double now) {
  for (const InputQueue::Byte& byte : link.input.TakeComplete(now)) {
    DeviceOutput out;
    device_.Receive(link.state, std::span(&byte.value, 1), byte.complete, out);
    // The reply starts once the request's last byte is in, however late the loop woke.
    link.output.Add(out.reply, byte.complete);
    if (out.close && link.tcp) {
      link.closing = true;
      link.input.Clear();
      return;
    }
  }
}

void Server::ServeLink(Link& link, double now) {
  if (!link.closing) ReadLink(link, now);
  DeliverInput(link, now);
  if (!link.output.Flush(link.fd, now)) {
    link.output.Clear();
    if (link.tcp) link.closing = true;
  }
}

void Server::AcceptTcp(double now) {
  for (;;) {
    const int fd = AcceptClient(tcpListener_.fd);
    if (fd < 0) return;
    // One client at a time, the newest wins: a program that reconnects for its next operation
    // must not wait for the old connection to time out. What the old one sent is served first.
    if (tcpClient_) {
      ServeLink(*tcpClient_, now);
      DeliverInput(*tcpClient_, tcpClient_->input.LastComplete());
      CloseTcpClient();
    }
    tcpClient_ = std::make_unique<Link>();
    tcpClient_->fd = fd;
    tcpClient_->tcp = true;
    tcpClient_->input = InputQueue(options_.baud);
    tcpClient_->output = OutputQueue(options_.baud, adapter_);
  }
}

void Server::AcceptControl() {
  for (;;) {
    const int fd = AcceptClient(controlListener_.fd);
    if (fd < 0) return;
    controlClients_.push_back({fd, {}});
  }
}

// Returns false when the client is gone.
bool Server::ServeControl(ControlClient& client) {
  char buffer[4096];
  const ssize_t n = read(client.fd, buffer, sizeof buffer);
  if (n < 0) return errno == EAGAIN || errno == EINTR;
  if (n == 0) return false;
  client.input.append(buffer, static_cast<std::size_t>(n));
  std::size_t end;
  while ((end = client.input.find('\n')) != std::string::npos) {
    const std::string line = client.input.substr(0, end);
    client.input.erase(0, end + 1);
    // Whatever reached the controller link before this command was sent counts: a test that
    // sends a request and then asks for the frame log must find the request in it.
    SettleInput();
    const ControlReply reply = ExecuteControl(device_, line);
    // Replies are small and the client waits for them: write them out completely.
    std::size_t sent = 0;
    while (sent < reply.text.size()) {
      const ssize_t w = write(client.fd, reply.text.data() + sent, reply.text.size() - sent);
      if (w > 0) {
        sent += static_cast<std::size_t>(w);
      } else if (w < 0 && errno == EINTR) {
        continue;
      } else if (w < 0 && errno == EAGAIN) {
        // A client that reads nothing for a second is given up rather than stalling the line.
        pollfd p{client.fd, POLLOUT, 0};
        if (poll(&p, 1, 1000) <= 0) return false;
      } else {
        return false;
      }
    }
    if (reply.quit) quit_ = true;
  }
  // A line that never ends is not a command.
  return client.input.size() <= kControlLineLimit;
}

void Server::ServeControllerLinks(double now) {
  if (ptyLink_) ServeLink(*ptyLink_, now);
  if (tcpListener_.fd >= 0) AcceptTcp(now);
  if (tcpClient_) {
    ServeLink(*tcpClient_, now);
    if (tcpClient_->closing && tcpClient_->input.Empty() && tcpClient_->output.Empty()) {
      CloseTcpClient();
    }
  }
}

double Server::SecondsToLinkEvent(double now) const {
  double next = kIdleWaitSeconds;
  for (const Link* link : {tcpClient_.get(), ptyLink_.get()}) {
    if (link == nullptr) continue;
    const double input = link->input.SecondsToNext(now);
    if (input >= 0) next = std::min(next, input);
    const double output = link->output.Blocked() ? -1 : link->output.SecondsToNext(now);
    if (output >= 0) next = std::min(next, output);
  }
  return next;
}

double Server::Timeout(double now) const {
  const double model =
      device_.Live() ? std::max(0.0, lastAdvance_ + kAdvanceSeconds - now) : kIdleWaitSeconds;
  return std::min(model, SecondsToLinkEvent(now));
}

void Server::SettleInput() {
  double now = MonotonicSeconds();
  ServeControllerLinks(now);
  double until = now;
  for (const Link* link : {tcpClient_.get(), ptyLink_.get()}) {
    if (link != nullptr && !link->input.Empty()) {
      until = std::max(until, link->input.LastComplete());
    }
  }
  while (now < until) {
    const timespec pause = ToTimespec(std::min(until - now, SecondsToLinkEvent(now)));
    nanosleep(&pause, nullptr);
    now = MonotonicSeconds();
    ServeControllerLinks(now);
  }
}

void Server::Run() {
  sigset_t waitMask;
  InstallSignals(waitMask);
  // A paced byte or a latency timer tick is due every millisecond or so; the kernel's default
  // 50 us of timer slack would make every reply that much later than the line.
  if (options_.baud > 0 || options_.adapterLatencyMs > 0) prctl(PR_SET_TIMERSLACK, 1UL);
  lastAdvance_ = MonotonicSeconds();
  while (!quit_ && stopSignal == 0) {
    std::vector<pollfd> fds;
    auto watch = [&](int fd, short events) {
      fds.push_back({fd, events, 0});
    };
    if (tcpListener_.fd >= 0) watch(tcpListener_.fd, POLLIN);
    if (controlListener_.fd >= 0) watch(controlListener_.fd, POLLIN);
    for (const Link* link : {tcpClient_.get(), ptyLink_.get()}) {
      if (link) {
        const bool reading = !link->closing && link->input.Size() < kInputBacklog;
        watch(link->fd, static_cast<short>((reading ? POLLIN : 0) |
                                           (link->output.Blocked() ? POLLOUT : 0)));
      }
    }
    for (const auto& client : controlClients_) watch(client.fd, POLLIN);

    const timespec timeout = ToTimespec(Timeout(MonotonicSeconds()));
    if (ppoll(fds.data(), fds.size(), &timeout, &waitMask) < 0 && errno != EINTR) break;

    const double now = MonotonicSeconds();
    if (device_.Live()) {
      if (now - lastAdvance_ >= kAdvanceSeconds) {
        device_.Advance(now - lastAdvance_);
        lastAdvance_ = now;
      }
    } else {
      lastAdvance_ = now;
    }
    ServeControllerLinks(now);
    if (controlListener_.fd >= 0) AcceptControl();
    for (auto it = controlClients_.begin(); it != controlClients_.end();) {
      if (ServeControl(*it)) {
        ++it;
      } else {
        CloseFd(it->fd);
        it = controlClients_.erase(it);
      }
    }
  }
}

}  // namespace velta::sim
