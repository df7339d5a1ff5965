// The least a droplet can spend starting its tool: for each item, the size probe through a pipe read
// to its end, then the processing run, each started with posix_spawn and reaped with waitpid.
// Run it under measure_run for the time.  Usage: spawn_loop COUNT TOOL ITEM
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

static int run(char *const argv[], int capture) {
  int fds[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (capture) {
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
  }
  pid_t pid;
  int rc = posix_spawn(&pid, argv[0], &actions, NULL, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (capture) {
    close(fds[1]);
    char buf[4096];
    while (read(fds[0], buf, sizeof buf) > 0) {
    }
    close(fds[0]);
  }
  if (rc != 0) return -1;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: spawn_loop COUNT TOOL ITEM\n");
    return 2;
  }
  long count = strtol(argv[1], NULL, 10);
  char *probe[] = {argv[2], "-g", "pixelHeight", "-g", "pixelWidth", argv[3], NULL};
  char *work[] = {argv[2], "--resampleHeightWidthMax", "800", "-s", "format", "jpeg", argv[3], "--out",
                  argv[3], NULL};
  for (long i = 0; i < count; ++i)
    if (run(probe, 1) != 0 || run(work, 0) != 0) {
      fprintf(stderr, "spawn_loop: %s failed\n", argv[2]);
      return 1;
    }
  return 0;
}
