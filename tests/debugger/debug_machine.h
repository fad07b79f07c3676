// A flat 64 KB memory behind the CPU for the debugger's tests, with the
// console monitor connected to the CPU loop and the headless console fed
// from a queue and captured.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

extern uint8_t testMemory[65536];
// Counts of reads and writes that reached the machine's routines.
extern uint32_t testReads, testWrites;

// Memory cleared, CPU initialised at 3 MHz with tcount 0, no watches, the
// console monitor installed and closed with its address unset, the console
// captured with the given width and no standard input, no input queued.
void debug_machine_reset(int consoleWidth = 48);
void poke(uint16_t address, std::initializer_list<uint8_t> bytes);

// Queues the lines (each gets a line end) and "x", runs the monitor and
// returns what it printed after its greeting.
std::string monitor_session(std::initializer_list<const char*> lines);
// Queues lines for a monitor that the CPU loop will open.
void queue_lines(std::initializer_list<const char*> lines);
// Output printed since the last call.
std::string take_output();
