#include "compare/custom_draw.h"

#include <charconv>
#include <string_view>

#include "compare/row_colour_registry.h"

namespace twinlens {
namespace {

// Walks the members of a "|"-joined decimal text one at a time, without
// splitting it into copies: the texts grow with every comparison.
class Members {
 public:
  explicit Members(std::string_view text) : rest_(text) {}

  bool next(std::int64_t& value) {
    if (done_) return false;
    const std::size_t bar = rest_.find('|');
    const std::string_view member = rest_.substr(0, bar);
    if (bar == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(bar + 1);
    }
    value = 0;
    std::from_chars(member.data(), member.data() + member.size(), value);
    return true;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

void colour_row(std::size_t entry, CustomDrawFields& fields) {
  const RowColourRegistry& registry = row_colour_registry();
  Members rows(registry.row_texts[entry]);
  Members text_colours(registry.text_colour_texts[entry]);
  Members background_colours(registry.background_colour_texts[entry]);

  std::int64_t row = 0, text_colour = 0, background_colour = 0;
  while (rows.next(row) && text_colours.next(text_colour) &&
         background_colours.next(background_colour)) {
    // The row's last record wins, so keep going after a match.
    if (row >= 0 && static_cast<std::uint64_t>(row) == fields.item_spec) {
      fields.text_colour = static_cast<std::uint32_t>(text_colour);
      fields.background_colour = static_cast<std::uint32_t>(background_colour);
    }
  }

  const TableId table = registry.table_windows[entry].table_id();
  const auto row_index = static_cast<int>(fields.item_spec);
  if (fields.item_spec <= 0x7FFFFFFF && is_row_selected(table, row_index)) {
    fields.text_colour = kSelectedTextColour;
    fields.background_colour = kSelectedBackgroundColour;
  }
  // Without its selected and focus flags the control draws the row in the
  // record's colours, selected or not.
  fields.item_state = 0;
}

}  // namespace

CustomDrawAnswer answer_custom_draw(CustomDrawFields& fields) {
  if (fields.draw_stage == kCddsPrepaint) return CustomDrawAnswer::NotifyItemDraw;
  if (fields.draw_stage != kCddsItemPrepaint) return CustomDrawAnswer::PassOn;

  const RowColourRegistry& registry = row_colour_registry();
  for (std::size_t entry = 0; entry < registry.table_windows.size(); ++entry) {
    const WindowRef table = registry.table_windows[entry];
    if (table.is_main_window()) continue;
    if (table_window_handle(table.table_id()) == fields.from) {
      colour_row(entry, fields);
      return CustomDrawAnswer::RowColoured;
    }
  }
  return CustomDrawAnswer::PassOn;
}

}  // namespace twinlens
