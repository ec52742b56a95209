#include "publish/WSocketWindow.h"

#include <QCoreApplication>

#include "publish/WSocket.h"

namespace tessel {

namespace {

const QEvent::Type kWriteEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kConnectFailedEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kDnsDoneEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TCodeEvent : public QEvent {
  public:
    TCodeEvent(QEvent::Type type, int code) : QEvent(type), Code(code) {}
    int Code;
};

class TDnsDoneEvent : public QEvent {
  public:
    TDnsDoneEvent(int id, int error, std::vector<std::string> results)
        : QEvent(kDnsDoneEvent), Id(id), Error(error), Results(std::move(results)) {}
    int Id;
    int Error;
    std::vector<std::string> Results;
};

}  // namespace

void TSocketWindow::PostWrite() {
    QCoreApplication::postEvent(this, new QEvent(kWriteEvent));
}

void TSocketWindow::PostConnectFailure(int error) {
    QCoreApplication::postEvent(this, new TCodeEvent(kConnectFailedEvent, error));
}

void TSocketWindow::PostDnsResult(QObject* receiver, int id, int error,
                                  std::vector<std::string> results) {
    QCoreApplication::postEvent(receiver, new TDnsDoneEvent(id, error, std::move(results)));
}

void TSocketWindow::customEvent(QEvent* event) {
    if (event->type() == kWriteEvent) {
        FOwner->HandlePostedWrite();
    } else if (event->type() == kConnectFailedEvent) {
        FOwner->HandleConnectResult(static_cast<TCodeEvent*>(event)->Code);
    } else if (event->type() == kDnsDoneEvent) {
        const auto* done = static_cast<TDnsDoneEvent*>(event);
        FOwner->HandleDnsDone(done->Id, done->Error, done->Results);
    }
}

}  // namespace tessel
