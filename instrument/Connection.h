// Finding the module through VISA and opening it: the search, identification and choice of a
// resource, the rules that decide which resources are candidates and which one is connected to without
// asking, the opening of the driver session and the choice of the card. Each step returns what it found;
// the application object's ConnectInstrument, OpenDriverSession and SelectCard apply it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "visa/VisaLoader.h"

class CDynamicLibrary;
class CInstrument;

// What the search for the module found.
struct InstrumentSearch {
    // 0 when a resource was chosen; else the string of the message that ends the search in the non-live
    // panel: no VISA, no driver library, no default resource manager, no instrument, or the operator
    // cancelled the choice.
    int failure = 0;
    std::string resource;    // the chosen resource
    int slot = -1;           // its VXI slot, -1 when unknown
    int logicalAddress = -1; // its VXI logical address or 10000 + 100 x primary + secondary
    std::optional<std::uint16_t> interfaceType;     // 1 GPIB, 2 VXI, 3 GPIB-VXI, 6 TCPIP; empty if unsaid
    std::vector<std::string> candidates;            // the resources that qualified, in the order found
    bool explicitAddress = false;                   // the resource was given, not searched for
    const CDynamicLibrary* driverLibrary = nullptr; // the driver library, loaded for the whole process
};

// Finds the module: loads VISA and the driver library and opens the default resource manager; with an
// address, takes it as it is; else lists every instrument resource, identifies each (IsCandidate) and
// chooses: the only candidate, the GPIB-VXI one of a pair, or the operator's choice from the list. The
// chosen resource is opened just long enough to read its slot, logical address and interface type. The
// driver session is not opened. A search that runs for more than a second shows its progress
// (instrument/SearchProgress.h); the operator's Cancel there ends it as a cancelled choice does.
InstrumentSearch FindInstrument(const std::optional<std::string>& address, bool noIdentify);

// Opens the driver session on the resource (with a reset of the instrument over VXI, or when the reset
// switch asks), sets the driver's time-out to 2 s and its error-query detection on, and returns the
// driver-backed instrument; null when the driver cannot open the session.
std::unique_ptr<CInstrument> OpenDriverInstrument(const std::string& name, const CDynamicLibrary& library,
                                                  std::uint16_t interfaceType, bool resetSwitch);

// The card the panels address: card 1 over VXI; over GPIB-VXI the card of the logical address (its
// remainder by 8, plus 1) when it is ours; else the cards are scanned from 1 until one answers "NONE"
// or a query fails other than with the module's error report, and the operator chooses when more than
// one is ours (the first of ours, or 1, otherwise). Failed queries are reported.
short ChooseCard(CInstrument& instrument, std::uint16_t interfaceType, int logicalAddress);

// The driver library: RQK4712V_DRIVER_LIBRARY when set, else librqk4712v_32.so beside the program or in
// the library folder of its installation when it is there, else librqk4712v_32.so from the system's
// library path.
std::string DriverLibraryPath();

// Among exactly two candidates, one whose name contains "GPIB-VXI" and one that contains "GPIB" but not
// "VXI" are the same module seen twice: the GPIB-VXI one is taken. Returns it, or an empty text when the
// two candidates are not such a pair.
std::string PreferredOfPair(const std::vector<std::string>& candidates);

// True when the text begins with the prefix (compared over the prefix's whole length).
bool BeginsWith(const char* text, const std::string& prefix);

// The card number read back from a chosen "Card %d  " text: the digit after "Card ", and the next one
// when it is a digit too; the fallback when there is no digit there.
int CardFromChoice(const std::string& text, int fallback);

// True when the open resource, reached over the given interface type, is a candidate: every one with
// noIdentify; else a switchbox holding one of our cards over GPIB; our manufacturer and model over VXI
// and GPIB-VXI; over TCPIP (a LAN instrument, or a GPIB one behind a LAN gateway) what GPIB would
// accept, and also the module itself, whose identity is our card's type. Any other interface is
// skipped. Sets highCard when a switchbox's matching card is numbered 9 or more.
bool IsCandidate(const VisaApi& api, ViSession vi, ViUInt16 type, bool noIdentify, bool& highCard);

// The logical address of a GPIB connection: 10000 + 100 x primary + secondary; a secondary address of
// 0xFFFF (none) counts as 0.
int GpibLogicalAddress(unsigned primary, unsigned secondary);
