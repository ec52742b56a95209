// The blocking wait of TFtpClient: the thread's event loop runs until the request ends.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "publish/FtpCli.h"

namespace tessel {

namespace {

std::chrono::milliseconds TimeoutSpan(int seconds) {
    return std::chrono::milliseconds(static_cast<long long>(seconds) * 1000);
}

}  // namespace

bool TFtpClient::Synchronize(void (TCustomFtpCli::*method)()) {
    try {
        (this->*method)();
    } catch (const ETesselError&) {
        return false;
    }
    return WaitUntilReady();
}

bool TFtpClient::WaitUntilReady() {
    bool done = false;
    std::uint16_t result = 0;
    const auto saved = OnRequestDone;
    const std::uint32_t awaited = RequestSerial();
    OnRequestDone = [this, &done, &result, saved, awaited](TCustomFtpCli* sender, TFtpRequest rq,
                                                           std::uint16_t error) {
        // The completion of an earlier request, posted before this one began, is not ours.
        if (DeliveredSerial() == awaited) {
            done = true;
            result = error;
        }
        if (saved) {
            saved(sender, rq, error);
        }
    };
    FDeadline = std::chrono::steady_clock::now() + TimeoutSpan(Timeout);
    // The tick wakes the loop so the deadline is seen even when nothing else happens.
    QTimer tick;
    tick.start(100);
    const auto flags = QEventLoop::WaitForMoreEvents |
                       (MultiThreaded ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    while (!done) {
        if (QCoreApplication::closingDown() ||
            (Timeout > 0 && std::chrono::steady_clock::now() > FDeadline)) {
            break;
        }
        QCoreApplication::processEvents(flags);
    }
    OnRequestDone = saved;
    if (!done) {
        AbortWith(426, "426 Timeout");
        // The caller hears of the failure from our result; the completion the abort
        // posted must not end the next request.
        DiscardPostedCompletions();
        return false;
    }
    return result == 0;
}

void TFtpClient::TriggerProgress(long count, bool& abort) {
    FDeadline = std::chrono::steady_clock::now() + TimeoutSpan(Timeout);
    TCustomFtpCli::TriggerProgress(count, abort);
}

}  // namespace tessel
