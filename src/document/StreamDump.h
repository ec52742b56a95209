#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Any component stream as readable, diffable text: one line per property record with its
// path, value type and value; collections, items and lists indented and closed by "end".
// It needs no registered classes. Throws EStreamError when the bytes are not a stream.
std::string DumpComponentStream(std::string_view bytes);

}  // namespace tessel
