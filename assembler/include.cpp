#include "assembler/include.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/fileio.h"

namespace z51 {
namespace {

std::string Normalised(std::string_view name) {
    std::string s(name);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

// The folder above `folder` ("" is the root and stays the root).
std::string ParentFolder(const std::string& folder) {
    if (folder.empty()) return folder;
    if (folder == ".") return "..";
    const std::size_t slash = folder.rfind('/');
    const std::string_view last = slash == std::string::npos ? std::string_view(folder)
                                                             : std::string_view(folder).substr(slash + 1);
    if (last == "..") return folder + "/..";
    if (slash == std::string::npos) return ".";
    return folder.substr(0, slash);
}

char FoldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    return c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

}  // namespace

std::string SourceFolder(std::string_view sourceName) {
    const std::size_t sep = sourceName.find_last_of("/\\");
    if (sep == std::string_view::npos) return ".";
    return Normalised(sourceName.substr(0, sep));
}

std::string SetPath(std::string_view folder, std::string_view name) {
    std::string n = Normalised(name);
    std::string dir = Normalised(folder);
    if (n.empty()) return {};
    if (n.front() == '/') return dir + n;
    if (n.front() != '.') return n;
    for (;;) {
        if (n.starts_with("./")) {
            n.erase(0, 2);
        } else if (n.starts_with("../")) {
            n.erase(0, 3);
            dir = ParentFolder(dir);
        } else {
            break;
        }
    }
    if (n.empty() || n.front() == '.') return {};
    return dir + "/" + n;
}

std::string FindIncludeFile(const std::string& path) {
    if (path.empty() || FileExists(path)) return path;
    namespace fs = std::filesystem;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string_view leaf = slash == std::string::npos ? std::string_view(path)
                                                             : std::string_view(path).substr(slash + 1);
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return path;
    // The first match in name order, so that the choice does not depend on
    // the order in which the file system lists the folder.
    std::string best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::string entry = it->path().filename().string();
        if (!SameIgnoringCase(entry, leaf)) continue;
        const std::string candidate = slash == std::string::npos ? entry : path.substr(0, slash + 1) + entry;
        if (!FileExists(candidate)) continue;
        if (best.empty() || candidate < best) best = candidate;
    }
    return best.empty() ? path : best;
}

}  // namespace z51
