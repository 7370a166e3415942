// The serial Channel on POSIX: a tty opened non-blocking and exclusively, raw 8N1 without flow
// control, with poll() giving the receive its time-out.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "link/adapter_latency.h"
#include "link/channel.h"
#include "link/channel_internal.h"
#include "link/port_search.h"

namespace velta {

namespace {

constexpr int kReceiveTimeoutMs = 2500;
// The controller drains 4 bytes in a few milliseconds; a line that takes no byte for this long is
// dead (for example a pseudo-terminal nobody reads), and a send or close must not hang on it.
constexpr int kStallLimitMs = 2500;
constexpr auto kClosePause = std::chrono::milliseconds(150);

bool SpeedFor(std::int32_t baud, speed_t* speed) {
  static constexpr struct {
    std::int32_t baud;
    speed_t speed;
  } kSpeeds[] = {{1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
                 {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
  for (const auto& entry : kSpeeds) {
    if (entry.baud == baud) {
      *speed = entry.speed;
      return true;
    }
  }
  return false;
}

// Raw 8N1, no parity check, no hardware or XON/XOFF flow control, modem lines ignored. Reads
// never block in the driver (O_NONBLOCK): the receive waits with poll(). VMIN 1 makes an empty
// read say EAGAIN, so that a read of 0 bytes means a hang-up.
bool ApplyLineSettings(int fd, std::int32_t baud) {
  speed_t speed;
  termios tio{};
  if (!SpeedFor(baud, &speed) || tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return false;
  // tcsetattr succeeds when any of the changes took; read back that all of them did.
  termios applied{};
  if (tcgetattr(fd, &applied) != 0) return false;
  return (applied.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)) == CS8 &&
         cfgetospeed(&applied) == speed && cfgetispeed(&applied) == speed;
}

Channel* FailOpen(int fd, OpenError error) {
  if (fd >= 0) close(fd);
  detail::SetLastOpenError(error);
  return kFailureChannel;
}

// True once fd has input; false when the deadline passed or the device hung up or failed
// without input (poll would report that at once forever, so waiting on is pointless).
bool WaitReadable(int fd, std::chrono::steady_clock::time_point start, int limitMs) {
  for (;;) {
    const auto remaining = limitMs - detail::MillisecondsSince(start);
    if (remaining <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(remaining));
    if (ready > 0) return (p.revents & POLLIN) != 0;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

Channel* OpenSerialChannel(std::uint32_t port, std::int32_t baud) {
  return OpenSerialDevice(ComDevicePath(port), baud);
}

Channel* OpenSerialDevice(const std::string& path, std::int32_t baud) {
  if (path.empty()) return FailOpen(-1, OpenError::NoSuchDevice);
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FailOpen(-1, OpenErrorFromErrno(errno));
  // TIOCEXCL alone does not stop root or a process that opened the device before us; the lock
  // does, for every program that locks with flock, a second VELTA Control among them.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return FailOpen(fd, OpenErrorFromErrno(errno));
  if (!ApplyLineSettings(fd, baud)) return FailOpen(fd, OpenError::LineSettings);
  // A USB adapter that holds each acknowledgement for its latency timer slows every write frame;
  // a driver without the setting keeps the port as it is.
  RequestLowLatency(fd);
  ioctl(fd, TIOCEXCL);
  detail::SetLastOpenError(OpenError::None);
  return new Channel{kSerialChannelTag, fd};
}

namespace detail {

// 0 when all bytes went out; -1 when the device refused the write before any byte went out;
// -2 when only part went out (refused midway, or the line took nothing for kStallLimitMs).
std::int32_t SerialSend(int fd, const std::uint8_t* bytes, std::int32_t count) {
  if (count < 0 || (count > 0 && bytes == nullptr)) return -1;
  std::int32_t written = 0;
  auto lastProgress = std::chrono::steady_clock::now();
  while (written < count) {
    const ssize_t n = write(fd, bytes + written, static_cast<size_t>(count - written));
    if (n > 0) {
      written += static_cast<std::int32_t>(n);
      lastProgress = std::chrono::steady_clock::now();
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno != EAGAIN) return written == 0 ? -1 : -2;
    const auto remaining = kStallLimitMs - MillisecondsSince(lastProgress);
    pollfd p{fd, POLLOUT, 0};
    if (remaining <= 0 || (poll(&p, 1, static_cast<int>(remaining)) < 0 && errno != EINTR)) {
      return -2;
    }
  }
  return 0;
}

std::int32_t SerialReceive(int fd, std::uint8_t* buffer, std::int32_t count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
  const auto start = std::chrono::steady_clock::now();
  std::int32_t received = 0;
  bool waited = false;
  while (received < count) {
    const ssize_t n = read(fd, buffer + received, static_cast<size_t>(count - received));
    if (n > 0) {
      received += static_cast<std::int32_t>(n);
      // Bytes that were already waiting are returned at once, as many as there were.
      if (!waited) break;
      continue;
    }
    // 0 is a hang-up (adapter unplugged, the far side of a pseudo-terminal closed): the device
    // is gone, which the caller hears about as a failed read.
    if (n == 0) return -1;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return -1;
    waited = true;
    if (!WaitReadable(fd, start, kReceiveTimeoutMs)) break;
  }
  return received;
}

// Only the receive side is flushed; there is no pending read to abort, as every read runs on the
// caller's own thread.
void SerialDiscardInput(int fd) { tcflush(fd, TCIFLUSH); }

// Waits until the driver's transmit queue is empty so the last bytes sent leave the port, but not
// longer than the queue keeps shrinking.
void SerialClose(int fd) {
  int lastQueued = -1;
  auto lastProgress = std::chrono::steady_clock::now();
  int queued = 0;
  while (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
    if (queued != lastQueued) {
      lastQueued = queued;
      lastProgress = std::chrono::steady_clock::now();
    } else if (MillisecondsSince(lastProgress) >= kStallLimitMs) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::this_thread::sleep_for(kClosePause);
  ioctl(fd, TIOCNXCL);
  close(fd);
}

}  // namespace detail
}  // namespace velta
