#include "Bench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace visasim;

namespace {

std::string Error(const std::string& text) {
    std::string error;
    EXPECT_FALSE(LoadBenchText(text, "bench.yaml", &error)) << text;
    return error;
}

} // namespace

TEST(BenchLoader, DefaultBenchHoldsOneModule) {
    Bench bench = DefaultBench();
    ASSERT_EQ(bench.resources.size(), 1u);
    const ResourceSpec& module = bench.resources[0];
    EXPECT_EQ(module.name, "VXI0::112::INSTR");
    EXPECT_EQ(module.slot, 3);
    EXPECT_EQ(module.address.logicalAddress, 112);
    EXPECT_EQ(module.manufacturerId, 0xFFF);
    EXPECT_EQ(module.modelCode, 0x2D3);
    EXPECT_EQ(module.identity, "QUILLON-VANTERA,K4712V,0,A.01.00");
    ASSERT_EQ(module.cards.size(), 1u);
    EXPECT_EQ(JoinOptionList(module.cards[0].options),
              "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01");
}

TEST(BenchLoader, DefaultBenchFileMatchesTheBuiltInBench) {
    const char* source = std::getenv("SFP_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::string error;
    auto file = LoadBenchFile(std::string(source) + "/tests/benches/default.yaml", &error);
    ASSERT_TRUE(file) << error;
    Bench builtIn = DefaultBench();
    ASSERT_EQ(file->resources.size(), builtIn.resources.size());
    EXPECT_EQ(file->stateName, builtIn.stateName);
    const ResourceSpec& a = file->resources[0];
    const ResourceSpec& b = builtIn.resources[0];
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.slot, b.slot);
    EXPECT_EQ(a.manufacturerId, b.manufacturerId);
    EXPECT_EQ(a.modelCode, b.modelCode);
    EXPECT_EQ(a.identity, b.identity);
    EXPECT_EQ(a.cards[0].options, b.cards[0].options);
    EXPECT_EQ(a.cards[0].type, b.cards[0].type);
}

TEST(BenchLoader, ReadsEveryKindOfResourceAndFault) {
    const char* text = R"(
resources:
  - interface: GPIB
    primary: 9
    secondary: 14
    switchbox:
      serial: "77"
      cards:
        - type: "OTHER,CARD"
        - number: 4
          options: "QZSWTA01,QZATNB01,,,,"
          states: [2, 30, -1, 0, -1, -1]
  - name: GPIB-VXI0::26::INSTR
    slot: 4
    module: {}
    faults:
      open_fails: true
      latency_ms: 3
      error_queue: [{code: -310}, {code: 101, text: "Relay worn"}]
      self_test: {code: 5, message: "Relay K3 stuck"}
      commands:
        - {header: "rout:clos", action: timeout, when: 2}
        - {header: ":SYST:COPT", code: -240}
  - name: gpib0::5
    generic:
      replies: {"MEAS?": "1.5", "CONF": null}
)";
    std::string error;
    auto bench = LoadBenchText(text, "bench.yaml", &error);
    ASSERT_TRUE(bench) << error;
    ASSERT_EQ(bench->resources.size(), 3u);
    const ResourceSpec& box = bench->resources[0];
    EXPECT_EQ(box.name, "GPIB0::9::14::INSTR");
    EXPECT_EQ(box.kind, DeviceKind::Switchbox);
    EXPECT_EQ(box.identity, "QUILLON-VANTERA,SWITCHBOX,77,A.01.00");
    ASSERT_EQ(box.cards.size(), 2u);
    EXPECT_EQ(box.cards[0].number, 1);
    EXPECT_FALSE(box.cards[0].IsK4712());
    EXPECT_EQ(box.cards[1].number, 4);
    EXPECT_EQ(box.cards[1].closed[0], 2);
    EXPECT_EQ(box.cards[1].attenuation[1], 30);

    const ResourceSpec& module = bench->resources[1];
    EXPECT_EQ(module.cards[0].number, 3); // logical address 26 is card 3 of its mainframe
    EXPECT_EQ(module.manufacturerId, 0xFFF);
    EXPECT_TRUE(module.faults.openFails);
    EXPECT_EQ(module.faults.latencyMs, 3u);
    ASSERT_EQ(module.faults.errorQueue.size(), 2u);
    EXPECT_EQ(module.faults.errorQueue[1], (std::pair<int, std::string>{101, "Relay worn"}));
    EXPECT_EQ(module.faults.selfTestCode, 5);
    ASSERT_EQ(module.faults.commands.size(), 2u);
    EXPECT_EQ(module.faults.commands[0].headerPrefix, "ROUT:CLOS");
    EXPECT_EQ(module.faults.commands[0].action, CommandFault::Action::Timeout);
    EXPECT_EQ(module.faults.commands[0].occurrence, 2);
    EXPECT_EQ(module.faults.commands[1].headerPrefix, "SYST:COPT");
    EXPECT_EQ(module.faults.commands[1].occurrence, 0);

    const ResourceSpec& generic = bench->resources[2];
    EXPECT_EQ(generic.name, "GPIB0::5::INSTR");
    ASSERT_EQ(generic.replies.size(), 2u);
    EXPECT_EQ(generic.replies[0].reply, "1.5");
    EXPECT_FALSE(generic.replies[1].reply);
}

TEST(BenchLoader, NamesInstrumentsOnTheNetworkBesideTheSimulatedOnes) {
    std::string error;
    auto bench = LoadBenchText(
        "resources:\n  - name: tcpip0::10.0.0.5::gpib0,9\n    lan: {}\n"
        "  - name: VXI0::112::INSTR\n    module: {}\n  - name: TCPIP1::gw::INSTR\n    lan: {}\n",
        "bench.yaml", &error);
    ASSERT_TRUE(bench) << error;
    EXPECT_EQ(bench->networkResources,
              (std::vector<std::string>{"TCPIP0::10.0.0.5::gpib0,9::INSTR", "TCPIP1::gw::inst0::INSTR"}));
    ASSERT_EQ(bench->resources.size(), 1u);
    for (auto [text, message] : std::initializer_list<std::pair<const char*, const char*>>{
             {"  - name: GPIB0::9::INSTR\n    lan: {}\n",
              "bench.yaml:2: \"GPIB0::9::INSTR\" is not a TCPIP instrument name"},
             {"  - name: TCPIP0::gw::INSTR\n    lan: {port: 1}\n",
              "bench.yaml:3: lan takes nothing: lan: {}"},
             {"  - name: TCPIP0::gw::INSTR\n    lan: {}\n    slot: 2\n",
              "bench.yaml:4: unknown key \"slot\" in an instrument on the network"},
             {"  - name: TCPIP0::gw::INSTR\n    lan: {}\n  - name: TCPIP0::GW::inst0\n    lan: {}\n",
              "bench.yaml:4: TCPIP0::GW::inst0::INSTR is already on the bench"},
         }) {
        EXPECT_EQ(Error(std::string("resources:\n") + text), message);
    }
}

TEST(BenchLoader, BadBenchesNameTheLineAndTheProblem) {
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    modul: {}\n"),
              "bench.yaml:3: unknown key \"modul\" in a resource");
    EXPECT_EQ(Error("resources:\n  - name: TCPIP0::host::INSTR\n    generic: {}\n"),
              "bench.yaml:2: \"TCPIP0::host::INSTR\" is an instrument on the network: it takes lan: {} and "
              "nothing else");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module:\n      card:\n        options: "
                    "\"QZATNA01\"\n"),
              "bench.yaml:5: options must be six option names or empty entries separated by five commas");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module:\n      card:\n"
                    "        options: \"QZSWTA01,,,,,\"\n        states: [4, -1, -1, -1, -1, -1]\n"),
              "bench.yaml:6: group 0 has no channel 4");
    EXPECT_EQ(
        Error("resources:\n  - name: VXI0::1::INSTR\n    module: {}\n  - name: vxi0::1\n    module: {}\n"),
        "bench.yaml:4: VXI0::1::INSTR is already on the bench (line 2)");
    EXPECT_EQ(Error("resources:\n  - name: GPIB0::1::INSTR\n    slot: 2\n    generic: {}\n"),
              "bench.yaml:3: a GPIB instrument has no slot");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    generic: {}\n"),
              "bench.yaml:2: a VXI instrument needs a manufacturer_id");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    primary: 3\n    module: {}\n"),
              "bench.yaml:3: a VXI instrument has no GPIB address");
    EXPECT_EQ(Error("resources:\n  - name: GPIB0::1::INSTR\n    primary: 2\n    generic: {}\n"),
              "bench.yaml:3: primary does not agree with the name");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module: {}\n    generic: {}\n"),
              "bench.yaml:2: a resource needs exactly one of module, switchbox, generic, source or meter");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module: {}\n    faults:\n      commands:\n"
                    "        - {header: ROUT, action: explode}\n"),
              "bench.yaml:6: action must be timeout or error");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module: {}\n    faults: {latency_ms: soon}\n"),
              "bench.yaml:4: latency_ms must be a number, not \"soon\"");
    EXPECT_EQ(Error("resources:\n  - name: VXI0::1::INSTR\n    module: {}\n    faults: {}\n    faults:\n"
                    "      open_fails: true\n"),
              "bench.yaml:5: duplicate key \"faults\"");
    EXPECT_EQ(Error("resources:\n  - name: GPIB0::1::INSTR\n    generic: {}\n    lan_name: Inst1\n"),
              "bench.yaml:4: lan_name must be a letter, then letters, digits, '_', '-' or '.' (at most 32), "
              "and not instN or gpibN");
    EXPECT_EQ(Error("resources:\n  - name: GPIB0::1::INSTR\n    generic: {}\n    lan_name: dmm\n"
                    "  - name: GPIB0::2::INSTR\n    generic: {}\n    lan_name: DMM\n"),
              "bench.yaml:7: lan_name DMM is already taken (line 2)");
    EXPECT_EQ(Error("resources: " + std::string(3000, '[')),
              "bench.yaml:1: lists and mappings are nested too deeply");
    EXPECT_EQ(Error(""), "bench.yaml:1: the bench file is empty");
    EXPECT_EQ(Error("- just\n- a list\n"),
              "bench.yaml:1: a bench file is a mapping with a list of resources");
    // A YAML syntax error carries the parser's line.
    EXPECT_EQ(Error("resources:\n  - name: \"VXI0::1\n").rfind("bench.yaml:", 0), 0u);
    EXPECT_NE(Error("resources: [\n").find("bench.yaml:"), std::string::npos);
}

TEST(BenchLoader, MissingFileIsReportedWithItsName) {
    std::string error;
    EXPECT_FALSE(LoadBenchFile("/nonexistent/bench.yaml", &error));
    EXPECT_EQ(error.rfind("/nonexistent/bench.yaml: cannot be read", 0), 0u) << error;
}

TEST(BenchLoader, OnlyRegularFilesAreRead) {
    alarm(10); // a FIFO that is opened for reading waits for a writer for ever
    char pattern[] = "/tmp/visa-sim-bench-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string folder = pattern;
    std::string fifo = folder + "/fifo.yaml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(LoadBenchFile(fifo, &error));
    EXPECT_EQ(error, fifo + ": is not a regular file");
    EXPECT_FALSE(LoadBenchFile("/dev/zero", &error));
    EXPECT_EQ(error, "/dev/zero: is not a regular file");
    EXPECT_FALSE(LoadBenchFile(folder, &error));
    EXPECT_EQ(error, folder + ": is a folder, not a bench file");
    std::filesystem::remove_all(folder);
    alarm(0);
}
