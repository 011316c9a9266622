#include "same_user_peers.h"

#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstring>
#include <memory>

namespace pagewell::service {
namespace {

TcpEndpoint endpointOf(const sockaddr_storage& address) {
  TcpEndpoint endpoint;
  if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    endpoint.v6 = true;
    std::memcpy(endpoint.address.data(), &v6.sin6_addr, 16);
    endpoint.port = ntohs(v6.sin6_port);
  } else {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    std::memcpy(endpoint.address.data(), &v4.sin_addr, 4);
    endpoint.port = ntohs(v4.sin_port);
  }
  return endpoint;
}

// The table of one address family, grown until it fits (connections come
// and go between the calls).
std::unique_ptr<char[]> readTable(ULONG family) {
  DWORD size = 0;
  std::unique_ptr<char[]> table;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD rc = GetExtendedTcpTable(table.get(), &size, FALSE, family, TCP_TABLE_OWNER_PID_CONNECTIONS, 0);
    if (rc == NO_ERROR) return table;
    if (rc != ERROR_INSUFFICIENT_BUFFER) return nullptr;
    size += 16 * sizeof(MIB_TCP6ROW_OWNER_PID);
    table.reset(new char[size]);
  }
  return nullptr;
}

void addIpv4Rows(std::vector<TcpConnectionRow>& rows) {
  std::unique_ptr<char[]> data = readTable(AF_INET);
  if (!data) return;
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(data.get());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& entry = table->table[i];
    TcpConnectionRow row;
    std::memcpy(row.local.address.data(), &entry.dwLocalAddr, 4);
    std::memcpy(row.remote.address.data(), &entry.dwRemoteAddr, 4);
    row.local.port = ntohs(static_cast<u_short>(entry.dwLocalPort));
    row.remote.port = ntohs(static_cast<u_short>(entry.dwRemotePort));
    row.ownerProcess = entry.dwOwningPid;
    rows.push_back(row);
  }
}

void addIpv6Rows(std::vector<TcpConnectionRow>& rows) {
  std::unique_ptr<char[]> data = readTable(AF_INET6);
  if (!data) return;
  const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(data.get());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCP6ROW_OWNER_PID& entry = table->table[i];
    TcpConnectionRow row;
    row.local.v6 = row.remote.v6 = true;
    std::memcpy(row.local.address.data(), entry.ucLocalAddr, 16);
    std::memcpy(row.remote.address.data(), entry.ucRemoteAddr, 16);
    row.local.port = ntohs(static_cast<u_short>(entry.dwLocalPort));
    row.remote.port = ntohs(static_cast<u_short>(entry.dwRemotePort));
    row.ownerProcess = entry.dwOwningPid;
    rows.push_back(row);
  }
}

// The user's SID in a token's TokenUser information.
std::unique_ptr<char[]> tokenUser(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return nullptr;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::unique_ptr<char[]> user(size ? new char[size] : nullptr);
  if (!user || !GetTokenInformation(token, TokenUser, user.get(), size, &size)) user.reset();
  CloseHandle(token);
  return user;
}

}  // namespace

std::vector<TcpConnectionRow> machineTcpConnections() {
  std::vector<TcpConnectionRow> rows;
  addIpv4Rows(rows);
  addIpv6Rows(rows);
  return rows;
}

ProcessUser userOfProcess(uint32_t process) {
  if (process == GetCurrentProcessId()) return ProcessUser::Same;
  HANDLE other = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!other) return ProcessUser::Unknown;
  std::unique_ptr<char[]> theirs = tokenUser(other);
  CloseHandle(other);
  std::unique_ptr<char[]> ours = tokenUser(GetCurrentProcess());
  if (!theirs || !ours) return ProcessUser::Unknown;
  PSID theirSid = reinterpret_cast<TOKEN_USER*>(theirs.get())->User.Sid;
  PSID ourSid = reinterpret_cast<TOKEN_USER*>(ours.get())->User.Sid;
  return EqualSid(theirSid, ourSid) ? ProcessUser::Same : ProcessUser::Other;
}

bool SameUserPeers::admits(SOCKET connection) {
  sockaddr_storage peer{}, service{};
  int peerSize = sizeof peer, serviceSize = sizeof service;
  if (getpeername(connection, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 ||
      getsockname(connection, reinterpret_cast<sockaddr*>(&service), &serviceSize) != 0)
    return false;
  return peerMayConnect(machineTcpConnections(), endpointOf(peer), endpointOf(service), userOfProcess);
}

}  // namespace pagewell::service
