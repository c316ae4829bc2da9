// zanvek-cli emu: runs a program in the emulator without a window; with
// breakpoints, expectations, a cycle count and a waveform dump it serves
// as the test runner of firmware in scripts.

#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/assembler.h"
#include "cli/commands.h"
#include "core/cp1251.h"
#include "core/fileio.h"
#include "emulator/chip.h"
#include "emulator/condition.h"
#include "emulator/debugger.h"
#include "emulator/emufiles.h"
#include "emulator/exec.h"
#include "emulator/serial_line.h"
#include "emulator/vcd.h"
#include "isa/hex.h"
#include "isa/opcode_map.h"

namespace z51 {
namespace {

// Without --steps a run stops after this many instructions; one that waits
// for a stop address or a breakpoint gets more room, but never hangs.
constexpr std::uint64_t kDefaultStepLimit = 10'000'000;
constexpr std::uint64_t kWaitingStepLimit = 1'000'000'000;
constexpr std::uint64_t kDefaultXtal = 12'000'000;

constexpr const char* kEmuHelp =
    "Usage: zanvek-cli emu [options] PROG.bin|PROG.a51\n"
    "\n"
    "Loads PROG.bin into code memory from 0000H (a source .a51, .m51 or .asm is\n"
    "assembled first, without writing .Bin or .Hex) and runs it from the emulator's\n"
    "start state (internal RAM, R0-R7, PC, SP and the ports all 0; external RAM 0).\n"
    "\n"
    "Options:\n"
    "  --model M        simple (the default): R0-R7 apart from internal RAM, no\n"
    "                   parity, timers, interrupts or serial port, SP and the ports 0;\n"
    "                   8051 or 8052: like the chip, from its reset state (SP 07H,\n"
    "                   ports FFH): register banks, parity, port latches and pins,\n"
    "                   timers, interrupts, serial port; the 8052 adds timer 2 and\n"
    "                   RAM at 80H-FFH for indirect addressing\n"
    "  --uart-out FILE  8051/8052: the bytes the serial port transmits go to FILE\n"
    "                   (written after the run); - writes them to standard output as\n"
    "                   code page 1251 text\n"
    "  --uart-in FILE   8051/8052: the bytes of FILE arrive on RXD at the port's own\n"
    "                   bit rate, one frame after the other, once the receiver is on\n"
    "  --pins Pn=V      8051/8052: levels driven onto port n's pins from outside\n"
    "                   (a 0 bit pulls the pin low; default FFH); repeatable\n"
    "  --steps N        execute at most N instructions (decimal)\n"
    "  --until ADDR     stop when an instruction leaves PC at ADDR; ADDR is hexadecimal\n"
    "                   with an H suffix (0123H) or a 0x prefix (0x123), else decimal\n"
    "  --break ADDR[,N] stop before the instruction at ADDR (repeatable); ADDR may be\n"
    "                   a label of the source; 'ADDR IF EXPR' stops there only while\n"
    "                   EXPR holds; N: stop at the Nth hit (and every later one)\n"
    "  --break-if EXPR[,N]  stop when EXPR becomes true after an instruction\n"
    "  --break-read [X:]ADDR[-ADDR][,N], --break-write ...  stop on a read or write of\n"
    "                   internal RAM or an SFR (X: external RAM); needs a core that\n"
    "                   reports memory accesses\n"
    "  --expect EXPR    after the run EXPR must hold (repeatable); exit status 1 and\n"
    "                   the values read when one does not\n"
    "  --cycles         report the machine cycles and the time they take\n"
    "  --xtal HZ        crystal frequency for that time (decimal, default 12000000)\n"
    "  --vcd FILE       write the port pins P0-P3 and PC as a Value Change Dump\n"
    "                   (GTKWave, PulseView); time in ns at the crystal frequency\n"
    "  --regs DUMP      load a register dump first (266 bytes: internal RAM 00H-FFH,\n"
    "                   R0-R7, PC low, PC high; a shorter file sets what it holds)\n"
    "  --ext FILE       load external RAM from 0000H first (after --regs)\n"
    "  --save-regs FILE write the 266-byte register dump after the run\n"
    "  --save-ext FILE  write external RAM after the run: as many bytes as the last\n"
    "                   --ext (or --regs) load read, none without either\n"
    "  --trace          one line per instruction: address, bytes, instruction, and\n"
    "                   A, PSW, SP, DPTR after it (and the source line it came from)\n"
    "\n"
    "EXPR: A == 5AH, RAM[30H] > 10, XRAM[0140H] <> 0, CY, R7 = 0 AND ACC.7 ...:\n"
    "registers, SFR and bit names, RAM[] IDATA[] DATA[] XRAM[] CODE[] BIT[], PC,\n"
    "DPTR, labels; = == <> != < <= > >=, + - * / % & | ^ ~, AND OR NOT, ().\n"
    "\n"
    "Without --steps a run stops after 10000000 instructions, and after 1000000000\n"
    "when --until or a breakpoint is given. Every run also stops at a halt loop: an\n"
    "instruction that writes nothing and jumps to itself (SJMP $, AJMP/LJMP to itself,\n"
    "A5H ...); in the 8051/8052 models only while no interrupt can come and no serial\n"
    "frame is under way. At the end: PC, A, B, SP, DPTR, the PSW flags, R0-R7 and the\n"
    "non-zero bytes of internal RAM (8051/8052: the machine cycles, R0-R7 of the\n"
    "selected bank, and on the 8052 the non-zero bytes of the RAM at 80H-FFH).\n"
    "A program run in the simple model that does something whose result differs on\n"
    "the chip gets one warning on standard error.\n"
    "Exit status: 0 the run ended; 1 --until was given and PC never reached ADDR, or\n"
    "an expectation failed; 2 usage, file or source errors.\n";

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
    for (int r = 0; r < 8; ++r) regs += (r ? " R" : "R") + std::to_string(r) + "=" + ByteToHex2(cpu.Regs()[r]);
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
    if (cpu.model == Model::I8052) {
        std::string upper;
        for (int a = 0; a < 128; ++a)
            if (cpu.upperRam[a]) upper += " " + ByteToHex2(static_cast<std::uint8_t>(0x80 + a)) + "=" + ByteToHex2(cpu.upperRam[a]);
        out.AddLine(upper.empty() ? "Indirect RAM 80H-FFH: all bytes 00" : "Indirect RAM 80H-FFH, non-zero bytes:" + upper);
    }
}

std::optional<Model> ParseModel(std::string_view s) {
    if (s == "simple") return Model::Simple;
    if (s == "8051") return Model::I8051;
    if (s == "8052") return Model::I8052;
    return std::nullopt;
}

// "P1=0FH": a port and the levels driven onto its pins.
bool ParsePins(std::string_view s, unsigned& port, std::uint8_t& levels) {
    if (s.size() < 4 || (s[0] != 'P' && s[0] != 'p') || s[1] < '0' || s[1] > '3' || s[2] != '=') return false;
    const auto v = ParseAddress(s.substr(3));
    if (!v || *v > 0xFF) return false;
    port = static_cast<unsigned>(s[1] - '0');
    levels = static_cast<std::uint8_t>(*v);
    return true;
}

// What the simple model did differently from the chip, in one sentence.
std::string NoticeText(const SimpleNotice& n) {
    const std::string at = " (at " + WordToHex4(n.pc) + "H)";
    switch (n.kind) {
    case SimpleNotice::RegisterBankByte:
        return "the program uses direct address " + ByteToHex2(n.detail) + "H" + at +
               ", which on the chip is a byte of register banks 0-3 (R0-R7 are RAM 00H-1FH there, but not in this model)";
    case SimpleNotice::BankSelect:
        return "the program selects register bank " + std::to_string(n.detail) + at +
               ", which this model ignores (R0-R7 stay the same eight bytes)";
    case SimpleNotice::ParityRead:
        return "the program reads the parity flag P" + at + ", which this model never computes";
    case SimpleNotice::Peripheral:
        return std::string("the program starts ") +
               (n.detail == sfr::TCON ? "a timer (TR0/TR1)" : n.detail == sfr::IE ? "the interrupts (EA)" : "the serial receiver (REN)") +
               at + ", which this model does not have";
    case SimpleNotice::MovxPage:
        return "MOVX @Ri with P2 = " + ByteToHex2(n.detail) + "H" + at +
               ": the chip puts P2 out as the high address byte, this model does not";
    default: return {};
    }
}

// A load that did not happen ends the command with the reason.
bool Loaded(const LoadResult& r) {
    if (r.Ok()) return true;
    UsageError("emu: " + Cp1251ToUtf8(r.message));
    return false;
}

bool IsSource(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string ext(name.substr(dot + 1));
    for (char& ch : ext) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    return ext == "A51" || ext == "M51" || ext == "ASM";
}

// Both passes into the code image, no output files. With errors the final
// pass runs once more into the console, so that the listing shows them.
bool AssembleSource(CliContext& c, const std::string& name) {
    c.ws.SourceName = name;
    NullPane quiet;
    Assembler assembler(c.ws, quiet);
    assembler.SetWriteFiles(false);
    assembler.Prohod1();  // FileError: reported by main, exit 2
    assembler.RunFirstPass();
    if (assembler.FinalPass()) return true;
    if (assembler.LastOutcome() == Assembler::Outcome::SourceErrors) {
        assembler.SetPane(c.out);
        assembler.FinalPass();
        c.out.Finish();
        UsageError("emu: " + name + " has assembly errors (listing above)");
    } else {
        UsageError("emu: " + (assembler.LastFailure().empty() ? name + ": the final pass failed" : assembler.LastFailure()));
    }
    return false;
}

// "--break-if: column 7: <message>" for a text that did not compile.
int ExpressionError(const std::string& option, const std::string& text, const Condition::Error& e) {
    return UsageError("emu: " + option + " '" + text + "', column " + std::to_string(e.column) + ": " +
                      Cp1251ToUtf8(e.message));
}

struct BreakOption {
    std::string option;  // "--break", "--break-if" ...
    BreakKind kind;
    std::string text;
};

// What the trace and the waveform dump see of each instruction.
class RunObserver : public StepObserver {
public:
    RunObserver(const Cpu51& cpu, const Debugger& dbg, const SourceMap* sources, Pane* trace, VcdWriter* vcd)
        : cpu_(cpu), dbg_(dbg), sources_(sources), trace_(trace), vcd_(vcd) {}

    void AfterStep(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes) override {
        if (trace_) {
            std::string line = TraceLine(pc, bytes, cpu_);
            if (sources_) {
                const std::string where = sources_->Where(pc);
                if (!where.empty()) line += "  " + where;
            }
            trace_->AddLine(line);
        }
        if (vcd_) vcd_->Sample(dbg_.Cycles(), Ports(cpu_), cpu_.PC);
    }
    static PortBytes Ports(const Cpu51& cpu) { return {PortPins(cpu, 0), PortPins(cpu, 1), PortPins(cpu, 2), PortPins(cpu, 3)}; }

private:
    const Cpu51& cpu_;
    const Debugger& dbg_;
    const SourceMap* sources_;
    Pane* trace_;
    VcdWriter* vcd_;
};

// "24 machine cycles = 24.000 us at 12000000 Hz".
std::string CyclesLine(std::uint64_t cycles, std::uint64_t xtal) {
    double t = static_cast<double>(cycles) * 12.0 / static_cast<double>(xtal);
    const char* unit = "s";
    if (t < 1e-3) t *= 1e6, unit = "us";
    else if (t < 1.0) t *= 1e3, unit = "ms";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f %s", t, unit);
    return "Machine cycles: " + std::to_string(cycles) + " = " + buf + " at " + std::to_string(xtal) + " Hz";
}

}  // namespace

int CmdEmu(CliContext& c) {
    std::string prog, regs, ext, saveRegs, saveExt, vcdName, uartOut, uartIn;
    Model model = Model::Simple;
    std::vector<std::pair<unsigned, std::uint8_t>> pins;
    std::optional<std::uint64_t> steps;
    std::optional<std::uint16_t> until;
    std::uint64_t xtal = kDefaultXtal;
    bool trace = false, cycles = false;
    std::vector<BreakOption> breaks;
    std::vector<std::string> expects;

    const auto& a = c.args;
    for (std::size_t k = 0; k < a.size(); ++k) {
        std::string opt = a[k], value;
        const bool isOption = opt.size() > 2 && opt.compare(0, 2, "--") == 0;
        if (isOption) {
            if (const auto eq = opt.find('='); eq != std::string::npos) {
                value = opt.substr(eq + 1);
                opt.resize(eq);
            } else if (opt != "--trace" && opt != "--help" && opt != "--cycles") {
                if (k + 1 >= a.size()) return UsageError("emu: " + opt + " needs a value (see emu --help)");
                value = a[++k];
            }
        }
        if (opt == "--help" || opt == "-h") {
            std::fputs(kEmuHelp, stdout);
            return 0;
        } else if (opt == "--trace") {
            trace = true;
        } else if (opt == "--cycles") {
            cycles = true;
        } else if (opt == "--steps") {
            steps = ParseNumber(value, 10);
            if (!steps) return UsageError("emu: --steps wants a decimal count, not '" + value + "'");
        } else if (opt == "--until") {
            until = ParseAddress(value);
            if (!until) return UsageError("emu: --until wants an address 0..FFFFH (0123H, 0x123 or decimal), not '" + value + "'");
        } else if (opt == "--xtal") {
            const auto hz = ParseNumber(value, 10);
            if (!hz || *hz == 0 || *hz > 1'000'000'000) return UsageError("emu: --xtal wants a frequency in Hz (1..1000000000), not '" + value + "'");
            xtal = *hz;
            cycles = true;
        } else if (opt == "--break" || opt == "--break-if" || opt == "--break-read" || opt == "--break-write") {
            const BreakKind kind = opt == "--break"      ? BreakKind::Address
                                   : opt == "--break-if" ? BreakKind::Condition
                                   : opt == "--break-read" ? BreakKind::Read
                                                           : BreakKind::Write;
            if ((kind == BreakKind::Read || kind == BreakKind::Write) && !Debugger::kAccessBreakpoints)
                return UsageError("emu: " + opt + ": this emulator core does not report memory accesses yet");
            breaks.push_back({opt, kind, value});
        } else if (opt == "--expect") {
            expects.push_back(value);
        } else if (opt == "--vcd") {
            vcdName = value;
        } else if (opt == "--regs") {
            regs = value;
        } else if (opt == "--ext") {
            ext = value;
        } else if (opt == "--save-regs") {
            saveRegs = value;
        } else if (opt == "--save-ext") {
            saveExt = value;
        } else if (opt == "--model") {
            const auto m = ParseModel(value);
            if (!m) return UsageError("emu: --model wants simple, 8051 or 8052, not '" + value + "'");
            model = *m;
        } else if (opt == "--uart-out") {
            uartOut = value;
        } else if (opt == "--uart-in") {
            uartIn = value;
        } else if (opt == "--pins") {
            unsigned port;
            std::uint8_t levels;
            if (!ParsePins(value, port, levels)) return UsageError("emu: --pins wants Pn=LEVELS (P1=0FH), not '" + value + "'");
            pins.emplace_back(port, levels);
        } else if (isOption || (opt.size() > 1 && opt[0] == '-')) {
            return UsageError("emu: unknown option " + opt + " (see emu --help)");
        } else if (prog.empty()) {
            prog = opt;
        } else {
            return UsageError("emu: one program file only ('" + prog + "' and '" + opt + "')");
        }
    }
    if (prog.empty()) return UsageError("emu: no program file (see emu --help)");
    if (model == Model::Simple && !(uartOut.empty() && uartIn.empty() && pins.empty()))
        return UsageError("emu: --uart-out, --uart-in and --pins need --model 8051 or 8052 (the simple model has no serial port and no pins apart from the port bytes)");

    Workspace& ws = c.ws;
    auto cpuHolder = std::make_unique<Cpu51>();
    Cpu51& cpu = *cpuHolder;
    ByteLine serial;
    if (!uartIn.empty()) {
        const std::vector<std::uint8_t> bytes = ReadBinaryFile(uartIn);
        serial.Queue(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    cpu.line = &serial;
    SelectModel(cpu, model);
    for (const auto& [port, levels] : pins) SetPinsIn(cpu, port, levels);
    const bool fromSource = IsSource(prog);
    if (fromSource ? !AssembleSource(c, prog) : !Loaded(LoadProgram(ws, cpu, prog))) return 2;
    if (!regs.empty() && !Loaded(LoadRegs(cpu, ws.CodeImage, regs))) return 2;
    if (!ext.empty() && !Loaded(LoadExt(cpu, ext))) return 2;

    // Breakpoints and expectations may name the source's labels.
    const SymbolLookup symbols = [&ws](std::string_view name) { return ws.Sources.Value(name); };
    Debugger dbg(cpu, ws.CodeImage);
    for (const BreakOption& b : breaks) {
        Condition::Error e;
        auto bp = ParseBreakpoint(b.kind, b.text, e, &symbols);
        if (!bp) return ExpressionError(b.option, b.text, e);
        dbg.breakpoints.Add(std::move(*bp));
    }
    std::vector<Condition> expectations;
    for (const std::string& text : expects) {
        Condition::Error e;
        auto cond = Condition::Compile(text, e, &symbols);
        if (!cond) return ExpressionError("--expect", text, e);
        expectations.push_back(std::move(*cond));
    }

    const bool waiting = until || !breaks.empty();
    const std::uint64_t limit = steps ? *steps : waiting ? kWaitingStepLimit : kDefaultStepLimit;
    const std::uint32_t stopAt = until ? *until : kNoStop;
    const bool stepwise = trace || cycles || !vcdName.empty() || !breaks.empty();

    RunResult result;
    DebugResult stop;
    if (!stepwise) {
        result = Run(cpu, ws.CodeImage, limit, stopAt);
    } else {
        std::unique_ptr<VcdWriter> vcd;
        if (!vcdName.empty())
            vcd = std::make_unique<VcdWriter>(vcdName, xtal, RunObserver::Ports(cpu), cpu.PC);  // FileError: exit 2
        RunObserver observer(cpu, dbg, fromSource ? &ws.Sources : nullptr, trace ? &c.out : nullptr, vcd.get());
        dbg.SetObserver(&observer);
        stop = dbg.Run(limit, until ? Debugger::ReachGoal(*until) : RunGoal{});
        dbg.SetObserver(nullptr);
        if (vcd) vcd->Finish(dbg.Cycles());
        result.steps = stop.steps;
        result.reason = stop.reason == DebugStop::Goal   ? StopReason::Until
                        : stop.reason == DebugStop::Halt ? StopReason::Halt
                                                         : StopReason::StepLimit;
    }

    const std::string sent = serial.TakeTransmitted();
    if (uartOut == "-" && !sent.empty()) c.out.Append(sent);
    else if (!uartOut.empty()) WriteFileAtomic(uartOut, sent);

    std::string why;
    if (stop.reason == DebugStop::Breakpoint) {
        const Breakpoint& b = dbg.breakpoints.Items()[static_cast<std::size_t>(stop.breakpoint)];
        const BreakOption& o = breaks[static_cast<std::size_t>(stop.breakpoint)];
        why = "breakpoint " + o.option + " " + o.text + " (hit " + std::to_string(b.hits) + ")";
    } else if (result.reason == StopReason::Until) {
        why = "PC reached the stop address";
    } else if (result.reason == StopReason::Halt) {
        why = "halt loop (an instruction that writes nothing jumps to itself)";
    } else if (!steps && waiting) {
        why = "step limit of " + std::to_string(limit) + " instructions reached first (--steps sets another)";
    } else {
        why = "step limit";
    }
    c.out.AddLine("Stopped at " + WordToHex4(cpu.PC) + "H after " + std::to_string(result.steps) + " steps: " + why);
    PrintState(c.out, cpu);
    if (cycles) c.out.AddLine(CyclesLine(dbg.Cycles(), xtal));
    if (cpu.IsChip()) {
        c.out.AddLine("Model " + std::string(cpu.model == Model::I8052 ? "8052" : "8051") + ": " +
                      std::to_string(cpu.cycles) + " machine cycles");
        if (cpu.chip.rxLost)
            c.out.AddLine("Serial port: " + std::to_string(cpu.chip.rxLost) +
                          " received bytes lost (RI was still set when they arrived)");
    }

    int failed = 0;
    const Cpu51View view{cpu, ws.CodeImage};
    for (const Condition& e : expectations) {
        const bool held = e.Holds(view);
        failed += held ? 0 : 1;
        std::string line = "Expect " + Cp1251ToUtf8(e.Text()) + ": " + (held ? "ok" : "FAILED");
        if (!held) {
            const std::string values = e.Operands(view);
            if (!values.empty()) line += " (" + values + ")";
        }
        c.out.AddLine(line);
    }
    if (!expectations.empty())
        c.out.AddLine(std::to_string(expectations.size() - static_cast<std::size_t>(failed)) + " of " +
                      std::to_string(expectations.size()) + " expectations hold");
    if (cpu.notice.kind != SimpleNotice::None) {
        c.out.Finish();
        std::fprintf(stderr, "zanvek-cli: warning: %s; --model 8051 (or 8052) runs it like the chip\n",
                     NoticeText(cpu.notice).c_str());
    }

    if (!saveRegs.empty()) SaveRegs(cpu, saveRegs);
    if (!saveExt.empty()) SaveExt(cpu, saveExt);
    // A halt loop at the stop address is where the run was meant to end.
    const bool reached = result.reason == StopReason::Until || (result.reason == StopReason::Halt && cpu.PC == stopAt);
    return (until && !reached) || failed ? 1 : 0;
}

}  // namespace z51
