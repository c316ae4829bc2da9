// The libFuzzer executable of one target; ZANVEK_FUZZ_TARGET names it.

#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const z51::fuzz::Target* target = [] {
        const z51::fuzz::Target* t = z51::fuzz::FindTarget(ZANVEK_FUZZ_TARGET);
        if (!t) {
            std::fprintf(stderr, "no fuzz target %s\n", ZANVEK_FUZZ_TARGET);
            std::abort();
        }
        return t;
    }();
    target->run({data, size});
    return 0;
}
