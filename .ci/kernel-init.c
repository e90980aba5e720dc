/* The first process of .ci/check-kernels' initramfs: mounts /dev, runs the
 * tests on the console, says how they ended and powers the machine off. */

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
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    status = 255 << 8;
  }
  printf("pairs-ci: the tests exited %d\n", WEXITSTATUS(status));
  fflush(stdout);
  sync();
  reboot(RB_POWER_OFF);
  return 1;
}
