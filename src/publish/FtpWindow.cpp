#include "publish/FtpWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace tessel {

namespace {

const QEvent::Type kRequestDoneEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kStartSendingEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TRequestDoneEvent : public QEvent {
  public:
    TRequestDoneEvent(TFtpRequest rq, std::uint16_t error, std::uint32_t serial)
        : QEvent(kRequestDoneEvent), Request(rq), Error(error), Serial(serial) {}
    TFtpRequest Request;
    std::uint16_t Error;
    std::uint32_t Serial;
};

}  // namespace

void TFtpWindow::PostRequestDone(TFtpRequest rq, std::uint16_t error, std::uint32_t serial) {
    QCoreApplication::postEvent(this, new TRequestDoneEvent(rq, error, serial));
}

void TFtpWindow::DiscardRequestDone() {
    QCoreApplication::removePostedEvents(this, kRequestDoneEvent);
}

void TFtpWindow::PostStartSending() {
    QCoreApplication::postEvent(this, new QEvent(kStartSendingEvent));
}

void TFtpWindow::customEvent(QEvent* event) {
    if (event->type() == kRequestDoneEvent) {
        const auto* done = static_cast<TRequestDoneEvent*>(event);
        FOwner->FDeliveredSerial = done->Serial;
        // A copy, so that a handler may destroy the client.
        const auto handler = FOwner->OnRequestDone;
        if (handler) {
            handler(FOwner, done->Request, done->Error);
        }
    } else if (event->type() == kStartSendingEvent) {
        FOwner->StartSending();
    }
}

}  // namespace tessel
