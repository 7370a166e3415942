// The simulator's event loop: one thread serving the controller link (one TCP client at a time
// and the pseudo-terminal), the control port and the live model's clock.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/device.h"
#include "sim/input_queue.h"
#include "sim/options.h"
#include "sim/output_queue.h"
#include "sim/transport.h"

namespace velta::sim {

class Server {
 public:
  Server(Device& device, const SimOptions& options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Opens the listeners and the pseudo-terminal and prints where they are. False with `error`
  // set when one of them cannot be opened.
  bool Start(std::string& error);
  // Serves until "quit" or SIGTERM/SIGINT/SIGHUP.
  void Run();

 private:
  struct Link {
    int fd = -1;
    bool tcp = false;
    LinkState state;
    InputQueue input;
    OutputQueue output;
    bool closing = false;  // dropped by a fault: no more input, closed once the output is out
  };
  struct ControlClient {
    int fd = -1;
    std::string input;
  };

  void ServeLink(Link& link, double now);
  void ReadLink(Link& link, double now);
  // Hands the device the request bytes complete by `now`, each at the moment it was complete.
  void DeliverInput(Link& link, double now);
  // Waits until every request byte read so far is complete and served, so that a control
  // command sees the requests sent before it.
  void SettleInput();
  void AcceptTcp(double now);
  // Takes in what arrived on the pseudo-terminal and TCP, new connections included.
  void ServeControllerLinks(double now);
  void AcceptControl();
  bool ServeControl(ControlClient& client);
  void CloseTcpClient();
  // Seconds until a link has a request byte complete or a reply byte due.
  double SecondsToLinkEvent(double now) const;
  double Timeout(double now) const;

  Device& device_;
  SimOptions options_;
  AdapterLatency adapter_;  // one timer for the whole run, as an adapter's runs freely
  Listener tcpListener_;
  Listener controlListener_;
  Pty pty_;
  std::unique_ptr<Link> tcpClient_;
  std::unique_ptr<Link> ptyLink_;
  std::vector<ControlClient> controlClients_;
  bool linkMade_ = false;  // the --pty-link symbolic link is ours to remove
  double lastAdvance_ = 0;
  bool quit_ = false;
};

// Seconds on the monotonic clock.
double MonotonicSeconds();

}  // namespace velta::sim
