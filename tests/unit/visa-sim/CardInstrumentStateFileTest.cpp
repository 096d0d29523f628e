#include "CardInstrument.h"
#include "StateStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace visasim;
namespace fs = std::filesystem;

namespace {

const char* kBench = R"(
resources:
  - name: VXI0::112::INSTR
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}
)";

class CardStateFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/visa-sim-state-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::string error;
        auto bench = LoadBenchText(kBench, "test", &error);
        ASSERT_TRUE(bench) << error;
        resourceSpec = bench->resources[0];
    }
    void TearDown() override { fs::remove_all(folder); }

    std::unique_ptr<Instrument> Open() { return CreateInstrument(resourceSpec, folder, "bench"); }
    std::string StateFile() const { return folder + "/bench.VXI0__112__INSTR.state"; }

    static std::string Ask(Instrument& instrument, const std::string& query) {
        EXPECT_EQ(instrument.Write(query), Instrument::Outcome::Done);
        std::string reply = instrument.Pending();
        instrument.Consume(reply.size());
        return reply;
    }

    std::string Content(const std::string& path) const {
        std::ifstream in(path);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // With the store broken, a query answers from the file when `queryReads` (else it fails) and a
    // command fails, each with a line naming the file and `reason`; the file stays as it was. Mended,
    // the next command is saved.
    void ExpectTruthfulFailure(const std::function<void()>& breakStore, const std::function<void()>& mend,
                               bool queryReads, const std::string& reason) {
        Ask(*Open(), "ROUT:CLOS (@132)");
        std::string before = Content(StateFile());
        auto module = Open();
        testing::internal::CaptureStderr();
        breakStore();
        bool queried = queryReads ? Ask(*module, "ROUT:CLOS? (@132)") == "1\n"
                                  : module->Write("ROUT:CLOS? (@132)") == Instrument::Outcome::Failed;
        Instrument::Outcome command = module->Write("ROUT:CLOS (@133)");
        mend();
        std::string report = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(queried) << reason;
        EXPECT_EQ(command, Instrument::Outcome::Failed) << reason;
        EXPECT_NE(report.find(StateFile()), std::string::npos) << report;
        EXPECT_NE(report.find(reason), std::string::npos) << report;
        EXPECT_EQ(report.find("corrupt"), std::string::npos) << report;
        EXPECT_EQ(Content(StateFile()), before) << reason;
        EXPECT_EQ(Ask(*module, "ROUT:CLOS (@133);ROUT:CLOS? (@132,133)"), "0,1\n") << reason;
        EXPECT_EQ(Ask(*Open(), "ROUT:CLOS? (@132,133)"), "0,1\n") << reason;
    }

    std::string folder;
    ResourceSpec resourceSpec;
};

} // namespace

TEST_F(CardStateFile, StateSurvivesANewInstrument) {
    {
        auto first = Open();
        Ask(*first, "ROUT:CLOS (@132);ROUT:ATT 1,1,40;SYST:COPT 1,\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,,\"");
    }
    ASSERT_TRUE(fs::exists(StateFile()));
    auto second = Open();
    EXPECT_EQ(Ask(*second, "ROUT:CLOS? (@130:133)"), "0,0,1,0\n");
    EXPECT_EQ(Ask(*second, "ROUT:ATT? 1,1"), "40\n");
    EXPECT_EQ(Ask(*second, "SYST:COPT? 1"), "\"QZATNA01,QZATNB01,QZATNC01,QZSWTA01,,\"\n");
}

TEST_F(CardStateFile, TwoInstrumentsOnOneFileSeeEachOthersSwitching) {
    auto a = Open();
    auto b = Open();
    Ask(*a, "ROUT:CLOS (@131)");
    Ask(*b, "ROUT:CLOS (@144)"); // b must not write back its stale view of group 3
    EXPECT_EQ(Ask(*a, "ROUT:CLOS? (@130:133,140:145)"), "0,1,0,0,0,0,0,0,1,0\n");
    Ask(*a, "ROUT:ATT 1,2,70");
    EXPECT_EQ(Ask(*b, "ROUT:ATT? 1,2"), "70\n");
    EXPECT_EQ(Ask(*b, "ROUT:CLOS? (@131)"), "1\n");
    Ask(*b, "*RST");
    EXPECT_EQ(Ask(*a, "ROUT:CLOS? (@131,144)"), "0,0\n");
}

TEST_F(CardStateFile, CorruptFileIsReplacedByTheInitialState) {
    {
        auto first = Open();
        Ask(*first, "ROUT:CLOS (@132)");
    }
    std::string text;
    {
        std::ifstream in(StateFile());
        std::stringstream content;
        content << in.rdbuf();
        text = content.str();
    }
    // Flip one digit of the state: the checksum no longer fits.
    size_t closed = text.find("closed -1 -1 -1 2");
    ASSERT_NE(closed, std::string::npos);
    text[closed + 16] = '3';
    std::ofstream(StateFile()) << text;

    auto second = Open();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Ask(*second, "ROUT:CLOS? (@130:133)"), "0,0,0,0\n");
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("is corrupt"), std::string::npos) << report;
    EXPECT_NE(report.find(StateFile()), std::string::npos) << report;

    // The file now holds the initial state again and is trusted.
    StateStore store(StateFile());
    std::string payload;
    std::string problem;
    ASSERT_EQ(store.Read(&payload, &problem), StateStore::ReadResult::Loaded) << problem;
    EXPECT_NE(payload.find("closed -1 -1 -1 -1 -1 -1"), std::string::npos);
}

TEST_F(CardStateFile, WellFormedButImpossibleStateIsNotTrusted) {
    StateStore store(StateFile());
    // Channel 5 of a four-position switch: the checksum is right, the content is not.
    ASSERT_TRUE(
        store.Write("card 1 options QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01 closed -1 -1 -1 5 "
                    "-1 -1 attenuation 0 0 0 0 0 0\n"));
    auto module = Open();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Ask(*module, "ROUT:CLOS? (@130:133)"), "0,0,0,0\n");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("does not exist"), std::string::npos);
}

TEST_F(CardStateFile, GarbageFilesOfEveryKindAreRefused) {
    StateStore store(StateFile());
    std::string payload;
    std::string problem;
    for (const char* text : {"", "hello\n", "visa-sim state 1\n", "visa-sim state 1\nchecksum 00000000\n",
                             "visa-sim state 1\ncard 1\nchecksum zzzzzzzz\n"}) {
        std::ofstream(StateFile(), std::ios::trunc) << text;
        EXPECT_EQ(store.Read(&payload, &problem), StateStore::ReadResult::Corrupt) << text;
    }
    fs::remove(StateFile());
    EXPECT_EQ(store.Read(&payload, &problem), StateStore::ReadResult::Missing);
}

TEST_F(CardStateFile, LinkAtTheTemporaryNameIsNotFollowed) {
    std::string target = folder + "/precious";
    std::ofstream(target) << "precious\n";
    fs::create_symlink(target, StateFile() + ".tmp");
    auto module = Open();
    Ask(*module, "ROUT:CLOS (@132)");
    std::ifstream in(target);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "precious\n");
    EXPECT_EQ(Ask(*Open(), "ROUT:CLOS? (@132)"), "1\n"); // the state was written all the same
}

TEST_F(CardStateFile, FifoStateFileIsRefusedAtOnce) {
    alarm(10); // opening a FIFO for reading waits for a writer for ever
    ASSERT_EQ(mkfifo(StateFile().c_str(), 0600), 0);
    auto module = Open();
    testing::internal::CaptureStderr();
    EXPECT_EQ(module->Write("ROUT:CLOS (@132)"), Instrument::Outcome::Failed);
    std::string report = testing::internal::GetCapturedStderr();
    alarm(0);
    EXPECT_NE(report.find(StateFile() + " is refused (it is not a regular file)"), std::string::npos)
        << report;
    EXPECT_TRUE(fs::is_fifo(StateFile()));
}

TEST_F(CardStateFile, StateFolderIsCreatedWhenMissing) {
    std::string nested = folder + "/a/b/c";
    setenv("VISA_SIM_STATE", nested.c_str(), 1);
    std::string problem;
    EXPECT_EQ(StateStore::StateFolder(&problem), nested);
    EXPECT_EQ(fs::status(nested).permissions(), fs::perms::owner_all);
    // A folder other users can write to is refused, unless its sticky bit keeps them from our files.
    chmod(nested.c_str(), 0777);
    EXPECT_EQ(StateStore::StateFolder(&problem), "");
    EXPECT_NE(problem.find("can be written by other users"), std::string::npos) << problem;
    chmod(nested.c_str(), 01777);
    EXPECT_EQ(StateStore::StateFolder(&problem), nested);
    std::string blocked = folder + "/file";
    std::ofstream(blocked) << "x";
    setenv("VISA_SIM_STATE", (blocked + "/sub").c_str(), 1);
    EXPECT_EQ(StateStore::StateFolder(&problem), "");
    EXPECT_NE(problem.find("cannot be created"), std::string::npos);
    unsetenv("VISA_SIM_STATE");
}

TEST_F(CardStateFile, UnusableStoreFailsTheCallAndKeepsTheFile) {
    std::string lock = StateFile() + ".lock";
    std::string temporary = StateFile() + ".tmp";
    // A link planted at the lock: the file is read without the lock, nothing is written.
    ExpectTruthfulFailure([&] { fs::remove(lock), fs::create_symlink(folder + "/elsewhere", lock); },
                          [&] { fs::remove(lock); }, true, "symbolic link");
    // A save that fails once: the next one is tried all the same.
    ExpectTruthfulFailure([&] { fs::remove(temporary), fs::create_directory(temporary); },
                          [&] { fs::remove(temporary); }, true, "Is a directory");
    // No descriptor left: the state file cannot be opened, which does not make it damaged.
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    ExpectTruthfulFailure(
        [&] {
            int lowest = open("/dev/null", O_RDONLY);
            close(lowest);
            rlimit none = limit;
            none.rlim_cur = static_cast<rlim_t>(lowest);
            setrlimit(RLIMIT_NOFILE, &none);
        },
        [&] { setrlimit(RLIMIT_NOFILE, &limit); }, false, "Too many open files");
}

TEST_F(CardStateFile, ReadOnlyFolderFailsTheCallAndKeepsTheFile) {
    // A read-only bind mount in a mount namespace of this process's own.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "a private mount namespace needs root (" << std::strerror(errno) << ")";
    }
    auto remount = [&](unsigned long flags) {
        ASSERT_EQ(mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | flags, nullptr), 0)
            << std::strerror(errno);
    };
    ExpectTruthfulFailure([&] { remount(MS_RDONLY); }, [&] { remount(0); }, true, "Read-only file system");
    umount2(folder.c_str(), MNT_DETACH);
}
