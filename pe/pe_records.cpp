#include "pe/pe_records.h"

namespace twinlens {
namespace {

// Lays little-endian bytes onto fields one after another. The caller has
// checked that the buffer holds the whole record.
class FieldDecoder {
 public:
  explicit FieldDecoder(const std::uint8_t* bytes) : bytes_(bytes) {}

  void operator()(const char*, std::uint8_t& field) { field = bytes_[offset_++]; }

  void operator()(const char*, std::int16_t& field) {
    const auto value =
        static_cast<std::uint16_t>(bytes_[offset_] | (unsigned{bytes_[offset_ + 1]} << 8));
    field = static_cast<std::int16_t>(value);
    offset_ += 2;
  }

  void operator()(const char*, std::int32_t& field) {
    const std::uint32_t value =
        std::uint32_t{bytes_[offset_]} | (std::uint32_t{bytes_[offset_ + 1]} << 8) |
        (std::uint32_t{bytes_[offset_ + 2]} << 16) | (std::uint32_t{bytes_[offset_ + 3]} << 24);
    field = static_cast<std::int32_t>(value);
    offset_ += 4;
  }

  template <class T, std::size_t N>
  void operator()(const char* name, std::array<T, N>& field) {
    for (T& element : field) (*this)(name, element);
  }

  std::size_t offset() const { return offset_; }

 private:
  const std::uint8_t* bytes_;
  std::size_t offset_ = 0;
};

constexpr auto kAllDosFields = [](auto& record, auto&& visit) {
  visit_fields_of_dos_header(record, visit);
};
constexpr auto kAllFileHeaderFields = [](auto& record, auto&& visit) {
  visit_fields_of_file_header(record, visit);
};
constexpr auto kAllOptionalHeaderFields = [](auto& record, auto&& visit) {
  visit_fields_of_optional_header(record, visit);
};
constexpr auto kAllNtFields = [](auto& record, auto&& visit) {
  visit_fields_of_nt_headers(record, visit);
};
constexpr auto kAllSectionFields = [](auto& record, auto&& visit) {
  visit_fields_of_section_header(record, visit);
};

static_assert(packed_size<ImageDosHeader>(kAllDosFields) == kDosHeaderSize);
static_assert(packed_size<ImageFileHeader>(kAllFileHeaderFields) == kFileHeaderSize);
static_assert(packed_size<ImageOptionalHeader32>(kAllOptionalHeaderFields) == kOptionalHeaderSize);
static_assert(packed_size<ImageNtHeaders32>(kAllNtFields) == kNtHeadersSize);
static_assert(packed_size<ImageSectionHeader>(kAllSectionFields) == kSectionHeaderSize);

}  // namespace

ImageDosHeader decode_dos_header(const std::uint8_t (&bytes)[kDosHeaderSize]) {
  ImageDosHeader header;
  visit_fields_of_dos_header(header, FieldDecoder(bytes));
  return header;
}

ImageNtHeaders32 decode_nt_headers(const std::uint8_t (&bytes)[kNtHeadersSize]) {
  ImageNtHeaders32 headers;
  visit_fields_of_nt_headers(headers, FieldDecoder(bytes));
  return headers;
}

ImageSectionHeader decode_section_header(const std::uint8_t* bytes) {
  ImageSectionHeader header;
  visit_fields_of_section_header(header, FieldDecoder(bytes));
  return header;
}

}  // namespace twinlens
