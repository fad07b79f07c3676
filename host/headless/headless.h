// Controls of the headless platform that have no counterpart on a desktop:
// tests and scripts press and release host keys with them.
#pragma once

// Marks a virtual key as held or released.
void headless_set_key(int vk, bool down);
