// Fuzz target for the X-file reader: any input must be read or refused
// cleanly, and whatever is read must be a consistent mesh.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/xfile/XFileReader.h"

namespace {

void CheckConsistent(const plat::XModel& model)
{
    if (model.subsets.size() != model.materials.size()) std::abort();
    uint64_t covered = 0;
    for (const plat::MeshSubset& s : model.subsets) {
        if (s.indexCount % 3 != 0 || s.firstIndex != covered) std::abort();
        covered += s.indexCount;
    }
    if (covered != model.indices.size()) std::abort();
    for (uint32_t index : model.indices)
        if (index >= model.vertices.size()) std::abort();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    plat::XModel model;
    if (plat::XFileReader::ReadText(text, &model) == plat::XFileStatus::Ok) CheckConsistent(model);
    return 0;
}
