// The layers of the program, as its sources include each other:
//   core <- isa <- assembler, disassembler, emulator, fileutil <- gui, cli
// with tolvane's uploader apart. The build already refuses an include of a
// folder a library does not see; this test also reads headers that no
// source includes, and checks what the build cannot: Qt stays in the
// windows, and no files include each other in a loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layer {
    const char* folder;
    std::set<std::string> sees;  // folders it may include, its own included
    bool qt;
};

const std::vector<Layer> kLayers = {
    {"core", {"core"}, false},
    {"isa", {"isa", "core"}, false},
    {"assembler", {"assembler", "isa", "core"}, false},
    {"fileutil", {"fileutil", "isa", "core"}, false},
    {"disassembler", {"disassembler", "assembler", "isa", "core"}, false},
    {"emulator", {"emulator", "isa", "core"}, false},
    {"emulator/window",
     {"emulator/window", "shell", "emulator", "assembler", "disassembler", "fileutil", "isa", "core"},
     true},
    {"shell", {"shell", "emulator/window", "emulator", "assembler", "disassembler", "fileutil", "isa", "core"}, true},
    {"cli", {"cli", "emulator", "assembler", "disassembler", "fileutil", "isa", "core"}, false},
    {"uploader", {"uploader"}, false},
};

const fs::path kRoot = ZANVEK_SOURCE_DIR;

// The folder of a path relative to the root: "emulator/window" or "core".
std::string FolderOf(const std::string& relative) {
    const auto slash = relative.find('/');
    if (slash == std::string::npos) return "";
    const std::string first = relative.substr(0, slash);
    if (relative.rfind("emulator/window/", 0) == 0) return "emulator/window";
    return first;
}

struct Source {
    std::string path;                   // relative to the root
    std::vector<std::string> includes;  // "folder/file.h" includes, as written
    std::vector<std::string> system;    // <...> includes
};

std::vector<Source> ReadSources() {
    static const std::regex kQuoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    static const std::regex kAngled(R"(^\s*#\s*include\s*<([^>]+)>)");
    std::vector<Source> out;
    for (const Layer& layer : kLayers) {
        for (const auto& e : fs::directory_iterator(kRoot / layer.folder)) {
            const std::string ext = e.path().extension().string();
            if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            Source s;
            s.path = fs::relative(e.path(), kRoot).generic_string();
            std::ifstream in(e.path());
            std::smatch m;
            for (std::string line; std::getline(in, line);) {
                if (std::regex_search(line, m, kQuoted)) s.includes.push_back(m[1]);
                else if (std::regex_search(line, m, kAngled)) s.system.push_back(m[1]);
            }
            out.push_back(std::move(s));
        }
    }
    return out;
}

const Layer& LayerOf(const std::string& folder) {
    for (const Layer& l : kLayers)
        if (folder == l.folder) return l;
    static const Layer kNone{"", {}, false};
    return kNone;
}

TEST(Layers, NoSourceIncludesAHigherLayerOrAFolderBesideIt) {
    const std::vector<Source> sources = ReadSources();
    ASSERT_GT(sources.size(), 50u);
    for (const Source& s : sources) {
        const Layer& own = LayerOf(FolderOf(s.path));
        for (const std::string& inc : s.includes) {
            if (inc.find('/') == std::string::npos) continue;  // generated (moc) files
            EXPECT_TRUE(own.sees.count(FolderOf(inc))) << s.path << " includes " << inc;
        }
    }
}

TEST(Layers, QtOnlyInTheWindows) {
    for (const Source& s : ReadSources()) {
        if (LayerOf(FolderOf(s.path)).qt) continue;
        for (const std::string& inc : s.system) EXPECT_NE(inc[0], 'Q') << s.path << " includes <" << inc << ">";
    }
}

TEST(Layers, NoFilesIncludeEachOtherInALoop) {
    std::map<std::string, std::vector<std::string>> graph;
    for (const Source& s : ReadSources())
        for (const std::string& inc : s.includes)
            if (fs::exists(kRoot / inc)) graph[s.path].push_back(inc);
    // Depth-first search; a file met again while still on the path closes a loop.
    std::map<std::string, int> state;  // 0 new, 1 on the path, 2 done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& f) {
        state[f] = 1;
        path.push_back(f);
        for (const std::string& next : graph[f]) {
            if (state[next] == 1) {
                std::string loop;
                for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it) loop += *it + " -> ";
                ADD_FAILURE() << "include loop: " << loop << next;
            } else if (state[next] == 0) {
                visit(next);
            }
        }
        path.pop_back();
        state[f] = 2;
    };
    for (const auto& [file, _] : graph)
        if (state[file] == 0) visit(file);
}

}  // namespace
