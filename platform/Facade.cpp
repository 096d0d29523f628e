#include "platform/Facade.h"

namespace {

class CSilentFacade : public CFacade {
public:
    void MessageBox(const std::string&) override {}
    void Beep() override {}
    bool ChooseFromList(const std::string&, const std::vector<std::string>&, std::string&) override {
        return false;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    COLORREF SystemColour(SysColour which) override {
        switch (which) {
        case SysColour::ButtonShadow:
            return RGB(128, 128, 128);
        case SysColour::ButtonHighlight:
            return RGB(255, 255, 255);
        case SysColour::ButtonFace:
            break;
        }
        return RGB(192, 192, 192);
    }
    void DestroyMainWindow() override {}
};

CSilentFacade g_silent;
CFacade* g_facade = &g_silent;
int g_modalDepth = 0;

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

COLORREF PanelColor(int index) {
    switch (index) {
    case 1:
        return RGB(0, 0, 0);
    case 2:
        return Facade().SystemColour(SysColour::ButtonShadow);
    case 3:
        return Facade().SystemColour(SysColour::ButtonHighlight);
    case 4:
        return RGB(64, 64, 64);
    case 5:
        return RGB(128, 128, 128);
    case 6:
        return RGB(192, 192, 192);
    case 7:
        return Facade().SystemColour(SysColour::ButtonFace);
    case 8:
        return RGB(0, 128, 128);
    default:
        return RGB(255, 255, 255);
    }
}
