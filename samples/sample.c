/* The program behind the two sample files. It imports from msvcrt and
   kernel32, so both samples have an import directory and load. */
#include <stdio.h>

int main(void) {
  puts("Twinlens sample");
  return 0;
}
