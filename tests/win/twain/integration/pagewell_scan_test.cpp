// pagewell-scan run as a user runs it: a child process under Wine with the
// virtual scanner as the source; its exit codes, messages and files.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pagewell::testing {
namespace {

struct TRunResult {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Output;  // stdout and stderr together
};

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TRunResult RunTool(const std::string& arguments) {
  const std::string outputPath = TempPath("pagewell-scan-test-output.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  TRunResult result;
  if (output == INVALID_HANDLE_VALUE) return result;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::string commandLine = "\"" PAGEWELL_SCAN_EXE "\" " + arguments;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 120000);
    GetExitCodeProcess(process.hProcess, &result.ExitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(output);
  result.Output = ReadFile(outputPath);
  DeleteFileA(outputPath.c_str());
  return result;
}

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint8_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

class PagewellScanTest : public ::testing::Test {
 protected:
  // The built-in devices of the virtual scanner.
  void SetUp() override { SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", nullptr); }
  void TearDown() override { SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", nullptr); }
};

TEST_F(PagewellScanTest, ListsTheDevicesAndTheirCapabilities) {
  const TRunResult run = RunTool("--list");
  EXPECT_EQ(run.ExitCode, 0u) << run.Output;
  EXPECT_NE(run.Output.find("0: Pagewell Virtual Flatbed"), std::string::npos) << run.Output;
  EXPECT_NE(run.Output.find("1: Pagewell Virtual Feeder"), std::string::npos);
  EXPECT_NE(run.Output.find("duplex type 1, auto feed yes"), std::string::npos);
  EXPECT_NE(run.Output.find("resolution 200 (12 values: 50 100 150"), std::string::npos);
}

TEST_F(PagewellScanTest, SavesEachChequeWithItsMicrText) {
  const std::string dir = TempPath("pagewell-scan-out");
  const TRunResult run = RunTool("--device \"Pagewell Virtual Cheque\" --multi --micr --trace --out \"" + dir + "\"");
  ASSERT_EQ(run.ExitCode, 0u) << run.Output;
  EXPECT_NE(run.Output.find("2 pages scanned"), std::string::npos);
  EXPECT_NE(run.Output.find("trace: DG_IMAGE / DAT_IMAGENATIVEXFER / MSG_GET -> TWRC_XFERDONE"), std::string::npos);
  EXPECT_EQ(ReadFile(dir + "\\page-001.micr.txt"), "c000123c a111222a 4567d\n");
  EXPECT_EQ(ReadFile(dir + "\\page-002.micr.txt"), "c000124c a111222a 89d\n");
  const std::string bmp = ReadFile(dir + "\\page-002.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 18), 600u);  // 6 inches at 100 dpi
  EXPECT_EQ(U32(bmp, 22), 275u);
  EXPECT_EQ(bmp[28], 8);
  EXPECT_EQ(U32(bmp, 38), 3937u);
  for (const char* name : {"page-001.bmp", "page-002.bmp", "page-001.micr.txt", "page-002.micr.txt"})
    DeleteFileA((dir + "\\" + name).c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST_F(PagewellScanTest, ReportsUserErrorsWithTheirExitCodes) {
  struct Case {
    std::string arguments;
    DWORD exitCode;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"--pixel-type 99", 2, "bad or missing value for --pixel-type"},
      {"--frame 1,2,0,3", 2, "bad or missing value for --frame"},
      {"--resolution", 2, "bad or missing value for --resolution"},
      {"--colour", 2, "unknown option '--colour'"},
      {"--device Nope", 3, "no device named 'Nope'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const TRunResult run = RunTool(c.arguments);
    EXPECT_EQ(run.ExitCode, c.exitCode) << run.Output;
    EXPECT_NE(run.Output.find(c.message), std::string::npos) << run.Output;
  }
}

TEST_F(PagewellScanTest, AFailedEnableIsAScanFailure) {
  const std::string config = TempPath("pagewell-scan-refuses.ini");
  std::ofstream(config) << "[device]\nname = Refuses\nenableds = fail\n";
  SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", config.c_str());
  const TRunResult run = RunTool("--device Refuses");
  EXPECT_EQ(run.ExitCode, 1u);
  EXPECT_NE(run.Output.find("Error during image acquire operation."), std::string::npos) << run.Output;
  DeleteFileA(config.c_str());
}

}  // namespace
}  // namespace pagewell::testing
