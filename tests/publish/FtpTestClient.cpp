#include "FtpTestClient.h"

#include "NetTestSupport.h"

namespace tessel::test {

TRequestOutcome RunRequest(TCustomFtpCli& client, void (TCustomFtpCli::*method)(),
                           std::chrono::milliseconds limit) {
    TRequestOutcome outcome;
    bool inCall = true;
    client.OnRequestDone = [&](TCustomFtpCli*, TFtpRequest rq, std::uint16_t error) {
        outcome.done = true;
        outcome.reportedInsideCall = outcome.reportedInsideCall || inCall;
        ++outcome.reports;
        outcome.rq = rq;
        outcome.error = error;
    };
    const auto start = std::chrono::steady_clock::now();
    (client.*method)();
    inCall = false;
    RunUntil([&] { return outcome.done; }, limit);
    outcome.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    RunFor(std::chrono::milliseconds(100));
    client.OnRequestDone = nullptr;
    return outcome;
}

}  // namespace tessel::test
