// The status pages the controller answers with, each complete with its trailing sum.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/controller_model.h"
#include "sim/memory.h"

namespace velta::sim {

// The reply to status page `code` (1, 10, 11, 12 or 15); nullopt for codes that are no page.
// `writeEnableSeconds` is the time left of the write enable (0 = not granted).
std::optional<std::vector<std::uint8_t>> BuildStatusPage(int code, const LiveState& state,
                                                         const Memory& memory,
                                                         int writeEnableSeconds);

// A data reply: the bytes followed by their sum modulo 256.
std::vector<std::uint8_t> WithChecksum(std::vector<std::uint8_t> data);

// The three display digits (left, middle, right) as segment bits.
std::array<std::uint8_t, 3> DisplaySegments(const LiveState& state, const Memory& memory);

}  // namespace velta::sim
