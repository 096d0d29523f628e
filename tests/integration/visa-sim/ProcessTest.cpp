// The state file seen from separate processes: each child process loads the library on its own, as two
// runs of a program (or two programs at once) do.
#include "VisaSimLibrary.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <thread>

namespace {

const char* kBench = R"(
resources:
  - name: VXI0::112::INSTR
    slot: 3
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}
)";

// Runs `body` in a child process with its own load of the library; the child's exit code is the number
// of failed checks (or 100 when the library cannot be used).
pid_t StartChild(const std::function<int(VisaSim&, ViSession module)>& body) {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    VisaSim visa;
    std::string error;
    ViSession rm = VI_NULL;
    ViSession module = VI_NULL;
    if (!visa.Load(&error) || visa.OpenDefaultRM(&rm) != VI_SUCCESS ||
        visa.Open(rm, "VXI0::112::INSTR", VI_NULL, VI_NULL, &module) != VI_SUCCESS)
        _exit(100);
    int failures = body(visa, module);
    visa.Close(rm);
    _exit(failures > 99 ? 99 : failures);
}

int Wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int RunChild(const std::function<int(VisaSim&, ViSession module)>& body) {
    return Wait(StartChild(body));
}

// A process that takes the lock file's lock and stops, holding it until it is killed.
pid_t StopHoldingLock(const std::string& lockFile) {
    pid_t holder = fork();
    if (holder == 0) {
        int fd = open(lockFile.c_str(), O_RDWR | O_CREAT, 0644);
        if (fd < 0 || flock(fd, LOCK_EX) != 0)
            _exit(1);
        raise(SIGSTOP);
        _exit(0);
    }
    int status = 0;
    if (waitpid(holder, &status, WUNTRACED) != holder || !WIFSTOPPED(status))
        return -1;
    return holder;
}

} // namespace

TEST(StateAcrossProcesses, SecondRunFindsTheSwitchingOfTheFirst) {
    TemporaryBench bench;
    bench.Use(kBench);
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  int failures = 0;
                  failures +=
                      visa.Send(module, "ROUT:CLOS (@132);:ROUT:CLOS (@143);:ROUT:ATT 1,1,60") != VI_SUCCESS;
                  failures +=
                      visa.Send(module, "SYST:COPT 1,\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,\"") !=
                      VI_SUCCESS;
                  failures += visa.Query(module, "SYST:ERR?") != "0,\"No error\"\n";
                  return failures;
              }),
              0);
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  int failures = 0;
                  failures += visa.Query(module, "ROUT:CLOS? (@130:133,140:145)") != "0,0,1,0,0,0,0,1,0,0\n";
                  failures += visa.Query(module, "ROUT:ATT? 1,1") != "60\n";
                  failures += visa.Query(module, "SYST:COPT? 1") !=
                              "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,\"\n";
                  // A reset opens the relays and keeps the option list, for the next run too.
                  failures += visa.Send(module, "*RST") != VI_SUCCESS;
                  return failures;
              }),
              0);
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  int failures = 0;
                  failures += visa.Query(module, "ROUT:CLOS? (@130:133)") != "0,0,0,0\n";
                  failures += visa.Query(module, "SYST:COPT? 1") !=
                              "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,\"\n";
                  return failures;
              }),
              0);
}

TEST(StateAcrossProcesses, TwoProcessesSwitchingAtOnceLoseNoUpdate) {
    TemporaryBench bench;
    bench.Use(kBench);
    // Each process works on its own group and checks after every step that its group holds what it set;
    // a process that wrote back a stale copy of the other's group would break the other's check.
    auto worker = [](int group, int channels, int last) {
        return [=](VisaSim& visa, ViSession module) {
            int failures = 0;
            for (int i = 0; i < 400; ++i) {
                int channel = i % channels;
                if (i == 399)
                    channel = last;
                std::string number = "1" + std::to_string(group) + std::to_string(channel);
                if (visa.Send(module, "ROUT:CLOS (@" + number + ")") != VI_SUCCESS)
                    ++failures;
                if (visa.Query(module, "ROUT:CLOS? (@" + number + ")") != "1\n")
                    ++failures;
            }
            return failures;
        };
    };
    pid_t a = StartChild(worker(3, 4, 2));
    pid_t b = StartChild(worker(4, 6, 5));
    EXPECT_EQ(Wait(a), 0);
    EXPECT_EQ(Wait(b), 0);
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  return static_cast<int>(visa.Query(module, "ROUT:CLOS? (@130:133,140:145)") !=
                                          "0,0,1,0,0,0,0,0,0,1\n");
              }),
              0);
}

TEST(StateAcrossProcesses, CorruptStateFileIsReportedAndReplaced) {
    TemporaryBench bench;
    std::string path = bench.Use(kBench);
    ASSERT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  return static_cast<int>(visa.Send(module, "ROUT:CLOS (@131)") != VI_SUCCESS);
              }),
              0);
    // Damage every state file of the folder.
    int damaged = 0;
    for (const auto& entry : std::filesystem::directory_iterator(bench.Folder() + "/state")) {
        if (entry.path().extension() == ".state") {
            std::ofstream(entry.path(), std::ios::trunc) << "visa-sim state 1\ncard 1 options\x01\n";
            ++damaged;
        }
    }
    ASSERT_EQ(damaged, 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  return static_cast<int>(visa.Query(module, "ROUT:CLOS? (@130:133)") != "0,0,0,0\n");
              }),
              0);
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("is corrupt"), std::string::npos) << report;
}

TEST(StateAcrossProcesses, StoppedHolderOfTheLockTimesOutTheOthers) {
    TemporaryBench bench;
    bench.Use(std::string("state_name: held\n") + kBench);
    std::string lockFile = bench.Folder() + "/state/held.VXI0__112__INSTR.state.lock";
    std::filesystem::create_directories(bench.Folder() + "/state");
    pid_t holder = StopHoldingLock(lockFile);
    ASSERT_GT(holder, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  auto start = std::chrono::steady_clock::now();
                  int failures = visa.Send(module, "ROUT:CLOS (@132)") != VI_ERROR_TMO;
                  failures += std::chrono::steady_clock::now() - start > std::chrono::seconds(3);
                  return failures;
              }),
              0);
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find(lockFile), std::string::npos) << report;
    kill(holder, SIGKILL);
    Wait(holder);
    EXPECT_EQ(RunChild([](VisaSim& visa, ViSession module) {
                  return static_cast<int>(visa.Query(module, "ROUT:CLOS? (@132)") != "0\n");
              }),
              0);
}

TEST(StateAcrossProcesses, LockHeldOnOneInstrumentHoldsUpNoOther) {
    TemporaryBench bench;
    bench.Use(std::string("state_name: held\n") + kBench + "  - name: VXI0::113::INSTR\n    module: {}\n");
    std::filesystem::create_directories(bench.Folder() + "/state");
    pid_t holder = StopHoldingLock(bench.Folder() + "/state/held.VXI0__112__INSTR.state.lock");
    ASSERT_GT(holder, 0);
    VisaSim visa;
    std::string error;
    ASSERT_TRUE(visa.Load(&error)) << error;
    ViSession rm = VI_NULL, held = VI_NULL, other = VI_NULL;
    ASSERT_EQ(visa.OpenDefaultRM(&rm), VI_SUCCESS);
    ASSERT_EQ(visa.Open(rm, "VXI0::112::INSTR", VI_NULL, VI_NULL, &held), VI_SUCCESS);
    ASSERT_EQ(visa.Open(rm, "VXI0::113::INSTR", VI_NULL, VI_NULL, &other), VI_SUCCESS);
    ASSERT_EQ(visa.SetAttribute(held, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
    ASSERT_EQ(visa.SetAttribute(other, VI_ATTR_TMO_VALUE, 500), VI_SUCCESS);
    ASSERT_EQ(visa.EnableEvent(other, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);

    // One session waits for the lock for as long as the other process holds it ...
    std::atomic<pid_t> waiterId = 0;
    auto waiting = std::async(std::launch::async, [&] {
        waiterId = gettid();
        return visa.Send(held, "ROUT:CLOS (@132)");
    });
    while (waiterId == 0)
        std::this_thread::yield();
    ASSERT_TRUE(WaitUntilAsleep(waiterId));
    // ... and a session on another instrument goes on meanwhile, each call within its own time-out.
    auto calls = std::async(std::launch::async, [&] {
        ViEventType type = 0;
        return std::pair(visa.Send(other, "ROUT:CLOS (@132)"),
                         visa.WaitOnEvent(other, VI_EVENT_SERVICE_REQ, 300, &type, VI_NULL));
    });
    EXPECT_EQ(calls.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    kill(holder, SIGKILL);
    Wait(holder);
    EXPECT_EQ(calls.get(), std::pair(ViStatus{VI_SUCCESS}, ViStatus{VI_ERROR_TMO}));
    EXPECT_EQ(waiting.get(), VI_SUCCESS);
    visa.Close(rm);
}
