/* Runs a command and prints its peak resident set in KiB. A small static program that forks
   (not vfork) so the child's peak is the command's own, not its spawner's. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  pid_t child = fork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status;
  struct rusage usage;
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 2;
  printf("%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
