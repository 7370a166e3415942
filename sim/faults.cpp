#include "sim/faults.h"

#include <sstream>

#include "sim/hex.h"

namespace velta::sim {

namespace {

struct NamedCode {
  const char* name;
  int code;
};
constexpr NamedCode kNamedCodes[] = {
    {"update", kUpdateRequest},  {"version", kVersionQuery},  {"done", kSettingsDone},
    {"restart", kRestartRequest}, {"clear", kClearErrorsRequest},
    {"enable", kWriteEnableRequest},
};

std::optional<RequestSelector> ParseSelector(const std::string& text) {
  using Kind = RequestSelector::Kind;
  if (text == "all") return RequestSelector{Kind::Any, -1};
  if (text == "read") return RequestSelector{Kind::Read, -1};
  if (text == "write") return RequestSelector{Kind::Write, -1};
  for (const auto& named : kNamedCodes) {
    if (text == named.name) return RequestSelector{Kind::Status, named.code};
  }
  if (text.rfind("0x", 0) == 0) {
    const auto command = ParseNumber(text);
    if (command && *command >= 0 && *command <= 255) {
      return RequestSelector{Kind::Command, static_cast<int>(*command)};
    }
    return std::nullopt;
  }
  for (const char* prefix : {"page", "code"}) {
    const std::string p = prefix;
    if (text.rfind(p, 0) == 0) {
      const auto code = ParseNumber(std::string_view(text).substr(p.size()));
      if (code && *code >= 0 && *code <= 255) {
        return RequestSelector{Kind::Status, static_cast<int>(*code)};
      }
    }
  }
  return std::nullopt;
}

std::string SelectorText(const RequestSelector& selector) {
  switch (selector.kind) {
    case RequestSelector::Kind::Any: return "all";
    case RequestSelector::Kind::Read: return "read";
    case RequestSelector::Kind::Write: return "write";
    case RequestSelector::Kind::Command: {
      static constexpr char kDigits[] = "0123456789ABCDEF";
      return std::string("0x") + kDigits[selector.code >> 4] + kDigits[selector.code & 0x0F];
    }
    case RequestSelector::Kind::Status: break;
  }
  for (const auto& named : kNamedCodes) {
    if (named.code == selector.code) return named.name;
  }
  return "page" + std::to_string(selector.code);
}

std::optional<int> ParseBounded(const std::string& text, long long low, long long high) {
  const auto value = ParseNumber(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

bool RequestSelector::Matches(const Frame& request) const {
  switch (kind) {
    case Kind::Any: return true;
    case Kind::Read: return (request[0] & 0xF8) == kReadCommand;
    case Kind::Write: return (request[0] & 0xF0) == kSerialWriteBase;
    case Kind::Status: return request[0] == kStatusCommand && request[2] == code;
    case Kind::Command: return request[0] == code;
  }
  return false;
}

const char* const kFaultHelp =
    "  noreply SEL          no reply to the selected requests\n"
    "  short SEL N          only the first N bytes of the reply\n"
    "  badsum SEL           reply with a wrong last byte (checksum)\n"
    "  write-stop ADDR      writes to ADDR and above are not acknowledged\n"
    "  handshake BYTE|none  boot loader answers the handshake with BYTE, or not at all\n"
    "  block-stop N         boot loader stops acknowledging at block N\n"
    "  block-ack N BYTE     boot loader answers block N with BYTE instead of 00 (not stored)\n"
    "  boot-late MS         boot loader starts MS milliseconds after the update request;\n"
    "                       bytes before that are lost\n"
    "  drop-after K         a TCP connection is closed after its K-th request\n"
    "  stale N              N extra bytes (EE) follow every reply\n"
    "  clear                remove all faults\n"
    "  SEL: pageN or codeN (status code N), version, update, done, restart, clear, enable,\n"
    "       read, write, 0xNN (command byte NN), all\n";

std::string AddFault(Faults& faults, std::string_view description) {
  std::istringstream in{std::string(description)};
  std::string kind, first, second, extra;
  in >> kind >> first;
  // "page 11" reads as well as "page11".
  if (first == "page" || first == "code") {
    std::string number;
    in >> number;
    first += number;
  }
  in >> second >> extra;
  if (!extra.empty()) return "too many words in fault: " + std::string(description);
  if (kind == "clear" && first.empty()) {
    faults = Faults{};
    return {};
  }
  if (kind == "noreply" || kind == "badsum" || kind == "short") {
    const auto selector = ParseSelector(first);
    if (!selector) return "unknown request selector: " + first;
    ReplyFault fault{kind == "noreply" ? ReplyFault::Kind::NoReply
                     : kind == "badsum" ? ReplyFault::Kind::BadSum
                                        : ReplyFault::Kind::Short,
                     *selector, 0};
    if (fault.kind == ReplyFault::Kind::Short) {
      const auto length = ParseBounded(second, 0, 65535);
      if (!length) return "short needs a byte count: " + std::string(description);
      fault.length = *length;
    } else if (!second.empty()) {
      return "too many words in fault: " + std::string(description);
    }
    faults.replies.push_back(fault);
    return {};
  }
  if (kind == "block-ack") {
    const auto block = ParseBounded(first, 0, 65535);
    const auto answer = ParseBounded(second, 0, 255);
    if (!block || !answer) return "block-ack needs a block number and a byte";
    faults.blockAnswer = {*block, *answer};
    return {};
  }
  if (!second.empty()) return "too many words in fault: " + std::string(description);
  if (kind == "handshake" && first == "none") {
    faults.handshakeAnswer = -1;
    return {};
  }
  struct NumberFault {
    const char* name;
    long long low, high;
  };
  static constexpr NumberFault kNumberFaults[] = {
      {"write-stop", 0, 2047}, {"handshake", 0, 255}, {"block-stop", 0, 65535},
      {"drop-after", 1, 1'000'000'000}, {"stale", 0, 4096}, {"boot-late", 0, 600'000}};
  for (const auto& nf : kNumberFaults) {
    if (kind != nf.name) continue;
    const auto value = ParseBounded(first, nf.low, nf.high);
    if (!value) return std::string(nf.name) + " needs a number from " + std::to_string(nf.low) +
                       " to " + std::to_string(nf.high);
    if (kind == "write-stop") faults.writeStopAddress = *value;
    if (kind == "handshake") faults.handshakeAnswer = *value;
    if (kind == "block-stop") faults.blockStop = *value;
    if (kind == "drop-after") faults.dropAfter = *value;
    if (kind == "stale") faults.staleBytes = *value;
    if (kind == "boot-late") faults.bootLateMs = *value;
    return {};
  }
  return "unknown fault: " + std::string(description);
}

std::optional<std::vector<std::uint8_t>> ApplyReplyFaults(const Faults& faults,
                                                          const Frame& request,
                                                          std::vector<std::uint8_t> reply) {
  for (const auto& fault : faults.replies) {
    if (!fault.selector.Matches(request)) continue;
    switch (fault.kind) {
      case ReplyFault::Kind::NoReply:
        return std::nullopt;
      case ReplyFault::Kind::Short:
        if (reply.size() > static_cast<std::size_t>(fault.length)) {
          reply.resize(static_cast<std::size_t>(fault.length));
        }
        break;
      case ReplyFault::Kind::BadSum:
        if (!reply.empty()) reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
        break;
    }
  }
  reply.insert(reply.end(), static_cast<std::size_t>(faults.staleBytes), 0xEE);
  return reply;
}

BootFaults BootLoaderFaults(const Faults& faults) {
  return {faults.handshakeAnswer, faults.blockStop, faults.blockAnswer,
          faults.bootLateMs.value_or(0) / 1000.0};
}

std::vector<std::string> DescribeFaults(const Faults& faults) {
  std::vector<std::string> lines;
  for (const auto& f : faults.replies) {
    const std::string selector = SelectorText(f.selector);
    switch (f.kind) {
      case ReplyFault::Kind::NoReply: lines.push_back("noreply " + selector); break;
      case ReplyFault::Kind::BadSum: lines.push_back("badsum " + selector); break;
      case ReplyFault::Kind::Short:
        lines.push_back("short " + selector + " " + std::to_string(f.length));
        break;
    }
  }
  if (faults.writeStopAddress) lines.push_back("write-stop " + std::to_string(*faults.writeStopAddress));
  if (faults.handshakeAnswer) {
    lines.push_back(*faults.handshakeAnswer < 0 ? std::string("handshake none")
                                                : "handshake " + std::to_string(*faults.handshakeAnswer));
  }
  if (faults.blockStop) lines.push_back("block-stop " + std::to_string(*faults.blockStop));
  if (faults.blockAnswer) {
    lines.push_back("block-ack " + std::to_string(faults.blockAnswer->first) + " " +
                    std::to_string(faults.blockAnswer->second));
  }
  if (faults.bootLateMs) lines.push_back("boot-late " + std::to_string(*faults.bootLateMs));
  if (faults.dropAfter) lines.push_back("drop-after " + std::to_string(*faults.dropAfter));
  if (faults.staleBytes > 0) lines.push_back("stale " + std::to_string(faults.staleBytes));
  return lines;
}

}  // namespace velta::sim
