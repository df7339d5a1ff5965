#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_process_runner.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

using testing::TempFolder;
using testing::writeText;

TEST(ProcessRunnerTest, ExitStatusOrMinusOneWhenNothingCouldRun) {
  TempFolder temp;
  writeText(temp / "not-executable", "#!/bin/true\n");
  ::chmod((temp / "not-executable").c_str(), 0644);
  struct Case {
    std::string executable;
    std::vector<std::string> arguments;
    int status;
  };
  PosixProcessRunner runner;
  for (const Case& c : std::vector<Case>{
           {"/bin/true", {}, 0},
           {"/bin/false", {}, 1},
           // timeout ends itself with the signal that ended its command
           {"/usr/bin/timeout", {"--preserve-status", "-s", "KILL", "0.05", "/bin/sleep", "5"}, -1},
           {temp / "missing", {}, -1},
           {temp / "not-executable", {}, -1},
           {temp.path(), {}, -1},
           {"true", {}, -1},
           {"", {}, -1}}) {
    EXPECT_EQ(runner.run(c.executable, c.arguments), c.status) << c.executable;
    if (c.status < 0) {
      EXPECT_EQ(runner.runCapturingOutput(c.executable, c.arguments), "") << c.executable;
    }
  }
}

TEST(ProcessRunnerTest, EachArgumentArrivesAsExactlyOneUnchanged) {
  const std::vector<std::string> awkward = {"",       "two words", "new\nline", "-n",
                                            "\xff\xfe", "*",         "$HOME",     "a'b\"c"};
  std::vector<std::string> arguments = {"%s\\0"};
  arguments.insert(arguments.end(), awkward.begin(), awkward.end());
  std::string expected;
  for (const std::string& argument : awkward) expected += argument + '\0';
  EXPECT_EQ(PosixProcessRunner().runCapturingOutput("/usr/bin/printf", arguments), expected);
  EXPECT_EQ(PosixProcessRunner().runCapturingOutput("/bin/echo", {"pixelHeight: 800"}),
            "pixelHeight: 800\n");
}

TEST(ProcessRunnerTest, ChildrenDoNotTakeTheUsersInput) {
  int typed[2];
  ASSERT_EQ(::pipe(typed), 0);
  ASSERT_EQ(::write(typed[1], "typed\n", 6), 6);
  ::close(typed[1]);
  int savedInput = ::dup(0);
  ::dup2(typed[0], 0);
  std::string output = PosixProcessRunner().runCapturingOutput("/bin/cat", {});
  ::dup2(savedInput, 0);
  ::close(savedInput);
  char left[16] = {};
  EXPECT_EQ(output, "");
  EXPECT_EQ(::read(typed[0], left, sizeof left), 6);
  ::close(typed[0]);
}

TEST(ProcessRunnerTest, LargeOutputIsReadToItsEnd) {
  // Far beyond a pipe's buffer: a runner that reads only after the child ends would hang here.
  std::string output =
      PosixProcessRunner().runCapturingOutput("/usr/bin/head", {"-c", "5000000", "/dev/zero"});
  EXPECT_EQ(output, std::string(5000000, '\0'));
}

TEST(ProcessRunnerTest, WaitingHookRunsWhileTheChildRuns) {
  int calls = 0;
  PosixProcessRunner runner([&calls] { ++calls; });
  EXPECT_EQ(runner.run("/bin/sleep", {"0.3"}), 0);
  EXPECT_GE(calls, 5);   // about every 20 ms
  EXPECT_LE(calls, 30);  // not a busy loop
  calls = 0;
  EXPECT_EQ(runner.runCapturingOutput("/bin/sleep", {"0.2"}), "");
  EXPECT_GE(calls, 3);
  EXPECT_EQ(runner.runCapturingOutput("/usr/bin/head", {"-c", "3000000", "/dev/zero"}).size(),
            3000000u);
}

extern "C" void countAlarm(int) {}

TEST(ProcessRunnerTest, InterruptedWaitsAreResumed) {
  struct sigaction action = {};
  action.sa_handler = countAlarm;  // no SA_RESTART: every alarm interrupts the system call
  struct sigaction previous;
  ::sigaction(SIGALRM, &action, &previous);
  struct itimerval every = {{0, 1000}, {0, 1000}};
  ::setitimer(ITIMER_REAL, &every, nullptr);

  for (bool withHook : {false, true}) {
    PosixProcessRunner runner(withHook ? std::function<void()>([] {}) : std::function<void()>());
    EXPECT_EQ(runner.run("/bin/sleep", {"0.1"}), 0) << withHook;
    EXPECT_EQ(runner.run("/bin/false", {}), 1) << withHook;
    EXPECT_EQ(runner.runCapturingOutput("/usr/bin/head", {"-c", "2000000", "/dev/zero"}).size(),
              2000000u)
        << withHook;
  }

  struct itimerval off = {};
  ::setitimer(ITIMER_REAL, &off, nullptr);
  ::sigaction(SIGALRM, &previous, nullptr);
}

}  // namespace
}  // namespace lensbrook
