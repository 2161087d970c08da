// Loads a small PE32 file and a 1 GiB sparse file with the same headers many
// times each and prints the mean time per load. The loader reads only the
// headers, so the two must take about as long.
//
// Usage: twinlens_load_benchmark [LOADS]   (default 2000 per file and round)
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/globals.h"
#include "pe/file_reader.h"
#include "pe/load_file.h"
#include "pe/user_message.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"
#include "tables/field_tables.h"
#include "tables/memory_tables.h"

namespace twinlens {
namespace {

constexpr std::uintmax_t kLargeSize = std::uintmax_t{1} << 30;
constexpr int kRounds = 3;

int g_messages = 0;

// Counts the bytes the loader asks for, for one load of each file.
class CountingReader : public FileReader {
 public:
  CountingReader(std::unique_ptr<FileReader> inner, std::uint64_t& asked)
      : inner_(std::move(inner)), asked_(asked) {}
  std::size_t read(std::uint8_t* buffer, std::size_t count) override {
    asked_ += count;
    return inner_->read(buffer, count);
  }
  void seek(std::int64_t offset) override { inner_->seek(offset); }

 private:
  std::unique_ptr<FileReader> inner_;
  std::uint64_t& asked_;
};

std::uint64_t bytes_asked_by_one_load(const std::filesystem::path& path) {
  std::uint64_t asked = 0;
  set_file_opener([&asked](const std::filesystem::path& p) -> std::unique_ptr<FileReader> {
    auto inner = open_file_for_reading(p);
    if (!inner) return nullptr;
    return std::make_unique<CountingReader>(std::move(inner), asked);
  });
  load_file_into_slot(path, 1);
  set_file_opener({});
  return asked;
}

double mean_microseconds_per_load(const std::filesystem::path& path, int loads) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < loads; ++i) load_file_into_slot(path, 1);
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  return elapsed.count() / loads;
}

std::uintmax_t allocated_bytes(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<std::uintmax_t>(info.st_blocks) * 512;
}

int run(int loads) {
  const test::TempDir dir;
  const test::Bytes headers = test::make_pe32();
  const auto small = dir.write("small.exe", headers);
  const auto large = dir.write("large.exe", headers);
  // Grown by truncate(2): a hole after the headers, no disk space taken.
  std::filesystem::resize_file(large, kLargeSize);

  MemoryTables tables;
  init_globals();
  install_table_backend(&tables);
  insert_field_name_rows();
  set_message_box_service([](const std::string&, const std::string&) { ++g_messages; });

  std::printf("small file: %ju bytes\n", std::filesystem::file_size(small));
  std::printf("large file: %ju bytes, %ju bytes on disk\n", std::filesystem::file_size(large),
              allocated_bytes(large));
  std::printf("bytes asked per load: small %ju, large %ju\n",
              static_cast<std::uintmax_t>(bytes_asked_by_one_load(small)),
              static_cast<std::uintmax_t>(bytes_asked_by_one_load(large)));

  // Warm the caches and the tables once, then alternate the two files.
  mean_microseconds_per_load(small, 50);
  mean_microseconds_per_load(large, 50);
  double small_total = 0, large_total = 0;
  for (int round = 1; round <= kRounds; ++round) {
    const double small_mean = mean_microseconds_per_load(small, loads);
    const double large_mean = mean_microseconds_per_load(large, loads);
    std::printf("round %d: small %.2f us/load, large %.2f us/load\n", round, small_mean,
                large_mean);
    small_total += small_mean;
    large_total += large_mean;
  }
  std::printf("mean over %d x %d loads: small %.2f us, 1 GiB sparse %.2f us, ratio %.2f\n", kRounds,
              loads, small_total / kRounds, large_total / kRounds, large_total / small_total);

  set_message_box_service({});
  install_table_backend(nullptr);
  free_globals();
  std::filesystem::remove(large);
  if (g_messages != 0) {
    std::fprintf(stderr, "%d loads were refused\n", g_messages);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace twinlens

int main(int argc, char** argv) {
  const int loads = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (loads <= 0) {
    std::fprintf(stderr, "usage: %s [LOADS]\n", argv[0]);
    return 2;
  }
  return twinlens::run(loads);
}
