// zanvek-cli emu: runs a program in the emulator without a window.

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "core/cp1251.h"
#include "emulator/emufiles.h"
#include "emulator/exec.h"
#include "isa/hex.h"
#include "isa/opcode_map.h"

namespace z51 {
namespace {

// Without --steps and --until a run stops after this many instructions.
constexpr std::uint64_t kDefaultStepLimit = 10'000'000;

constexpr const char* kEmuHelp =
    "Usage: zanvek-cli emu [options] PROG.bin\n"
    "\n"
    "Loads PROG.bin into code memory from 0000H and runs it from the emulator's start\n"
    "state (internal RAM, R0-R7, PC, SP and the ports all 0; external RAM 0).\n"
    "\n"
    "Options:\n"
    "  --steps N        execute at most N instructions (decimal)\n"
    "  --until ADDR     stop when an instruction leaves PC at ADDR; ADDR is hexadecimal\n"
    "                   with an H suffix (0123H) or a 0x prefix (0x123), else decimal\n"
    "  --regs DUMP      load a register dump first (266 bytes: internal RAM 00H-FFH,\n"
    "                   R0-R7, PC low, PC high; a shorter file sets what it holds)\n"
    "  --ext FILE       load external RAM from 0000H first (after --regs)\n"
    "  --save-regs FILE write the 266-byte register dump after the run\n"
    "  --save-ext FILE  write external RAM after the run: as many bytes as the last\n"
    "                   --ext (or --regs) load read, none without either\n"
    "  --trace          one line per instruction: address, bytes, instruction, and\n"
    "                   A, PSW, SP, DPTR after it\n"
    "\n"
    "Without --steps and --until the run stops after 10000000 instructions; --until\n"
    "alone sets no step limit. Every run also stops at a halt loop: an instruction\n"
    "that writes nothing and jumps to itself (SJMP $, AJMP/LJMP to itself, A5H ...).\n"
    "At the end: PC, A, B, SP, DPTR, the PSW flags, R0-R7 and the non-zero bytes\n"
    "of internal RAM.\n"
    "Exit status: 0 the run ended; 1 --until was given and PC never reached ADDR;\n"
    "2 usage or file errors.\n";

std::optional<std::uint64_t> ParseNumber(std::string_view s, int base) {
    std::uint64_t v = 0;
    if (s.empty()) return std::nullopt;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// 0123H / 0x123 / 291.
std::optional<std::uint16_t> ParseAddress(std::string_view s) {
    std::optional<std::uint64_t> v;
    if (s.size() > 1 && (s.back() == 'H' || s.back() == 'h'))
        v = ParseNumber(s.substr(0, s.size() - 1), 16);
    else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        v = ParseNumber(s.substr(2), 16);
    else
        v = ParseNumber(s, 10);
    if (!v || *v > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}


std::string Padded(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string RegistersShort(const Cpu51& cpu) {
    return "A=" + ByteToHex2(cpu.A()) + " PSW=" + ByteToHex2(cpu.PSW()) + " SP=" + ByteToHex2(cpu.SP()) +
           " DPTR=" + WordToHex4(cpu.Dptr());
}

// "0100  74 12     MOV   A,#012H          A=12 PSW=00 SP=07 DPTR=0000"
std::string TraceLine(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes, const Cpu51& after) {
    const DecodedInstruction d = DecodeInstruction(pc, bytes);
    std::string code;
    for (int k = 0; k < d.length; ++k) code += ByteToHex2(bytes[static_cast<std::size_t>(k)]) + ' ';
    return WordToHex4(pc) + "  " + Padded(code, 10) + Padded(d.mnemonic, 6) + Padded(d.operands, 22) +
           RegistersShort(after);
}

void PrintState(Pane& out, const Cpu51& cpu) {
    out.AddLine("PC=" + WordToHex4(cpu.PC) + "  A=" + ByteToHex2(cpu.A()) + "  B=" + ByteToHex2(cpu.B()) +
                "  SP=" + ByteToHex2(cpu.SP()) + "  DPTR=" + WordToHex4(cpu.Dptr()));
    const std::uint8_t p = cpu.PSW();
    auto bit = [p](const char* name, std::uint8_t mask) {
        return std::string(" ") + name + "=" + ((p & mask) ? "1" : "0");
    };
    out.AddLine("PSW=" + ByteToHex2(p) + " " + bit("CY", psw::CY) + bit("AC", psw::AC) + bit("F0", psw::F0) +
                bit("RS1", psw::RS1) + bit("RS0", psw::RS0) + bit("OV", psw::OV) + bit("P", psw::P));
    std::string regs;
    for (int r = 0; r < 8; ++r)
        regs += (r ? " R" : "R") + std::to_string(r) + "=" + ByteToHex2(cpu.R[static_cast<std::size_t>(r)]);
    out.AddLine(regs);
    std::string line;
    int inLine = 0, total = 0;
    for (int a = 0; a < 256; ++a) {
        const std::uint8_t v = cpu.iram()[a];
        if (v == 0) continue;
        if (inLine == 0) {
            if (total == 0) out.AddLine("Internal RAM, non-zero bytes (address=value):");
            line.clear();
        }
        line += (inLine ? " " : "") + ByteToHex2(static_cast<std::uint8_t>(a)) + "=" + ByteToHex2(v);
        ++total;
        if (++inLine == 12) {
            out.AddLine(line);
            inLine = 0;
        }
    }
    if (inLine) out.AddLine(line);
    if (total == 0) out.AddLine("Internal RAM: all bytes 00");
}

// A load that did not happen ends the command with the reason.
bool Loaded(const LoadResult& r) {
    if (r.Ok()) return true;
    UsageError("emu: " + Cp1251ToUtf8(r.message));
    return false;
}

}  // namespace

int CmdEmu(CliContext& c) {
    std::string prog, regs, ext, saveRegs, saveExt;
    std::optional<std::uint64_t> steps;
    std::optional<std::uint16_t> until;
    bool trace = false;

    const auto& a = c.args;
    for (std::size_t k = 0; k < a.size(); ++k) {
        std::string opt = a[k], value;
        const bool isOption = opt.size() > 2 && opt.compare(0, 2, "--") == 0;
        if (isOption) {
            if (const auto eq = opt.find('='); eq != std::string::npos) {
                value = opt.substr(eq + 1);
                opt.resize(eq);
            } else if (opt != "--trace" && opt != "--help") {
                if (k + 1 >= a.size()) return UsageError("emu: " + opt + " needs a value (see emu --help)");
                value = a[++k];
            }
        }
        if (opt == "--help" || opt == "-h") {
            std::fputs(kEmuHelp, stdout);
            return 0;
        } else if (opt == "--trace") {
            trace = true;
        } else if (opt == "--steps") {
            steps = ParseNumber(value, 10);
            if (!steps) return UsageError("emu: --steps wants a decimal count, not '" + value + "'");
        } else if (opt == "--until") {
            until = ParseAddress(value);
            if (!until) return UsageError("emu: --until wants an address 0..FFFFH (0123H, 0x123 or decimal), not '" + value + "'");
        } else if (opt == "--regs") {
            regs = value;
        } else if (opt == "--ext") {
            ext = value;
        } else if (opt == "--save-regs") {
            saveRegs = value;
        } else if (opt == "--save-ext") {
            saveExt = value;
        } else if (isOption || (opt.size() > 1 && opt[0] == '-')) {
            return UsageError("emu: unknown option " + opt + " (see emu --help)");
        } else if (prog.empty()) {
            prog = opt;
        } else {
            return UsageError("emu: one program file only ('" + prog + "' and '" + opt + "')");
        }
    }
    if (prog.empty()) return UsageError("emu: no program file (see emu --help)");

    Workspace& ws = c.ws;
    Cpu51 cpu;
    if (!Loaded(LoadProgram(ws, cpu, prog))) return 2;
    if (!regs.empty() && !Loaded(LoadRegs(cpu, ws.CodeImage, regs))) return 2;
    if (!ext.empty() && !Loaded(LoadExt(cpu, ext))) return 2;

    const std::uint64_t limit = steps ? *steps : until ? UINT64_MAX : kDefaultStepLimit;
    const std::uint32_t stopAt = until ? *until : kNoStop;
    RunResult result;
    if (!trace) {
        result = Run(cpu, ws.CodeImage, limit, stopAt);
    } else {
        while (result.steps < limit) {
            FetchCurrent(cpu, ws.CodeImage);
            const std::uint16_t pc = cpu.PC;
            const std::array<std::uint8_t, 3> bytes = cpu.cur;
            const RunResult one = Run(cpu, ws.CodeImage, 1, stopAt);
            result.steps += one.steps;
            c.out.AddLine(TraceLine(pc, bytes, cpu));
            if (one.reason != StopReason::StepLimit) {
                result.reason = one.reason;
                break;
            }
        }
    }

    const char* why = result.reason == StopReason::Until ? "PC reached the stop address"
                      : result.reason == StopReason::Halt ? "halt loop (an instruction that writes nothing jumps to itself)"
                                                          : "step limit";
    c.out.AddLine("Stopped at " + WordToHex4(cpu.PC) + "H after " + std::to_string(result.steps) + " steps: " + why);
    PrintState(c.out, cpu);

    if (!saveRegs.empty()) SaveRegs(cpu, saveRegs);
    if (!saveExt.empty()) SaveExt(cpu, saveExt);
    return until && result.reason != StopReason::Until ? 1 : 0;
}

}  // namespace z51
