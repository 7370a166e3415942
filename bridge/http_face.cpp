#include "bridge/http_face.h"

#include <microhttpd.h>
#include <unistd.h>

#include "bridge/documents.h"
#include "bridge/service_session.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

// Connections the kernel completes while the server thread is busy.
constexpr int kHttpBacklog = 64;

MHD_Result Serve(void* face, MHD_Connection* connection, const char* url, const char* method,
                 const char*, const char*, std::size_t*, void**) {
  const HttpFace::Answer answer = static_cast<const HttpFace*>(face)->Respond(method, url);
  MHD_Response* response =
      MHD_create_response_from_buffer(answer.body.size(), const_cast<char*>(answer.body.data()),
                                      MHD_RESPMEM_MUST_COPY);
  if (!response) return MHD_NO;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.type);
  if (answer.status == MHD_HTTP_METHOD_NOT_ALLOWED) MHD_add_response_header(response, "Allow", "GET, HEAD");
  // Answered on the first call, before any body: a request with one is refused unread.
  const MHD_Result queued = MHD_queue_response(connection, answer.status, response);
  MHD_destroy_response(response);
  return queued;
}

}  // namespace

HttpFace::~HttpFace() {
  if (daemon_) MHD_stop_daemon(daemon_);  // closes the listening socket too
  else if (listenFd_ >= 0) close(listenFd_);
}

bool HttpFace::Open(const Endpoint& endpoint, std::string& error) {
  listenFd_ = Listen(endpoint, error, kHttpBacklog);
  return listenFd_ >= 0;
}

bool HttpFace::Start(std::string& error) {
  daemon_ = MHD_start_daemon(
      MHD_USE_EPOLL_INTERNAL_THREAD, 0, nullptr, nullptr, &Serve, this,
      MHD_OPTION_LISTEN_SOCKET, listenFd_,
      MHD_OPTION_CONNECTION_LIMIT, kHttpConnections,
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, kHttpConnectionsPerAddress,
      MHD_OPTION_CONNECTION_TIMEOUT, kHttpIdleSeconds,
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, kHttpConnectionMemory,
      MHD_OPTION_END);
  if (!daemon_) error = V_("the HTTP server could not start");
  return daemon_ != nullptr;
}

HttpFace::Answer HttpFace::Respond(const std::string& method, const std::string& path) const {
  const bool known = path == "/status" || path == "/metrics";
  if (!known) return {MHD_HTTP_NOT_FOUND, "text/plain; charset=utf-8", "not found\n"};
  if (method != "GET" && method != "HEAD") {
    return {MHD_HTTP_METHOD_NOT_ALLOWED, "text/plain; charset=utf-8", "read only\n"};
  }
  if (path == "/status") return {MHD_HTTP_OK, "application/json", StatusDocument(board_.All())};
  return {MHD_HTTP_OK, "text/plain; version=0.0.4; charset=utf-8", MetricsText(board_.All())};
}

}  // namespace velta::bridge
