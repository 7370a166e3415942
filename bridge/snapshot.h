// What the bridge knows about one controller at a moment: the values of its last Main status pass,
// the state of its link and of a service session, and its exchange counts. The poll loop writes
// it; MQTT, /status and /metrics only read copies.
#pragma once

#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "monitor/readings.h"

namespace velta::bridge {

struct Reading {
  std::time_t time = 0;  // when the Main status page came
  Readings values;       // with the volume when the cistern's size is known
};

struct ControllerSnapshot {
  std::string name;
  std::string link;  // "tcp 10.0.0.7:10001"
  bool linkUp = false;
  bool sessionOpen = false;
  std::string firmware;  // "1.60"; empty until the controller told its version
  int cisternLitres = 0;  // 0: only the level is known, not the volume
  std::optional<Reading> reading;
  std::uint64_t exchanges = 0;
  std::uint64_t failedExchanges = 0;
  std::optional<bool> mqttConnected;  // none without a broker
};

// Readings older than this, or from a controller that does not answer, are not shown as live.
constexpr std::time_t kStaleAfterSeconds = 3;
// True while the snapshot's reading may be shown as the controller's present state at `now`.
inline bool ReadingIsLive(const ControllerSnapshot& snapshot, std::time_t now) {
  return snapshot.linkUp && snapshot.reading && now - snapshot.reading->time <= kStaleAfterSeconds;
}

// The latest snapshot of every controller, for the faces that read them from other threads.
class SnapshotBoard {
 public:
  explicit SnapshotBoard(std::vector<ControllerSnapshot> initial) : snapshots_(std::move(initial)) {}
  void Put(std::size_t index, const ControllerSnapshot& snapshot) {
    std::lock_guard lock(mutex_);
    snapshots_[index] = snapshot;
  }
  std::vector<ControllerSnapshot> All() const {
    std::lock_guard lock(mutex_);
    return snapshots_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<ControllerSnapshot> snapshots_;
};

}  // namespace velta::bridge
