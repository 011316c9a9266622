#include "peer_owner.h"

namespace pagewell::service {

bool peerMayConnect(const std::vector<TcpConnectionRow>& table, const TcpEndpoint& peer, const TcpEndpoint& service,
                    const std::function<ProcessUser(uint32_t process)>& userOf) {
  for (const TcpConnectionRow& row : table) {
    if (!(row.local == peer) || !(row.remote == service)) continue;
    if (row.ownerProcess == 0) return true;
    return userOf(row.ownerProcess) == ProcessUser::Same;
  }
  return true;
}

}  // namespace pagewell::service
