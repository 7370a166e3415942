#include "bridge/mqtt_publisher.h"

#include <mqtt/async_client.h>

#include <algorithm>
#include <chrono>

#include "bridge/documents.h"
#include "bridge/event_log.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

constexpr auto kFirstRetry = std::chrono::seconds(1);
constexpr auto kLongestRetry = std::chrono::seconds(10);
constexpr auto kConnectWait = std::chrono::seconds(6);
constexpr auto kGoodbyeWait = std::chrono::seconds(2);
constexpr int kQos = 1;

// The broker's answer to a refused connect (MQTT 3.1.1 return codes), or empty.
std::string RefusalText(int code) {
  switch (code) {
    case 1: return V_("the broker refused the protocol version");
    case 2: return V_("the broker refused the client id");
    case 3: return V_("the broker is not available");
    case 4: return V_("the broker refused the user name or password");
    // Mosquitto answers a wrong password so too.
    case 5:
      return V_("the broker refused: not authorised (wrong user name or password, or no access)");
  }
  return {};
}

}  // namespace

MqttPublisher::MqttPublisher(const MqttConfig& config, const std::string& name,
                             std::vector<std::string> forgotten)
    : config_(config), name_(name), forgotten_(std::move(forgotten)) {
  const std::string uri = std::string(config.tls ? "ssl://" : "tcp://") + config.broker.Text();
  // No persistence: what was not sent before a restart is sent again from the next poll.
  client_ = std::make_unique<mqtt::async_client>(uri, "velta-bridge-" + name,
                                                 static_cast<mqtt::iclient_persistence*>(nullptr));
  client_->set_connection_lost_handler([this](const std::string&) {
    LogEvent(name_, Format(V_("MQTT connection to %s lost; reconnecting"), config_.url.c_str()));
    std::lock_guard lock(mutex_);
    connected_ = false;
    wake_.notify_all();
  });
  client_->set_message_callback([this](mqtt::const_message_ptr message) {
    std::lock_guard lock(mutex_);
    if (IsDiscoveryTopic(message->get_topic())) {
      // A config of this controller retained at the broker: kept while announced, emptied once not.
      if (!message->get_payload().empty()) found_.insert(message->get_topic());
      EmptyUnannounced();
      return;
    }
    if (message->get_topic() != DiscoveryStatusTopic(config_.discoveryPrefix) || message->to_string() != "online") {
      return;
    }
    // Home Assistant started anew: it reads the configs again, with availability and state.
    for (const auto& [topic, payload] : retained_) pending_.insert(topic);
    wake_.notify_all();
  });
  thread_ = std::thread(&MqttPublisher::Run, this);
}

MqttPublisher::~MqttPublisher() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    wake_.notify_all();
  }
  thread_.join();
  try {
    if (!client_->is_connected()) return;
    // A bridge that stops on purpose says so itself; the last will covers only its death.
    client_->publish(AvailabilityTopic(name_), "offline", 7, kQos, true)->wait_for(kGoodbyeWait);
    client_->disconnect()->wait_for(kGoodbyeWait);
  } catch (const mqtt::exception&) {
  }
}

void MqttPublisher::EmptyUnannounced() {
  // Only once this run announced its configs: before, every config found is still to come.
  if (!announced_) return;
  for (const std::string& topic : found_) {
    if (retained_.count(topic)) continue;
    retained_[topic] = "";
    pending_.insert(topic);
  }
  found_.clear();
  wake_.notify_all();
}

void MqttPublisher::Announced() {
  std::lock_guard lock(mutex_);
  announced_ = true;
  EmptyUnannounced();
}

void MqttPublisher::Retain(const std::string& topic, const std::string& payload) {
  std::lock_guard lock(mutex_);
  std::string& kept = retained_[topic];
  if (kept == payload && !pending_.count(topic)) return;
  kept = payload;
  pending_.insert(topic);
  wake_.notify_all();
}

bool MqttPublisher::Connected() {
  std::lock_guard lock(mutex_);
  return connected_;
}

std::string MqttPublisher::Connect() {
  mqtt::connect_options options;
  options.set_clean_session(true);
  options.set_keep_alive_interval(30);
  options.set_connect_timeout(5);
  options.set_will(mqtt::will_options(AvailabilityTopic(name_), std::string("offline"), kQos, true));
  if (!config_.user.empty()) options.set_user_name(config_.user);
  if (!config_.password.empty()) options.set_password(config_.password);
  if (config_.tls) {
    mqtt::ssl_options ssl;
    if (!config_.caFile.empty()) ssl.set_trust_store(config_.caFile);
    ssl.set_enable_server_cert_auth(true);
    ssl.set_verify(true);
    // OpenSSL's own words, e.g. "certificate verify failed" with the certificate's problem.
    ssl.set_error_handler([this](const std::string& text) {
      std::lock_guard lock(mutex_);
      tlsError_ = text.substr(0, text.find_first_of("\r\n"));
    });
    options.set_ssl(ssl);
  }
  {
    std::lock_guard lock(mutex_);
    tlsError_.clear();
  }
  std::string why;
  try {
    if (client_->connect(options)->wait_for(kConnectWait) && client_->is_connected()) {
      client_->subscribe(DiscoveryStatusTopic(config_.discoveryPrefix), kQos);
      client_->subscribe(DiscoveryTopics(config_.discoveryPrefix, name_), kQos);
      for (const std::string& topics : forgotten_) client_->subscribe(topics, kQos);
      return {};
    }
    why = Format(V_("no answer within %lld s"), static_cast<long long>(kConnectWait.count()));
  } catch (const mqtt::exception& error) {
    why = RefusalText(error.get_return_code());
    if (why.empty()) why = V_("cannot connect");
  }
  std::lock_guard lock(mutex_);
  if (!tlsError_.empty()) why = "TLS: " + tlsError_;
  return why + OpenFilesNote();
}

void MqttPublisher::SendPending(std::unique_lock<std::mutex>& lock) {
  while (!pending_.empty() && connected_ && !stop_) {
    const std::string topic = *pending_.begin();
    const std::string payload = retained_[topic];
    pending_.erase(pending_.begin());
    lock.unlock();
    bool sent = true;
    try {
      client_->publish(topic, payload.data(), payload.size(), kQos, true);
    } catch (const mqtt::exception&) {
      sent = false;
    }
    lock.lock();
    if (!sent) {
      // Sent again after the reconnect, unless a newer document replaced it by then.
      pending_.insert(topic);
      return;
    }
  }
}

void MqttPublisher::Run() {
  std::unique_lock lock(mutex_);
  auto retry = std::chrono::duration_cast<std::chrono::seconds>(kFirstRetry);
  std::string failureLogged;  // said once until it changes or the connect succeeds
  while (!stop_) {
    if (!connected_) {
      lock.unlock();
      const std::string failure = Connect();
      lock.lock();
      if (!failure.empty()) {
        if (failure != failureLogged) {
          LogEvent(name_, Format(V_("cannot connect to the MQTT broker %s: %s; retrying"),
                                 config_.url.c_str(), failure.c_str()));
        }
        failureLogged = failure;
        wake_.wait_for(lock, retry, [this] { return stop_; });
        retry = std::min(retry * 2, std::chrono::duration_cast<std::chrono::seconds>(kLongestRetry));
        continue;
      }
      LogEvent(name_, V_("MQTT connected to ") + config_.url);
      connected_ = true;
      failureLogged.clear();
      retry = kFirstRetry;
      // Discovery, availability and state again: the broker may have lost its retained store.
      for (const auto& [topic, payload] : retained_) pending_.insert(topic);
    }
    SendPending(lock);
    wake_.wait(lock, [this] { return stop_ || !connected_ || !pending_.empty(); });
  }
}

}  // namespace velta::bridge
