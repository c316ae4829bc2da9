#pragma once
// What a phone or modem sends back after an AT command: the echo of the
// command (while echo is on), information lines, and at last one final
// result code on a line of its own (3GPP TS 27.007 / ITU-T V.250).

#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

struct FinalResult {
    bool ok = false;
    std::string text;  // "OK", "ERROR", "+CME ERROR: 20", ...
};

// The final result code in what has arrived so far, or nothing while it has
// not come yet. Only complete lines count, so "+CME ERROR: 2" is not taken
// for the first half of "+CME ERROR: 21"; the echo and any other line are
// passed over.
std::optional<FinalResult> FindFinalResult(std::string_view received);

}  // namespace tolvane
