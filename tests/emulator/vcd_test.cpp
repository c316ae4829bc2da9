// The Value Change Dump read back by a small reader of the format: the
// declared signals, the values at time 0 and each change at its time.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "emulator/vcd.h"
#include "tests/support/test_files.h"

namespace z51 {
namespace {

struct Change {
    std::uint64_t time;
    std::string signal;
    std::string value;
    bool operator==(const Change&) const = default;
};

// Reads the declarations and the value changes of a dump.
struct VcdFile {
    std::string timescale;
    std::map<std::string, std::pair<std::string, int>> vars;  // code -> name, width
    std::vector<Change> changes;

    explicit VcdFile(const std::string& text) {
        std::istringstream in(text);
        std::string w;
        std::uint64_t t = 0;
        while (in >> w) {
            if (w == "$timescale") {
                for (std::string p; in >> p && p != "$end";) timescale += p;
            } else if (w == "$var") {
                std::string type, code, name, tail;
                int width = 0;
                in >> type >> width >> code >> name;
                while (in >> tail && tail != "$end") {
                }
                vars[code] = {name, width};
            } else if (w[0] == '$') {
                if (w != "$dumpvars" && w != "$end")
                    for (std::string p; in >> p && p != "$end";) {
                    }
            } else if (w[0] == '#') {
                t = std::stoull(w.substr(1));
            } else if (w[0] == 'b') {
                std::string code;
                in >> code;
                changes.push_back({t, vars.at(code).first, w.substr(1)});
            } else {
                changes.push_back({t, vars.at(w.substr(1)).first, w.substr(0, 1)});
            }
        }
    }
};

TEST(Vcd, HeaderAndTransitions) {
    test::TempDir dir;
    const std::string path = dir / "run.vcd";
    VcdWriter w(path, 6'000'000, {0x00, 0x01, 0x00, 0x80}, 0x0000);
    w.Sample(1, {0x00, 0x01, 0x00, 0x80}, 0x0002);  // PC alone
    w.Sample(3, {0x00, 0x00, 0x00, 0x80}, 0x0004);  // P1.0 falls
    w.Sample(3, {0x00, 0x00, 0x00, 0x80}, 0x0004);  // nothing new
    w.Sample(4, {0x81, 0x00, 0x00, 0x80}, 0x0004);  // two pins of P0 rise
    EXPECT_FALSE(test::fs::exists(path)) << "named only when finished";
    w.Finish(6);

    const VcdFile f(test::ReadAll(path));
    EXPECT_EQ(f.timescale, "1ns");
    ASSERT_EQ(f.vars.size(), 33u);
    int pins = 0;
    for (const auto& [code, v] : f.vars) pins += v.second == 1 && v.first.size() == 4 && v.first[2] == '_';
    EXPECT_EQ(pins, 32);
    // At time 0 every pin and PC; then one change per line, 2000 ns a cycle.
    std::vector<Change> later;
    std::map<std::string, std::string> start;
    for (const Change& c : f.changes) (c.time == 0 ? (void)(start[c.signal] = c.value) : later.push_back(c));
    EXPECT_EQ(start.size(), 33u);
    EXPECT_EQ(start["P1_0"], "1");
    EXPECT_EQ(start["P3_7"], "1");
    EXPECT_EQ(start["P3_6"], "0");
    EXPECT_EQ(start["PC"], "0000000000000000");
    const std::vector<Change> want = {
        {2000, "PC", "0000000000000010"}, {6000, "P1_0", "0"}, {6000, "PC", "0000000000000100"},
        {8000, "P0_0", "1"}, {8000, "P0_7", "1"},
    };
    EXPECT_EQ(later, want);
    EXPECT_NE(test::ReadAll(path).find("#12000"), std::string::npos) << "the end time";
    EXPECT_EQ(VcdWriter::Nanoseconds(1, 11'059'200), 1085u);  // 1085.07 ns
}

}  // namespace
}  // namespace z51
