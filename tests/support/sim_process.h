// The controller simulator as a child process for tests: started on an ephemeral loopback port
// (and, on request, a pseudo-terminal), controlled through its control port, killed at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/connection.h"

namespace velta::test {

class SimProcess {
 public:
  // Starts VELTA_SIM_PATH (or $VELTA_SIM) with `extraArgs` (see `velta-sim --help`) and waits
  // until it listens. The model stands still (--static) unless extraArgs contain "--live", and
  // the frame log stays quiet unless VELTA_SIM_VERBOSE is set. Throws std::runtime_error when
  // the simulator does not come up.
  explicit SimProcess(const std::vector<std::string>& extraArgs = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  std::uint16_t TcpPort() const { return tcpPort_; }
  // Path of the pseudo-terminal, when started with "--pty".
  const std::string& PtyPath() const { return ptyPath_; }
  // Connection settings that reach the simulator over TCP at 127.0.0.1.
  ConnectionSettings TcpSettings(std::uint8_t admin = 0) const;

  // One command line on the control port; returns the whole reply: its data lines, then "ok"
  // or "error ...", joined by '\n'.
  std::string Control(const std::string& command);
  // The data lines of a command's reply; throws std::runtime_error when the reply is an error.
  std::vector<std::string> Query(const std::string& command);
  // Every request frame received so far, each as upper-case hex "88 00 34 BC".
  std::vector<std::string> Frames();
  void ClearFrames();
  // The connections that sent a request since the frames were last cleared.
  int Connections();
  // The controller memory (2048 bytes) and the image the boot loader programmed.
  std::vector<std::uint8_t> Memory();
  void SetMemory(int address, const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> ProgrammedImage();
  // Changes simulator settings, e.g. Set("level=42 error=0x0C"); throws on an error reply.
  void Set(const std::string& settings);
  // Adds a fault, e.g. Fault("noreply page11"); Fault("clear") removes all.
  void Fault(const std::string& description);

 private:
  void Stop();

  int pid_ = -1;
  std::uint16_t tcpPort_ = 0;
  std::uint16_t controlPort_ = 0;
  std::string ptyPath_;
};

}  // namespace velta::test
