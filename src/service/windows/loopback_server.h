#pragma once
// The service's listening side: sockets on 127.0.0.1 and ::1 only, served
// by one worker thread that owns every connection. Other threads (the
// control's) hand it messages for a connection through send(), which wakes
// it.
#include <winsock2.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/connection.h"

namespace pagewell::service {

// Beyond this many open connections a new one is answered 503 and closed.
constexpr size_t kMaxConnections = 16;
// A request head must arrive within this time of the connection.
constexpr unsigned kRequestSeconds = 10;

// Whether a new connection comes from a process of the service's own user.
class PeerCheck {
 public:
  virtual ~PeerCheck() = default;
  virtual bool admits(SOCKET connection) = 0;
};

class LoopbackServer {
 public:
  LoopbackServer(unsigned port, unsigned idleSeconds, OriginGate& gate, SessionHost& host, PeerCheck& peers);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Binds both loopback addresses; false (with the reason) when it cannot.
  bool listen(std::string& error);
  void start();
  void stop();

  // Any thread: a message for the connection (dropped if it has gone): an
  // event, or the last message of the answer to one of its requests.
  void send(ConnectionId connection, Opcode opcode, std::string payload);
  void answer(ConnectionId connection, Opcode opcode, std::string payload);
  // Any thread: the user's answer about a connection's origin.
  void consentAnswered(ConnectionId connection, bool admitted);

 private:
  struct Client;
  struct Delivery {
    enum class Kind { Message, Answer, Admitted, Refused };
    ConnectionId connection;
    Kind kind;
    Opcode opcode;
    std::string payload;
  };

  void run();
  void acceptFrom(SOCKET listener);
  void refuseBusy(SOCKET socket);
  void deliver(Delivery delivery);
  void takeDeliveries();
  bool peerAdmitted(Client& client);
  void readFrom(Client& client);
  void writeTo(Client& client);
  bool isStale(const Client& client, ULONGLONG now) const;
  void closeIdle();
  void wake();

  unsigned port_;
  unsigned idleSeconds_;
  OriginGate& gate_;
  SessionHost& host_;
  PeerCheck& peers_;
  std::vector<SOCKET> listeners_;
  SOCKET wakeSocket_ = INVALID_SOCKET;
  sockaddr_in wakeAddress_{};
  std::vector<std::unique_ptr<Client>> clients_;
  ConnectionId nextId_ = 1;
  std::mutex queueLock_;
  std::vector<Delivery> queue_;
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

}  // namespace pagewell::service
