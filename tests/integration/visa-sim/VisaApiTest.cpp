// The simulated library seen through the VISA C interface only, as any VISA client sees it.
#include "VisaSimLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

namespace {

class VisaApi : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(visa.Load(&error)) << error;
        bench.Use(kMixedBench);
        ASSERT_EQ(visa.OpenDefaultRM(&rm), VI_SUCCESS);
    }
    void TearDown() override {
        if (rm != VI_NULL)
            visa.Close(rm);
    }

    ViSession OpenOk(const char* name) {
        ViSession session = VI_NULL;
        EXPECT_EQ(visa.Open(rm, name, VI_NULL, VI_NULL, &session), VI_SUCCESS) << name;
        return session;
    }

    std::vector<std::string> FindAll(const char* expression, ViStatus* status) {
        std::vector<std::string> names;
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        char name[VI_FIND_BUFLEN];
        *status = visa.FindRsrc(rm, expression, &list, &count, name);
        if (*status != VI_SUCCESS)
            return names;
        names.push_back(name);
        for (ViUInt32 i = 1; i < count; ++i) {
            EXPECT_EQ(visa.FindNext(list, name), VI_SUCCESS);
            names.push_back(name);
        }
        EXPECT_EQ(visa.FindNext(list, name), VI_ERROR_RSRC_NFOUND); // the list is exhausted
        EXPECT_EQ(visa.Close(list), VI_SUCCESS);
        return names;
    }

    VisaSim visa;
    TemporaryBench bench;
    ViSession rm = VI_NULL;
};

} // namespace

TEST_F(VisaApi, FindReportsCanonicalNamesInBenchOrder) {
    ViStatus status = 0;
    EXPECT_EQ(FindAll("?*INSTR", &status),
              (std::vector<std::string>{"VXI0::112::INSTR", "GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR",
                                        "GPIB0::9::14::INSTR", "GPIB0::5::INSTR"}));
    EXPECT_EQ(FindAll("GPIB[0-9]*::?*INSTR", &status),
              (std::vector<std::string>{"GPIB0::9::INSTR", "GPIB0::9::14::INSTR", "GPIB0::5::INSTR"}));
    EXPECT_EQ(FindAll("(VXI|GPIB-VXI)?*", &status),
              (std::vector<std::string>{"VXI0::112::INSTR", "GPIB-VXI0::24::INSTR"}));
    EXPECT_EQ(FindAll("gpib0::9::1[0-9]*::instr", &status),
              (std::vector<std::string>{"GPIB0::9::14::INSTR"}));
    EXPECT_TRUE(FindAll("ASRL?*INSTR", &status).empty());
    EXPECT_EQ(status, VI_ERROR_RSRC_NFOUND);
    EXPECT_TRUE(FindAll("(?*INSTR", &status).empty());
    EXPECT_EQ(status, VI_ERROR_INV_EXPR);
    EXPECT_TRUE(FindAll("*INSTR", &status).empty());
    EXPECT_EQ(status, VI_ERROR_INV_EXPR);
}

TEST_F(VisaApi, OpenAcceptsEverySpellingOfABenchResource) {
    for (const char* name : {"VXI0::112::INSTR", "vxi0::112", "VXI::112::instr"}) {
        ViSession session = OpenOk(name);
        char text[VI_FIND_BUFLEN] = {};
        EXPECT_EQ(visa.GetAttribute(session, VI_ATTR_RSRC_NAME, text), VI_SUCCESS);
        EXPECT_STREQ(text, "VXI0::112::INSTR");
        visa.Close(session);
    }
    // The names some clients make before opening designate the same resources.
    ViSession rewritten = OpenOk("GPIB0::9::0::INSTR");
    EXPECT_EQ(visa.Query(rewritten, "*IDN?").rfind("QUILLON-VANTERA,SWITCHBOX,", 0), 0u);
    ViSession gpibVxi = OpenOk("GPIB-VXI0::24::0::INSTR");
    char text[VI_FIND_BUFLEN] = {};
    visa.GetAttribute(gpibVxi, VI_ATTR_RSRC_NAME, text);
    EXPECT_STREQ(text, "GPIB-VXI0::24::INSTR");
    // With a secondary address the resource at that secondary address is meant.
    ViSession counter = OpenOk("GPIB0::9::14");
    EXPECT_EQ(visa.Query(counter, "*IDN?"), "ACME,COUNTER,5,2.0\n");

    ViSession session = 123;
    EXPECT_EQ(visa.Open(rm, "GPIB0::10::INSTR", VI_NULL, VI_NULL, &session), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(session, VI_NULL);
    EXPECT_EQ(visa.Open(rm, "TCPIP0::10.0.0.1::5025::SOCKET", VI_NULL, VI_NULL, &session),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(visa.Open(rm, "not a name", VI_NULL, VI_NULL, &session), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(visa.Open(rm, "GPIB0::5::INSTR", VI_NULL, VI_NULL, &session), VI_ERROR_IO); // bench fault
}

TEST_F(VisaApi, AttributesAreWrittenAtTheirOwnSize) {
    ViSession vxi = OpenOk("VXI0::112::INSTR");
    ViSession gpib = OpenOk("GPIB0::9::INSTR");
    ViSession secondary = OpenOk("GPIB0::9::14::INSTR");
    ViSession gpibVxi = OpenOk("GPIB-VXI0::24::INSTR");

    // Reads an attribute into a buffer of 0xAA bytes; returns how many bytes were changed and the value.
    auto read = [&](ViSession session, ViAttr attribute, uint64_t* value) {
        unsigned char buffer[16];
        std::memset(buffer, 0xAA, sizeof buffer);
        ViStatus status = visa.GetAttribute(session, attribute, buffer);
        size_t written = 0;
        for (size_t i = 0; i < sizeof buffer; ++i) {
            if (buffer[i] != 0xAA)
                written = i + 1;
        }
        *value = 0;
        std::memcpy(value, buffer, written > 8 ? 8 : written);
        return std::pair<ViStatus, size_t>{status, written};
    };
    uint64_t value = 0;
    EXPECT_EQ(read(vxi, VI_ATTR_INTF_TYPE, &value), (std::pair<ViStatus, size_t>{VI_SUCCESS, 2}));
    EXPECT_EQ(value, VI_INTF_VXI);
    EXPECT_EQ(read(gpib, VI_ATTR_INTF_TYPE, &value).first, VI_SUCCESS);
    EXPECT_EQ(value, VI_INTF_GPIB);
    EXPECT_EQ(read(gpibVxi, VI_ATTR_INTF_TYPE, &value).first, VI_SUCCESS);
    EXPECT_EQ(value, VI_INTF_GPIB_VXI);
    // 16-bit values: the upper byte is written even when it is zero, nothing beyond.
    {
        unsigned char buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        ASSERT_EQ(visa.GetAttribute(vxi, VI_ATTR_INTF_NUM, buffer), VI_SUCCESS);
        EXPECT_EQ(buffer[0], 0);
        EXPECT_EQ(buffer[1], 0);
        EXPECT_EQ(buffer[2], 0xAA);
        ASSERT_EQ(visa.GetAttribute(vxi, VI_ATTR_MANF_ID, buffer), VI_SUCCESS);
        EXPECT_EQ(buffer[0] | buffer[1] << 8, 0xFFF);
        EXPECT_EQ(buffer[2], 0xAA);
        ASSERT_EQ(visa.GetAttribute(vxi, VI_ATTR_TERMCHAR, buffer), VI_SUCCESS);
        EXPECT_EQ(buffer[0], '\n');
        EXPECT_EQ(buffer[1], 0x0F); // still the manufacturer id's upper byte: one byte written
    }
    ViInt16 slot = 0;
    EXPECT_EQ(visa.GetAttribute(vxi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    EXPECT_EQ(slot, 3);
    ViInt16 logicalAddress = 0;
    EXPECT_EQ(visa.GetAttribute(gpibVxi, VI_ATTR_VXI_LA, &logicalAddress), VI_SUCCESS);
    EXPECT_EQ(logicalAddress, 24);
    ViUInt16 model = 0;
    EXPECT_EQ(visa.GetAttribute(gpibVxi, VI_ATTR_MODEL_CODE, &model), VI_SUCCESS);
    EXPECT_EQ(model, 0x12D3);
    ViUInt16 address = 0;
    EXPECT_EQ(visa.GetAttribute(gpib, VI_ATTR_GPIB_PRIMARY_ADDR, &address), VI_SUCCESS);
    EXPECT_EQ(address, 9);
    EXPECT_EQ(visa.GetAttribute(gpib, VI_ATTR_GPIB_SECONDARY_ADDR, &address), VI_SUCCESS);
    EXPECT_EQ(address, VI_NO_SEC_ADDR);
    EXPECT_EQ(visa.GetAttribute(secondary, VI_ATTR_GPIB_SECONDARY_ADDR, &address), VI_SUCCESS);
    EXPECT_EQ(address, 14);
    EXPECT_EQ(read(vxi, VI_ATTR_TMO_VALUE, &value), (std::pair<ViStatus, size_t>{VI_SUCCESS, 4}));
    EXPECT_EQ(value, 2000u);

    // What a resource does not have.
    EXPECT_EQ(visa.GetAttribute(gpib, VI_ATTR_SLOT, &slot), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(visa.GetAttribute(gpib, VI_ATTR_VXI_LA, &slot), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(visa.GetAttribute(gpib, VI_ATTR_MANF_ID, &model), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(visa.GetAttribute(vxi, VI_ATTR_GPIB_PRIMARY_ADDR, &address), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(visa.GetAttribute(vxi, 0x3FFF0999, &address), VI_ERROR_NSUP_ATTR);

    // Settable attributes keep their values; read-only ones refuse.
    EXPECT_EQ(visa.SetAttribute(vxi, VI_ATTR_TMO_VALUE, 5000), VI_SUCCESS);
    ViUInt32 timeout = 0;
    visa.GetAttribute(vxi, VI_ATTR_TMO_VALUE, &timeout);
    EXPECT_EQ(timeout, 5000u);
    EXPECT_EQ(visa.SetAttribute(vxi, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    ViBoolean enabled = VI_FALSE;
    visa.GetAttribute(vxi, VI_ATTR_TERMCHAR_EN, &enabled);
    EXPECT_EQ(enabled, VI_TRUE);
    EXPECT_EQ(visa.SetAttribute(vxi, VI_ATTR_TERMCHAR, 0x100), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(visa.SetAttribute(vxi, VI_ATTR_SEND_END_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(visa.SetAttribute(vxi, VI_ATTR_SLOT, 4), VI_ERROR_ATTR_READONLY);
    EXPECT_EQ(visa.SetAttribute(gpib, VI_ATTR_SLOT, 4), VI_ERROR_NSUP_ATTR);
}

TEST_F(VisaApi, ReadsStopAtTheCountAndAtTheTerminationCharacter) {
    ViSession module = OpenOk("VXI0::112::INSTR");
    ASSERT_EQ(visa.Send(module, "*IDN?"), VI_SUCCESS);
    char buffer[64] = {};
    ViUInt32 count = 0;
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), 10, &count), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(std::string(buffer, count), "QUILLON-VA");
    EXPECT_EQ(visa.SetAttribute(module, VI_ATTR_TERMCHAR, ','), VI_SUCCESS);
    EXPECT_EQ(visa.SetAttribute(module, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count),
              VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(std::string(buffer, count), "NTERA,");
    EXPECT_EQ(visa.SetAttribute(module, VI_ATTR_TERMCHAR_EN, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_SUCCESS);
    EXPECT_EQ(std::string(buffer, count), "K4712V,0,A.01.00\n");
    // Nothing pending: a time-out at once, and the module notes the unterminated query.
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_ERROR_TMO);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(visa.Query(module, "SYST:ERR?"), "-420,\"Query UNTERMINATED\"\n");
    // A line feed as termination character ends the reply with TERM_CHAR.
    visa.SetAttribute(module, VI_ATTR_TERMCHAR, '\n');
    visa.SetAttribute(module, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    visa.Send(module, "SYST:VERS?");
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count),
              VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(std::string(buffer, count), "1999.0\n");
}

TEST_F(VisaApi, StatusByteClearAndSendEnd) {
    ViSession box = OpenOk("GPIB0::9::INSTR");
    ViUInt16 stb = 0xFFFF;
    EXPECT_EQ(visa.ReadSTB(box, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0);
    visa.Send(box, "*IDN?");
    visa.ReadSTB(box, &stb);
    EXPECT_EQ(stb, 16); // message available
    EXPECT_EQ(visa.Clear(box), VI_SUCCESS);
    visa.ReadSTB(box, &stb);
    EXPECT_EQ(stb, 0);
    char buffer[16];
    ViUInt32 count = 0;
    EXPECT_EQ(visa.Read(box, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_ERROR_TMO);
    visa.Send(box, "ROUT:CLOS (@100)"); // card 1 is no RQK4712V card
    visa.ReadSTB(box, &stb);
    EXPECT_EQ(stb, 4); // error queue not empty
    EXPECT_EQ(visa.Query(box, "SYST:ERR?"), "-420,\"Query UNTERMINATED\"\n");
    EXPECT_EQ(visa.Query(box, "SYST:ERR?"), "-241,\"Hardware missing\"\n");

    // Without END a message waits for its line feed.
    EXPECT_EQ(visa.SetAttribute(box, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(visa.Send(box, "SYST:CTYP"), VI_SUCCESS);
    EXPECT_EQ(visa.Send(box, "? 3\n"), VI_SUCCESS);
    EXPECT_EQ(visa.Read(box, reinterpret_cast<ViBuf>(buffer), 8, &count), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(std::string(buffer, count), "QUILLON-");
}

TEST_F(VisaApi, InvalidAndClosedSessions) {
    ViSession module = OpenOk("VXI0::112::INSTR");
    ViFindList list = VI_NULL;
    ViUInt32 found = 0;
    char name[VI_FIND_BUFLEN];
    ASSERT_EQ(visa.FindRsrc(rm, "?*INSTR", &list, &found, name), VI_SUCCESS);
    EXPECT_EQ(visa.Close(module), VI_SUCCESS);
    EXPECT_EQ(visa.Close(module), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Close(VI_NULL), VI_WARN_NULL_OBJECT);
    ViUInt16 value = 0;
    ViUInt32 count = 0;
    char buffer[8];
    EXPECT_EQ(visa.GetAttribute(module, VI_ATTR_INTF_TYPE, &value), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.SetAttribute(module, VI_ATTR_TMO_VALUE, 1), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Send(module, "*IDN?"), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Read(module, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.ReadSTB(module, &value), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Clear(module), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Lock(module, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.FindRsrc(module, "?*", &list, &count, name), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Open(module, "VXI0::112::INSTR", VI_NULL, VI_NULL, &module), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.Send(rm, "*IDN?"), VI_ERROR_INV_OBJECT); // a resource manager is no instrument

    // Closing the resource manager closes what was opened through it.
    ViSession other = OpenOk("GPIB0::9::INSTR");
    EXPECT_EQ(visa.Close(rm), VI_SUCCESS);
    rm = VI_NULL;
    EXPECT_EQ(visa.ReadSTB(other, &value), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.FindNext(list, name), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaApi, ParseStatusTextsAndTheOperationsWithoutEffect) {
    ViUInt16 type = 0;
    ViUInt16 board = 0;
    char resourceClass[VI_FIND_BUFLEN];
    char expanded[VI_FIND_BUFLEN];
    char alias[VI_FIND_BUFLEN];
    EXPECT_EQ(visa.ParseRsrc(rm, "gpib-vxi3::24", &type, &board), VI_SUCCESS);
    EXPECT_EQ(type, VI_INTF_GPIB_VXI);
    EXPECT_EQ(board, 3);
    EXPECT_EQ(visa.ParseRsrcEx(rm, "GPIB0::9::0::INSTR", &type, &board, resourceClass, expanded, alias),
              VI_SUCCESS);
    EXPECT_STREQ(resourceClass, "INSTR");
    EXPECT_STREQ(expanded, "GPIB0::9::INSTR");
    EXPECT_STREQ(alias, "");
    EXPECT_EQ(visa.ParseRsrc(rm, "VXI0::", &type, &board), VI_ERROR_INV_RSRC_NAME);

    char text[VI_FIND_BUFLEN];
    EXPECT_EQ(visa.StatusDesc(rm, VI_ERROR_TMO, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text).rfind("VI_ERROR_TMO", 0), 0u);
    EXPECT_EQ(visa.StatusDesc(rm, 0x12345, text), VI_WARN_UNKNOWN_STATUS);

    ViSession module = OpenOk("VXI0::112::INSTR");
    EXPECT_EQ(visa.DisableEvent(module, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
    EXPECT_EQ(visa.DiscardEvents(module, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
    char key[VI_FIND_BUFLEN];
    EXPECT_EQ(visa.Lock(module, VI_SHARED_LOCK, 0, "mine", key), VI_SUCCESS);
    EXPECT_STREQ(key, "mine");
    EXPECT_EQ(visa.Unlock(module), VI_SUCCESS);
}

TEST_F(VisaApi, ServiceRequestsAreQueuedWhenTheRequestBitBecomesSet) {
    ViSession module = OpenOk("VXI0::112::INSTR");
    ViEventType type = 0;
    ViEvent context = VI_NULL;
    EXPECT_EQ(visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 0, &type, &context), VI_ERROR_NENABLED);
    EXPECT_EQ(visa.EnableEvent(module, VI_EVENT_SERVICE_REQ, VI_HNDLR, VI_NULL), VI_ERROR_HNDLR_NINSTALLED);
    EXPECT_EQ(visa.EnableEvent(module, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    EXPECT_EQ(visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 0, &type, &context), VI_ERROR_TMO);

    EXPECT_EQ(visa.Send(module, "*ESE 1;*SRE 32;*OPC"), VI_SUCCESS);
    ASSERT_EQ(visa.WaitOnEvent(module, VI_ALL_ENABLED_EVENTS, 0, &type, &context), VI_SUCCESS);
    EXPECT_EQ(type, VI_EVENT_SERVICE_REQ);
    ViEventType contextType = 0;
    EXPECT_EQ(visa.GetAttribute(context, VI_ATTR_EVENT_TYPE, &contextType), VI_SUCCESS);
    EXPECT_EQ(contextType, VI_EVENT_SERVICE_REQ);
    EXPECT_EQ(visa.Close(context), VI_SUCCESS);
    // The bit stays set: no new request until it has been cleared.
    EXPECT_EQ(visa.Send(module, "*OPC"), VI_SUCCESS);
    EXPECT_EQ(visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 0, &type, VI_NULL), VI_ERROR_TMO);
    EXPECT_EQ(visa.Send(module, "*CLS;*OPC"), VI_SUCCESS);
    EXPECT_EQ(visa.DiscardEvents(module, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS);
    EXPECT_EQ(visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 0, &type, VI_NULL), VI_ERROR_TMO);

    // A waiting thread lets the others go on, and receives the request one of them raises.
    ViStatus waited = VI_NULL;
    std::thread waiter(
        [&] { waited = visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 10000, &type, VI_NULL); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(visa.Send(module, "*CLS;*OPC"), VI_SUCCESS);
    waiter.join();
    EXPECT_EQ(waited, VI_SUCCESS);

    EXPECT_EQ(visa.AssertTrigger(module, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
    EXPECT_EQ(visa.AssertTrigger(module, 5), VI_ERROR_INV_PROT);
}

TEST(VisaFunctionSet, EveryFunctionIsThereAndTheUnsimulatedOnesSaySo) {
    VisaSim visa;
    std::string error;
    ASSERT_TRUE(visa.Load(&error)) << error;
    const char* names[] = {"viAssertIntrSignal",
                           "viAssertTrigger",
                           "viAssertUtilSignal",
                           "viBufRead",
                           "viBufWrite",
                           "viClear",
                           "viClose",
                           "viDisableEvent",
                           "viDiscardEvents",
                           "viEnableEvent",
                           "viFindNext",
                           "viFindRsrc",
                           "viFlush",
                           "viGetAttribute",
                           "viGpibCommand",
                           "viGpibControlATN",
                           "viGpibControlREN",
                           "viGpibPassControl",
                           "viGpibSendIFC",
                           "viIn16",
                           "viIn16Ex",
                           "viIn32",
                           "viIn32Ex",
                           "viIn64",
                           "viIn64Ex",
                           "viIn8",
                           "viIn8Ex",
                           "viInstallHandler",
                           "viLock",
                           "viMapAddress",
                           "viMapAddressEx",
                           "viMapTrigger",
                           "viMemAlloc",
                           "viMemAllocEx",
                           "viMemFree",
                           "viMemFreeEx",
                           "viMove",
                           "viMoveAsync",
                           "viMoveAsyncEx",
                           "viMoveEx",
                           "viMoveIn16",
                           "viMoveIn16Ex",
                           "viMoveIn32",
                           "viMoveIn32Ex",
                           "viMoveIn64",
                           "viMoveIn64Ex",
                           "viMoveIn8",
                           "viMoveIn8Ex",
                           "viMoveOut16",
                           "viMoveOut16Ex",
                           "viMoveOut32",
                           "viMoveOut32Ex",
                           "viMoveOut64",
                           "viMoveOut64Ex",
                           "viMoveOut8",
                           "viMoveOut8Ex",
                           "viOpen",
                           "viOpenDefaultRM",
                           "viOut16",
                           "viOut16Ex",
                           "viOut32",
                           "viOut32Ex",
                           "viOut64",
                           "viOut64Ex",
                           "viOut8",
                           "viOut8Ex",
                           "viParseRsrc",
                           "viParseRsrcEx",
                           "viPeek16",
                           "viPeek32",
                           "viPeek64",
                           "viPeek8",
                           "viPoke16",
                           "viPoke32",
                           "viPoke64",
                           "viPoke8",
                           "viPrintf",
                           "viPxiReserveTriggers",
                           "viQueryf",
                           "viRead",
                           "viReadAsync",
                           "viReadSTB",
                           "viReadToFile",
                           "viScanf",
                           "viSetAttribute",
                           "viSetBuf",
                           "viSPrintf",
                           "viSScanf",
                           "viStatusDesc",
                           "viTerminate",
                           "viUninstallHandler",
                           "viUnlock",
                           "viUnmapAddress",
                           "viUnmapTrigger",
                           "viUsbControlIn",
                           "viUsbControlOut",
                           "viVPrintf",
                           "viVQueryf",
                           "viVScanf",
                           "viVSPrintf",
                           "viVSScanf",
                           "viVxiCommandQuery",
                           "viVxiServantResponse",
                           "viWaitOnEvent",
                           "viWrite",
                           "viWriteAsync",
                           "viWriteFromFile"};
    for (const char* name : names) {
        EXPECT_NE(dlsym(visa.handle, name), nullptr) << name;
    }
    auto in8 = reinterpret_cast<decltype(&viIn8)>(dlsym(visa.handle, "viIn8"));
    auto printf = reinterpret_cast<decltype(&viPrintf)>(dlsym(visa.handle, "viPrintf"));
    ASSERT_TRUE(in8 && printf);
    ViUInt8 value = 0;
    EXPECT_EQ(in8(1, 1, 0, &value), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(printf(1, "%d", 3), VI_ERROR_NSUP_OPER);
}

TEST_F(VisaApi, SessionsShareTheInstrument) {
    ViSession a = OpenOk("VXI0::112::INSTR");
    ViSession b = OpenOk("vxi0::112::instr");
    EXPECT_EQ(visa.Send(a, "ROUT:CLOS (@132)"), VI_SUCCESS);
    EXPECT_EQ(visa.Query(b, "ROUT:CLOS? (@130:133)"), "0,0,1,0\n");
}

TEST_F(VisaApi, ThreadsOnSeveralInstrumentsAtOnce) {
    const char* names[] = {"VXI0::112::INSTR", "GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR",
                           "GPIB0::9::14::INSTR"};
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            ViSession session = VI_NULL;
            if (visa.Open(rm, names[t], VI_NULL, VI_NULL, &session) != VI_SUCCESS) {
                failures[t] = -1;
                return;
            }
            std::string expected = visa.Query(session, "*IDN?");
            for (int i = 0; i < 2000; ++i) {
                if (visa.Query(session, "*IDN?") != expected)
                    ++failures[t];
            }
            visa.Close(session);
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(VisaApi, FaultsSeenThroughVisa) {
    visa.Close(rm);
    bench.Use(R"(
resources:
  - name: GPIB0::7::INSTR
    switchbox:
      cards: [{number: 2}]
    faults:
      latency_ms: 1
      commands:
        - {header: "ROUT:ATT", action: timeout, when: always}
)");
    ASSERT_EQ(visa.OpenDefaultRM(&rm), VI_SUCCESS);
    ViSession box = OpenOk("GPIB0::7::INSTR");
    EXPECT_EQ(visa.Send(box, "ROUT:ATT 2,0,0"), VI_ERROR_TMO); // a command: the write times out
    EXPECT_EQ(visa.Send(box, "ROUT:ATT? 2,0"), VI_SUCCESS);    // a query: the read does
    char buffer[16];
    ViUInt32 count = 0;
    EXPECT_EQ(visa.Read(box, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_ERROR_TMO);
    EXPECT_EQ(visa.Query(box, "SYST:CTYP? 2"), "QUILLON-VANTERA,K4712V,0,A.01.00\n");
    // The hung query left no query error behind; a later read with nothing asked does.
    EXPECT_EQ(visa.Query(box, "SYST:ERR?"), "0,\"No error\"\n");
    EXPECT_EQ(visa.Read(box, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count), VI_ERROR_TMO);
    EXPECT_EQ(visa.Query(box, "SYST:ERR?"), "-420,\"Query UNTERMINATED\"\n");
}

TEST_F(VisaApi, LatencyBeyondTheTimeOutTimesOutTheWrite) {
    visa.Close(rm);
    bench.Use(R"(
resources:
  - name: VXI0::112::INSTR
    module: {card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}}
    faults: {latency_ms: 900}
)");
    ASSERT_EQ(visa.OpenDefaultRM(&rm), VI_SUCCESS);
    ViSession module = OpenOk("VXI0::112::INSTR");
    ASSERT_EQ(visa.SetAttribute(module, VI_ATTR_TMO_VALUE, 500), VI_SUCCESS);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(visa.Send(module, "ROUT:CLOS (@132)"), VI_ERROR_TMO);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(500));
    EXPECT_LT(waited, std::chrono::milliseconds(900));
    ASSERT_EQ(visa.SetAttribute(module, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
    EXPECT_EQ(visa.Query(module, "ROUT:CLOS? (@132)"), "0\n"); // the timed-out command never ran
}

TEST_F(VisaApi, BadBenchFileIsRefusedWithFileAndLine) {
    visa.Close(rm);
    rm = VI_NULL;
    std::string path =
        bench.Use("resources:\n  - name: VXI0::1::INSTR\n    module:\n      card: {number: 100}\n");
    testing::internal::CaptureStderr();
    ViSession session = 77;
    EXPECT_EQ(visa.OpenDefaultRM(&session), VI_ERROR_SYSTEM_ERROR);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(session, VI_NULL);
    EXPECT_NE(message.find(path + ":4: card number must be between 1 and 99"), std::string::npos) << message;

    bench.Use("resources: [ {name: VXI0::1::INSTR, module: {}\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(visa.OpenDefaultRM(&session), VI_ERROR_SYSTEM_ERROR);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bench.yaml:"), std::string::npos);

    unsetenv("VISA_SIM_BENCH");
    setenv("VISA_SIM_BENCH", (bench.Folder() + "/missing.yaml").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(visa.OpenDefaultRM(&session), VI_ERROR_SYSTEM_ERROR);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("missing.yaml: cannot be read"), std::string::npos);

    // Without a bench file the built-in default bench is used.
    unsetenv("VISA_SIM_BENCH");
    ASSERT_EQ(visa.OpenDefaultRM(&rm), VI_SUCCESS);
    ViStatus status = 0;
    EXPECT_EQ(FindAll("?*INSTR", &status), (std::vector<std::string>{"VXI0::112::INSTR"}));
    ViSession module = OpenOk("VXI0::112::INSTR");
    EXPECT_EQ(visa.Query(module, "SYST:COPT? 1"),
              "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01\"\n");
}

// The search the front panel makes at start-up: every instrument found by "?*INSTR" is opened and
// identified, GPIB ones by their identity and a scan of card types, VXI ones by manufacturer and model.
TEST_F(VisaApi, FrontPanelSearchFindsTheModules) {
    std::vector<std::string> accepted;
    ViFindList list = VI_NULL;
    ViUInt32 found = 0;
    char name[VI_FIND_BUFLEN];
    ASSERT_EQ(visa.FindRsrc(rm, "?*INSTR", &list, &found, name), VI_SUCCESS);
    int matchedCard = 0;
    for (ViUInt32 i = 0; i < found; ++i) {
        if (i > 0) {
            ASSERT_EQ(visa.FindNext(list, name), VI_SUCCESS);
        }
        ViSession session = VI_NULL;
        if (visa.Open(rm, name, VI_NULL, VI_NULL, &session) != VI_SUCCESS)
            continue;
        ViUInt16 type = 0;
        bool accept = false;
        if (visa.GetAttribute(session, VI_ATTR_INTF_TYPE, &type) == VI_SUCCESS) {
            if (type == VI_INTF_GPIB) {
                char reply[101] = {};
                ViUInt32 count = 0;
                if (visa.Write(session, reinterpret_cast<ViConstBuf>("*IDN?\n"), 5, &count) == VI_SUCCESS &&
                    visa.Read(session, reinterpret_cast<ViBuf>(reply), 100, &count) >= 0 &&
                    std::strncmp(reply, "QUILLON-VANTERA,SWITCHBOX", 25) == 0) {
                    for (int card = 1; card <= 99; ++card) {
                        std::string query = "SYST:CTYP? " + std::to_string(card) + "\n";
                        std::memset(reply, 0, sizeof reply);
                        if (visa.Send(session, query) != VI_SUCCESS ||
                            visa.Read(session, reinterpret_cast<ViBuf>(reply), 100, &count) < 0)
                            break;
                        if (std::strncmp(reply, "NONE", 4) == 0)
                            break;
                        if (std::strncmp(reply, "QUILLON-VANTERA,K4712", 21) == 0) {
                            accept = true;
                            matchedCard = card;
                            break;
                        }
                    }
                }
            } else {
                ViUInt16 manufacturer = 0;
                ViUInt16 model = 0;
                accept = visa.GetAttribute(session, VI_ATTR_MANF_ID, &manufacturer) == VI_SUCCESS &&
                         visa.GetAttribute(session, VI_ATTR_MODEL_CODE, &model) == VI_SUCCESS &&
                         manufacturer == 0xFFF && (model & 0xFFF) == 0x2D3;
            }
        }
        if (accept)
            accepted.push_back(name);
        visa.Close(session);
    }
    EXPECT_EQ(accepted,
              (std::vector<std::string>{"VXI0::112::INSTR", "GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR"}));
    EXPECT_EQ(matchedCard, 3);
    // Each instrument's error queue stayed empty: the search asked nothing they could not answer.
    for (const char* resource : {"VXI0::112::INSTR", "GPIB0::9::INSTR", "GPIB0::9::14::INSTR"}) {
        ViSession session = OpenOk(resource);
        EXPECT_EQ(visa.Query(session, "SYST:ERR?"), "0,\"No error\"\n") << resource;
    }
}

TEST_F(VisaApi, ClosingWakesAWaitForEventsAtOnce) {
    for (bool closeManager : {false, true}) {
        ViSession manager = VI_NULL;
        ASSERT_EQ(visa.OpenDefaultRM(&manager), VI_SUCCESS);
        ViSession module = VI_NULL;
        ASSERT_EQ(visa.Open(manager, "VXI0::112::INSTR", VI_NULL, VI_NULL, &module), VI_SUCCESS);
        ASSERT_EQ(visa.EnableEvent(module, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
        std::atomic<pid_t> waiterId = 0;
        auto waiter = std::async(std::launch::async, [&] {
            waiterId = gettid();
            ViEventType type = 0;
            return visa.WaitOnEvent(module, VI_EVENT_SERVICE_REQ, 10000, &type, VI_NULL);
        });
        while (waiterId == 0)
            std::this_thread::yield();
        ASSERT_TRUE(WaitUntilAsleep(waiterId));
        EXPECT_EQ(visa.Close(closeManager ? manager : module), VI_SUCCESS);
        EXPECT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready) << closeManager;
        EXPECT_EQ(waiter.get(), VI_ERROR_INV_OBJECT);
        if (!closeManager)
            visa.Close(manager);
    }
}

TEST_F(VisaApi, LongMessagesEndAtTheTimeOutAndTooLongOnesAreRefused) {
    ViSession module = OpenOk("VXI0::112::INSTR");
    // Every command of this message rewrites the state file: it takes seconds, far beyond 200 ms.
    std::string message;
    while (message.size() < (1u << 20))
        message += "ROUT:CLOS (@132);ROUT:CLOS (@133);";
    ASSERT_EQ(visa.SetAttribute(module, VI_ATTR_TMO_VALUE, 200), VI_SUCCESS);
    EXPECT_EQ(visa.Send(module, message), VI_ERROR_TMO);
    ASSERT_EQ(visa.SetAttribute(module, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);

    std::string tooLong((16u << 20) + 1, ' ');
    testing::internal::CaptureStderr();
    EXPECT_EQ(visa.Send(module, tooLong), VI_ERROR_IO);
    // Without END the parts add up; the message that outgrows the bound is dropped whole.
    ASSERT_EQ(visa.SetAttribute(module, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(visa.Send(module, tooLong.substr(2)), VI_SUCCESS);
    EXPECT_EQ(visa.Send(module, "*IDN?"), VI_ERROR_IO);
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("is refused: the longest is 16777216 bytes"), std::string::npos) << report;
    EXPECT_EQ(visa.Query(module, "*IDN?\n"), "QUILLON-VANTERA,K4712V,0,A.01.00\n");
}
