#pragma once

// The socket's stand-in for a hidden window: it receives the socket's own posted
// notifications and the results of name lookups that run on worker threads.

#include <QEvent>
#include <QObject>

#include <mutex>
#include <string>
#include <vector>

namespace tessel {

class TCustomWSocket;

// Shared between a socket and its lookup thread; the socket clears the receiver when it
// cancels the lookup or is destroyed, so a late result is dropped instead of posted.
struct TDnsTicket {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

class TSocketWindow : public QObject {
  public:
    explicit TSocketWindow(TCustomWSocket* owner) : FOwner(owner) {}

    // Asks for a write notification on a later turn of the event loop.
    void PostWrite();
    // Reports a connect that failed before it could run asynchronously.
    void PostConnectFailure(int error);
    static void PostDnsResult(QObject* receiver, int id, int error,
                              std::vector<std::string> results);

  protected:
    void customEvent(QEvent* event) override;

  private:
    TCustomWSocket* FOwner;
};

}  // namespace tessel
