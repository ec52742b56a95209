#include "publish/FtpWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace tessel {

namespace {

const QEvent::Type kRequestDoneEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kStartSendingEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TRequestDoneEvent : public QEvent {
  public:
    TRequestDoneEvent(TFtpRequest rq, std::uint16_t error)
        : QEvent(kRequestDoneEvent), Request(rq), Error(error) {}
    TFtpRequest Request;
    std::uint16_t Error;
};

}  // namespace

void TFtpWindow::PostRequestDone(TFtpRequest rq, std::uint16_t error) {
    QCoreApplication::postEvent(this, new TRequestDoneEvent(rq, error));
}

void TFtpWindow::PostStartSending() {
    QCoreApplication::postEvent(this, new QEvent(kStartSendingEvent));
}

void TFtpWindow::customEvent(QEvent* event) {
    if (event->type() == kRequestDoneEvent) {
        const auto* done = static_cast<TRequestDoneEvent*>(event);
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
