#include "tests/support/sim_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace velta::test {

namespace {

constexpr int kStartLimitMs = 10000;
constexpr int kControlLimitMs = 10000;

std::string SimulatorPath() {
#ifdef VELTA_SIM_PATH
  return VELTA_SIM_PATH;
#else
  const char* fromEnvironment = std::getenv("VELTA_SIM");
  if (fromEnvironment == nullptr) throw std::runtime_error("VELTA_SIM is not set");
  return fromEnvironment;
#endif
}

// Reads one line from fd within the deadline; false on end of file or time-out.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
  line.clear();
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n <= 0) return false;
    if (c == '\n') return true;
    line += c;
  }
}

std::uint16_t PortAfterColon(const std::string& line) {
  return static_cast<std::uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw std::runtime_error(std::string("not a hex digit: ") + c);
}

std::vector<std::uint8_t> FromPackedHex(const std::string& text) {
  if (text.size() % 2 != 0) throw std::runtime_error("odd hex text from the simulator");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
  }
  return bytes;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args = {SimulatorPath(), "--tcp", "127.0.0.1:0", "--control", "0",
                                   "--static"};
  if (std::getenv("VELTA_SIM_VERBOSE") == nullptr) args.push_back("--quiet");
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  bool wantPty = false;
  for (const auto& arg : extraArgs) wantPty = wantPty || arg == "--pty" || arg == "--pty-link";

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    // The simulator must not outlive a test program that crashes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
  std::string line;
  bool ready = false;
  while (!ready && ReadLine(out[0], line, deadline)) {
    if (line.rfind("tcp ", 0) == 0) tcpPort_ = PortAfterColon(line);
    if (line.rfind("control ", 0) == 0) controlPort_ = PortAfterColon(line);
    if (line.rfind("pty ", 0) == 0) ptyPath_ = line.substr(4);
    ready = line == "ready";
  }
  // The simulator writes nothing more to stdout; closing our end keeps no pipe to fill up.
  close(out[0]);
  if (!ready || tcpPort_ == 0 || controlPort_ == 0 || (wantPty && ptyPath_.empty())) {
    std::string command;
    for (const auto& arg : args) command += arg + " ";
    Stop();
    throw std::runtime_error("simulator did not start: " + command);
  }
}

SimProcess::~SimProcess() { Stop(); }

void SimProcess::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

ConnectionSettings SimProcess::TcpSettings(std::uint8_t admin) const {
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.tcpHost = "127.0.0.1";
  settings.tcpPort = tcpPort_;
  settings.admin = admin;
  return settings;
}

std::string SimProcess::Control(const std::string& command) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(controlPort_);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) close(fd);
    throw std::runtime_error("cannot reach the simulator's control port");
  }
  const std::string request = command + "\n";
  if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
    close(fd);
    throw std::runtime_error("cannot send to the simulator's control port");
  }
  // One command per connection: the reply (at least its status line) ends with the line ".".
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kControlLimitMs);
  std::string text;
  auto complete = [&text] {
    return text.size() >= 3 && text.compare(text.size() - 3, 3, "\n.\n") == 0;
  };
  char buffer[8192];
  while (!complete()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (!complete()) throw std::runtime_error("no complete reply from the simulator to: " + command);
  text.resize(text.size() - 3);  // the last line's end and the "." line
  return text;
}

std::vector<std::string> SimProcess::Query(const std::string& command) {
  const std::string reply = Control(command);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= reply.size()) {
    const auto end = reply.find('\n', start);
    lines.push_back(reply.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (lines.empty() || lines.back() != "ok") {
    throw std::runtime_error("simulator refused \"" + command + "\": " + lines.back());
  }
  lines.pop_back();
  return lines;
}

std::vector<std::string> SimProcess::Frames() { return Query("frames"); }

void SimProcess::ClearFrames() { Query("clear-frames"); }

int SimProcess::Connections() { return std::stoi(Query("connections").at(0)); }

std::vector<std::uint8_t> SimProcess::Memory() {
  const auto lines = Query("mem");
  if (lines.size() != 1) throw std::runtime_error("unexpected memory reply");
  return FromPackedHex(lines[0]);
}

void SimProcess::SetMemory(int address, const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  Query("set-mem " + std::to_string(address) + " " + hex);
}

std::vector<std::uint8_t> SimProcess::ProgrammedImage() {
  const auto lines = Query("flash");
  if (lines.size() != 1) throw std::runtime_error("unexpected flash reply");
  return FromPackedHex(lines[0]);
}

void SimProcess::Set(const std::string& settings) { Query("set " + settings); }

void SimProcess::Fault(const std::string& description) { Query("fault " + description); }

}  // namespace velta::test
