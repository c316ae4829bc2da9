#include <cstring>
#include <string>

#include "cli/commands.h"
#include "disassembler/disasm.h"

namespace z51 {

namespace {

// A listing of 64 KiB of code has some 50,000 lines of five coloured pieces
// each. Without colours the pieces are gathered and handed to the console
// in large blocks; what reaches the console is the same text.
class BlockPane : public Pane {
public:
    explicit BlockPane(Pane& out) : out_(out) {}
    ~BlockPane() override { Flush(); }

    void AddLine(std::string_view text) override {
        if (pending_) {
            Put("\n");
        } else {
            pending_ = true;
            startsLine_ = true;
        }
        Put(text);
    }
    void Append(std::string_view text) override {
        if (!pending_) {
            pending_ = true;
            startsLine_ = false;
        }
        Put(text);
    }
    void SetColor(Color) override {}
    void Clear() override {
        Flush();
        out_.Clear();
    }
    void Flush() {
        if (!pending_) return;
        const std::string_view block(block_, used_);
        if (startsLine_)
            out_.AddLine(block);
        else
            out_.Append(block);
        used_ = 0;
        pending_ = false;
    }

private:
    void Put(std::string_view text) {
        if (used_ + text.size() > sizeof block_) {
            // Keep what the block holds as one piece, then go on with a
            // new block that continues the same line.
            Flush();
            pending_ = true;
            startsLine_ = false;
            if (text.size() > sizeof block_) {
                out_.Append(text);
                pending_ = false;
                return;
            }
        }
        std::memcpy(block_ + used_, text.data(), text.size());
        used_ += text.size();
    }

    Pane& out_;
    char block_[1 << 16];
    std::size_t used_ = 0;
    bool pending_ = false;     // the block holds output (possibly an empty line)
    bool startsLine_ = false;  // the block begins with a new line
};

}  // namespace

// zanvek-cli disasm [--labels] FILE: the disassembly commands of the main
// window. Writes FILE's .D51 and prints the listing. With --labels the plain
// sweep runs first (it finds the labels), then the labelled one rewrites
// the .D51; only the labelled listing is printed.
int CmdDisasm(CliContext& c) {
    bool labels = false;
    std::string file;
    for (const std::string& a : c.args) {
        if (a == "--labels") {
            labels = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("disasm: unknown option " + a + " (usage: disasm [--labels] FILE)");
        } else if (file.empty()) {
            file = a;
        } else {
            return UsageError("usage: disasm [--labels] FILE");
        }
    }
    if (file.empty()) return UsageError("usage: disasm [--labels] FILE");
    BlockPane block(c.out);
    Pane& out = c.colour ? static_cast<Pane&>(c.out) : block;
    Disassembler dis(c.ws);
    if (labels) {
        NullPane plain;
        dis.Deas(plain, file, false);  // the labels only; the labelled sweep writes the .D51
        NullPane second;
        dis.DeasLbl(out, second);
    } else {
        dis.Deas(out, file);
    }
    block.Flush();
    return 0;
}

}  // namespace z51
