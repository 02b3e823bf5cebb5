/* The floor: the least a program can do for this job, statically linked. Anything that costs
   about this much costs about as much as exec itself. */
#include <sys/stat.h>

int main(int argc, char **argv) {
  struct stat status;
  if (argc > 1 && stat(argv[1], &status) != 0) mkdir(argv[1], 0777);
  return 0;
}
