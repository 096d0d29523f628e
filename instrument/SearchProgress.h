// What the operator sees of a long search for the module. Over instruments that do not answer, the
// search takes the resource count times the VISA time-out; once it has run for more than a second, the
// resource it goes on to is shown in the facade's progress window ("Searching for the module: resource
// 7 of 30, GPIB0::14::INSTR"), at most ten times a second, so that the window never slows a search of
// many quick resources. The operator's Cancel is seen at the next report, that is between resources: a
// VISA call under way is not interrupted and may take up to its time-out.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CSearchProgress {
public:
    using Clock = std::chrono::steady_clock;
    // The search is one second old from the moment the object is made.
    explicit CSearchProgress(std::function<Clock::time_point()> now = Clock::now);
    ~CSearchProgress();
    CSearchProgress(const CSearchProgress&) = delete;
    CSearchProgress& operator=(const CSearchProgress&) = delete;

    // Called before the resource at index (from 0) of count is identified. Returns false when the
    // operator has cancelled the search.
    bool Resource(std::uint32_t index, std::uint32_t count, std::string_view name);
    // Closes the progress window when it is shown (the destructor does so too).
    void End();

private:
    std::function<Clock::time_point()> m_now;
    Clock::time_point m_start;
    Clock::time_point m_lastShown;
    bool m_shown = false;
    bool m_cancelled = false;
};

// "Searching for the module: resource <index + 1> of <count>, <name>".
std::string SearchProgressText(std::uint32_t index, std::uint32_t count, std::string_view name);
