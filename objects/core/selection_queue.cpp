#include "objects/core/selection_queue.h"

#include "tagtext/tagged_text.h"

#include <algorithm>
#include <vector>

namespace zx {

int SelectionQueue::limitFrom(int numSelections)
{
    if (numSelections < 1)
        return 0;
    return std::min(numSelections, capacity);
}

int SelectionQueue::limitOfPage(std::string_view pageRecord)
{
    return limitFrom(getTagInt(pageRecord, "numSelections", 0));
}

std::optional<int> SelectionQueue::select(int id, int limit)
{
    const int n = limitFrom(limit);
    if (n < 1 || id < 0)
        return std::nullopt;

    // The other selections among the first n slots, oldest last.
    std::vector<int> kept;
    for (int i = 0; i < n; ++i) {
        const int entry = m_slots[static_cast<std::size_t>(i)];
        m_slots[static_cast<std::size_t>(i)] = empty;
        if (entry != empty && entry != id)
            kept.push_back(entry);
    }
    std::optional<int> evicted;
    if (static_cast<int>(kept.size()) >= n) {
        evicted = kept[static_cast<std::size_t>(n - 1)];
        kept.resize(static_cast<std::size_t>(n - 1));
    }
    m_slots[0] = id;
    for (std::size_t i = 0; i < kept.size(); ++i)
        m_slots[i + 1] = kept[i];
    if (evicted)
        deselect(*evicted);
    return evicted;
}

void SelectionQueue::deselect(int id)
{
    if (id < 0)
        return;
    std::replace(m_slots.begin(), m_slots.end(), id, empty);
}

void SelectionQueue::clear() { m_slots.fill(empty); }

bool SelectionQueue::contains(int id) const
{
    return id >= 0 && std::find(m_slots.begin(), m_slots.end(), id) != m_slots.end();
}

int SelectionQueue::count() const
{
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(), [](int e) { return e != empty; }));
}

} // namespace zx
