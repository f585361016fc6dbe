// Runs a libFuzzer entry point as a plain test: every file under the folders
// given on the command line, then a fixed number of deterministic mutations of
// each (bit flips, truncations, byte insertions, spliced halves). Any crash,
// sanitizer report or hang fails the test run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kMutationsPerInput = 300;
constexpr size_t kMaxInputBytes = 1 << 20;

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() > kMaxInputBytes) bytes.resize(kMaxInputBytes);
    return bytes;
}

void Run(const Bytes& bytes) { LLVMFuzzerTestOneInput(bytes.empty() ? nullptr : bytes.data(), bytes.size()); }

Bytes Mutate(const Bytes& input, const Bytes& other, std::mt19937& rng)
{
    Bytes out = input;
    auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
    static const char* const kTokens[] = {"{",  "}",    ";",        ",",  "-1", "999999999", "0", "1e300",
                                          "\"", "Mesh", "template", "\n", "=",  "[",         "]"};
    switch (rng() % 7) {
        case 0:   // flip a bit
            if (!out.empty()) out[pick(out.size())] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 1:   // truncate
            out.resize(pick(out.size() + 1));
            break;
        case 2:   // insert a random byte
            out.insert(out.begin() + static_cast<long>(pick(out.size() + 1)), static_cast<uint8_t>(rng()));
            break;
        case 3:   // delete a run
            if (!out.empty()) {
                size_t at = pick(out.size());
                size_t len = std::min(out.size() - at, pick(64) + 1);
                out.erase(out.begin() + static_cast<long>(at), out.begin() + static_cast<long>(at + len));
            }
            break;
        case 4: {   // insert a token that readers of text formats care about
            const char* token = kTokens[pick(std::size(kTokens))];
            size_t at = pick(out.size() + 1);
            out.insert(out.begin() + static_cast<long>(at), token, token + std::char_traits<char>::length(token));
            break;
        }
        case 5: {   // splice with another input
            size_t cut = pick(out.size() + 1);
            out.resize(cut);
            size_t from = pick(other.size() + 1);
            out.insert(out.end(), other.begin() + static_cast<long>(from), other.end());
            break;
        }
        default:   // overwrite four bytes with an extreme value
            if (out.size() >= 4) {
                size_t at = pick(out.size() - 3);
                uint32_t v = (rng() & 1) ? 0xffffffffu : 0x7fffffffu;
                for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
            }
            break;
    }
    if (out.size() > kMaxInputBytes) out.resize(kMaxInputBytes);
    return out;
}

}   // namespace

int main(int argc, char** argv)
{
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        std::filesystem::path root(argv[i]);
        if (std::filesystem::is_regular_file(root, ec)) {
            corpus.push_back(ReadFile(root));
            continue;
        }
        if (!std::filesystem::is_directory(root, ec)) continue;
        std::vector<std::filesystem::path> files;
        for (auto& entry : std::filesystem::recursive_directory_iterator(root, ec))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (auto& f : files) corpus.push_back(ReadFile(f));
    }
    corpus.push_back({});

    std::mt19937 rng(12345);
    size_t runs = 0;
    for (const Bytes& input : corpus) {
        Run(input);
        ++runs;
    }
    for (size_t i = 0; i < corpus.size(); ++i) {
        Bytes current = corpus[i];
        for (int m = 0; m < kMutationsPerInput; ++m) {
            current = Mutate(current.empty() ? corpus[i] : current, corpus[rng() % corpus.size()], rng);
            Run(current);
            ++runs;
            if (m % 25 == 24) current = corpus[i];
        }
    }
    std::printf("%zu inputs from %zu corpus files ran cleanly\n", runs, corpus.size());
    return 0;
}
