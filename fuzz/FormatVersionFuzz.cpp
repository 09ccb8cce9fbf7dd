// The card's prompt version as shown, from any VERSION.TXT: the first line is read up to its limit
// and the shown version adds at most the one dot.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/PromptVersion.h"
#include "fuzz/MemoryReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vocell;
    fuzz::MemoryReader reader(data, size);
    const std::string line = ReadVersionLine(reader);
    if (line.size() > kVersionLineLimit || line.find('\n') != std::string::npos) std::abort();
    const std::string shown = FormatVersion(line);
    if (shown.size() > line.size() + 1) std::abort();

    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    if (FormatVersion(raw).size() > size + 1) std::abort();
    return 0;
}
