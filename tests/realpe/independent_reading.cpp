#include "independent_reading.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace twinlens::realpe {
namespace {

std::string shell_quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs objdump with `option` on `file` and returns what it prints. ctime()
// texts in its output are in UTC.
std::string objdump(const char* option, const std::filesystem::path& file) {
  const std::string command = "TZ=UTC0 LC_ALL=C " + shell_quoted(TWINLENS_OBJDUMP) + " " + option +
                              " " + shell_quoted(file.string()) + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return {};
  }
  std::string output;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << command << " failed:\n" << output;
  }
  return output;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::uint32_t parse_hex(const std::string& text) {
  return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
}

// "Fri Dec 11 15:52:31 2026", a UTC time, as seconds since 1970.
std::uint32_t parse_utc_time(const std::string& text) {
  std::tm parts{};
  if (::strptime(text.c_str(), "%a %b %d %H:%M:%S %Y", &parts) == nullptr) {
    ADD_FAILURE() << "unreadable Time/Date: " << text;
    return 0;
  }
  return static_cast<std::uint32_t>(::timegm(&parts));
}

void parse_private_headers(const std::string& output, ObjdumpReport& report) {
  static const std::regex format_line(R"(file format (\S+))");
  static const std::regex entry_line(R"(^Entry ([0-9a-f]) ([0-9a-f]{8}) ([0-9a-f]{8}) )");
  bool in_directory = false;
  for (const std::string& line : lines_of(output)) {
    std::smatch match;
    if (report.format.empty() && std::regex_search(line, match, format_line)) {
      report.format = match[1];
    } else if (line.rfind("The Data Directory", 0) == 0) {
      in_directory = true;
    } else if (in_directory) {
      if (std::regex_search(line, match, entry_line)) {
        report.directory.push_back({parse_hex(match[2]), parse_hex(match[3])});
      }
    } else if (line.rfind("Time/Date", 0) == 0) {
      const auto start = line.find_first_not_of(" \t", 9);
      report.time_date_stamp = parse_utc_time(line.substr(start));
    } else if (!line.empty() && line[0] != '\t' && line[0] != ' ') {
      // "Key<tabs>value<tab>(note)"; lines that start with white space list
      // the names of flags.
      std::istringstream words(line);
      std::string key, value;
      if (words >> key >> value) report.fields.emplace(key, value);
    }
  }
}

void parse_section_headers(const std::string& output, ObjdumpReport& report) {
  static const std::regex section_line(
      R"(^\s*\d+ (\S+)\s+([0-9a-f]{8})\s+([0-9a-f]{8})\s+[0-9a-f]{8}\s+([0-9a-f]{8})\s+2\*\*\d+\s*$)");
  const auto lines = lines_of(output);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::smatch match;
    if (!std::regex_match(lines[i], match, section_line)) continue;
    ObjdumpSection section;
    section.name = match[1];
    section.size = parse_hex(match[2]);
    section.vma = parse_hex(match[3]);
    section.file_offset = parse_hex(match[4]);
    // The next line lists the section's flags: "CONTENTS, ALLOC, LOAD, ...".
    if (i + 1 < lines.size()) {
      std::istringstream flags(lines[i + 1]);
      for (std::string flag; flags >> flag;) {
        if (!flag.empty() && flag.back() == ',') flag.pop_back();
        section.flags.push_back(flag);
      }
    }
    report.sections.push_back(section);
  }
}

// Each "[index](...)(nx aux)" line is one entry followed by `aux` auxiliary
// entries; the table holds up to the last one.
void parse_symbol_table(const std::string& output, ObjdumpReport& report) {
  static const std::regex symbol_line(R"(^\[\s*(\d+)\].*\(nx (\d+)\))");
  for (const std::string& line : lines_of(output)) {
    std::smatch match;
    if (!std::regex_search(line, match, symbol_line)) continue;
    const auto end = std::stoul(match[1]) + 1 + std::stoul(match[2]);
    report.symbol_count = std::max(report.symbol_count, static_cast<std::uint32_t>(end));
  }
}

}  // namespace

std::string hex(std::uint64_t value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

RawFile::RawFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes_.empty()) ADD_FAILURE() << "cannot read " << path;
}

std::uint32_t RawFile::u16(std::size_t offset) const {
  return std::uint32_t{bytes_.at(offset)} | std::uint32_t{bytes_.at(offset + 1)} << 8;
}

std::uint32_t RawFile::u32(std::size_t offset) const {
  return u16(offset) | u16(offset + 2) << 16;
}

std::string RawFile::words(std::size_t offset, std::size_t count) const {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += hex(u16(offset + 2 * i), 4);
  return text;
}

std::string RawFile::text(std::size_t offset, std::size_t limit) const {
  std::string result;
  for (std::size_t i = 0; i < limit && offset + i < bytes_.size(); ++i) {
    if (bytes_[offset + i] == 0) break;
    result += static_cast<char>(bytes_[offset + i]);
  }
  return result;
}

bool ObjdumpSection::has_flag(const std::string& flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::uint32_t ObjdumpReport::number(const std::string& key, int base) const {
  const auto found = fields.find(key);
  if (found == fields.end()) {
    ADD_FAILURE() << "objdump printed no " << key;
    return 0;
  }
  return static_cast<std::uint32_t>(std::stoul(found->second, nullptr, base));
}

ObjdumpReport read_with_objdump(const std::filesystem::path& file) {
  ObjdumpReport report;
  parse_private_headers(objdump("-p", file), report);
  parse_section_headers(objdump("-h", file), report);
  parse_symbol_table(objdump("-t", file), report);
  EXPECT_EQ(report.directory.size(), 16u) << file;
  return report;
}

}  // namespace twinlens::realpe
