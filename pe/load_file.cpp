#include "pe/load_file.h"

#include <vector>

#include "pe/file_reader.h"
#include "pe/file_slot.h"
#include "pe/pe_records.h"
#include "pe/user_message.h"
#include "tables/header_rows.h"
#include "tables/section_rows.h"

namespace twinlens {
namespace {

// The message comes before the file is closed: the reader outlives the call.
void refuse_file() {
  show_message_box(kNotPe32Message, kErrorTitle);
}

}  // namespace

void load_file_into_slot(const std::filesystem::path& path, int slot) {
  FileSlot& file = file_slot(slot);

  const std::unique_ptr<FileReader> reader = open_input_file(path);
  if (!reader) {
    show_message_box(kCannotOpenMessage, kErrorTitle);
    return;
  }

  std::uint8_t dos_bytes[kDosHeaderSize];
  if (reader->read(dos_bytes, sizeof dos_bytes) < sizeof dos_bytes) return refuse_file();
  file.dos_header = decode_dos_header(dos_bytes);
  if (file.dos_header.e_magic != kDosSignature) return refuse_file();

  // A negative e_lfanew cannot be sought to: the NT headers are then read
  // where the file stands, right behind the DOS header.
  const std::int32_t e_lfanew = file.dos_header.e_lfanew;
  reader->seek(e_lfanew);
  const std::int64_t nt_offset = e_lfanew >= 0 ? e_lfanew : std::int64_t{kDosHeaderSize};
  std::uint8_t nt_bytes[kNtHeadersSize];
  if (reader->read(nt_bytes, sizeof nt_bytes) < sizeof nt_bytes) return refuse_file();
  file.nt_headers = decode_nt_headers(nt_bytes);
  if (file.nt_headers.Signature != kNtSignature) return refuse_file();

  // From here on the header tables show this file, whatever happens next.
  fill_header_tables(slot);

  const ImageOptionalHeader32& optional = file.nt_headers.OptionalHeader;
  if (optional.DataDirectory[kImportDirectory].Size <= 0) return refuse_file();

  // The PE/COFF count is unsigned: 0x8000 to 0xFFFF are section counts too.
  const std::size_t count = static_cast<std::uint16_t>(file.nt_headers.FileHeader.NumberOfSections);
  file.sections.assign(count, ImageSectionHeader{});

  // The section headers follow the fixed-size NT headers record just read,
  // whatever SizeOfOptionalHeader says. Taking e_lfanew + 248 literally for
  // a negative e_lfanew would read them from inside the headers instead.
  // 64-bit arithmetic: no overflow near 2^31.
  reader->seek(nt_offset + static_cast<std::int64_t>(kNtHeadersSize));
  std::vector<std::uint8_t> section_bytes(count * kSectionHeaderSize);
  if (count > 0 &&
      reader->read(section_bytes.data(), section_bytes.size()) != section_bytes.size()) {
    return refuse_file();
  }
  for (std::size_t i = 0; i < count; ++i) {
    file.sections[i] = decode_section_header(&section_bytes[i * kSectionHeaderSize]);
  }

  fill_section_table(slot);
}

}  // namespace twinlens
