#include "pe/file_reader.h"

#include <utility>

namespace twinlens {
namespace {

FileOpener& file_opener() {
  static FileOpener opener;
  return opener;
}

}  // namespace

void set_file_opener(FileOpener opener) {
  file_opener() = std::move(opener);
}

std::unique_ptr<FileReader> open_input_file(const std::filesystem::path& path) {
  if (file_opener()) return file_opener()(path);
  return open_file_for_reading(path);
}

}  // namespace twinlens
