// Fuzz entries of the file commands: the Intel HEX reader and writer, the
// binary compare and both disassemblers.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "core/file_error.h"
#include "core/fileio.h"
#include "core/workspace.h"
#include "disassembler/disasm.h"
#include "fileutil/compare.h"
#include "fileutil/hexconv.h"
#include "fuzz_entries.h"
#include "fuzz_pane.h"

namespace z51::fuzz {
namespace {

std::string_view AsText(Input data) { return {reinterpret_cast<const char*>(data.data()), data.size()}; }

// The bytes repeated until they fill `size` bytes (a short input stands for
// a large file).
std::string Tiled(std::string_view bytes, std::size_t size) {
    std::string out;
    if (bytes.empty()) return out;
    out.reserve(size);
    while (out.size() < size) out.append(bytes.substr(0, size - out.size()));
    return out;
}

}  // namespace

// The input is a HEX file. It is read into the image and written as a
// binary; the binary is converted back to HEX with the width and line end
// taken from the input's last byte, and that HEX must read back into the
// same bytes without any complaint.
void FuzzHexRead(Input data) {
    static const std::string dir = ScratchFolder("hex");
    MemoryFiles memory(dir);
    const std::string hexIn = dir + "/in.hex", bin = dir + "/out.bin", hexOut = dir + "/out.hex";
    PutFile(hexIn, AsText(data));

    auto ws = std::make_unique<Workspace>();
    CountingPane pane;
    const HexLoad load = ReadHexIntoImage(*ws, hexIn);
    FuzzCheck(std::is_sorted(load.skippedLines.begin(), load.skippedLines.end()), "skipped lines out of order");
    FuzzCheck(!load.hasData || (load.lowest >= 0 && load.lowest <= load.highest && load.highest <= 0xFFFF),
              "loaded range out of the image");
    WriteBinFromHex(*ws, pane, load, bin);
    if (!load.hasData) {
        FuzzCheck(!Exists(bin), "a binary was written without data");
        return;
    }
    const std::string image = GetFile(bin);
    FuzzCheck(image.size() == static_cast<std::size_t>(load.highest + 1), "binary size is not the highest address + 1");

    const std::uint8_t last = data.empty() ? 0 : data.back();
    ws->HexWidth = last;
    ws->HexCR = last & 1;
    BinToHex(*ws, pane, bin, hexOut);
    auto back = std::make_unique<Workspace>();
    const HexLoad again = ReadHexIntoImage(*back, hexOut);
    FuzzCheck(again.skippedLines.empty() && again.checksumErrorLines.empty() && !again.clipped && again.endRecord,
              "a HEX file we wrote does not read back cleanly");
    FuzzCheck(std::memcmp(image.data(), back->CodeImage.data(), image.size()) == 0,
              "binary -> HEX -> image changed the bytes");
}

// Byte 0 and 1: where the rest is cut into the two files (modulo its
// length); byte 0 with bit 3 and the high nibble 5 also stretches the
// second file to 65,536 bytes.
void FuzzCompare(Input data) {
    if (data.size() < 2) return;
    const std::string_view rest = AsText(data.subspan(2));
    const std::size_t cut = rest.empty() ? 0 : (data[0] << 8 | data[1]) % (rest.size() + 1);
    const std::string a(rest.substr(0, cut));
    const std::string b = (data[0] & 0xF8) == 0x58 ? Tiled(rest.substr(cut), 0x10000) : std::string(rest.substr(cut));
    static const std::string dir = ScratchFolder("cmp");
    MemoryFiles memory(dir);
    const std::string fa = dir + "/cmp1.bin", fb = dir + "/cmp2.bin";
    PutFile(fa, a);
    PutFile(fb, b);
    auto ws = std::make_unique<Workspace>();
    CountingPane left, right;
    const CompareResult r = CompareBin(*ws, left, right, fa, fb).result;
    const std::size_t m = std::min(a.size(), b.size());
    const bool sameCommon = a.compare(0, m, b, 0, m) == 0;
    const CompareResult expected = !sameCommon             ? CompareResult::Differ
                                   : a.size() == b.size() ? CompareResult::Identical
                                                          : CompareResult::IdenticalUpToSmaller;
    FuzzCheck(r == expected, "compare result is wrong");
    if (r == CompareResult::Differ) FuzzCheck(left.Lines() == right.Lines(), "the two dumps differ in length");
}

namespace {

// Assembles a disassembly (both passes) and returns its code image over
// the length of the original file, or a note of what went wrong.
bool AssemblesBack(const std::string& source, const std::string& original, std::string& why) {
    Workspace* ws = &FreshWorkspace(1);
    ws->SourceName = source;
    NullPane firstPass;  // the first pass's listing is not looked at
    CountingPane pane;
    Assembler assembler(*ws, firstPass);
    assembler.State().Clock = &FixedClock;
    assembler.Prohod1();
    assembler.RunFirstPass();
    assembler.SetPane(pane);
    if (!assembler.FinalPass()) {
        why = "does not assemble";
        return false;
    }
    if (std::memcmp(ws->CodeImage.data(), original.data(), original.size()) != 0) {
        const auto diff = std::mismatch(original.begin(), original.end(), ws->CodeImage.begin(),
                                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
        why = "assembles into other bytes at " + std::to_string(diff.first - original.begin());
        return false;
    }
    return true;
}

}  // namespace

// Byte 0: bit 1 assembles both outputs back and compares them with the
// file (files up to 32 bytes: each instruction is a source line of two
// passes, twice). When its high nibble is 5 and bit 0 is set, the
// rest is repeated into a 6 KiB file: its 3,072 two-byte branches can name
// more labels than the assembler's table holds. (Such a file costs as much
// as a few hundred small ones, hence the rare pattern; whole 64 KiB images
// are left to the disassembler's tests.) The plain and the labelled
// disassembly run on the rest as a binary file.
void FuzzDisasm(Input data) {
    if (data.empty()) return;
    const std::uint8_t flags = data[0];
    std::string code(AsText(data.subspan(1)));
    if ((flags & 0xF1) == 0x51) code = Tiled(code, 0x1800);
    static const std::string dir = ScratchFolder("dis");
    MemoryFiles memory(dir);
    const std::string bin = dir + "/dis.bin";
    PutFile(bin, code);

    auto ws = std::make_unique<Workspace>();
    Disassembler dis(*ws);
    CountingPane pane, pane2;
    dis.Deas(pane, bin);
    FuzzCheck(dis.Size() == static_cast<long>(code.size()), "the disassembler read another size");
    const bool roundTrip = (flags & 2) && code.size() <= 32;
    std::string why;
    if (roundTrip) FuzzCheck(AssemblesBack(dis.OutputName(), code, why), "plain disassembly " + why);
    dis.DeasLbl(pane, pane2);
    if (roundTrip) FuzzCheck(AssemblesBack(dis.OutputName(), code, why), "labelled disassembly " + why);
    FuzzCheck(!LeftoverTempFile(), "a temporary file stayed behind");
}

}  // namespace z51::fuzz
