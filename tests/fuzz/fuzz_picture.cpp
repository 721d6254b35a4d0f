#include "tests/fuzz/entries.h"
#include "tests/fuzz/picture_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return zx::fuzz::runEntry(zx::fuzz::picture, data, size);
}
