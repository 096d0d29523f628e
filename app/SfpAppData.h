// The application's state without its window-framework part: the instrument object, the panel list,
// the facts of the connection and the labels file name. CSfpApp (the wx application object) derives from
// it; logic and tests reach it through TheApp().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "instrument/Instrument.h"
#include "panels/SFPObject.h"
#include "platform/Colour.h"
#include "platform/DynamicLibrary.h"

class CPanel;

class CSfpAppData {
public:
    // Becomes the current application state (TheApp) until it is destroyed.
    CSfpAppData();
    CSfpAppData(const CSfpAppData&) = delete;
    CSfpAppData& operator=(const CSfpAppData&) = delete;
    virtual ~CSfpAppData();

    std::unique_ptr<CInstrument> m_pInstrument;        // the instrument in use; null until connected
    COLORREF m_indicatorColor = 0;                     // lamp colour: green live, dark grey non-live
    std::vector<std::unique_ptr<CSFPObject>> m_panels; // main-panel object, then status-panel object
    CPanel* m_pActivePanel = nullptr;                  // the panel whose window was opened last
    std::int32_t m_slot = 0;                           // VXI slot, -1 when unknown
    std::int32_t m_logicalAddress = 0; // VXI logical address or 10000 + 100 x primary + secondary
    std::string m_resourceName;        // VISA resource name connected to
    std::int16_t m_cardNumber = 0;     // card the panels address, 1 to 99
    std::string m_labelsFileName;      // labels file to read
    // The default labels file (its example is written when it is missing): rqk4712v.lbl in the current
    // folder, or the user's settings folder when started from the menu.
    std::string m_defaultLabelsFileName = kDefaultLabelsFile;
    std::uint16_t m_interfaceType = 0; // 1 GPIB, 2 VXI, 3 GPIB-VXI; 0 until read

    CCommandLine m_commandLine; // the parsed command line

    // Takes the command line read from the program's arguments, and the labels file name from it.
    void TakeCommandLine(const CCommandLine& line);
    // The same for a command line given as one text (split into words at spaces).
    void TakeCommandLine(const std::string& text) { TakeCommandLine(ParseCommandLine(text)); }

    // Finds, chooses and opens the instrument, or falls back to the non-live instrument. Returns false
    // only when an instrument object exists already.
    virtual bool ConnectInstrument();
    // Opens the driver session on the resource and creates the driver-backed instrument, or falls back
    // to the non-live instrument; ends the wait cursor the connection began.
    void OpenDriverSession(const std::string& name, const CDynamicLibrary& library);
    // Decides the card the panels address (m_cardNumber).
    void SelectCard();
    // The non-live instrument with a dark grey lamp; ends the wait cursor the connection began.
    void CreateNonLivePanel();
    // Teardown when the main window is gone: empties the texts, deletes the panel objects in list order
    // and the instrument (closing the driver session).
    void ReleaseResources();
};

// The current application state.
CSfpAppData* TheApp();
