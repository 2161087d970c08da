// Writes the fuzzer's seed corpus into the folder given as the argument:
// small PE32 files from the test builder, each one step of the loader away
// from the next outcome.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/pe_builder.h"

namespace {

using twinlens::test::Bytes;
using twinlens::test::make_pe32;
using twinlens::test::PeSpec;

std::vector<std::pair<std::string, Bytes>> seeds() {
  std::vector<std::pair<std::string, Bytes>> files;
  files.emplace_back("valid", make_pe32());

  PeSpec no_imports;
  no_imports.import_size = 0;
  files.emplace_back("no-imports", make_pe32(no_imports));

  PeSpec no_sections;
  no_sections.sections.clear();
  files.emplace_back("zero-sections", make_pe32(no_sections));

  // The NT headers right behind the DOS header, e_lfanew negative.
  PeSpec behind_dos;
  behind_dos.e_lfanew = 64;
  Bytes negative = make_pe32(behind_dos);
  twinlens::test::put32(negative, twinlens::test::kLfanewOffset, 0xFFFFFC18u);
  files.emplace_back("negative-e_lfanew", negative);

  Bytes truncated = make_pe32();
  truncated.resize(0x80 + 100);
  files.emplace_back("truncated-nt-headers", truncated);

  Bytes short_sections = make_pe32();
  short_sections.pop_back();
  files.emplace_back("truncated-section-headers", short_sections);
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : seeds()) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
      return 1;
    }
  }
  return 0;
}
