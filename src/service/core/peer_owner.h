#pragma once
// Whose program is at the other end of a loopback connection. On a machine
// with several sessions (a terminal server) every user's programs reach
// 127.0.0.1, so the service serves a connection only when the process that
// opened it runs as the service's own user.
//
// The answer comes from the machine's table of TCP connections (each end
// with the process that owns it) and from that process's user. Plain logic
// over both, so that a test can hand it a table of several users.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace pagewell::service {

struct TcpEndpoint {
  std::array<uint8_t, 16> address{};  // IPv4 in the first four bytes
  bool v6 = false;
  uint16_t port = 0;

  bool operator==(const TcpEndpoint& other) const {
    return v6 == other.v6 && port == other.port && address == other.address;
  }
};

// One connection end as the machine lists it.
struct TcpConnectionRow {
  TcpEndpoint local, remote;
  uint32_t ownerProcess = 0;  // 0: the table does not know
};

enum class ProcessUser { Same, Other, Unknown };

// Whether the connection that reached the service's `service` end from
// `peer` may be served. The peer's end is the row whose local end is
// `peer` and whose remote end is `service`. A process of another user, or
// one whose user cannot be learnt (Windows does not let one user open
// another's processes), is refused. Where the table does not list the
// peer's end or its owner (Wine lists programs that are not its own so),
// the machine cannot say, and the connection is served.
bool peerMayConnect(const std::vector<TcpConnectionRow>& table, const TcpEndpoint& peer, const TcpEndpoint& service,
                    const std::function<ProcessUser(uint32_t process)>& userOf);

}  // namespace pagewell::service
