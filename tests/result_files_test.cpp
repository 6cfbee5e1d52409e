// The built program against the hazards of its files: two runs on one folder at once, a run
// killed mid-way, outputs that are read-only, folders, FIFOs or planted links, inputs that
// are FIFOs, and folder paths longer than the system allows. Every run here has a deadline,
// so a program that hangs fails the test instead of stalling it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "golden/glyphs.h"
#include "program_run.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTimedOut = -2;

// One run of the program in cwd with its own home folder; stderr goes to errFile.
class Child {
 public:
  Child(const std::vector<std::string>& args, const std::string& cwd, const std::string& home,
        const std::string& errFile) {
    pid_ = fork();
    if (pid_ != 0) return;
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = open("/dev/null", O_RDWR);
    test::ExecMorvik(args, {cwd, home, "", false, "", ""}, null, null, err);
  }
  ~Child() {
    if (pid_ > 0 && status_ == -1) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  void Kill() { kill(pid_, SIGKILL); }
  // The exit status, 128 + signal when killed, kTimedOut (and the child killed) after 20 s.
  int Wait() {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        return status_ = kTimedOut;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

struct RunResult {
  int status;
  std::string err;
};

class ResultFiles : public testing::Test {
 protected:
  ResultFiles() {
    fs::create_directory(dir.File("home"));
    fs::create_directory(dir.File("learn"));
    fs::create_directory(dir.File("pics"));
    for (int k = 0; k < 10; ++k)
      test::WriteGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"),
                       static_cast<char>('0' + k));
  }
  RunResult Run(const std::vector<std::string>& args) {
    Child child(args, dir.Path(), dir.File("home"), dir.File("err"));
    const int status = child.Wait();
    return {status, test::ReadFile(dir.File("err"))};
  }
  // The digits learned and saved as <folder>/default.pcp, and rows x columns pictures of
  // digits (the same file copied, which is quick for many).
  void Prepare(const std::string& folder, int rows, int columns) {
    ASSERT_EQ(Run({"--learn", "learn", "--save", folder + "/default"}).status, 0);
    fs::rename(dir.File(folder + "/default.PCP"), dir.File(folder + "/default.pcp"));
    for (int d = 0; d < 10; ++d)
      test::WriteGlyph(dir.File(folder + "/digit" + std::to_string(d)), static_cast<char>('0' + d));
    for (int r = 1; r <= rows; ++r)
      for (int c = 0; c < columns; ++c)
        fs::copy_file(
            dir.File(folder + "/digit" + std::to_string((r + c) % 10)),
            dir.File(folder + "/" + std::to_string(r) + "_" + std::to_string(c) + ".bmp"));
  }
  std::string Read(const std::string& name) { return test::ReadFile(dir.File(name)); }
  // Names in folder that are left-over temporaries of the result files.
  std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : test::FolderEntries(dir.File(folder)))
      if (name.find(".morvik-tmp-") != std::string::npos) found.push_back(name);
    return found;
  }

  test::TempDir dir;
};

// Two runs that write different results (fixed and dynamic naming) started together, many
// times: each result file is always whole and from one of the two runs, never a mix.
TEST_F(ResultFiles, TwoRunsAtOnceEachLeaveWholeFiles) {
  Prepare("pics", 3, 8);
  const std::vector<std::vector<std::string>> runs = {{"pics"}, {"pics", "--dynamic"}};
  std::vector<std::string> txt, out;
  for (const auto& args : runs) {
    ASSERT_EQ(Run(args).status, 0);
    txt.push_back(Read("pics/result.txt"));
    out.push_back(Read("pics/result.out"));
  }
  ASSERT_NE(txt[0], txt[1]);
  ASSERT_NE(out[0], out[1]);
  for (int attempt = 0; attempt < 25; ++attempt) {
    Child a(runs[0], dir.Path(), dir.File("home"), dir.File("err0"));
    Child b(runs[1], dir.Path(), dir.File("home"), dir.File("err1"));
    EXPECT_EQ(a.Wait(), 0) << Read("err0");
    EXPECT_EQ(b.Wait(), 0) << Read("err1");
    const std::string t = Read("pics/result.txt"), o = Read("pics/result.out");
    EXPECT_TRUE(t == txt[0] || t == txt[1]) << "attempt " << attempt << ":\n" << t;
    EXPECT_TRUE(o == out[0] || o == out[1]) << "attempt " << attempt << ":\n" << o;
    EXPECT_TRUE(Temporaries("pics").empty());
  }
}

// A run killed while it works leaves the previous result files whole (at most a temporary
// of its own beside them); only a run that got to its end replaces them, whole.
TEST_F(ResultFiles, KilledRunLeavesOldFilesWhole) {
  Prepare("pics", 12, 50);
  ASSERT_EQ(Run({"pics"}).status, 0);
  const std::string newTxt = Read("pics/result.txt"), newOut = Read("pics/result.out");
  int killedMidRun = 0;
  for (int delayMs : {0, 2, 5, 10, 20, 40}) {
    test::WriteFile(dir.File("pics/result.txt"), "old txt\r\n");
    test::WriteFile(dir.File("pics/result.out"), "old out\r\n");
    Child child({"pics"}, dir.Path(), dir.File("home"), dir.File("err"));
    // Wait until the run has begun writing (its temporaries exist), then a little more.
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (Temporaries("pics").empty() && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    child.Kill();
    const int status = child.Wait();
    const std::string t = Read("pics/result.txt"), o = Read("pics/result.out");
    if (status == 128 + SIGKILL && t == "old txt\r\n") ++killedMidRun;
    EXPECT_TRUE(t == "old txt\r\n" || t == newTxt) << "after " << delayMs << " ms:\n" << t;
    EXPECT_TRUE(o == "old out\r\n" || o == newOut) << "after " << delayMs << " ms:\n" << o;
    for (const std::string& name : Temporaries("pics")) {
      EXPECT_TRUE(name.rfind("result.txt.morvik-tmp-", 0) == 0 ||
                  name.rfind("result.out.morvik-tmp-", 0) == 0)
          << name;
      fs::remove(dir.File("pics/" + name));
    }
  }
  EXPECT_GT(killedMidRun, 0) << "every run ended before it was killed; use more pictures";
}

// Outputs that may not be replaced end the run with exit status 1 and a message naming them;
// they stay as they were, and a FIFO is never opened (no run waits for a reader).
TEST_F(ResultFiles, OutputsThatMayNotBeReplacedAreReported) {
  Prepare("pics", 1, 2);
  fs::create_directories(dir.File("pics/sub"));
  fs::copy_file(dir.File("pics/1_0.bmp"), dir.File("pics/sub/0_0.bmp"));
  struct Case {
    const char* output;
    std::vector<std::string> args;
    const char* kind;
  };
  const Case cases[] = {
      {"pics/result.txt", {"pics"}, "read-only"},
      {"pics/result.out", {"pics", "--dynamic"}, "read-only"},
      {"pics/result.txt", {"pics"}, "folder"},
      {"pics/result.out", {"pics"}, "fifo"},
      {"pics/batchresult.out", {"pics", "--batch"}, "fifo"},
      {"pics/batchresult.txt", {"pics", "--batch"}, "read-only"},
      {"pics/sub/result.txt", {"pics", "--batch"}, "fifo"},
      {"report.tsv", {"pics", "--report", "report.tsv"}, "fifo"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File(c.output);
    const std::string kind = c.kind;
    if (kind == "read-only") {
      test::WriteFile(path, "old");
      chmod(path.c_str(), 0444);  // read-only for root too: the mode bits decide
    } else if (kind == "folder") {
      fs::create_directory(path);
    } else {
      ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
    }
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, 1) << c.output << " " << kind << ": " << r.err;
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    EXPECT_TRUE(kind != "read-only" || Read(c.output) == "old") << c.output;
    EXPECT_TRUE(kind != "folder" || fs::is_directory(path)) << c.output;
    EXPECT_TRUE(kind != "fifo" || fs::is_fifo(path)) << c.output;
    fs::remove(path);
  }
}

// A link planted where a result goes is replaced by the result; what it named is untouched.
TEST_F(ResultFiles, PlantedLinksAreReplacedNotWrittenThrough) {
  Prepare("pics", 1, 2);
  fs::create_directories(dir.File("pics/sub"));
  fs::copy_file(dir.File("pics/1_0.bmp"), dir.File("pics/sub/0_0.bmp"));
  test::WriteFile(dir.File("precious"), "keep");
  for (const char* name :
       {"pics/result.txt", "pics/batchresult.txt", "pics/batchresult.out", "pics/sub/result.out"})
    fs::create_symlink(dir.File("precious"), dir.File(name));
  ASSERT_EQ(Run({"pics"}).status, 0);
  ASSERT_EQ(Run({"pics", "--batch"}).status, 0);
  EXPECT_EQ(Read("precious"), "keep");
  for (const char* name :
       {"pics/result.txt", "pics/batchresult.txt", "pics/batchresult.out", "pics/sub/result.out"})
    EXPECT_FALSE(fs::is_symlink(dir.File(name))) << name;
  EXPECT_EQ(Read("pics/sub/result.out").substr(0, 3), "2\r\n");  // 1_0.bmp shows a 1
}

// Inputs named like a set, a map, expected text or the settings that are FIFOs never make a
// run wait: they are not regular files, so they are not read.
TEST_F(ResultFiles, FifoInputsNeverHang) {
  Prepare("pics", 1, 2);
  fs::create_directories(dir.File("pics/sub"));
  fs::copy_file(dir.File("pics/1_0.bmp"), dir.File("pics/sub/0_0.bmp"));
  fs::remove(dir.File("pics/default.PCT"));
  for (const char* name : {"pics/default.PCP", "pics/default.PCT", "charmap.txt",
                           "pics/compare.txt", "home/morvik.ini", "map.txt"})
    ASSERT_EQ(mkfifo(dir.File(name).c_str(), 0666), 0) << name;
  const std::vector<std::vector<std::string>> runs = {
      {"pics"}, {"pics", "--batch"}, {"pics", "--charmap", "map.txt"}};
  for (const auto& args : runs) {
    const RunResult r = Run(args);
    EXPECT_NE(r.status, kTimedOut) << args.back();
    EXPECT_LE(r.status, 3) << args.back() << ": " << r.err;
  }
}

TEST_F(ResultFiles, TooLongFolderPathIsReportedAsTooLong) {
  const std::string longName(300, 'x');
  std::string deep = "pics";
  while (deep.size() < 5000) deep += "/abcdefghijklmnop";
  for (const std::string& folder : {longName, deep}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{folder}, std::vector<std::string>{"--learn", folder}}) {
      const RunResult r = Run(args);
      EXPECT_EQ(r.status, 2) << r.err;
      EXPECT_EQ(r.err.rfind("morvik: folder name too long: ", 0), 0u) << r.err.substr(0, 80);
    }
  }
}

}  // namespace
}  // namespace morvik
