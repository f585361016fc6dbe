#include "stage/LoadCostBook.h"

#include <algorithm>
#include <numeric>
#include <optional>

std::vector<size_t> LoadCostBook::Order(const std::vector<File>& files) const
{
    std::vector<std::optional<Duration>> costs;
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        for (const File& file : files) {
            const auto found = m_LastCost.find(file.path);
            costs.push_back(found == m_LastCost.end() ? std::nullopt : std::optional<Duration>(found->second));
        }
    }
    std::vector<size_t> order(files.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (costs[a].has_value() != costs[b].has_value()) return !costs[a].has_value();
        if (!costs[a]) {
            if (files[a].mayNamePictures != files[b].mayNamePictures) return files[a].mayNamePictures;
            return files[a].size > files[b].size;
        }
        return *costs[a] > *costs[b];
    });
    return order;
}

void LoadCostBook::Record(const std::string& path, Duration cost)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_LastCost[path] = cost;
}

void LoadCostBook::Forget()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_LastCost.clear();
}

LoadCostBook& LoadCostBook::Shared()
{
    static LoadCostBook book;
    return book;
}
