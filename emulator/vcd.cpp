#include "emulator/vcd.h"

namespace z51 {
namespace {

// Identifier codes: "!" .. "@" for the 32 pins, "A" for PC.
char PinCode(int port, int bit) { return static_cast<char>('!' + port * 8 + bit); }
constexpr char kPcCode = 'A';

void AppendPc(std::string& out, std::uint16_t pc) {
    out += 'b';
    for (int i = 15; i >= 0; --i) out += ((pc >> i) & 1) ? '1' : '0';
    out += ' ';
    out += kPcCode;
    out += '\n';
}

}  // namespace

std::uint64_t VcdWriter::Nanoseconds(std::uint64_t cycles, std::uint64_t xtalHz) {
    if (xtalHz == 0) return 0;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(cycles) * 12u * 1'000'000'000u;
    return static_cast<std::uint64_t>((scaled + xtalHz / 2) / xtalHz);
}

VcdWriter::VcdWriter(const std::string& path, std::uint64_t xtalHz, const PortBytes& ports, std::uint16_t pc)
    : file_(path), xtal_(xtalHz), ports_(ports), pc_(pc) {
    buf_ = "$version zanvek-cli emu $end\n";
    buf_ += "$comment one machine cycle is 12 periods of a " + std::to_string(xtalHz) + " Hz crystal $end\n";
    buf_ += "$timescale 1ns $end\n$scope module i8051 $end\n";
    for (int p = 0; p < 4; ++p)
        for (int b = 0; b < 8; ++b)
            buf_ += std::string("$var wire 1 ") + PinCode(p, b) + " P" + char('0' + p) + '_' + char('0' + b) + " $end\n";
    buf_ += std::string("$var wire 16 ") + kPcCode + " PC [15:0] $end\n";
    buf_ += "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
    for (int p = 0; p < 4; ++p)
        for (int b = 0; b < 8; ++b) {
            buf_ += ((ports[static_cast<std::size_t>(p)] >> b) & 1) ? '1' : '0';
            buf_ += PinCode(p, b);
            buf_ += '\n';
        }
    AppendPc(buf_, pc);
    buf_ += "$end\n";
    Flush(true);
}

void VcdWriter::Time(std::uint64_t cycles) {
    const std::uint64_t t = Nanoseconds(cycles, xtal_);
    if (t == written_) return;
    written_ = t;
    buf_ += '#';
    buf_ += std::to_string(t);
    buf_ += '\n';
}

void VcdWriter::Sample(std::uint64_t cycles, const PortBytes& ports, std::uint16_t pc) {
    if (ports == ports_ && pc == pc_) return;
    Time(cycles);
    for (int p = 0; p < 4; ++p) {
        const auto i = static_cast<std::size_t>(p);
        for (unsigned changed = ports[i] ^ ports_[i]; changed; changed &= changed - 1) {
            const int b = __builtin_ctz(changed);
            buf_ += ((ports[i] >> b) & 1) ? '1' : '0';
            buf_ += PinCode(p, b);
            buf_ += '\n';
        }
    }
    if (pc != pc_) AppendPc(buf_, pc);
    ports_ = ports;
    pc_ = pc;
    Flush(false);
}

void VcdWriter::Finish(std::uint64_t cycles) {
    Time(cycles);
    Flush(true);
    file_.Commit();
}

void VcdWriter::Flush(bool always) {
    if (!always && buf_.size() < (1u << 16)) return;
    file_.Write(buf_);
    buf_.clear();
}

}  // namespace z51
