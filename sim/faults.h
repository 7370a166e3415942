// Faults the simulated controller can be told to show, so tests and demos can see how the
// program copes with a misbehaving controller. Each is described by a short text, the same on
// the command line (--fault), in a scenario file (fault=...) and on the control port (fault ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frames.h"
#include "sim/boot_loader.h"

namespace velta::sim {

// Which requests a reply fault applies to.
struct RequestSelector {
  enum class Kind { Status, Read, Write, Command, Any } kind = Kind::Any;
  int code = -1;  // status code for Kind::Status, command byte for Kind::Command
  bool Matches(const Frame& request) const;
};

struct ReplyFault {
  enum class Kind { NoReply, Short, BadSum } kind;
  RequestSelector selector;
  int length = 0;  // bytes kept by Kind::Short
};

struct Faults {
  std::vector<ReplyFault> replies;
  std::optional<int> writeStopAddress;     // writes to this address and above go unanswered
  std::optional<int> handshakeAnswer;      // boot loader answer instead of D2; -1 = none
  std::optional<int> blockStop;            // boot loader stops acknowledging at this block
  std::optional<std::pair<int, int>> blockAnswer;  // boot loader answers block first with second
  std::optional<int> bootLateMs;           // boot loader starts this long after the Update request
  std::optional<int> dropAfter;            // TCP connection closed after this many requests
  int staleBytes = 0;                      // extra bytes sent after every reply
};

// Adds the fault `description` ("noreply page11", "short read 10", "badsum page12", "write-stop 17",
// "handshake 0x55", "handshake none", "block-stop 10", "block-ack 3 0x55", "boot-late 2000",
// "drop-after 5", "stale 3", "clear").
// Returns an error text, empty on success.
std::string AddFault(Faults& faults, std::string_view description);

// The reply that leaves the controller for `request` once the reply faults have had their say;
// nullopt when it stays silent.
std::optional<std::vector<std::uint8_t>> ApplyReplyFaults(const Faults& faults,
                                                          const Frame& request,
                                                          std::vector<std::uint8_t> reply);

// The faults the boot loader acts on.
BootFaults BootLoaderFaults(const Faults& faults);

// One line per active fault, in the form AddFault accepts.
std::vector<std::string> DescribeFaults(const Faults& faults);

// The fault grammar for --help.
extern const char* const kFaultHelp;

}  // namespace velta::sim
