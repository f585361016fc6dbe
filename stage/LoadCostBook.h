// LoadCostBook is responsible for remembering how long each file of a stage
// took to load the last time, so that the next load starts the slowest first.
// A file's size says little about its cost: a small mesh may name a large
// picture that is decoded with it, and a stored picture costs less per byte
// than a text mesh. Files never loaded before go first, as nothing better is
// known of them: those that may name pictures of their own (meshes) before
// the others, each group largest first. The rest follow, slowest first.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class LoadCostBook {
public:
    using Duration = std::chrono::steady_clock::duration;

    struct File {
        std::string path;
        std::uintmax_t size = 0;
        bool mayNamePictures = false;
    };

    // The places of `files` in the order they should be taken.
    std::vector<size_t> Order(const std::vector<File>& files) const;
    void Record(const std::string& path, Duration cost);
    void Forget();

    // The book the stage loader keeps for the whole run.
    static LoadCostBook& Shared();

private:
    mutable std::mutex m_Lock;
    std::unordered_map<std::string, Duration> m_LastCost;
};
