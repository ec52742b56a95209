// Name lookups: dotted addresses answer at once, names are resolved by getaddrinfo on a
// worker thread whose result is posted back to the socket's thread.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <system_error>
#include <thread>

#include "publish/WSocket.h"
#include "publish/WSocketErrors.h"
#include "publish/WSocketWindow.h"

namespace tessel {

namespace {

bool IsDottedAddress(const std::string& name) {
    in_addr addr{};
    return inet_pton(AF_INET, name.c_str(), &addr) == 1;
}

// Runs on the worker thread: no access to the socket, only to the ticket.
void RunLookup(std::shared_ptr<TDnsTicket> ticket, int id, std::string name, bool reverse) {
    std::vector<std::string> results;
    int error = 0;
    if (reverse) {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        if (inet_pton(AF_INET, name.c_str(), &sa.sin_addr) != 1) {
            error = WSAHOST_NOT_FOUND;
        } else {
            char host[NI_MAXHOST];
            const int rc = getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host,
                                       sizeof host, nullptr, 0, NI_NAMEREQD);
            error = WinsockErrorFromResolver(rc);
            if (rc == 0) {
                results.emplace_back(host);
            }
        }
    } else {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &list);
        error = WinsockErrorFromResolver(rc);
        for (addrinfo* ai = rc == 0 ? list : nullptr; ai != nullptr; ai = ai->ai_next) {
            char text[INET_ADDRSTRLEN];
            const auto* sin = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
            inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text);
            results.emplace_back(text);
        }
        if (list != nullptr) {
            freeaddrinfo(list);
        }
    }
    std::lock_guard<std::mutex> lock(ticket->mutex);
    if (ticket->receiver != nullptr) {
        TSocketWindow::PostDnsResult(ticket->receiver, id, error, std::move(results));
    }
}

}  // namespace

void TCustomWSocket::DnsLookup(const std::string& hostName) {
    if (hostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        if (OnDnsLookupDone) {
            OnDnsLookupDone(this, WSAEINVAL);
        }
        return;
    }
    if (IsDottedAddress(hostName)) {
        CancelDnsLookup();
        FDnsResult = hostName;
        FDnsResultList = {hostName};
        if (OnDnsLookupDone) {
            OnDnsLookupDone(this, 0);
        }
        return;
    }
    StartLookup(hostName, false);
}

void TCustomWSocket::ReverseDnsLookup(const std::string& hostAddr) {
    if (hostAddr.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        if (OnDnsLookupDone) {
            OnDnsLookupDone(this, WSAEINVAL);
        }
        return;
    }
    StartLookup(hostAddr, true);
}

void TCustomWSocket::StartLookup(const std::string& name, bool reverse) {
    CancelDnsLookup();
    FDnsResultList.clear();
    auto ticket = std::make_shared<TDnsTicket>();
    ticket->receiver = FWindow.get();
    const int id = ++FDnsLookupId;
    try {
        std::thread(RunLookup, ticket, id, name, reverse).detach();
    } catch (const std::system_error& e) {
        const std::string prefix = reverse ? "ReverseDnsLookup" : "DnsLookup";
        RaiseException(prefix + ": can't start DNS lookup, error #" +
                       std::to_string(e.code().value()));
        return;
    }
    FDnsTicket = std::move(ticket);
}

void TCustomWSocket::CancelDnsLookup() {
    if (!FDnsTicket) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(FDnsTicket->mutex);
        FDnsTicket->receiver = nullptr;
    }
    FDnsTicket.reset();
    ++FDnsLookupId;  // a result already posted for the old lookup is ignored
    if (!FDestroying && OnDnsLookupDone) {
        OnDnsLookupDone(this, WSAEINTR);
    }
}

void TCustomWSocket::HandleDnsDone(int id, int error, const std::vector<std::string>& results) {
    if (id != FDnsLookupId || !FDnsTicket) {
        return;
    }
    FDnsTicket.reset();
    FDnsResultList = results;
    FDnsResult = results.empty() ? std::string() : results.front();
    if (OnDnsLookupDone) {
        OnDnsLookupDone(this, static_cast<std::uint16_t>(error));
    }
}

}  // namespace tessel
