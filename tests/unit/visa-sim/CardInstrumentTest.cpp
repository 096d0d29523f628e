#include "CardInstrument.h"

#include <gtest/gtest.h>

using namespace visasim;

namespace {

ResourceSpec SpecFrom(const std::string& yaml) {
    std::string error;
    auto bench = LoadBenchText(yaml, "test", &error);
    EXPECT_TRUE(bench) << error;
    return bench ? bench->resources.at(0) : ResourceSpec{};
}

const char* kModuleBench = R"(
resources:
  - name: VXI0::112::INSTR
    module:
      card:
        options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-ATN"
)";

class ModuleCommands : public ::testing::Test {
protected:
    ModuleCommands() : module(CreateInstrument(SpecFrom(kModuleBench), "", "")) {}

    std::string Ask(const std::string& query) {
        EXPECT_EQ(module->Write(query), Instrument::Outcome::Done);
        std::string reply = module->Pending();
        module->Consume(reply.size());
        return reply;
    }
    void Send(const std::string& command) {
        EXPECT_EQ(module->Write(command), Instrument::Outcome::Done);
        EXPECT_EQ(module->Pending(), "") << command;
    }
    // Every entry of the error queue, oldest first, as "code,text" lines.
    std::vector<std::string> Errors() {
        std::vector<std::string> errors;
        for (int i = 0; i < 40; ++i) {
            std::string entry = Ask("SYST:ERR?");
            if (entry == "0,\"No error\"\n")
                break;
            errors.push_back(entry.substr(0, entry.size() - 1));
        }
        return errors;
    }

    std::unique_ptr<Instrument> module;
};

} // namespace

TEST_F(ModuleCommands, IdentityCardTypeAndOptions) {
    EXPECT_EQ(Ask("*IDN?"), "QUILLON-VANTERA,K4712V,0,A.01.00\n");
    EXPECT_EQ(Ask("SYST:CTYP? 1"), "QUILLON-VANTERA,K4712V,0,A.01.00\n");
    EXPECT_EQ(Ask("system:ctype? 2"), "NONE\n");
    EXPECT_EQ(Ask("SYST:CTYP? 0"), "NONE\n");
    EXPECT_EQ(Ask("SYST:COPT? 1"), "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-ATN\"\n");
    EXPECT_EQ(Ask("SYST:VERS?"), "1999.0\n");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ModuleCommands, SwitchGroupIsAMultiplexer) {
    Send("ROUT:CLOS (@131)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:133)"), "0,1,0,0\n");
    Send("ROUTE:CLOSE (@133)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:133)"), "0,0,0,1\n");
    EXPECT_EQ(Ask("ROUT:OPEN? (@130:133)"), "1,1,1,0\n");
    // The last channel of a group in a list wins; other groups are independent.
    Send("ROUT:CLOS (@140,145,142)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@140:145)"), "0,0,1,0,0,0\n");
    EXPECT_EQ(Ask("ROUT:CLOS? (@133)"), "1\n");
    // Opening a channel that is not closed changes nothing.
    Send("ROUT:OPEN (@130)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@133)"), "1\n");
    Send("rout:open (@133)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:133)"), "0,0,0,0\n");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ModuleCommands, AttenuatorsTakeOnlyTheirSteps) {
    Send("ROUT:ATT 1,0,11");
    Send("ROUT:ATTENUATION 1,1,90");
    Send("ROUT:ATT 1,2,70");
    Send("ROUT:ATT 1,5,37");
    EXPECT_EQ(Ask("ROUT:ATT? 1,0"), "11\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,1"), "90\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,2"), "70\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,5"), "37\n");
    EXPECT_TRUE(Errors().empty());

    Send("ROUT:ATT 1,0,12");  // beyond the range
    Send("ROUT:ATT 1,1,15");  // not a step of 10
    Send("ROUT:ATT 1,2,80");  // beyond 70
    Send("ROUT:ATT 1,1,-10"); // negative
    Send("ROUT:ATT 1,3,0");   // a switch group
    Send("ROUT:ATT 2,0,0");   // no card 2
    Send("ROUT:ATT 1,6,0");   // no group 6
    EXPECT_EQ(Errors(), (std::vector<std::string>{"-222,\"Data out of range\"", "-222,\"Data out of range\"",
                                                  "-222,\"Data out of range\"", "-222,\"Data out of range\"",
                                                  "-221,\"Settings conflict\"", "-241,\"Hardware missing\"",
                                                  "-222,\"Data out of range\""}));
    EXPECT_EQ(Ask("ROUT:ATT? 1,0"), "11\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,1"), "90\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,2"), "70\n");
}

TEST_F(ModuleCommands, FailedRouteCommandChangesNothing) {
    Send("ROUT:CLOS (@132,141)");
    Send("ROUT:CLOS (@130,134)"); // channel 4 of a four-position switch: whole list refused
    Send("ROUT:CLOS (@140,100)"); // group 0 is an attenuator
    Send("ROUT:CLOS (@143,161)"); // no group 6
    Send("ROUT:OPEN (@132,201)"); // no card 2
    Send("ROUT:CLOS (@133:130)"); // backwards range
    Send("ROUT:CLOS (@139:141)"); // crosses groups
    Send("ROUT:CLOS 131");        // not a channel list
    Send("ROUT:CLOS");            // no list
    EXPECT_EQ(Errors(), (std::vector<std::string>{"-222,\"Data out of range\"", "-221,\"Settings conflict\"",
                                                  "-222,\"Data out of range\"", "-241,\"Hardware missing\"",
                                                  "-222,\"Data out of range\"", "-222,\"Data out of range\"",
                                                  "-104,\"Data type error\"", "-109,\"Missing parameter\""}));
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:133,140:145)"), "0,0,1,0,0,1,0,0,0,0\n");
}

TEST_F(ModuleCommands, OptionListWriteRetypesGroupsAndIsChecked) {
    Send("ROUT:CLOS (@131)");
    Send("ROUT:ATT 1,0,5");
    Send("SYST:COPT 1,\"QZATNA01,,QZSWTB01,QZSWTB01,,\"");
    EXPECT_EQ(Ask("SYST:COPT? 1"), "\"QZATNA01,,QZSWTB01,QZSWTB01,,\"\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,0"), "5\n");                   // unchanged group keeps its setting
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:135)"), "0,0,0,0,0,0\n"); // retyped group starts open
    Send("ROUT:CLOS (@135)");
    EXPECT_EQ(Ask("ROUT:CLOS? (@135)"), "1\n");
    Send("ROUT:ATT 1,1,10"); // group 1 has no device now
    Send("SYST:COPT 1,\"QZATNA01,,,,\"");
    Send("SYST:COPT 1,\"QZATNA01,,,,,,\"");
    Send("SYST:COPT 1,\"qzatna01,,,,,\"");
    Send("SYST:COPT 3,\"QZATNA01,,,,,\"");
    Send("SYST:COPT 1,QZATNA01");
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "-221,\"Settings conflict\"", "-224,\"Illegal parameter value\"",
                            "-224,\"Illegal parameter value\"", "-224,\"Illegal parameter value\"",
                            "-241,\"Hardware missing\"", "-104,\"Data type error\""}));
    EXPECT_EQ(Ask("SYST:COPT? 1"), "\"QZATNA01,,QZSWTB01,QZSWTB01,,\"\n");
}

TEST_F(ModuleCommands, ResetOpensEverythingAndKeepsOptions) {
    Send("ROUT:CLOS (@132,144)");
    Send("ROUT:ATT 1,1,50");
    Send("*RST");
    EXPECT_EQ(Ask("ROUT:CLOS? (@130:133,140:145)"), "0,0,0,0,0,0,0,0,0,0\n");
    EXPECT_EQ(Ask("ROUT:ATT? 1,1"), "0\n");
    EXPECT_EQ(Ask("SYST:COPT? 1"), "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-ATN\"\n");
}

TEST_F(ModuleCommands, ErrorQueueHoldsThirtyAndMarksOverflow) {
    for (int i = 0; i < 35; ++i)
        Send("BOGUS");
    auto errors = Errors();
    ASSERT_EQ(errors.size(), 30u);
    EXPECT_EQ(errors[0], "-113,\"Undefined header\"");
    EXPECT_EQ(errors[28], "-113,\"Undefined header\"");
    EXPECT_EQ(errors[29], "-350,\"Queue overflow\"");
}

TEST_F(ModuleCommands, StatusByteAndEventRegisterFollowIeee4882) {
    EXPECT_EQ(Ask("*ESR?"), "128\n"); // power on
    EXPECT_EQ(Ask("*ESR?"), "0\n");   // read clears it
    EXPECT_EQ(module->StatusByte(), 0);
    Send("*ESE 60");
    Send("*SRE 36");
    Send("ROUT:ATT 1,0,99"); // execution error: ESR bit 4, error queue bit 2
    EXPECT_EQ(module->StatusByte(), 4 | 32 | 64);
    EXPECT_EQ(Ask("*STB?"), "100\n");
    EXPECT_EQ(Ask("*ESE?;*SRE?"), "60;36\n");
    EXPECT_EQ(Ask("*ESR?"), "16\n");
    Send("*CLS");
    EXPECT_EQ(module->StatusByte(), 0);
    Send("*SRE 255");
    EXPECT_EQ(Ask("*SRE?"), "191\n"); // bit 6 cannot be enabled
    ASSERT_EQ(module->Write("*IDN?"), Instrument::Outcome::Done);
    EXPECT_EQ(module->StatusByte() & 16, 16); // message available
    module->DeviceClear();
    EXPECT_EQ(module->Pending(), "");
    EXPECT_EQ(module->StatusByte() & 16, 0);
    Send("*OPC");
    EXPECT_EQ(Ask("*ESR?"), "1\n");
    EXPECT_EQ(Ask("*OPC?"), "1\n");
    Send("BOGUS");    // command error bit 5
    Send("*ESE 300"); // out of range: execution error bit 4
    EXPECT_EQ(Ask("*ESR?"), "48\n");
}

TEST_F(ModuleCommands, UnreadRepliesAndEmptyReadsAreQueryErrors) {
    ASSERT_EQ(module->Write("*IDN?"), Instrument::Outcome::Done);
    ASSERT_EQ(module->Write("SYST:VERS?"), Instrument::Outcome::Done); // the identity was never read
    EXPECT_EQ(module->Pending(), "1999.0\n");
    module->Consume(7);
    module->NoteEmptyRead();
    EXPECT_EQ(Errors(),
              (std::vector<std::string>{"-410,\"Query INTERRUPTED\"", "-420,\"Query UNTERMINATED\""}));
    EXPECT_EQ(Ask("*ESR?"), "132\n"); // power on and query error
}

TEST_F(ModuleCommands, HeadersParametersAndCompoundMessages) {
    EXPECT_EQ(Ask(":SYSTEM:ERROR:NEXT?"), "0,\"No error\"\n");
    EXPECT_EQ(Ask("ROUT:CLOS (@130);CLOS? (@130:131);:SYST:CTYP? 1"),
              "1,0;QUILLON-VANTERA,K4712V,0,A.01.00\n"); // relative header after the first command
    Send("*IDN");                                        // the query form only
    Send("SYST:COPT?");                                  // missing card
    Send("*RST 5");                                      // parameter not allowed
    Send("ROUT:ATT 1,X,0");
    EXPECT_EQ(Errors(),
              (std::vector<std::string>{"-113,\"Undefined header\"", "-109,\"Missing parameter\"",
                                        "-108,\"Parameter not allowed\"", "-104,\"Data type error\""}));
}

TEST_F(ModuleCommands, SelfTestReportsThePassingResult) {
    EXPECT_EQ(Ask("*TST?"), "0\n");
    EXPECT_EQ(Ask("DIAG:TEST:MESS?"), "\"Self test passed\"\n");
}

TEST(ModuleFaults, FaultsFromTheBench) {
    auto module = CreateInstrument(SpecFrom(R"(
resources:
  - name: VXI0::112::INSTR
    module:
      card: {options: "QZSWTA01,,,,,"}
    faults:
      error_queue: [{code: -310}, {code: 201, text: "Coil open"}]
      self_test: {code: 3, message: "Relay K3 stuck"}
      commands:
        - {header: "ROUT:CLOS", action: timeout, when: 2}
        - {header: "ROUT:OPEN?", action: error, code: -240, when: always}
)"),
                                   "", "");
    auto ask = [&](const std::string& query) {
        EXPECT_EQ(module->Write(query), Instrument::Outcome::Done);
        std::string reply = module->Pending();
        module->Consume(reply.size());
        return reply;
    };
    EXPECT_EQ(ask("SYST:ERR?"), "-310,\"System error\"\n");
    EXPECT_EQ(ask("SYST:ERR?"), "201,\"Coil open\"\n");
    EXPECT_EQ(ask("*TST?"), "3\n");
    EXPECT_EQ(ask("DIAG:TEST:MESS?"), "\"Relay K3 stuck\"\n");

    EXPECT_EQ(module->Write("ROUT:CLOS (@001)"), Instrument::Outcome::Done);
    EXPECT_EQ(ask("SYST:ERR?"), "-241,\"Hardware missing\"\n"); // first occurrence runs (and fails on card 0)
    EXPECT_EQ(module->Write("ROUTE:CLOSE (@101)"),
              Instrument::Outcome::TimedOut);             // second one times out, long form too
    EXPECT_EQ(ask("ROUT:CLOS? (@100:103)"), "0,0,0,0\n"); // a query of the same header: third one, runs
    EXPECT_EQ(module->Write("ROUT:CLOS (@102)"), Instrument::Outcome::Done);
    EXPECT_EQ(ask("ROUT:CLOS? (@102)"), "1\n");

    EXPECT_EQ(ask("ROUT:OPEN? (@102)"), ""); // failed query: no reply, an error instead
    EXPECT_EQ(ask("SYST:ERR?"), "-240,\"Hardware error\"\n");
}

TEST(SwitchboxCommands, CardsOfOtherTypesAndTheModuleCard) {
    auto box = CreateInstrument(SpecFrom(R"(
resources:
  - name: GPIB0::9::INSTR
    switchbox:
      cards:
        - {number: 1, type: "QUILLON-VANTERA,RELAY16,0,A.01.00"}
        - {number: 2, type: "QUILLON-VANTERA,MATRIX8,0,A.01.00"}
        - {number: 12, options: "QZSWTB01,,,,,", states: [3, -1, -1, -1, -1, -1]}
)"),
                                "", "");
    auto ask = [&](const std::string& query) {
        EXPECT_EQ(box->Write(query), Instrument::Outcome::Done);
        std::string reply = box->Pending();
        box->Consume(reply.size());
        return reply;
    };
    EXPECT_EQ(ask("*IDN?").rfind("QUILLON-VANTERA,SWITCHBOX,", 0), 0u);
    EXPECT_EQ(ask("SYST:CTYP? 1"), "QUILLON-VANTERA,RELAY16,0,A.01.00\n");
    EXPECT_EQ(ask("SYST:CTYP? 12"), "QUILLON-VANTERA,K4712V,0,A.01.00\n");
    EXPECT_EQ(ask("SYST:CTYP? 3").rfind("NONE", 0), 0u);
    EXPECT_EQ(ask("ROUT:CLOS? (@1200:1205)"), "0,0,0,1,0,0\n");
    EXPECT_EQ(box->Write("ROUT:CLOS (@1205)"), Instrument::Outcome::Done);
    EXPECT_EQ(ask("ROUT:CLOS? (@1200:1205)"), "0,0,0,0,0,1\n");
    EXPECT_EQ(ask("ROUT:CLOS? (@100)"), ""); // card 1 is no RQK4712V card
    EXPECT_EQ(ask("SYST:ERR?"), "-241,\"Hardware missing\"\n");
}

TEST(GenericInstrumentCommands, AnswersFromItsTable) {
    auto meter = CreateInstrument(SpecFrom(R"(
resources:
  - name: GPIB0::5::INSTR
    generic:
      identity: "ACME,DMM,1,1.0"
      replies: {"MEAS:VOLT? DC": "+1.5E+00", "CONF:VOLT": null}
)"),
                                  "", "");
    auto ask = [&](const std::string& query) {
        EXPECT_EQ(meter->Write(query), Instrument::Outcome::Done);
        std::string reply = meter->Pending();
        meter->Consume(reply.size());
        return reply;
    };
    EXPECT_EQ(ask("*IDN?"), "ACME,DMM,1,1.0\n");
    EXPECT_EQ(ask("meas:volt?   dc\n"), "+1.5E+00\n");
    EXPECT_EQ(ask("CONF:VOLT"), "");
    EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"\n");
    EXPECT_EQ(ask("ROUT:CLOS? (@100)"), ""); // the card commands are the module's only
    EXPECT_EQ(ask("SYST:ERR?"), "-113,\"Undefined header\"\n");
}
