#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Something kept for each of the last few series painted, so a chart of
// several series keeps each one's between paints.
template <class T>
class CPerSeries {
public:
    T& For(const void* pSeries)
    {
        for (auto& entry : m_arEntries)
            if (entry.first == pSeries) return entry.second;
        constexpr std::size_t kMaxSeries = 8;
        if (m_arEntries.size() >= kMaxSeries) m_arEntries.erase(m_arEntries.begin());
        m_arEntries.emplace_back(pSeries, T());
        return m_arEntries.back().second;
    }
    const T* Find(const void* pSeries) const
    {
        for (const auto& entry : m_arEntries)
            if (entry.first == pSeries) return &entry.second;
        return nullptr;
    }

private:
    std::vector<std::pair<const void*, T>> m_arEntries;
};
