// Panel windows for the window-free tests: they only record what the panel objects tell them, one line
// per request in a log the test owns, and delete themselves when destroyed, as a panel window does.
//   main panel:   "redraw main", "positions p0 p1 p2 p3 p4 p5" (then " unknown g" for each unknown
//                 group), "take types t0 t1 t2 t3 t4 t5",
//                 "types t0 t1 t2 t3 t4 t5", "destroy main"
//   status panel: "redraw status", "destroy status"
#pragma once

#include <string>
#include <vector>

#include "panels/PanelWindow.h"

class CFakeMainView : public CMainPanelView {
public:
    explicit CFakeMainView(std::vector<std::string>* log) : m_log(log) {}
    void DestroyPanelWindow() override {
        m_log->push_back("destroy main");
        delete this;
    }
    void RedrawNow() override { m_log->push_back("redraw main"); }
    void ShowGroupPositions(const GroupValues& positions, const GroupFlags& unknown) override {
        std::string line = Line("positions", positions);
        for (int g = 0; g < kGroupCount; ++g) {
            line += unknown[g] ? " unknown " + std::to_string(g) : "";
        }
        m_log->push_back(line);
    }
    void TakeGroupTypes(const GroupValues& types) override { m_log->push_back(Line("take types", types)); }
    void ShowGroupTypes(const GroupValues& types) override { m_log->push_back(Line("types", types)); }

private:
    static std::string Line(const char* what, const GroupValues& values) {
        std::string line = what;
        for (const int value : values) {
            line += " " + std::to_string(value);
        }
        return line;
    }
    std::vector<std::string>* m_log;
};

class CFakeStatusView : public CPanelWindow {
public:
    explicit CFakeStatusView(std::vector<std::string>* log) : m_log(log) {}
    void DestroyPanelWindow() override {
        m_log->push_back("destroy status");
        delete this;
    }
    void RedrawNow() override { m_log->push_back("redraw status"); }

private:
    std::vector<std::string>* m_log;
};
