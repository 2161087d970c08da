// How the main window answers a list view's custom-draw notification: the
// portable part of the row-colouring window procedure.
#pragma once

#include <cstdint>

#include "tables/field_tables.h"

namespace twinlens {

// Custom-draw values, by value, so that this file needs no platform headers.
inline constexpr std::uint32_t kCddsPrepaint = 0x1;          // CDDS_PREPAINT
inline constexpr std::uint32_t kCddsItemPrepaint = 0x10001;  // CDDS_ITEMPREPAINT
inline constexpr std::intptr_t kCdrfDoDefault = 0;           // CDRF_DODEFAULT
inline constexpr std::intptr_t kCdrfNotifyItemDraw = 0x20;   // CDRF_NOTIFYITEMDRAW
inline constexpr std::uint32_t kSelectedTextColour = 0xFFFFFF;
inline constexpr std::uint32_t kSelectedBackgroundColour = 0x8050FF;

// The fields of the list view's custom-draw record that the answer uses.
struct CustomDrawFields {
  NativeWindowHandle from = nullptr;    // hwndFrom
  std::uint32_t draw_stage = 0;         // dwDrawStage
  std::uintptr_t item_spec = 0;         // dwItemSpec: the row being painted
  std::uint32_t item_state = 0;         // uItemState
  std::uint32_t text_colour = 0;        // clrText
  std::uint32_t background_colour = 0;  // clrTextBk
};

enum class CustomDrawAnswer {
  NotifyItemDraw,  // return CDRF_NOTIFYITEMDRAW; the record is unchanged
  RowColoured,     // write the record back and return CDRF_DODEFAULT
  PassOn,          // hand the message to the window's previous procedure
};

// Decides the answer from the row colour registry, and for a coloured row
// sets the record's colours and clears its item state.
CustomDrawAnswer answer_custom_draw(CustomDrawFields& fields);

}  // namespace twinlens
