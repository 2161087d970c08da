/* A DLL with one export: an export directory and an image base far from the
   programs' 0x00400000. */
__attribute__((dllexport)) int twinlens_next(int value) {
  return value + 1;
}
