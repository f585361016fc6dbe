// assetgen writes the game's whole data set (meshes, pictures, sound effects
// and music) into the folder given on the command line. The output is the
// same byte for byte on every run. With --icons it draws only the program's
// icons for the desktop, which are installed apart from the data.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/assetgen/Font.h"
#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Synth.h"

namespace assetgen {

std::string DataDir::Path(const std::string& relative) const
{
    std::filesystem::path p = std::filesystem::path(m_Root) / relative;
    std::error_code ec;
    std::filesystem::create_directories(p.parent_path(), ec);
    return p.string();
}

namespace {

struct Job {
    std::string name;
    std::function<bool()> run;
};

std::vector<Job> AllJobs(const DataDir& dir)
{
    std::vector<Job> jobs;
    // The music tracks take longest: they go first so the pool finishes evenly.
    for (int t = 0; t < MusicTrackCount(); ++t)
        jobs.push_back({"music " + std::to_string(t), [&dir, t] { return WriteMusicTrack(dir, t); }});
    for (int s = 1; s <= 5; ++s)
        jobs.push_back({"arena " + std::to_string(s), [&dir, s] { return WriteArena(dir, s); }});
    jobs.push_back({"interface", [&dir] { return WriteInterfaceTexture(dir); }});
    jobs.push_back({"title", [&dir] { return WriteTitleTextures(dir); }});
    jobs.push_back({"explosion", [&dir] { return WriteExplosionTexture(dir); }});
    jobs.push_back({"stage select", [&dir] { return WriteStageSelectTexture(dir); }});
    jobs.push_back({"result", [&dir] { return WriteResultTexture(dir); }});
    jobs.push_back({"loading", [&dir] { return WriteLoadTexture(dir); }});
    jobs.push_back({"guide", [&dir] { return WriteGuideTexture(dir); }});
    jobs.push_back({"hint", [&dir] { return WriteHintTexture(dir); }});
    jobs.push_back({"player", [&dir] { return WritePlayerTexture(dir); }});
    jobs.push_back({"options", [&dir] { return WriteOptionsTexture(dir); }});
    jobs.push_back({"versus", [&dir] { return WriteVersusTexture(dir); }});
    jobs.push_back({"effects", [&dir] { return WriteEffectTextures(dir); }});
    jobs.push_back({"tops", [&dir] { return WriteTopMeshes(dir); }});
    jobs.push_back({"objects", [&dir] { return WriteObjectMeshes(dir); }});
    jobs.push_back({"space", [&dir] { return WriteSpaceMesh(dir); }});
    jobs.push_back({"sound effects", [&dir] { return WriteSoundEffects(dir); }});
    return jobs;
}

uintmax_t FolderSize(const std::string& root, int* files)
{
    uintmax_t total = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file(ec)) total += it->file_size(ec), ++*files;
    return total;
}

}   // namespace

}   // namespace assetgen

namespace {

// assetgen --icons FOLDER NAME SIZE...
int WriteIconsCommand(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s --icons FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    std::vector<int> sizes;
    for (int i = 4; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (!assetgen::WriteIcons(argv[2], argv[3], sizes)) {
        std::fprintf(stderr, "assetgen: cannot write the icons into %s\n", argv[2]);
        return 1;
    }
    return 0;
}

}   // namespace

int main(int argc, char** argv)
{
    using namespace assetgen;
    if (argc >= 2 && std::string(argv[1]) == "--icons") return WriteIconsCommand(argc, argv);
    const bool verbose = argc == 3 && std::string(argv[2]) == "--verbose";
    if (argc != 2 && !verbose) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER [--verbose]\n", argv[0]);
        return 2;
    }
    // Without the DejaVu fonts every picture would lose its lettering: refuse instead.
    for (Face face : {Face::Sans, Face::SansBold, Face::SerifBold, Face::MonoBold})
        if (!Font::Get(face).Ok()) {
            std::fprintf(stderr, "assetgen: cannot read %s (install fonts-dejavu-core)\n",
                         Font::Get(face).Path().c_str());
            return 1;
        }
    const auto start = std::chrono::steady_clock::now();
    DataDir dir(argv[1]);
    synth::WarmUpEncoder();
    std::vector<Job> jobs = AllJobs(dir);
    std::vector<char> ok(jobs.size(), 0);
    std::vector<double> seconds(jobs.size(), 0.0);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < jobs.size();) {
            const auto begin = std::chrono::steady_clock::now();
            ok[i] = jobs[i].run() ? 1 : 0;
            seconds[i] = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        }
    };
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();

    bool allOk = true;
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (verbose) std::printf("  %-14s %5.2f s\n", jobs[i].name.c_str(), seconds[i]);
        if (!ok[i]) std::fprintf(stderr, "assetgen: %s failed\n", jobs[i].name.c_str()), allOk = false;
    }
    int files = 0;
    uintmax_t bytes = FolderSize(dir.Root(), &files);
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: %d files, %.1f MB in %.1f s\n", files, static_cast<double>(bytes) / 1e6, total);
    return allOk ? 0 : 1;
}
