#include "fileutil/compare.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/cp1251.h"
#include "fileutil/hexconv.h"
#include "isa/hex.h"

namespace z51 {

CompareOutcome CompareBin(Workspace& ws, Pane& left, Pane& right, const std::string& name1, const std::string& name2) {
    // Both files are read before anything changes.
    const std::vector<std::uint8_t> a = ReadCodeFile(name1);
    std::vector<std::uint8_t> b = ReadCodeFile(name2);

    std::copy(a.begin(), a.end(), ws.CodeImage.begin());
    CompareOutcome out;
    out.firstSize = static_cast<std::uint32_t>(a.size());
    ws.BinName = name1;
    ws.BinName2 = name2;
    left.Clear();
    right.Clear();

    const std::size_t m = std::min(a.size(), b.size());
    const bool sameCommon = std::equal(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(m), b.begin());
    static const std::string kFiles = cp("Файлы ");
    static const std::string kAnd = cp(" и ");
    // File names come in UTF-8; the panes show code page 1251 text.
    const std::string shown1 = Utf8To1251(name1), shown2 = Utf8To1251(name2);
    if (sameCommon) {
        static const std::string kIdentical = cp(" полностью идентичны!");
        static const std::string kUpToSmaller = cp(" идентичны по меньшему из них по объёму (filesize)…");
        const bool sameSize = a.size() == b.size();
        left.SetColor(clr::Black);
        left.AddLine(kFiles + shown1 + kAnd + shown2 + (sameSize ? kIdentical : kUpToSmaller));
        out.result = sameSize ? CompareResult::Identical : CompareResult::IdenticalUpToSmaller;
        out.second = std::move(b);
        return out;
    }

    static const std::string kFile = cp("Файл: ");
    static const std::string kSize = cp(" [Объём файла:");
    static const std::string kBytes = cp(" байт]:");
    left.SetColor(clr::Black);
    left.AddLine(kFile + shown1 + kSize + std::to_string(a.size()) + kBytes);
    right.SetColor(clr::Black);
    right.AddLine(kFile + shown2 + kSize + std::to_string(b.size()) + kBytes);
    // Rows of 16 bytes of the common part only; bytes of the longer file
    // beyond it are never shown.
    std::string address, cellA, cellB;
    for (std::size_t row = 0; row < m; row += 16) {
        address.clear();
        AppendHex4(address, static_cast<std::uint16_t>(row));
        address += " | ";
        left.AddLine("");
        right.AddLine("");
        left.SetColor(clr::Navy);
        right.SetColor(clr::Navy);
        left.Append(address);
        right.Append(address);
        for (std::size_t j = 0; j < 16 && row + j < m; ++j) {
            const std::uint8_t x = a[row + j], y = b[row + j];
            const Color c = x != y ? clr::Red : clr::Black;
            left.SetColor(c);
            right.SetColor(c);
            cellA.clear();
            cellB.clear();
            AppendHex2(cellA, x);
            AppendHex2(cellB, y);
            if (j != 15) {
                cellA += ' ';
                cellB += ' ';
            }
            left.Append(cellA);
            right.Append(cellB);
        }
    }
    left.SetColor(clr::Black);
    right.SetColor(clr::Black);
    out.result = CompareResult::Differ;
    out.second = std::move(b);
    return out;
}

}  // namespace z51
