#include "loopback_server.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace pagewell::service {

struct LoopbackServer::Client {
  SOCKET socket;
  Connection connection;
  ULONGLONG connectedAt;
  ULONGLONG lastActivity;  // the last bytes from the page, or message to it
  std::string unsent;
  bool peerChecked = false;
};

namespace {

void setNonBlocking(SOCKET socket) {
  u_long on = 1;
  ioctlsocket(socket, FIONBIO, &on);
}

SOCKET listenOn(const sockaddr* address, int size, std::string& error) {
  SOCKET socket = ::socket(address->sa_family, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) return socket;
  // No other program may bind the same port alongside (Windows would let it
  // take some of our connections otherwise).
  BOOL exclusive = TRUE;
  setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  if (address->sa_family == AF_INET6) {
    DWORD v6Only = 1;
    setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&v6Only), sizeof v6Only);
  }
  if (bind(socket, address, size) != 0 || ::listen(socket, SOMAXCONN) != 0) {
    error = "cannot listen (error " + std::to_string(WSAGetLastError()) + ")";
    closesocket(socket);
    return INVALID_SOCKET;
  }
  setNonBlocking(socket);
  return socket;
}

}  // namespace

LoopbackServer::LoopbackServer(unsigned port, unsigned idleSeconds, OriginGate& gate, SessionHost& host,
                               PeerCheck& peers)
    : port_(port), idleSeconds_(idleSeconds), gate_(gate), host_(host), peers_(peers) {}

LoopbackServer::~LoopbackServer() {
  stop();
  for (SOCKET listener : listeners_) closesocket(listener);
  if (wakeSocket_ != INVALID_SOCKET) closesocket(wakeSocket_);
}

bool LoopbackServer::listen(std::string& error) {
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  v4.sin_port = htons(static_cast<u_short>(port_));
  v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  SOCKET socket = listenOn(reinterpret_cast<sockaddr*>(&v4), sizeof v4, error);
  if (socket == INVALID_SOCKET) return false;
  listeners_.push_back(socket);
  // ::1 where the machine has IPv6; the service is complete without it.
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  v6.sin6_port = htons(static_cast<u_short>(port_));
  v6.sin6_addr = in6addr_loopback;
  std::string ignored;
  socket = listenOn(reinterpret_cast<sockaddr*>(&v6), sizeof v6, ignored);
  if (socket != INVALID_SOCKET) listeners_.push_back(socket);

  // The wake-up: a datagram to ourselves ends the worker's wait.
  wakeSocket_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  wakeAddress_.sin_family = AF_INET;
  wakeAddress_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof wakeAddress_;
  if (wakeSocket_ == INVALID_SOCKET || bind(wakeSocket_, reinterpret_cast<sockaddr*>(&wakeAddress_), size) != 0 ||
      getsockname(wakeSocket_, reinterpret_cast<sockaddr*>(&wakeAddress_), &size) != 0) {
    error = "cannot make the wake-up socket";
    return false;
  }
  setNonBlocking(wakeSocket_);
  return true;
}

void LoopbackServer::start() { worker_ = std::thread([this] { run(); }); }

void LoopbackServer::stop() {
  if (!worker_.joinable()) return;
  stopping_ = true;
  wake();
  worker_.join();
}

void LoopbackServer::send(ConnectionId connection, Opcode opcode, std::string payload) {
  deliver({connection, Delivery::Kind::Message, opcode, std::move(payload)});
}

void LoopbackServer::answer(ConnectionId connection, Opcode opcode, std::string payload) {
  deliver({connection, Delivery::Kind::Answer, opcode, std::move(payload)});
}

void LoopbackServer::consentAnswered(ConnectionId connection, bool admitted) {
  deliver({connection, admitted ? Delivery::Kind::Admitted : Delivery::Kind::Refused, Opcode::Text, {}});
}

void LoopbackServer::deliver(Delivery delivery) {
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    queue_.push_back(std::move(delivery));
  }
  wake();
}

void LoopbackServer::wake() {
  char byte = 0;
  sendto(wakeSocket_, &byte, 1, 0, reinterpret_cast<const sockaddr*>(&wakeAddress_), sizeof wakeAddress_);
}

void LoopbackServer::run() {
  while (!stopping_) {
    fd_set readable, writable;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_SET(wakeSocket_, &readable);
    for (SOCKET listener : listeners_) FD_SET(listener, &readable);
    for (auto& client : clients_) {
      FD_SET(client->socket, &readable);
      if (!client->unsent.empty()) FD_SET(client->socket, &writable);
    }
    timeval second{1, 0};
    if (select(0, &readable, &writable, nullptr, &second) == SOCKET_ERROR) continue;
    if (FD_ISSET(wakeSocket_, &readable)) {
      char drain[64];
      while (recv(wakeSocket_, drain, sizeof drain, 0) > 0) {
      }
    }
    takeDeliveries();
    for (SOCKET listener : listeners_)
      if (FD_ISSET(listener, &readable)) acceptFrom(listener);
    for (auto& client : clients_) {
      if (FD_ISSET(client->socket, &readable)) readFrom(*client);
      client->unsent += client->connection.takeOutgoing();
      writeTo(*client);
    }
    closeIdle();
  }
  for (auto& client : clients_) closesocket(client->socket);
  clients_.clear();
}

void LoopbackServer::acceptFrom(SOCKET listener) {
  SOCKET socket = accept(listener, nullptr, nullptr);
  if (socket == INVALID_SOCKET) return;
  if (clients_.size() >= kMaxConnections) return refuseBusy(socket);
  setNonBlocking(socket);
  // Answers are small and each is awaited: without this, Nagle's algorithm
  // holds one back until the page's delayed acknowledgement (some 40 ms).
  BOOL noDelay = TRUE;
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  clients_.push_back(std::unique_ptr<Client>(
      new Client{socket, Connection(nextId_++, port_, gate_, host_), GetTickCount64(), GetTickCount64(), {}}));
}

// One connection too many is answered, not cut off: a connection closed
// without a word reads as a network fault (ERR_EMPTY_RESPONSE, a reset)
// that clients retry at once, while 503 with Retry-After says the service
// is there and full. The answer is written before the request is read, as
// it does not depend on it, and fits in the socket's send buffer, so the
// worker never waits for this peer. The FIN goes out before the close.
void LoopbackServer::refuseBusy(SOCKET socket) {
  static const char kBusy[] =
      "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 1\r\nContent-Length: 0\r\n"
      "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
  setNonBlocking(socket);
  ::send(socket, kBusy, static_cast<int>(sizeof kBusy - 1), 0);
  shutdown(socket, SD_SEND);
  closesocket(socket);
}

void LoopbackServer::takeDeliveries() {
  std::vector<Delivery> queued;
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    queued.swap(queue_);
  }
  for (Delivery& delivery : queued) {
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [&](const auto& client) { return client->connection.id() == delivery.connection; });
    if (it == clients_.end()) continue;
    Client& client = **it;
    client.lastActivity = GetTickCount64();
    switch (delivery.kind) {
      case Delivery::Kind::Message: client.connection.send(delivery.opcode, delivery.payload); break;
      case Delivery::Kind::Answer: client.connection.send(delivery.opcode, delivery.payload, true); break;
      case Delivery::Kind::Admitted: client.connection.consentAnswered(true); break;
      case Delivery::Kind::Refused: client.connection.consentAnswered(false); break;
    }
  }
}

// Another user's program (on a machine with several sessions) gets nothing
// from this user's scanner or pages, not even an answer. Whose program it
// is, is looked up once its first bytes arrive, before they go anywhere:
// a connection that never sends costs no look-up (the machine's connection
// table is slow to read under some systems).
bool LoopbackServer::peerAdmitted(Client& client) {
  if (client.peerChecked) return true;
  client.peerChecked = true;
  if (peers_.admits(client.socket)) return true;
  client.connection.closed();
  client.unsent.clear();
  return false;
}

void LoopbackServer::readFrom(Client& client) {
  char buffer[16384];
  int received = recv(client.socket, buffer, sizeof buffer, 0);
  if (received > 0) {
    if (!peerAdmitted(client)) return;
    client.lastActivity = GetTickCount64();
    client.connection.receive(std::string_view(buffer, static_cast<size_t>(received)));
  } else if (received == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
    client.connection.closed();
    client.unsent.clear();
  }
}

void LoopbackServer::writeTo(Client& client) {
  while (!client.unsent.empty()) {
    int chunk = static_cast<int>(std::min<size_t>(client.unsent.size(), 1 << 20));
    int sent = ::send(client.socket, client.unsent.data(), chunk, 0);
    if (sent <= 0) {
      if (WSAGetLastError() != WSAEWOULDBLOCK) {
        client.connection.closed();
        client.unsent.clear();
      }
      return;
    }
    client.unsent.erase(0, static_cast<size_t>(sent));
    client.lastActivity = GetTickCount64();
  }
}

bool LoopbackServer::isStale(const Client& client, ULONGLONG now) const {
  const Connection& connection = client.connection;
  if (connection.busy()) return false;
  if (connection.isSession()) return now - client.lastActivity > 1000ull * idleSeconds_;
  // A peer that stops reading the last bytes it is owed.
  if (connection.finished()) return now - client.lastActivity > 1000ull * kRequestSeconds;
  // A request head that does not come, however slowly its bytes trickle.
  return now - client.connectedAt > 1000ull * kRequestSeconds;
}

// Connections that finished and wrote everything go; so do request heads
// that do not arrive in time and sessions that stay idle. A session is idle
// only while nothing is under way: a page that awaits a long scan sends
// nothing, and its scan must not be cut off.
void LoopbackServer::closeIdle() {
  ULONGLONG now = GetTickCount64();
  for (auto it = clients_.begin(); it != clients_.end();) {
    Client& client = **it;
    bool stale = isStale(client, now);
    if (stale && !client.connection.finished()) {
      client.connection.close(CloseCode::GoingAway, "idle");
      client.unsent += client.connection.takeOutgoing();
      client.connection.closed();
      writeTo(client);
    }
    // A peer that does not read its last bytes is not waited for either.
    if (client.connection.finished() && (client.unsent.empty() || stale)) {
      shutdown(client.socket, SD_SEND);
      closesocket(client.socket);
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace pagewell::service
