// Connections from another user's programs are refused: a machine's TCP
// table with the programs of two users, as a terminal server has them.
#include "core/peer_owner.h"

#include <gtest/gtest.h>

#include <map>

namespace pagewell::service {
namespace {

TcpEndpoint loopback(uint16_t port) {
  TcpEndpoint endpoint;
  endpoint.address = {127, 0, 0, 1};
  endpoint.port = port;
  return endpoint;
}

TEST(PeerOwner, OnlyTheServicesOwnUserIsServed) {
  const TcpEndpoint service = loopback(47115);
  // Process 10 is ours, 20 another user's, 30 one we may not open; both
  // ends of each connection are listed, as Windows lists them.
  const std::vector<TcpConnectionRow> table = {
      {loopback(50001), service, 10}, {service, loopback(50001), 5},
      {loopback(50002), service, 20}, {service, loopback(50002), 5},
      {loopback(50003), service, 30}, {service, loopback(50003), 5},
      {loopback(50004), service, 0},  {loopback(50005), loopback(47116), 20},
  };
  const std::map<uint32_t, ProcessUser> users = {{10, ProcessUser::Same}, {20, ProcessUser::Other}};
  auto userOf = [&](uint32_t process) {
    auto it = users.find(process);
    return it == users.end() ? ProcessUser::Unknown : it->second;
  };
  struct Case {
    const char* what;
    uint16_t peerPort;
    bool served;
  };
  const Case cases[] = {
      {"our user's browser", 50001, true},
      {"another user's program", 50002, false},
      {"a program whose user cannot be learnt", 50003, false},
      {"an owner the table does not know", 50004, true},
      {"a peer the table does not list", 50009, true},
      {"a row of the same port to another service", 50005, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(peerMayConnect(table, loopback(c.peerPort), service, userOf), c.served) << c.what;
}

}  // namespace
}  // namespace pagewell::service
