// The least a sender can spend on a loopback TCP connection when it writes blocks of a
// given size, with nothing else to do: no file, no event loop. The FTP client's upload
// sends one 1514-byte block per "data sent" event, so the 1514 figure is its floor, and the
// larger blocks show what a client that sends bigger pieces (curl) starts from.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr std::int64_t kBytesPerIteration = 16 << 20;

// A connected pair on 127.0.0.1 whose far end a thread reads and throws away.
class TLoopbackSink {
  public:
    TLoopbackSink() {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener, 1) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        FSender = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(FSender, reinterpret_cast<sockaddr*>(&address), length) != 0) {
            throw std::runtime_error("cannot connect to 127.0.0.1");
        }
        const int receiver = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        FReader = std::thread([receiver] {
            std::vector<char> buffer(64 * 1024);
            while (::read(receiver, buffer.data(), buffer.size()) > 0) {
            }
            ::close(receiver);
        });
    }
    ~TLoopbackSink() {
        ::close(FSender);
        FReader.join();
    }
    int Sender() const { return FSender; }

  private:
    int FSender = -1;
    std::thread FReader;
};

void BM_LoopbackSend(benchmark::State& state) {
    const auto blockSize = static_cast<std::size_t>(state.range(0));
    const std::vector<char> block(blockSize, 'x');
    TLoopbackSink sink;
    for (auto _ : state) {
        for (std::int64_t sent = 0; sent < kBytesPerIteration;) {
            const ssize_t n = ::send(sink.Sender(), block.data(), block.size(), MSG_NOSIGNAL);
            if (n < 0) {
                state.SkipWithError("send failed");
                return;
            }
            sent += n;
        }
    }
    state.SetBytesProcessed(state.iterations() * kBytesPerIteration);
}
BENCHMARK(BM_LoopbackSend)->Arg(1514)->Arg(16 * 1024)->Arg(64 * 1024)->UseRealTime();

}  // namespace
