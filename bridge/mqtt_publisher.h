// One controller's MQTT connection: retained documents kept per topic and sent by a thread of its
// own, so the poll only hands them over and never waits on the broker. The broker's last will
// marks the controller offline when the bridge dies; after every reconnect everything retained
// (the discovery configs, availability and state) is sent again.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bridge/bridge_config.h"

namespace mqtt {
class async_client;
}

namespace velta::bridge {

class MqttPublisher {
 public:
  // `forgotten`: discovery subscriptions of controllers no longer configured, whose configs the
  // broker may still hold; this publisher empties them along with its own unannounced ones.
  MqttPublisher(const MqttConfig& config, const std::string& name, std::vector<std::string> forgotten = {});
  ~MqttPublisher();  // says offline, disconnects
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  // Keeps `payload` as the topic's retained document and sends it when it changed.
  void Retain(const std::string& topic, const std::string& payload);
  bool Connected();
  const std::string& DiscoveryPrefix() const { return config_.discoveryPrefix; }
  // Every discovery config of this run has been handed to Retain: configs of the controller that
  // the broker still holds and this run did not announce are emptied from now on.
  void Announced();

 private:
  void Run();
  // Empty when connected, else why not.
  std::string Connect();
  void SendPending(std::unique_lock<std::mutex>& lock);

  const MqttConfig config_;
  const std::string name_;
  const std::vector<std::string> forgotten_;
  std::unique_ptr<mqtt::async_client> client_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<std::string, std::string> retained_;
  std::set<std::string> pending_;
  bool connected_ = false;
  std::string tlsError_;  // what OpenSSL said during the connect in flight
  std::set<std::string> found_;  // retained config topics of this controller at the broker
  bool announced_ = false;
  void EmptyUnannounced();  // with the mutex held
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace velta::bridge
