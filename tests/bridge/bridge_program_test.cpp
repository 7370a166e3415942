// velta-bridge as it runs on site: the program against the simulator over loopback and a real
// Mosquitto broker, judged by what a Home Assistant subscriber, a Prometheus scrape, velta-cli
// through a service session and the simulator's frame log see.
#include <httplib.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "tests/bridge/bridge_support.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// The requests the poll cycle sends; none of them may reach the controller during a session.
const std::set<std::string> kPollFrames{"60 00 01 61", "60 00 0A 6A", "60 00 0B 6B",
                                        "60 00 0C 6C", "60 00 0F 6F", "88 62 39 23"};

class BridgeProgram : public ::testing::Test {
 protected:
  // What the bridge remembers between runs stays with the test.
  BridgeProgram() { setenv("STATE_DIRECTORY", dir_.Path().c_str(), 1); }
  void StartSim(const std::vector<std::string>& args = {}) {
    sim_ = std::make_unique<test::SimProcess>(args);
  }
  // The bridge on the simulator with every face, as the README's one-site example.
  void StartBridge(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{VELTA_BRIDGE_PATH,
                                  "--tcp", "127.0.0.1:" + std::to_string(sim_->TcpPort()),
                                  "--name", "demo",
                                  "--mqtt", broker_.Url(),
                                  "--http", std::to_string(httpPort_),
                                  "--serve", "127.0.0.1:" + std::to_string(servePort_)};
    args.insert(args.end(), extra.begin(), extra.end());
    bridge_ = std::make_unique<test::Child>(args, (dir_ / "bridge.err").string());
    ASSERT_TRUE(test::WaitFor([&] { return test::Accepts(httpPort_); }, 10s)) << Log();
  }
  void Run(const std::vector<std::string>& args) {
    bridge_ = std::make_unique<test::Child>(args, (dir_ / "bridge.err").string());
  }
  std::string Log() { return test::ReadFile((dir_ / "bridge.err").string()); }
  json State(test::Subscriber& subscriber) {
    const std::string text = subscriber.Last("velta/demo/state");
    return text.empty() ? json() : json::parse(text);
  }
  httplib::Result Get(const std::string& path) {
    httplib::Client client("127.0.0.1", httpPort_);
    return client.Get(path.c_str());
  }
  // velta-cli with `args`, through the bridge's service address.
  int Cli(const std::string& args) {
    const std::string command = std::string(VELTA_CLI_PATH) + " --tcp 127.0.0.1:" +
                                std::to_string(servePort_) + " " + args + " >" +
                                (dir_ / "cli.out").string() + " 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  test::ScratchDir dir_;
  test::Broker broker_;
  std::uint16_t httpPort_ = test::FreePort();
  std::uint16_t servePort_ = test::FreePort();
  std::unique_ptr<test::SimProcess> sim_;
  std::unique_ptr<test::Child> bridge_;
};

TEST_F(BridgeProgram, DiscoveryAndStateAsHomeAssistantReadsThem) {
  StartSim({"--set", "level=42", "--set", "error=0x0C", "--set", "pressure=35"});
  test::Subscriber ha(broker_);
  // Left by an earlier run that announced a value this one does not.
  const std::string removed = "homeassistant/sensor/velta_demo/removed_value/config";
  ha.PublishRetained(removed, "{\"name\":\"Removed\"}");
  StartBridge({"--cistern-litres", "6000"});
  ASSERT_TRUE(ha.WaitFor("velta/demo/state", [](const std::string& s) { return !s.empty(); })) << Log();
  const json state = State(ha);
  EXPECT_EQ(state["level_percent"], 42);
  EXPECT_EQ(state["volume_litres"], 2520);
  EXPECT_EQ(state["pressure_bar"], 3.5);
  EXPECT_EQ(state["error_codes"], "Er.b Er.P");
  EXPECT_EQ(state["error_active"], true);
  EXPECT_EQ(state["errors"][1]["text"], "No water pump! (Er.P)");
  EXPECT_EQ(ha.Last("velta/demo/availability"), "online");

  // Every entity as Home Assistant resolves it: its template's key is in the state document.
  std::set<std::string> ids;
  int sensors = 0;
  for (const auto& [topic, payload] : ha.All()) {
    if (topic.rfind("homeassistant/", 0) != 0 || payload.empty()) continue;
    const json config = json::parse(payload);
    EXPECT_EQ(topic.substr(topic.size() - 7), "/config");
    EXPECT_EQ(config["state_topic"], "velta/demo/state");
    EXPECT_EQ(config["availability_topic"], "velta/demo/availability");
    EXPECT_EQ(config["device"]["sw_version"], "1.60") << topic;
    EXPECT_TRUE(ids.insert(config["unique_id"].get<std::string>()).second) << topic;
    const std::string tmpl = config["value_template"];
    const auto key = tmpl.substr(tmpl.find("value_json.") + 11);
    EXPECT_TRUE(state.contains(key.substr(0, key.find(' ')))) << tmpl;
    ++sensors;
  }
  EXPECT_TRUE(ha.WaitFor(removed, [](const std::string& s) { return s.empty(); })) << "emptied";
  EXPECT_GE(sensors, 9);
  EXPECT_EQ(ha.Seen("homeassistant/sensor/velta_demo/pressure_bar/config").size(), 1u) << "sent once, with the firmware";
  EXPECT_EQ(ids.count("velta_demo_water_meter_1_m3"), 0u) << "no water meter on this controller";
  const json pressure = json::parse(ha.Last("homeassistant/sensor/velta_demo/pressure_bar/config"));
  EXPECT_EQ(pressure["device_class"], "pressure");
  EXPECT_EQ(pressure["unit_of_measurement"], "bar");
  const json problem = json::parse(ha.Last("homeassistant/binary_sensor/velta_demo/error_active/config"));
  EXPECT_EQ(problem["device_class"], "problem");

  // A new level reaches the broker within one poll pass (five 200 ms steps).
  sim_->Set("level=57");
  EXPECT_TRUE(ha.WaitFor("velta/demo/state", [](const std::string& s) {
    return json::parse(s)["level_percent"] == 57;
  }, 1500ms));

  EXPECT_EQ(bridge_->Signal(SIGTERM), 0);
  test::Subscriber after(broker_);
  EXPECT_TRUE(after.WaitFor("velta/demo/availability", [](const std::string& s) { return s == "offline"; }, 1s))
      << "a bridge that is stopped says so itself: a clean disconnect sends no will";
}

TEST_F(BridgeProgram, AControllerTakenOutOfTheConfigurationLosesItsEntities) {
  StartSim();
  test::SimProcess other;
  const auto run = [&](bool withOther) {
    std::string text = "[bridge]\nmqtt = " + broker_.Url() + "\ndiscovery-prefix = site7/ha\n[a]\ntcp = 127.0.0.1:" +
                       std::to_string(sim_->TcpPort()) + "\n";
    if (withOther) text += "[b]\ntcp = 127.0.0.1:" + std::to_string(other.TcpPort()) + "\n";
    test::WriteFile((dir_ / "site.conf").string(), text);
    Run({VELTA_BRIDGE_PATH, "--config", (dir_ / "site.conf").string()});
  };
  const auto announced = [](const std::string& s) { return !s.empty(); };
  const std::string a = "site7/ha/sensor/velta_a/level_percent/config";
  const std::string b = "site7/ha/sensor/velta_b/level_percent/config";
  test::Subscriber ha(broker_);
  run(true);
  ASSERT_TRUE(ha.WaitFor(b, announced) && ha.WaitFor(a, announced)) << Log();
  EXPECT_EQ(bridge_->Signal(SIGTERM), 0);
  run(false);
  EXPECT_TRUE(ha.WaitFor(b, [](const std::string& s) { return s.empty(); }, 5s)) << Log();
  EXPECT_FALSE(ha.Last(a).empty()) << "the controller still configured keeps its entities";
}

TEST_F(BridgeProgram, AvailabilityFollowsTheControllerAndTheBridgesLastWill) {
  StartSim();
  const std::string simAddress = "127.0.0.1:" + std::to_string(sim_->TcpPort());
  test::Subscriber ha(broker_);
  StartBridge();
  const auto is = [](const char* word) { return [word](const std::string& s) { return s == word; }; };
  ASSERT_TRUE(ha.WaitFor("velta/demo/availability", is("online"))) << Log();

  sim_.reset();
  EXPECT_TRUE(ha.WaitFor("velta/demo/availability", is("offline"), 2s)) << "a lost link is offline within 2 s";
  StartSim({"--tcp", simAddress});
  EXPECT_TRUE(ha.WaitFor("velta/demo/availability", is("online"), 4s)) << Log();
  const json metricsState = json::parse(Get("/status")->body)["controllers"][0];
  EXPECT_EQ(metricsState["link_up"], true);
  // A controller that stops answering behind an adapter that stays up.
  sim_->Control("fault noreply all");
  EXPECT_TRUE(ha.WaitFor("velta/demo/availability", is("offline"), 3s)) << "silent for 2 s is offline";
  sim_->Control("fault clear");
  ASSERT_TRUE(ha.WaitFor("velta/demo/availability", is("online"), 4s)) << Log();

  // Everything a subscriber needs is retained: one that comes late has it at once.
  {
    test::Subscriber late(broker_);
    EXPECT_TRUE(late.WaitFor("velta/demo/availability", is("online"), 1s));
    EXPECT_TRUE(late.WaitFor("velta/demo/state", [](const std::string& s) { return !s.empty(); }, 1s));
    EXPECT_TRUE(late.WaitFor("homeassistant/sensor/velta_demo/level_percent/config",
                             [](const std::string& s) { return !s.empty(); }, 1s));
  }
  bridge_->Signal(SIGKILL);
  EXPECT_TRUE(ha.WaitFor("velta/demo/availability", is("offline"), 3s)) << "the broker's last will";
  test::Subscriber afterDeath(broker_);
  EXPECT_TRUE(afterDeath.WaitFor("velta/demo/availability", is("offline"), 1s)) << "the will is retained";
  EXPECT_NE(Log().find("lost"), std::string::npos) << Log();
  EXPECT_NE(Log().find("restored"), std::string::npos) << Log();
}

TEST_F(BridgeProgram, ABrokerRestartNeitherHoldsThePollNorLosesTheDiscovery) {
  StartSim();
  StartBridge();
  {
    test::Subscriber before(broker_);
    ASSERT_TRUE(before.WaitFor("velta/demo/availability", [](const std::string& s) { return s == "online"; }));
  }
  broker_.Stop();
  sim_->ClearFrames();
  std::this_thread::sleep_for(1500ms);
  const std::vector<std::string> frames = sim_->Frames();
  EXPECT_GE(std::count(frames.begin(), frames.end(), "60 00 01 61"), 1) << "the poll goes on without the broker";
  const int exchangesBefore = json::parse(Get("/status")->body)["controllers"][0]["exchanges"];
  broker_.Start();
  // The restarted broker holds nothing retained: all of it comes from the bridge again.
  test::Subscriber after(broker_);
  EXPECT_TRUE(after.WaitFor("homeassistant/sensor/velta_demo/level_percent/config",
                            [](const std::string& s) { return !s.empty(); }, 8s)) << Log();
  EXPECT_TRUE(after.WaitFor("velta/demo/availability", [](const std::string& s) { return s == "online"; }));
  EXPECT_TRUE(after.WaitFor("velta/demo/state", [](const std::string& s) { return !s.empty(); }));
  EXPECT_GT(json::parse(Get("/status")->body)["controllers"][0]["exchanges"].get<int>(), exchangesBefore);
}

TEST_F(BridgeProgram, MetricsPassPromtoolAndNothingWrites) {
  StartSim({"--set", "level=42", "--set", "error=0x08"});
  StartBridge();
  ASSERT_TRUE(test::WaitFor([&] { return Get("/metrics")->body.find("velta_level_ratio") != std::string::npos &&
                                         Get("/metrics")->body.find("velta_level_ratio{") != std::string::npos; },
                            5s));
  const std::string metrics = Get("/metrics")->body;
  EXPECT_NE(metrics.find("velta_level_ratio{controller=\"demo\"} 0.42\n"), std::string::npos) << metrics;
  EXPECT_NE(metrics.find("velta_error_active{controller=\"demo\",code=\"Er.P\"} 1\n"), std::string::npos);
  EXPECT_NE(metrics.find("velta_link_up{controller=\"demo\"} 1\n"), std::string::npos);
  test::WriteFile((dir_ / "metrics.txt").string(), metrics);
  const std::string check = "promtool check metrics <" + (dir_ / "metrics.txt").string() + " >" +
                            (dir_ / "promtool.out").string() + " 2>&1";
  EXPECT_EQ(std::system(check.c_str()), 0) << test::ReadFile((dir_ / "promtool.out").string());
  EXPECT_EQ(test::ReadFile((dir_ / "promtool.out").string()), "") << "promtool has nothing to say";

  const json status = json::parse(Get("/status")->body)["controllers"][0];
  EXPECT_EQ(status["name"], "demo");
  EXPECT_EQ(status["state"]["level_percent"], 42);
  sim_->ClearFrames();
  httplib::Client client("127.0.0.1", httpPort_);
  for (const char* path : {"/status", "/metrics", "/write", "/"}) {
    const auto response = client.Post(path, "level=0", "text/plain");
    ASSERT_TRUE(response);
    EXPECT_GE(response->status, 400) << path;
  }
  for (const std::string& frame : sim_->Frames()) EXPECT_TRUE(kPollFrames.count(frame)) << frame;
}

// A socket connecting to `port` from another loopback address, as another machine's client; a
// flood does not wait for its connects to finish.
int ConnectFrom(const char* source, std::uint16_t port, bool flood = false) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (flood ? SOCK_NONBLOCK : 0), 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  inet_pton(AF_INET, source, &address.sin_addr);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  address.sin_port = htons(port);
  connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return fd;
}

long RssKiB(pid_t pid) {
  const std::string status = test::ReadFile("/proc/" + std::to_string(pid) + "/status");
  return std::stol(status.substr(status.find("VmRSS:") + 6));
}

TEST_F(BridgeProgram, AScrapeIsAnsweredUnderAFloodAndAHugeRequestIsRefusedWithMemoryFlat) {
  StartSim();
  StartBridge();
  std::vector<int> held;
  for (int i = 0; i < 1000; ++i) held.push_back(ConnectFrom("127.0.0.2", httpPort_, true));
  for (const char* slow : {"127.0.0.3", "127.0.0.4"}) {
    held.push_back(ConnectFrom(slow, httpPort_));
    send(held.back(), "GET /metrics HTTP/1.1\r\nX-Slow: ", 31, MSG_NOSIGNAL);
  }
  const long rssBefore = RssKiB(bridge_->Pid());
  httplib::Client client("127.0.0.1", httpPort_);
  client.set_connection_timeout(1s);
  client.set_read_timeout(1s);
  const auto started = std::chrono::steady_clock::now();
  const auto scrape = client.Get("/metrics");
  ASSERT_TRUE(scrape) << "a scrape is answered beside 1000 idle and 2 slow clients";
  EXPECT_EQ(scrape->status, 200);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);

  const int huge = ConnectFrom("127.0.0.5", httpPort_);
  send(huge, "GET /metrics HTTP/1.1\r\n", 23, MSG_NOSIGNAL);
  std::string headers;
  for (int i = 0; i < 1000; ++i) headers += "X-Header: value\r\n";
  int sent = 0;
  while (sent < 3'000'000 && send(huge, headers.data(), headers.size(), MSG_NOSIGNAL) > 0) sent += 1000;
  EXPECT_LT(sent, 3'000'000) << "the bridge stops reading a request that does not fit";
  EXPECT_LT(RssKiB(bridge_->Pid()), 64 * 1024);
  EXPECT_LT(RssKiB(bridge_->Pid()) - rssBefore, 4 * 1024) << "memory stays flat";
  EXPECT_EQ(Get("/metrics")->status, 200);
  close(huge);
  for (int fd : held) close(fd);
}

TEST_F(BridgeProgram, VeltaCliReadsAndWritesThroughAServiceSession) {
  StartSim({"--write-enable"});
  test::Subscriber ha(broker_);
  StartBridge();
  ASSERT_TRUE(ha.WaitFor("velta/demo/state", [](const std::string& s) { return !s.empty(); })) << Log();
  const std::string settings = (dir_ / "site.ini").string();
  // No poll frame between a session's first frame and the client's last; velta-cli opens the link
  // anew for the write after its read, and between the two the poll may run.
  const auto checkSession = [&](const std::string& opening) {
    const std::vector<std::string> frames = sim_->Frames();
    const auto first = std::find_if(frames.begin(), frames.end(),
                                    [&](const std::string& f) { return f.rfind(opening, 0) == 0; });
    const auto last = std::find_if(frames.rbegin(), frames.rend(),
                                   [](const std::string& f) { return !kPollFrames.count(f); }).base();
    ASSERT_LT(first, last) << opening;
    std::string all;
    for (const auto& f : frames) all += f + "\n";
    EXPECT_EQ(std::count_if(first, last, [](const std::string& f) { return kPollFrames.count(f) > 0; }), 0)
        << opening << " session:\n" << all;
  };
  sim_->ClearFrames();
  ASSERT_EQ(Cli("read -o " + settings), 0) << test::ReadFile((dir_ / "cli.out").string()) << Log();
  checkSession("88 00 34");
  std::string text = test::ReadFile(settings);
  const auto at = text.find("\n9=");
  text.replace(at, text.find('\n', at + 1) - at, "\n9=61");
  test::WriteFile(settings, text);
  sim_->ClearFrames();
  ASSERT_EQ(Cli("--yes write --changed-only " + settings), 0) << test::ReadFile((dir_ / "cli.out").string());
  checkSession("98 ");
  EXPECT_EQ(sim_->Memory()[9], 61);

  // An open session holds the poll, shows in MQTT and /status, and turns a second client away.
  ASSERT_TRUE(ha.WaitFor("velta/demo/state", [](const std::string& s) {
    return json::parse(s)["session_open"] == false;
  })) << "velta-cli's sessions are over";
  const int session = test::ConnectLoopback(servePort_);
  ASSERT_GE(session, 0);
  EXPECT_TRUE(ha.WaitFor("velta/demo/state", [](const std::string& s) {
    return json::parse(s)["session_open"] == true;
  }));
  EXPECT_EQ(json::parse(Get("/status")->body)["controllers"][0]["session_open"], true);
  const int second = test::ConnectLoopback(servePort_);
  ASSERT_GE(second, 0);
  char byte;
  timeval wait{2, 0};
  setsockopt(second, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  EXPECT_EQ(recv(second, &byte, 1, 0), 0) << "the second client is closed at once";
  close(second);
  EXPECT_NE(Log().find("demo: a second service client from 127.0.0.1:"), std::string::npos) << Log();
  sim_->ClearFrames();
  // Longer than the controller may stay silent outside a session.
  std::this_thread::sleep_for(3s);
  EXPECT_TRUE(sim_->Frames().empty()) << "no poll while a session is open";
  const std::uint8_t version[] = {0x60, 0x00, 0x07, 0x67};
  ASSERT_EQ(send(session, version, sizeof version, 0), 4);
  std::string reply(9, '\0');
  setsockopt(session, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  EXPECT_EQ(recv(session, reply.data(), reply.size(), MSG_WAITALL), 9) << "bytes relayed both ways";
  close(session);
  EXPECT_TRUE(test::WaitFor([&] {
    const auto frames = sim_->Frames();
    return std::find(frames.begin(), frames.end(), "60 00 01 61") != frames.end();
  }, 2s)) << "the poll resumes when the client leaves";
  std::this_thread::sleep_for(500ms);
  const std::vector<std::string> availability = ha.Seen("velta/demo/availability");
  const auto online = std::find(availability.begin(), availability.end(), "online");
  EXPECT_EQ(std::count(online, availability.end(), "offline"), 0) << "no flap after a session";
}

TEST_F(BridgeProgram, TheBrokersRefusalIsLoggedAsSuch) {
  StartSim();
  test::Broker guarded("site", "right");
  test::WriteFile((dir_ / "pw").string(), "wrong\n");
  Run({VELTA_BRIDGE_PATH, "--tcp", "127.0.0.1:" + std::to_string(sim_->TcpPort()), "--name", "demo", "--mqtt",
       guarded.Url(), "--mqtt-user", "site", "--mqtt-password-file", (dir_ / "pw").string()});
  EXPECT_TRUE(test::WaitFor([&] { return Log().find("MQTT") != std::string::npos; }, 8s));
  EXPECT_NE(Log().find("demo: cannot connect to the MQTT broker " + guarded.Url() +
                       ": the broker refused: not authorised (wrong user name or password, or no access); retrying\n"), std::string::npos) << Log();
}

TEST_F(BridgeProgram, APortAndADeviceEachOpenTheirOwn) {
  test::SimProcess onCom({"--pty"}), onDevice({"--pty"});
  setenv("VELTA_COM255", onCom.PtyPath().c_str(), 1);
  const std::string config = (dir_ / "site.conf").string();
  test::WriteFile(config, "[bridge]\nhttp = " + std::to_string(httpPort_) + "\n[a]\nport = COM255\n"
                          "[b]\ndevice = " + onDevice.PtyPath() + "\n");
  Run({VELTA_BRIDGE_PATH, "--config", config});
  unsetenv("VELTA_COM255");
  EXPECT_TRUE(test::WaitFor([&] {
    const auto metrics = Get("/metrics");
    return metrics && metrics->body.find("velta_link_up{controller=\"a\"} 1\nvelta_link_up{controller=\"b\"} 1") !=
                          std::string::npos;
  }, 5s)) << Log();
  EXPECT_FALSE(onCom.Frames().empty());
  EXPECT_FALSE(onDevice.Frames().empty());
}

TEST_F(BridgeProgram, StartUpRefusalsSayWhatIsWrong) {
  StartSim();
  const std::string sim = "127.0.0.1:" + std::to_string(sim_->TcpPort());
  test::LoopbackListener taken;
  const std::string takenPort = std::to_string(taken.port());
  const std::string config = (dir_ / "bad.conf").string();
  test::WriteFile(config, "[bridge]\nhttp = " + std::to_string(httpPort_) + "\n[demo]\ntcp = " + sim +
                              "\nserve = 10101\nbaud = 9600\n");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } rows[] = {
      {{"--tcp", sim, "--mqtt", "tcp://127.0.0.1:1883"}, 1,
       "velta-bridge: --mqtt: takes mqtt://HOST[:PORT] or mqtts://HOST[:PORT], not \"tcp://127.0.0.1:1883\""},
      {{"--config", config}, 1, "velta-bridge: " + config + ":6: baud: unknown key"},
      {{"--tcp", sim, "--http", takenPort}, 2,
       "velta-bridge: --http: cannot listen on 127.0.0.1:" + takenPort + ": Address already in use."},
      {{"--tcp", sim, "--serve", takenPort}, 2,
       "velta-bridge: velta: cannot listen on 127.0.0.1:" + takenPort + ": Address already in use."},
      {{"--port", "COM0x5"}, 1, "velta-bridge: --port: takes COM1..COM255, not \"COM0x5\""},
  };
  for (const auto& row : rows) {
    sim_->ClearFrames();
    std::vector<std::string> args{VELTA_BRIDGE_PATH};
    args.insert(args.end(), row.args.begin(), row.args.end());
    test::Child bridge(args, (dir_ / "bridge.err").string());
    EXPECT_EQ(bridge.Wait(), row.code) << row.message;
    EXPECT_EQ(Log(), row.message + "\n");
    EXPECT_TRUE(sim_->Frames().empty()) << "nothing is opened before the refusal: " << row.message;
    EXPECT_FALSE(test::Accepts(httpPort_));
  }
  // Too few open files for a controller and the HTTP face: refused with the figure.
  test::Child starved({"/bin/sh", "-c", "ulimit -n 64 && exec " VELTA_BRIDGE_PATH " --tcp " + sim + " --http 9"},
                      (dir_ / "bridge.err").string());
  EXPECT_EQ(starved.Wait(), 1);
  EXPECT_EQ(Log(), "velta-bridge: needs 106 open files for its controllers and listeners, but the hard limit "
                   "is 64 (LimitNOFILE= in the unit)\n");
}

}  // namespace
}  // namespace velta
