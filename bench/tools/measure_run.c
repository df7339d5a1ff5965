// Runs one command and prints "WALL_SECONDS MAX_RSS_KIB EXIT CPU_SECONDS" for it, as GNU time would
// but with nanosecond wall time; CPU is user plus system time of the command and the children it waited for. A small process of its own, so its memory is no floor under the child's:
// the peak that wait4 reports carries the spawning process's pages over exec.
// Usage: measure_run STDIN STDOUT STDERR COMMAND [ARG...]   (COMMAND an absolute path)
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

int main(int argc, char **argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: measure_run STDIN STDOUT STDERR COMMAND [ARG...]\n");
    return 2;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, argv[1], O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  struct timespec a, b;
  pid_t pid;
  clock_gettime(CLOCK_MONOTONIC, &a);
  int rc = posix_spawn(&pid, argv[4], &actions, NULL, argv + 4, environ);
  if (rc != 0) {
    fprintf(stderr, "measure_run: cannot start %s\n", argv[4]);
    return 127;
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return 126;
  clock_gettime(CLOCK_MONOTONIC, &b);
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  double wall = (b.tv_sec - a.tv_sec) + (b.tv_nsec - a.tv_nsec) / 1e9;
  double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  printf("%.9f %ld %d %.6f\n", wall, usage.ru_maxrss, code, cpu);
  return 0;
}
