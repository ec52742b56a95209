#pragma once

// The tips of the day: the lines of Tips.txt and the random choice among them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// Gives an integer r with 0 <= r < bound (bound >= 1). Injected so that tests are deterministic.
using TRandomBelow = std::function<int(int bound)>;

// Registry value (under the program's settings key) that says whether tips show at start.
inline constexpr const char* kTipDayValueName = "TipDay";

class TTips {
  public:
    // Splits at CR, LF or CR LF. Blank lines are dropped: drawing one would show an empty tip.
    static TTips FromText(const std::string& text);
    // Nothing when the file cannot be read.
    static std::optional<TTips> LoadFile(const std::string& path);

    int Count() const { return static_cast<int>(lines_.size()); }
    bool Empty() const { return lines_.empty(); }
    const std::string& Line(int index) const { return lines_.at(static_cast<size_t>(index)); }

    // Any line may come up, the last one included; tips may repeat. Requires !Empty().
    const std::string& Draw(const TRandomBelow& random) const;

  private:
    std::vector<std::string> lines_;
};

// The text shown instead of a tip when Tips.txt is missing or holds no tip.
std::string TipsLoadFailureText(const std::string& programFolder);

// The registry text of the "Show at startup" choice.
std::string TipDayText(bool showAtStart);

}  // namespace tessel
