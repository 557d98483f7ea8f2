// The real program in a child process: start-up, the "Download" folder, and
// a close while a detached thread is busy with the window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ChildRun {
  std::string output;
  int status = -1;
};

ChildRun run_child(const fs::path& program) {
  ChildRun result;
  FILE* pipe = ::popen((program.string() + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[256];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
  result.status = ::pclose(pipe);
  return result;
}

// A copy of the probe in a fresh folder, prepared by `prepare`.
fs::path probe_in(const std::string& name, void (*prepare)(const fs::path&)) {
  const fs::path folder = fs::temp_directory_path() / ("quill-start-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  if (prepare) prepare(folder);
  fs::copy_file(QUILL_STARTUP_PROBE, folder / "probe");
  return folder;
}

TEST(Startup, CloseEndsTheProcessWithCodeZeroAfterTheExitRoutines) {
  struct Case {
    const char* name;
    void (*prepare)(const fs::path&);
    const char* folder_line;
  };
  const Case cases[] = {
      {"fresh", nullptr, "download_folder=1"},
      {"existing",
       [](const fs::path& f) {
         fs::create_directories(f / "Download");
         std::ofstream(f / "Download/kept.rar") << "kept";
       },
       "download_folder=1"},
      {"uncreatable", [](const fs::path& f) { std::ofstream(f / "Download") << "a file"; }, "download_folder=0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = probe_in(c.name, c.prepare);
    const ChildRun result = run_child(folder / "probe");
    ASSERT_TRUE(WIFEXITED(result.status)) << result.output;
    EXPECT_EQ(WEXITSTATUS(result.status), 0) << result.output;
    EXPECT_NE(result.output.find("visible=1\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(std::string(c.folder_line) + "\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("closing\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("exit_routine released=1\n"), std::string::npos) << result.output;
    if (std::string(c.name) == "existing") {
      EXPECT_TRUE(fs::exists(folder / "Download/kept.rar"));
    }
    fs::remove_all(folder);
  }
}

}  // namespace
