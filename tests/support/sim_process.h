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
  // Starts VELTA_SIM_PATH with `extraArgs` (see `velta-sim --help`) and waits until it listens.
  explicit SimProcess(const std::vector<std::string>& extraArgs = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  std::uint16_t TcpPort() const { return tcpPort_; }
  // Path of the pseudo-terminal, when started with "--pty".
  const std::string& PtyPath() const { return ptyPath_; }
  // Connection settings that reach the simulator over TCP at 127.0.0.1.
  ConnectionSettings TcpSettings(std::uint8_t admin = 0) const;

  // One command line on the control port; returns the reply line.
  std::string Control(const std::string& command);
  // Every request frame received so far, each as upper-case hex "88 00 34 BC".
  std::vector<std::string> Frames();
  void ClearFrames();
  // The controller memory (2048 bytes) and the image the boot loader programmed.
  std::vector<std::uint8_t> Memory();
  void SetMemory(int address, const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> ProgrammedImage();

 private:
  int pid_ = -1;
  std::uint16_t tcpPort_ = 0;
  std::uint16_t controlPort_ = 0;
  std::string ptyPath_;
};

}  // namespace velta::test
