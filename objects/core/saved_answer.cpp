#include "objects/core/saved_answer.h"

#include <utility>

namespace zx {

void SavedAnswer::save(std::string_view text)
{
    if (!m_saved)
        m_saved = std::string(text);
}

std::optional<std::string> SavedAnswer::takeForRestore()
{
    return std::exchange(m_saved, std::nullopt);
}

} // namespace zx
