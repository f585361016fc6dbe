// Fuzz target for picture decoding (BMP, PNG, JPEG) with and without a colour
// key: any input must load or be refused cleanly, and a loaded texture must
// have power-of-two sides and all its pixels.
#include <cstdint>
#include <cstdlib>

#include "platform/Texture.h"

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    plat::Texture texture;
    uint32_t key = (size % 2) ? 0xff000000u : 0u;
    if (!texture.LoadFromMemory(data, size, key)) return 0;
    if (!IsPowerOfTwo(texture.Width()) || !IsPowerOfTwo(texture.Height())) std::abort();
    if (texture.SourceWidth() > texture.Width() || texture.SourceHeight() > texture.Height()) std::abort();
    if (texture.Pixels().size() != static_cast<size_t>(texture.Width()) * texture.Height() * 4) std::abort();
    return 0;
}
