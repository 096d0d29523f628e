// A temporary folder for one test of the program over the simulated VISA library: its bench file and
// the simulated instruments' state live there, and it is removed with the test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class CSimulatedBench {
public:
    // Makes the folder and points the simulated library's state and the program's VISA library at it.
    explicit CSimulatedBench(const char* name) {
        std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
            std::filesystem::create_directories(m_folder / "state");
        }
        setenv("VISA_SIM_STATE", (m_folder / "state").c_str(), 1);
        setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
    }
    ~CSimulatedBench() {
        std::error_code ignored;
        if (!m_folder.empty()) {
            std::filesystem::remove_all(m_folder, ignored);
        }
    }
    CSimulatedBench(const CSimulatedBench&) = delete;
    CSimulatedBench& operator=(const CSimulatedBench&) = delete;

    bool Made() const { return !m_folder.empty(); }
    const std::filesystem::path& Folder() const { return m_folder; }

    // Writes the bench file and makes it the simulated library's bench.
    void Use(const std::string& yaml) const {
        const std::filesystem::path file = m_folder / "bench.yaml";
        std::ofstream(file) << yaml;
        setenv("VISA_SIM_BENCH", file.c_str(), 1);
    }

private:
    std::filesystem::path m_folder;
};
