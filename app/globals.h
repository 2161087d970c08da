// The program-wide state: the two file slots and the row colour registry.
// Created once before the main window, released once after it is gone.
#pragma once

namespace twinlens {

void init_globals();
void free_globals();

}  // namespace twinlens
