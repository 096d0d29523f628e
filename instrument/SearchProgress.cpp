#include "instrument/SearchProgress.h"

#include <climits>

#include "platform/Facade.h"

namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);           // no window before the search is this old
constexpr auto kShowInterval = std::chrono::milliseconds(100); // the shortest time between two reports

int ToInt(std::uint32_t value) {
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

std::string SearchProgressText(std::uint32_t index, std::uint32_t count, std::string_view name) {
    std::string text = "Searching for the module: resource " + std::to_string(std::uint64_t{index} + 1) +
                       " of " + std::to_string(count) + ", ";
    text += name;
    return text;
}

CSearchProgress::CSearchProgress(std::function<Clock::time_point()> now)
    : m_now(std::move(now)), m_start(m_now()) {}

CSearchProgress::~CSearchProgress() {
    End();
}

bool CSearchProgress::Resource(std::uint32_t index, std::uint32_t count, std::string_view name) {
    const Clock::time_point now = m_now();
    if (m_cancelled || now - m_start <= kQuietTime || (m_shown && now - m_lastShown < kShowInterval)) {
        return !m_cancelled;
    }
    m_shown = true;
    m_lastShown = now;
    m_cancelled = !Facade().ShowProgress(SearchProgressText(index, count, name), ToInt(index), ToInt(count));
    return !m_cancelled;
}

void CSearchProgress::End() {
    if (m_shown) {
        m_shown = false;
        Facade().EndProgress();
    }
}
