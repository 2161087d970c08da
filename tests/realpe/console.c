/* A console program as the 32-bit MinGW toolchain links it by default: with
   its symbol table and long debug section names kept. */
#include <stdio.h>

int counter = 3;

int main(int argc, char** argv) {
  (void)argv;
  printf("%d\n", counter + argc);
  return 0;
}
