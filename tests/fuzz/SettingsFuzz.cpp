// Fuzz target for the reader of the player's files: any bytes are read as
// settings and as progress. Whatever is read must write out as a text that
// reads back to the same values, and writing that again must change nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniDocument.h"
#include "core/Progress.h"
#include "core/Settings.h"

namespace {

template <typename Values>
void CheckRoundTrip(std::string_view text)
{
    std::vector<IniProblem> problems;
    IniDocument lines;
    const Values values = Values::Read(text, &problems, &lines);
    const std::string written = values.Write(lines);
    IniDocument again;
    const Values reread = Values::Read(written, &problems, &again);
    if (!(reread == values)) __builtin_trap();
    if (again.Serialize() != written) __builtin_trap();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip<Settings>(text);
    CheckRoundTrip<Progress>(text);
    return 0;
}
