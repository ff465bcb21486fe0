// SPDX-License-Identifier: MIT
// Runs one command and prints what it cost: its wall time, and the
// processor time it used in user and in system mode, in seconds, on one
// line.  The benchmark runner times every program through it alike.
//
//   timed DIR INPUT OUTPUT COMMAND [ARGUMENT...]
//
// COMMAND runs in DIR, its standard input read from INPUT and its standard
// output written to OUTPUT (created or emptied).  timed fails, saying so
// on standard error, when the command cannot run or does not end with 0.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

double seconds(const timespec& time) {
  return static_cast<double>(time.tv_sec) + time.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: timed DIR INPUT OUTPUT COMMAND [ARGUMENT...]\n");
    return 2;
  }
  const int input = open(argv[2], O_RDONLY | O_CLOEXEC);
  const int output = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (input < 0 || output < 0) {
    std::perror("timed");
    return 1;
  }
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(argv[1]) == 0 && dup2(input, 0) == 0 && dup2(output, 1) == 1)
      execvp(argv[4], argv + 4);
    std::perror(argv[4]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) {
    std::perror("timed");
    return 1;
  }
  timespec end{};
  clock_gettime(CLOCK_MONOTONIC, &end);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "timed: %s did not end with 0\n", argv[4]);
    return 1;
  }
  std::printf("%.6f %.6f %.6f\n", seconds(end) - seconds(start), seconds(usage.ru_utime),
              seconds(usage.ru_stime));
  return 0;
}
