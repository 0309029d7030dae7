// The command line as the lab and the other test suites use it. Only --check is run
// here: it opens no sockets.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome Devsim(const std::string& args)
{
    const std::string command = std::string(DEVSIM_BINARY) + " " + args + " 2>&1";
    Outcome run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 512> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string TempFile(const std::string& content)
{
    const std::string path =
        testing::TempDir() + "devsim_cli_" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".json";
    std::ofstream(path) << content;
    return path;
}

TEST(CommandLine, CheckAcceptsTheDefaultConfiguration)
{
    const Outcome run = Devsim("--check --config " DEVSIM_SOURCE_DIR "/default.json");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("3 devices"), std::string::npos) << run.output;
}

TEST(CommandLine, BadConfigurationExitsWithStatusTwoAndSaysWhy)
{
    const std::string path = TempFile(R"({"generation": 2, "interfaces": ["198.51.100.2"],
      "devices": [{"identity": "02a1b2c3d4e5", "address": "198.51.100.20", "layuot": 8}]})");
    Outcome run = Devsim("--check --config " + path);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("devices[0]: unknown key \"layuot\""), std::string::npos) << run.output;

    // Without --check the configuration is refused before any socket is opened.
    run = Devsim("--config " + path + " --log " + path + ".log");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("layuot"), std::string::npos) << run.output;
    std::ifstream ack(path + ".ack");
    EXPECT_FALSE(ack.good()) << "no acknowledgement for a configuration that was not applied";
}

TEST(CommandLine, UsageErrorsExitWithStatusTwo)
{
    EXPECT_EQ(Devsim("").status, 2);
    EXPECT_EQ(Devsim("--config").status, 2);
    EXPECT_EQ(Devsim("--config x.json --bogus").status, 2);
    EXPECT_EQ(Devsim("--help").status, 0);
}

}  // namespace
