// A second reading of a PE32 file that shares nothing with the program's own
// decoder: what objdump reports, and where objdump prints nothing, the raw
// little-endian bytes. Expected cell texts are formatted here with printf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace twinlens::realpe {

// "%0*X": `digits` upper-case hex digits.
std::string hex(std::uint64_t value, int digits);

// The file's bytes, read little-endian at absolute offsets.
class RawFile {
 public:
  explicit RawFile(const std::filesystem::path& path);
  std::size_t size() const { return bytes_.size(); }
  std::uint32_t u16(std::size_t offset) const;
  std::uint32_t u32(std::size_t offset) const;
  // `count` 16-bit words as one text, word 0 first, 4 digits each.
  std::string words(std::size_t offset, std::size_t count) const;
  // The zero-terminated (or `limit`-long) byte string at `offset`.
  std::string text(std::size_t offset, std::size_t limit) const;

 private:
  std::vector<std::uint8_t> bytes_;
};

struct ObjdumpSection {
  std::string name;  // as objdump prints it: long names resolved from the string table
  std::uint32_t size = 0;
  std::uint32_t vma = 0;
  std::uint32_t file_offset = 0;
  std::vector<std::string> flags;  // CONTENTS, ALLOC, READONLY, CODE, ...

  bool has_flag(const std::string& flag) const;
};

struct ObjdumpDirectoryEntry {
  std::uint32_t virtual_address = 0;
  std::uint32_t size = 0;
};

struct ObjdumpReport {
  std::string format;  // "pei-i386"
  // From `objdump -p`: each "Key value ..." line of the header part, the
  // first word after the key, as printed ("010b", "2", "00001800", "0x106").
  std::map<std::string, std::string> fields;
  std::uint32_t time_date_stamp = 0;  // "Time/Date", read back from its UTC text
  std::vector<ObjdumpDirectoryEntry> directory;
  std::vector<ObjdumpSection> sections;  // from `objdump -h`
  std::uint32_t symbol_count = 0;        // entries of `objdump -t`, auxiliary ones included

  // A field's number; fails the test if objdump did not print the field.
  std::uint32_t number(const std::string& key, int base) const;
};

// Runs objdump (-p, -h, -t) on the file and parses what it prints. Failures
// are reported as gtest failures; the report is then incomplete.
ObjdumpReport read_with_objdump(const std::filesystem::path& file);

}  // namespace twinlens::realpe
