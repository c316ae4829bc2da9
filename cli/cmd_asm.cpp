// zanvek-cli asm FILE: both passes through the window's driver; the console
// shows what the window shows after the final pass.

#include <cstdio>
#include <string>

#include "assembler/assembler.h"
#include "cli/commands.h"

namespace z51 {
namespace {

// Hands the console whole runs instead of single fields: text of one colour
// (of any colour when the console shows none) is joined before it is
// written, so a listing line costs one write instead of a dozen.
class JoiningPane : public Pane {
public:
    JoiningPane(Pane& out, bool colour) : out_(out), colour_(colour) {}
    ~JoiningPane() override { Flush(); }
    void AddLine(std::string_view text) override {
        Flush();
        out_.AddLine(text);
    }
    void Append(std::string_view text) override { pending_.append(text); }
    void SetColor(Color color) override {
        if (colour_ && color != color_) Flush();  // the joined text keeps its colour
        color_ = color;
        out_.SetColor(color);
    }
    void Clear() override {
        Flush();
        out_.Clear();
    }
    void Flush() {
        if (pending_.empty()) return;
        out_.Append(pending_);
        pending_.clear();
    }

private:
    Pane& out_;
    bool colour_;
    Color color_ = clr::Black;
    std::string pending_;
};

}  // namespace

int CmdAsm(CliContext& c) {
    if (c.args.size() != 1 || c.args[0].empty() || c.args[0][0] == '-')
        return UsageError("usage: zanvek-cli asm FILE");
    c.ws.SourceName = c.args[0];
    // The first pass writes into the window before the final pass clears
    // it; a console cannot take text back, so it goes nowhere.
    NullPane firstPass;
    Assembler assembler(c.ws, firstPass);
    assembler.Prohod1();  // FileError: reported by main, exit 2
    assembler.RunFirstPass();
    JoiningPane out(c.out, c.colour);
    assembler.SetPane(out);
    bool ok = assembler.FinalPass();
    out.Flush();
    if (ok) return 0;
    switch (assembler.LastOutcome()) {
        case Assembler::Outcome::SourceErrors:
            return 1;
        default:
            c.out.Finish();
            return UsageError(assembler.LastFailure().empty() ? "asm: the final pass failed"
                                                              : assembler.LastFailure());
    }
}

}  // namespace z51
