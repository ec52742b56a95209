#pragma once

// Runs one FTP client request to its end and records how it ended.

#include <chrono>
#include <string>

#include "publish/FtpCli.h"

namespace tessel::test {

struct TRequestOutcome {
    bool done = false;
    int reports = 0;
    bool reportedInsideCall = false;
    TFtpRequest rq = rqNone;
    std::uint16_t error = 0;
    std::chrono::milliseconds took{0};
};

// Starts the request and runs the event loop until OnRequestDone or the limit; then
// keeps the loop running briefly so that a second report would be seen.
TRequestOutcome RunRequest(TCustomFtpCli& client, void (TCustomFtpCli::*method)(),
                           std::chrono::milliseconds limit);

}  // namespace tessel::test
