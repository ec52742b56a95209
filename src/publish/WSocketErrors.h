#pragma once

// The socket and FTP layers speak Winsock error numbers, so texts such as
// "Connection refused" and codes such as 10061 read the same on every platform.
// System error values are translated here and nowhere else.

#include <string>

namespace tessel {

constexpr int WSAEINTR = 10004;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// errno value to Winsock number (unknown values pass through unchanged).
int WinsockErrorFromErrno(int err);
// getaddrinfo result to Winsock number.
int WinsockErrorFromResolver(int gaiError);
// "Connection refused" for 10061, "Not a WinSock error" for anything unknown.
std::string WSocketErrorDesc(int code);

}  // namespace tessel
