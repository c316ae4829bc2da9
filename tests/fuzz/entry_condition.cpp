// Fuzz entry of the breakpoint texts: conditions and the console syntax of
// every breakpoint kind, compiled and evaluated on a state made of the
// input.

#include <memory>
#include <string>

#include "emulator/breakpoints.h"
#include "fuzz_entries.h"

namespace z51::fuzz {

// Each line of the input is one text; the input's bytes also fill internal
// and external RAM, the registers and the code, so evaluation reads
// arbitrary values.
void FuzzCondition(Input data) {
    auto cpu = std::make_unique<Cpu51>();
    auto code = std::make_unique<CodeMemory>();
    for (std::size_t i = 0; i < data.size(); ++i) {
        cpu->dump[i % 256] = data[i];
        cpu->xram[(i * 251) & 0xFFFF] = data[i];
        (*code)[(i * 13) & 0xFFFF] = data[i];
        cpu->R[i % 8] ^= data[i];
    }
    cpu->PC = data.empty() ? 0 : static_cast<std::uint16_t>(data[0] << 8 | data[data.size() - 1]);
    const Cpu51View view{*cpu, *code};
    const SymbolLookup symbols = [](std::string_view name) -> std::optional<std::int32_t> {
        if (name == "LOOP") return 0x0100;
        if (name == "BUF") return 0x30;
        return std::nullopt;
    };

    const std::string text(data.begin(), data.end());
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        Condition::Error e;
        if (const auto c = Condition::Compile(line, e, &symbols)) {
            const std::int32_t v = c->Value(view);
            FuzzCheck(c->Holds(view) == (v != 0), "Holds disagrees with Value");
            if (const auto k = c->Constant()) FuzzCheck(*k == v, "a constant condition has another value");
            c->Operands(view);
        } else {
            FuzzCheck(e.column >= 1 && e.column <= line.size() + 1 && !e.message.empty(),
                      "a refused condition names no column within the text");
        }
        for (BreakKind kind : {BreakKind::Address, BreakKind::Condition, BreakKind::Read, BreakKind::Write}) {
            const auto bp = ParseBreakpoint(kind, line, e, &symbols);
            if (!bp) {
                FuzzCheck(e.column >= 1 && e.column <= line.size() + 1, "a refused breakpoint names no column");
                continue;
            }
            // What a breakpoint writes of itself reads back as the same.
            const auto again = ParseBreakpoint(kind, bp->Text(), e, &symbols);
            FuzzCheck(again && again->Text() == bp->Text(), "a breakpoint's text does not read back");
        }
    }
}

}  // namespace z51::fuzz
