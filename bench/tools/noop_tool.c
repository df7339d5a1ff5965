// An image tool that does no image work: it answers the size probe with a fixed size and exits 0,
// so a droplet run with it measures everything the droplet does around its tool.
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv) {
  if (argc > 1 && strcmp(argv[1], "-g") == 0)
    printf("%s\n  pixelHeight: 3000\n  pixelWidth: 4000\n", argv[argc - 1]);
  return 0;
}
