#include "platform/Facade.h"

#include <atomic>

namespace {

class CSilentFacade : public CFacade {
public:
    void MessageBox(const std::string&) override {}
    void Beep() override {}
    bool ChooseFromList(const std::string&, const std::vector<std::string>&, std::string&) override {
        return false;
    }
    bool ShowProgress(const std::string&, int, int) override { return true; }
    void EndProgress() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    COLORREF SystemColour(SysColour which) override { return ClassicSystemColour(which); }
    void DestroyMainWindow() override {}
};

CSilentFacade g_silent;
CFacade* g_facade = &g_silent;
std::atomic<int> g_modalDepth = 0; // counted on the user-interface thread, read from any

} // namespace

CFacade& Facade() {
    return *g_facade;
}

CFacade* SetFacade(CFacade* facade) {
    CFacade* previous = g_facade;
    g_facade = facade != nullptr ? facade : &g_silent;
    return previous;
}

int ModalDepth() {
    return g_modalDepth;
}

CModalScope::CModalScope() {
    ++g_modalDepth;
}

CModalScope::~CModalScope() {
    --g_modalDepth;
}

CWaitCursor::CWaitCursor(bool show) : m_bShown(show) {
    if (m_bShown) {
        Facade().BeginWaitCursor();
    }
}

CWaitCursor::~CWaitCursor() {
    if (m_bShown) {
        Facade().EndWaitCursor();
    }
}
