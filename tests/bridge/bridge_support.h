// The parts a bridge test runs against, all on loopback: a Mosquitto broker started on a free
// port, velta-bridge as a program, a subscriber that keeps the last message of every topic, and
// plain HTTP reads.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mqtt/async_client.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/loopback.h"
#include "tests/support/scratch_dir.h"

namespace velta::test {

// Waits up to `limit` for `done`, looking every 20 ms.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A child process with its stderr in a file; killed when the object goes.
class Child {
 public:
  Child(std::vector<std::string> args, const std::string& stderrPath) {
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
      dup2(null, STDIN_FILENO);
      dup2(null, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      std::vector<char*> argv;
      for (auto& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~Child() { Signal(SIGKILL); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Sends `signal` and returns the exit status (the code, or 128 + the signal that ended it).
  int Signal(int signal) {
    if (pid_ <= 0) return status_;
    kill(pid_, signal);
    return Wait();
  }
  int Wait() {
    if (pid_ <= 0) return status_;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Debian's mosquitto on a loopback port, without persistence: a restart forgets everything retained.
class Broker {
 public:
  explicit Broker(std::uint16_t port = FreePort()) : port_(port) { Start(); }
  // A broker that lets in `user` with `password` alone.
  Broker(const std::string& user, const std::string& password) : port_(FreePort()) {
    const std::string file = (dir_ / "passwords").string();
    if (std::system(("mosquitto_passwd -c -b " + file + " " + user + " " + password).c_str()) != 0) {
      throw std::runtime_error("mosquitto_passwd failed");
    }
    // Started by root, mosquitto reads the file as its own user.
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
    std::filesystem::permissions(file, std::filesystem::perms::others_read, std::filesystem::perm_options::add);
    access_ = "allow_anonymous false\npassword_file " + file + "\n";
    Start();
  }
  void Start() {
    WriteFile((dir_ / "mosquitto.conf").string(),
              "listener " + std::to_string(port_) + " 127.0.0.1\n" + access_);
    child_ = std::make_unique<Child>(
        std::vector<std::string>{"/usr/sbin/mosquitto", "-c", (dir_ / "mosquitto.conf").string()},
        (dir_ / "mosquitto.log").string());
    if (!WaitFor([&] { return Accepts(port_); }, std::chrono::seconds(10))) {
      throw std::runtime_error("mosquitto did not start: " + ReadFile((dir_ / "mosquitto.log").string()));
    }
  }
  void Stop() { child_.reset(); }
  std::uint16_t Port() const { return port_; }
  std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

 private:
  ScratchDir dir_;
  std::uint16_t port_;
  std::string access_ = "allow_anonymous true\n";
  std::unique_ptr<Child> child_;
};

// Subscribes to everything and keeps each topic's last payload.
class Subscriber {
 public:
  explicit Subscriber(const Broker& broker)
      : client_("tcp://127.0.0.1:" + std::to_string(broker.Port()), "velta-test-" + std::to_string(getpid()) + "-" + std::to_string(count_++),
                static_cast<mqtt::iclient_persistence*>(nullptr)) {
    client_.set_message_callback([this](mqtt::const_message_ptr message) {
      std::lock_guard lock(mutex_);
      last_[message->get_topic()] = message->to_string();
      seen_[message->get_topic()].push_back(message->to_string());
    });
    client_.connect()->wait();
    client_.subscribe("#", 1)->wait();
  }
  ~Subscriber() {
    try {
      client_.disconnect()->wait();
    } catch (const mqtt::exception&) {
    }
  }
  std::string Last(const std::string& topic) {
    std::lock_guard lock(mutex_);
    return last_.count(topic) ? last_[topic] : "";
  }
  void PublishRetained(const std::string& topic, const std::string& payload) {
    client_.publish(topic, payload.data(), payload.size(), 1, true)->wait();
  }
  // Every payload the topic carried, in order.
  std::vector<std::string> Seen(const std::string& topic) {
    std::lock_guard lock(mutex_);
    return seen_[topic];
  }
  std::map<std::string, std::string> All() {
    std::lock_guard lock(mutex_);
    return last_;
  }
  bool WaitFor(const std::string& topic, const std::function<bool(const std::string&)>& good,
               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    return test::WaitFor([&] { return good(Last(topic)); }, limit);
  }

 private:
  mqtt::async_client client_;
  std::mutex mutex_;
  std::map<std::string, std::string> last_;
  std::map<std::string, std::vector<std::string>> seen_;
  static inline int count_ = 0;  // subscribers at once need ids of their own
};

}  // namespace velta::test
