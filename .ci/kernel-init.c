/* The first process of the initramfs in which .ci/check-kernels runs the
 * tests on a processor's own kernel: it mounts /dev, makes the console its
 * output, runs the tests, prints how they ended, and powers the machine off. */

#include <fcntl.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/wait.h>
#include <unistd.h>

int main(void) {
  mount("devtmpfs", "/dev", "devtmpfs", 0, NULL);
  const int console = open("/dev/console", O_RDWR);
  for (int fd = 0; fd < 3; ++fd) {
    dup2(console, fd);
  }
  const pid_t child = fork();
  if (child == 0) {
    char *argv[] = {"/pairs_tests", "--gtest_color=no", NULL};
    execv(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) {
    status = 255 << 8;
  }
  printf("pairs-ci: the tests %s %d\n",
         WIFEXITED(status) ? "exited" : "were killed by signal",
         WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
  fflush(stdout);
  sync();
  reboot(RB_POWER_OFF);
  return 1;
}
