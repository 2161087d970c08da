#include "tables/table_layout.h"

#include <cstdlib>

#include "pe/pe_records.h"

namespace twinlens {
namespace {

template <class Record, class VisitAll>
std::vector<const char*> names_of(VisitAll visit_all) {
  Record record;
  std::vector<const char*> names;
  visit_all(record, [&names](const char* name, const auto&) { names.push_back(name); });
  return names;
}

void check_slot(int slot) {
  if (slot != 1 && slot != 2) std::abort();
}

}  // namespace

const std::vector<TableColumn>& table_columns(TableId table) {
  static const std::vector<TableColumn> dos = {{"名称", 70}, {"文件1", 270}, {"文件2", 270}};
  static const std::vector<TableColumn> header = {{"名称", 150}, {"文件1", 240}, {"文件2", 240}};
  static const std::vector<TableColumn> directory = {{"名称", 100},
                                                     {"文件1(RVA)", 100},
                                                     {"文件1(大小)", 100},
                                                     {"文件2(RVA)", 100},
                                                     {"文件2(大小)", 100}};
  static const std::vector<TableColumn> sections = {{"名称", 80},   {"V.偏移", 80}, {"V.大小", 80},
                                                    {"R.偏移", 80}, {"R.大小", 80}, {"标志", 80}};
  switch (table) {
    case TableId::Dos:
      return dos;
    case TableId::FileHeader:
    case TableId::OptionalHeader:
      return header;
    case TableId::Directory:
      return directory;
    case TableId::Sections1:
    case TableId::Sections2:
      break;
  }
  return sections;
}

const std::vector<const char*>& directory_row_names() {
  static const std::vector<const char*> names = {
      "导出表",   "导入表", "资源",     "例外",     "安全", "重定位表", "调试", "版权",
      "全局区域", "TLS表",  "载入配置", "装订输入", "IAT",  "延迟输入", "COM",  "保留"};
  return names;
}

const std::vector<const char*>& field_names(TableId table) {
  static const auto dos = names_of<ImageDosHeader>(
      [](auto& record, auto&& visit) { visit_fields_of_dos_header(record, visit); });
  static const auto file = names_of<ImageFileHeader>(
      [](auto& record, auto&& visit) { visit_fields_of_file_header(record, visit); });
  static const auto optional = names_of<ImageOptionalHeader32>(
      [](auto& record, auto&& visit) { visit_scalar_fields_of_optional_header(record, visit); });
  static const std::vector<const char*> none;
  switch (table) {
    case TableId::Dos:
      return dos;
    case TableId::FileHeader:
      return file;
    case TableId::OptionalHeader:
      return optional;
    default:
      return none;
  }
}

int header_value_column(int slot) {
  check_slot(slot);
  return slot;
}

int directory_address_column(int slot) {
  check_slot(slot);
  return slot == 1 ? 1 : 3;
}

int directory_size_column(int slot) {
  return directory_address_column(slot) + 1;
}

TableId section_table(int slot) {
  check_slot(slot);
  return slot == 1 ? TableId::Sections1 : TableId::Sections2;
}

}  // namespace twinlens
