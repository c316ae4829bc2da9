#include "fileutil/hexconv.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/file_error.h"
#include "isa/intel_hex.h"

namespace z51 {

namespace {

// Up to this many line numbers are listed in a report line; the rest are
// counted.
constexpr std::size_t kMaxListedLines = 100;

std::string LineList(const std::vector<long>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size() && i < kMaxListedLines; ++i) {
        if (i) s += ", ";
        s += std::to_string(lines[i]);
    }
    if (lines.size() > kMaxListedLines) s += ", ... (" + std::to_string(lines.size()) + ")";
    return s;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

void BinToHex(Workspace& ws, Pane& pane, const std::string& binName, const std::string& hexName) {
    std::vector<std::uint8_t> bytes = ReadCodeFile(binName);
    const std::string hexFile = WithDefaultExtension(hexName, ".Hex");
    // The HEX file is built completely before the image and the names
    // change, so a failure leaves everything as it was.
    CodeMemory image = ws.CodeImage;
    std::copy(bytes.begin(), bytes.end(), image.begin());
    WriteFileAtomic(hexFile, std::string_view(HexFileText(image, 0, static_cast<long>(bytes.size()) - 1,
                                                          ws.HexWidth, ws.HexCR != 0)));
    ws.CodeImage = image;
    ws.BinName = binName;
    ws.HexName = hexFile;
    pane.Clear();
    pane.SetColor(clr::Black);
    static const std::string kObtained = cp("Получен файлы ");
    static const std::string kFrom = cp(" из ");
    // File names come in UTF-8; the pane shows code page 1251 text.
    pane.AddLine(kObtained + Utf8To1251(hexFile) + kFrom + Utf8To1251(binName));
}

HexLoad ReadHexIntoImage(Workspace& ws, const std::string& hexName) {
    TextReader reader(hexName);  // a file that cannot be read leaves the image as it was
    HexLoad load;
    load.hexName = hexName;
    ws.HexName = hexName;
    ws.CodeImage.fill(0xFF);

    std::uint32_t upperAddress = 0;
    long lineNo = 0;
    while (!reader.AtEnd()) {
        std::string raw = reader.ReadLine();
        ++lineNo;
        std::string_view line = Trim(raw);
        if (line.empty()) continue;
        const std::optional<HexRecordLine> record = DecodeHexRecord(line);
        const HexPlacement place = record ? PlaceHexRecord(*record, upperAddress) : HexPlacement{};
        if (place.kind == HexKind::Other) {
            load.skippedLines.push_back(lineNo);
            continue;
        }
        // A damaged pair, like a wrong checksum, is reported; the record is
        // taken all the same, as the loader always did.
        if (!record->checksumOk) load.checksumErrorLines.push_back(lineNo);
        if (place.kind == HexKind::End) {
            load.endRecord = true;
            break;
        }
        if (place.kind == HexKind::StartAddress) load.startIgnored = true;
        if (place.dropped) load.clipped = true;
        if (place.kept == 0) continue;
        std::copy_n(record->data.begin(), place.kept, ws.CodeImage.begin() + place.address);
        load.hasData = true;
        load.lowest = std::min<long>(load.lowest, place.address);
        load.highest = std::max<long>(load.highest, place.address + static_cast<long>(place.kept) - 1);
    }
    return load;
}

void WriteBinFromHex(Workspace& ws, Pane& pane, const HexLoad& load, const std::string& binName) {
    if (!load.hasData) {
        pane.SetColor(clr::Red);
        static const std::string kNoData1 = cp("В файле ");
        static const std::string kNoData2 = cp(" нет ни одной записи данных: Bin-файл не создан.");
        pane.AddLine(kNoData1 + Utf8To1251(load.hexName) + kNoData2);
    } else {
        // The binary is a plain image of code memory from address 0, as the
        // assembler writes it, up to the highest loaded address.
        const std::string binFile = WithDefaultExtension(binName, ".Bin");
        WriteFileAtomic(binFile, std::span<const std::uint8_t>(ws.CodeImage.data(), static_cast<std::size_t>(load.highest + 1)));
        ws.BinName = binFile;
        pane.SetColor(clr::Black);
        static const std::string kObtained = cp("Получен файл ");
        static const std::string kFrom = cp(" из ");
        pane.AddLine(kObtained + Utf8To1251(binFile) + kFrom + Utf8To1251(load.hexName));
    }
    pane.SetColor(clr::Purple);
    if (!load.skippedLines.empty()) {
        static const std::string kSkipped = cp("Пропущены строки: ");
        pane.AddLine(kSkipped + LineList(load.skippedLines));
    }
    if (!load.checksumErrorLines.empty()) {
        static const std::string kChecksum = cp("Ошибка контрольной суммы в строках: ");
        pane.AddLine(kChecksum + LineList(load.checksumErrorLines));
    }
    if (load.clipped) pane.AddLine(HexDroppedNotice());
    if (load.startIgnored) pane.AddLine(HexStartIgnoredNotice());
    if (!load.endRecord) pane.AddLine(HexNoEndNotice());
    pane.SetColor(clr::Black);
}

}  // namespace z51
