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
using twinlens::test::put16;
using twinlens::test::put32;

constexpr std::size_t kNt = 0x80;  // e_lfanew of make_pe32's files

std::vector<std::pair<std::string, Bytes>> seeds() {
  std::vector<std::pair<std::string, Bytes>> files;
  const Bytes valid = make_pe32();
  files.emplace_back("valid", valid);

  Bytes no_imports = valid;
  put32(no_imports, kNt + twinlens::test::kImportSizeOffset, 0);
  files.emplace_back("no-imports", no_imports);

  Bytes no_sections = valid;
  put16(no_sections, kNt + twinlens::test::kNumberOfSectionsOffset, 0);
  no_sections.resize(kNt + twinlens::test::kSectionTableOffset);
  files.emplace_back("zero-sections", no_sections);

  // The NT headers moved right behind the DOS header, with e_lfanew
  // negative: a negative seek leaves the reader there.
  Bytes negative(valid.begin(), valid.begin() + 64);
  negative.insert(negative.end(), valid.begin() + kNt, valid.end());
  put32(negative, twinlens::test::kLfanewOffset, 0xFFFFFC18u);
  files.emplace_back("negative-e_lfanew", negative);

  Bytes truncated = valid;
  truncated.resize(kNt + 100);
  files.emplace_back("truncated-nt-headers", truncated);

  Bytes short_sections = valid;
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
