#pragma once

// The FTP client's stand-in for its hidden window: request completions and the start of
// sending are posted here, so they run on a later turn of the event loop.

#include <QObject>

#include <cstdint>

#include "publish/FtpCli.h"

namespace tessel {

class TFtpWindow : public QObject {
  public:
    explicit TFtpWindow(TCustomFtpCli* owner) : FOwner(owner) {}

    void PostRequestDone(TFtpRequest rq, std::uint16_t error, std::uint32_t serial);
    void PostStartSending();
    // Drops the request completions posted and not yet delivered.
    void DiscardRequestDone();

  protected:
    void customEvent(QEvent* event) override;

  private:
    TCustomFtpCli* FOwner;
};

}  // namespace tessel
