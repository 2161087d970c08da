#include "compare/row_colour_window_procedure.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <utility>

#include "compare/custom_draw.h"
#include "tables/field_tables.h"

namespace twinlens {
namespace {

// The list view's custom-draw record as it was before Vista: the senders we
// colour write at least this much, so it is all we read and write.
constexpr std::size_t kListViewRecordPrefix = offsetof(NMLVCUSTOMDRAW, iSubItem) + sizeof(int);
#if !defined(_WIN64)
static_assert(kListViewRecordPrefix == 60, "the 32-bit list-view custom-draw record is 60 bytes");
#endif

LRESULT call_saved_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (row_colour_registry_exists()) {
    const auto& saved = row_colour_registry().saved_procedures;
    if (!saved.empty()) {
      return CallWindowProcW(reinterpret_cast<WNDPROC>(saved.front()), window, message, wparam,
                             lparam);
    }
  }
  // The replacement failed or the registry is gone: there is nothing to hand on to.
  return DefWindowProcW(window, message, wparam, lparam);
}

bool is_list_view(HWND window) {
  wchar_t class_name[32] = {};
  GetClassNameW(window, class_name, static_cast<int>(std::size(class_name)));
  return std::wcscmp(class_name, WC_LISTVIEWW) == 0;
}

LRESULT on_custom_draw(HWND window, WPARAM wparam, LPARAM lparam, HWND from) {
  if (!row_colour_registry_exists() || installed_table_backend() == nullptr) {
    return call_saved_procedure(window, WM_NOTIFY, wparam, lparam);
  }
  // Buttons and tooltips send the shorter common record; reading the list
  // view's would run past the end of theirs.
  const std::size_t size = is_list_view(from) ? kListViewRecordPrefix : sizeof(NMCUSTOMDRAW);
  NMLVCUSTOMDRAW record{};
  std::memcpy(&record, reinterpret_cast<const void*>(lparam), size);

  CustomDrawFields fields;
  fields.from = record.nmcd.hdr.hwndFrom;
  fields.draw_stage = record.nmcd.dwDrawStage;
  fields.item_spec = record.nmcd.dwItemSpec;
  fields.item_state = record.nmcd.uItemState;
  fields.text_colour = record.clrText;
  fields.background_colour = record.clrTextBk;

  switch (answer_custom_draw(fields)) {
    case CustomDrawAnswer::NotifyItemDraw:
      return CDRF_NOTIFYITEMDRAW;
    case CustomDrawAnswer::RowColoured:
      record.clrText = fields.text_colour;
      record.clrTextBk = fields.background_colour;
      record.nmcd.uItemState = fields.item_state;
      std::memcpy(reinterpret_cast<void*>(lparam), &record, size);
      return CDRF_DODEFAULT;
    case CustomDrawAnswer::PassOn:
      break;
  }
  return call_saved_procedure(window, WM_NOTIFY, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK row_colour_window_procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NOTIFY && lparam != 0) {
    NMHDR header;
    std::memcpy(&header, reinterpret_cast<const void*>(lparam), sizeof(header));
    if (header.code == static_cast<UINT>(NM_CUSTOMDRAW)) {
      return on_custom_draw(window, wparam, lparam, header.hwndFrom);
    }
  }
  return call_saved_procedure(window, message, wparam, lparam);
}

void use_row_colour_window_procedure(std::function<HWND(WindowRef)> window_handle) {
  set_window_procedure_replacer(
      [window_handle = std::move(window_handle)](WindowRef parent) -> std::uintptr_t {
        const LONG_PTR previous =
            SetWindowLongPtrW(window_handle(parent), GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(&row_colour_window_procedure));
        return static_cast<std::uintptr_t>(previous);
      });
}

}  // namespace twinlens
