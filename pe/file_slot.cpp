#include "pe/file_slot.h"

#include <cstdlib>
#include <memory>

namespace twinlens {
namespace {

std::unique_ptr<FileSlot> g_file_slots[kSlotCount];

std::unique_ptr<FileSlot>& slot_storage(int slot) {
  // A slot number other than 1 or 2 is a programming error, never user input.
  if (slot < 1 || slot > kSlotCount) std::abort();
  return g_file_slots[slot - 1];
}

}  // namespace

void create_file_slot(int slot) {
  slot_storage(slot) = std::make_unique<FileSlot>();
}

void release_file_slot(int slot) {
  slot_storage(slot).reset();
}

bool file_slot_exists(int slot) {
  return slot_storage(slot) != nullptr;
}

FileSlot& file_slot(int slot) {
  auto& storage = slot_storage(slot);
  if (!storage) std::abort();
  return *storage;
}

}  // namespace twinlens
