#pragma once

#include <filesystem>
#include <string>

#include "support/pe_builder.h"

namespace twinlens::test {

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path write(const std::filesystem::path& name, const Bytes& bytes) const;

 private:
  std::filesystem::path path_;
};

Bytes read_file(const std::filesystem::path& path);

}  // namespace twinlens::test
