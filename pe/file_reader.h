// Read-only access to one file, closed when the reader goes away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace twinlens {

class FileReader {
 public:
  virtual ~FileReader() = default;  // closes the file
  // Reads up to `count` bytes from the current position and returns how many
  // were read: fewer at the end of the file, none for a count of 0.
  virtual std::size_t read(std::uint8_t* buffer, std::size_t count) = 0;
  // Moves to an absolute offset. A negative offset is refused and leaves the
  // position where it was; the caller does not test the outcome.
  virtual void seek(std::int64_t offset) = 0;
};

// Opens an existing file for reading only, without keeping other programs
// from reading, writing or deleting it. Returns nullptr when it cannot.
std::unique_ptr<FileReader> open_file_for_reading(const std::filesystem::path& path);

// The loader opens files through this; tests may put a wrapper in between.
using FileOpener = std::function<std::unique_ptr<FileReader>(const std::filesystem::path&)>;
void set_file_opener(FileOpener opener);  // an empty opener restores the real one
std::unique_ptr<FileReader> open_input_file(const std::filesystem::path& path);

}  // namespace twinlens
