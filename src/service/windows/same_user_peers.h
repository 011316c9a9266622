#pragma once
// The loopback server's check that a new connection comes from a process
// of the service's own user, from the machine's TCP table and the owning
// process's token.
#include <winsock2.h>

#include "core/peer_owner.h"
#include "loopback_server.h"

namespace pagewell::service {

class SameUserPeers final : public PeerCheck {
 public:
  bool admits(SOCKET connection) override;
};

// The machine's TCP connections with their owning processes, IPv4 and IPv6.
std::vector<TcpConnectionRow> machineTcpConnections();
// Whether `process` runs as the same user as this one.
ProcessUser userOfProcess(uint32_t process);

}  // namespace pagewell::service
