// The built program, run as a process with its standard streams arranged.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kListing = "0 0\n0 1\n0 2\n1 1\n1 2\n2 2\n";

enum class Input { DevNull, Closed };
enum class Output { Pipe, DevFull, Closed, PipeWithNoReader };

// How a child ends when no seccomp filter can make close(1) fail for it.
constexpr int kNoSeccompStatus = 125;

struct Outcome {
  std::string ended; // "exit 0", "signal 13", ...
  std::string out;
  std::string err;
};

std::string readToEnd(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count > 0) {
      text.append(chunk, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      return text;
    }
  }
}

// The seccomp architecture of the system calls this test makes, and so of
// the program it runs; 0 where this list does not know it.
constexpr __u32 kAuditArch =
#if defined(__x86_64__)
    AUDIT_ARCH_X86_64;
#elif defined(__i386__)
    AUDIT_ARCH_I386;
#elif defined(__aarch64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    AUDIT_ARCH_AARCH64;
#elif defined(__arm__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    AUDIT_ARCH_ARM;
#elif defined(__powerpc64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    AUDIT_ARCH_PPC64LE;
#elif defined(__riscv) && __riscv_xlen == 64
    AUDIT_ARCH_RISCV64;
#elif defined(__s390x__)
    AUDIT_ARCH_S390X;
#else
    0;
#endif

// A system call's argument is 64 bits in seccomp_data whatever the
// processor; a file descriptor is its low 32, last on a big-endian one.
constexpr std::size_t kFirstArgLow32 =
    offsetof(seccomp_data, args[0]) +
    (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? sizeof(__u32) : 0);

// Makes every later close(STDOUT_FILENO) in this process fail with the given
// errno, as NFS or FUSE report a write lost at close, through a seccomp
// filter that survives exec. Async-signal-safe; false where no filter can be
// installed (a kernel without seccomp, or qemu-user, which refuses them).
bool failCloseOfStdout(int error) {
  const auto word = [](std::size_t offset) -> sock_filter {
    return BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<__u32>(offset));
  };
  const auto unlessEqual = [](__u32 value) -> sock_filter {
    return BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, value, 1, 0);
  };
  const sock_filter allow = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
  sock_filter filter[] = {
      word(offsetof(seccomp_data, arch)),
      unlessEqual(kAuditArch),
      allow,
      word(offsetof(seccomp_data, nr)),
      unlessEqual(__NR_close),
      allow,
      word(kFirstArgLow32),
      unlessEqual(STDOUT_FILENO),
      allow,
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<__u32>(error)),
  };
  const sock_fprog program{sizeof filter / sizeof filter[0], filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Runs pairs with the arguments given; with closeError, its close of
// standard output fails with that errno.
Outcome runPairs(std::vector<std::string> args, Input input, Output output,
                 int closeError = 0) {
  std::string program = PAIRS_EXECUTABLE;
  std::vector<char *> argv{program.data()};
  for (std::string &arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe2 failed";
    return {};
  }
  if (output == Output::PipeWithNoReader) {
    close(outPipe[0]);
  }

  const pid_t child = fork();
  if (child == 0) {
    // Only async-signal-safe calls until exec. Descriptors opened here are
    // close-on-exec; dup2 hands the program copies that are not.
    if (input == Input::Closed) {
      close(STDIN_FILENO);
    } else {
      dup2(open("/dev/null", O_RDONLY | O_CLOEXEC), STDIN_FILENO);
    }
    if (output == Output::Closed) {
      close(STDOUT_FILENO);
    } else if (output == Output::DevFull) {
      dup2(open("/dev/full", O_WRONLY | O_CLOEXEC), STDOUT_FILENO);
    } else {
      dup2(outPipe[1], STDOUT_FILENO);
    }
    dup2(errPipe[1], STDERR_FILENO);
    signal(SIGPIPE, SIG_DFL); // as from a shell, whatever the test runner set
    if (closeError != 0 && !failCloseOfStdout(closeError)) {
      _exit(kNoSeccompStatus);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }

  close(outPipe[1]);
  close(errPipe[1]);
  Outcome run;
  if (output != Output::PipeWithNoReader) {
    run.out = readToEnd(outPipe[0]);
    close(outPipe[0]);
  }
  run.err = readToEnd(errPipe[0]);
  close(errPipe[0]);

  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) {
    ADD_FAILURE() << "could not start or wait for " << argv[0];
    return run;
  }
  run.ended = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                : "signal " + std::to_string(WTERMSIG(status));
  return run;
}

TEST(PairsProgram, WritesTheListingAndSucceedsWhateverItIsGiven) {
  struct Start {
    const char *what;
    std::vector<std::string> args;
    Input input;
  };
  const Start starts[] = {
      {"no arguments", {}, Input::DevNull},
      {"arguments", {"--help", "-n", "5", ""}, Input::DevNull},
      {"standard input closed", {}, Input::Closed},
  };
  for (const Start &start : starts) {
    SCOPED_TRACE(start.what);
    const Outcome run = runPairs(start.args, start.input, Output::Pipe);
    EXPECT_EQ(run.out, kListing);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.ended, "exit 0");
  }
}

TEST(PairsProgram, ReportsALostListingByStatusOneAndNothingElse) {
  for (const Output output : {Output::DevFull, Output::Closed}) {
    SCOPED_TRACE(output == Output::DevFull ? "/dev/full" : "closed");
    const Outcome run = runPairs({}, Input::DevNull, output);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.ended, "exit 1");
  }
}

TEST(PairsProgram, ReportsAListingLostAtCloseByStatusOneAndNothingElse) {
  if (kAuditArch == 0) {
    GTEST_SKIP() << "this test knows no seccomp architecture for this "
                    "processor, so cannot make close(1) fail";
  }
  for (const int error : {EIO, ENOSPC, EDQUOT}) {
    SCOPED_TRACE(strerror(error));
    const Outcome run = runPairs({}, Input::DevNull, Output::Pipe, error);
    if (run.ended == "exit " + std::to_string(kNoSeccompStatus)) {
      GTEST_SKIP() << "no seccomp filter can be installed here to fail "
                      "close(1): the kernel has none, or qemu-user, which "
                      "refuses them, runs the test";
    }
    EXPECT_EQ(run.out, kListing);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.ended, "exit 1");
  }
}

TEST(PairsProgram, IsEndedBySigpipeWhenTheReaderHasGone) {
  const Outcome run = runPairs({}, Input::DevNull, Output::PipeWithNoReader);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.ended, "signal " + std::to_string(SIGPIPE));
}

} // namespace
