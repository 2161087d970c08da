// Files users do pick that trip up careless file code: names outside the
// ANSI code page, paths longer than MAX_PATH and, on Windows, a file that
// another program has open for writing.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pe/load_file.h"
#include "pe/user_message.h"
#include "support/pe_builder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"
#include "tables/field_tables.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace twinlens {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

const std::size_t kNtHeaders = 0x80;  // e_lfanew of make_pe32's files

// A file written at an absolute path below the test's folder, with the
// folders on the way, and removed again with them. On Windows everything
// goes through the \\?\ form, which is not held to MAX_PATH, so that the
// test can make the paths the loader itself must cope with.
class FileAtPath {
 public:
  FileAtPath(const fs::path& root, const fs::path& relative, const Bytes& bytes)
      : path_(root / relative) {
    fs::path folder = root;
    for (auto part = relative.begin(); part != relative.end(); ++part) {
      if (std::next(part) == relative.end()) break;
      folder /= *part;
      folders_.push_back(folder);
      make_folder(folder);
    }
    write(bytes);
  }

  ~FileAtPath() {
#ifdef _WIN32
    DeleteFileW(extended(path_).c_str());
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
      RemoveDirectoryW(extended(*folder).c_str());
    }
#else
    std::error_code ignored;
    fs::remove(path_, ignored);
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
      fs::remove(*folder, ignored);
    }
#endif
  }

  FileAtPath(const FileAtPath&) = delete;
  FileAtPath& operator=(const FileAtPath&) = delete;

  const fs::path& path() const {
    return path_;
  }

 private:
#ifdef _WIN32
  static std::wstring extended(fs::path path) {
    return LR"(\\?\)" + path.make_preferred().native();
  }
  static void make_folder(const fs::path& folder) {
    ASSERT_TRUE(CreateDirectoryW(extended(folder).c_str(), nullptr)) << GetLastError();
  }
  void write(const Bytes& bytes) {
    const HANDLE file = CreateFileW(extended(path_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size());
  }
#else
  static void make_folder(const fs::path& folder) {
    ASSERT_TRUE(fs::create_directory(folder));
  }
  void write(const Bytes& bytes) {
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good());
  }
#endif

  fs::path path_;
  std::vector<fs::path> folders_;
};

class AwkwardFile : public test::ProgramState {
 protected:
  void SetUp() override {
    ProgramState::SetUp();
    insert_field_name_rows();
  }

  // A valid file that says which one it is by its time stamp.
  static Bytes file_stamped(std::uint32_t stamp) {
    Bytes bytes = test::make_pe32();
    test::put32(bytes, kNtHeaders + 8, stamp);  // TimeDateStamp
    return bytes;
  }

  std::string shown_time_stamp() { return get_cell_text(TableId::FileHeader, 2, 1); }

  test::TempDir dir;
};

// Folders of 60 characters, nested five deep: over 300 characters below
// the temporary folder alone. Windows opens such a path only in the form
// that starts with \\?\ (Wine opens it either way, so only a run on Windows
// shows that the loader makes that form).
fs::path deep_folders() {
  fs::path path;
  for (char level = '1'; level <= '5'; ++level) {
    path /= std::string(59, 'd') + level;
  }
  return path;
}

TEST_F(AwkwardFile, UnicodeNamesAndPathsBeyondMaxPathLoad) {
  struct Case {
    const char* what;
    fs::path relative;
    std::uint32_t stamp;
    const char* stamp_text;
  };
  const Case cases[] = {
      {"Chinese and an emoji in the name", fs::u8path(u8"样本-😀.exe"), 0x11111111, "11111111"},
      {"path longer than MAX_PATH", deep_folders() / "long.exe", 0x22222222, "22222222"},
      {"both", deep_folders() / fs::u8path(u8"样本-😀.exe"), 0x33333333, "33333333"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    const FileAtPath file(dir.path(), c.relative, file_stamped(c.stamp));
    if (c.relative.has_parent_path()) {
      ASSERT_GT(file.path().native().size(), 260u);
    }

    load_file_into_slot(file.path(), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(shown_time_stamp(), c.stamp_text);
    EXPECT_EQ(tables.row_count(TableId::Sections1), 2);
  }
}

#ifdef _WIN32
// Windows takes a \\?\ path literally, so the loader must resolve ".." and
// "." itself before it makes a long path into that form. (POSIX resolves
// ".." through the folders that exist, so the case is Windows's own.)
TEST_F(AwkwardFile, LongPathWithDotsLoads) {
  const FileAtPath file(dir.path(), deep_folders() / "dots.exe", file_stamped(0x77777777));
  const fs::path folder = file.path().parent_path();
  load_file_into_slot(folder / "nowhere" / ".." / "." / "dots.exe", 1);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(shown_time_stamp(), "77777777");
}

TEST_F(AwkwardFile, FileOpenForWritingByAnotherHandle) {
  struct Case {
    const char* what;
    DWORD share;  // what the writer lets others do
    bool loads;
    std::uint32_t stamp;
    const char* stamp_text;
  };
  const Case cases[] = {
      {"writer shares reading and writing", FILE_SHARE_READ | FILE_SHARE_WRITE, true, 0x44444444,
       "44444444"},
      {"writer shares reading only", FILE_SHARE_READ, true, 0x55555555, "55555555"},
      // Shows that sharing is enforced here, so that the cases above mean something.
      {"writer shares nothing", 0, false, 0x66666666, "55555555"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    const FileAtPath file(dir.path(), "held.exe", file_stamped(c.stamp));
    const HANDLE writer = CreateFileW(file.path().c_str(), GENERIC_WRITE, c.share, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
    load_file_into_slot(file.path(), 1);
    CloseHandle(writer);

    if (c.loads) {
      EXPECT_TRUE(messages.empty());
    } else {
      EXPECT_EQ(messages, (std::vector<test::ShownMessage>{{kCannotOpenMessage, kErrorTitle}}));
    }
    EXPECT_EQ(shown_time_stamp(), c.stamp_text);
  }
}
#endif

}  // namespace
}  // namespace twinlens
