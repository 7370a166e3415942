#include "bridge/http_face.h"

#include <httplib.h>

#include <cerrno>

#include "bridge/documents.h"
#include "files/regular_file.h"

namespace velta::bridge {
namespace {

// Scrapes and status reads are few and short.
constexpr std::size_t kServerThreads = 2;

}  // namespace

HttpFace::HttpFace(const SnapshotBoard& board) : board_(board), server_(std::make_unique<httplib::Server>()) {
  server_->new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
  server_->Get("/status", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(StatusDocument(board_.All()), "application/json");
  });
  server_->Get("/metrics", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(MetricsText(board_.All()), "text/plain; version=0.0.4; charset=utf-8");
  });
}

HttpFace::~HttpFace() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

bool HttpFace::Open(const Endpoint& endpoint, std::string& error) {
  errno = 0;
  if (server_->bind_to_port(endpoint.host, endpoint.port)) return true;
  error = "cannot listen on " + endpoint.Text() + ": " +
          (errno != 0 ? ErrorText(errno) : std::string("not an address of this machine"));
  return false;
}

void HttpFace::Start() {
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

}  // namespace velta::bridge
