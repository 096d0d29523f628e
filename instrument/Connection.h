// Finding the module through VISA: the rules that decide which resources are candidates and which one
// is connected to without asking. The steps that talk to VISA and the driver are operations of the
// application object (CSfpAppData::ConnectInstrument, OpenDriverSession, SelectCard).
#pragma once

#include <string>
#include <vector>

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

// The logical address of a GPIB connection: 10000 + 100 x primary + secondary; a secondary address of
// 0xFFFF (none) counts as 0.
int GpibLogicalAddress(unsigned primary, unsigned secondary);
