// The key map of the keyboard chart: for the model in use and the current
// mode (positional or symbolic), every key of the machine with the PC keys
// that press it, in words, drawn from the keyboard code's own tables.
#pragma once

#include <string>
#include <vector>

struct KeyChartRow {
  std::string legend; // the key as it is labelled on the machine
  std::string host;   // the PC keys or characters that press it
};

// "Tarvik 4.1 billentyűi, pozicionális kiosztás" and the like.
std::string key_chart_heading();
std::vector<KeyChartRow> key_chart_rows();
// A closing remark about Alt, which the host keeps for itself.
extern const char* const keyChartNote;
// Heading, rows (legend, a tab, the PC keys) and note, one a line, each line
// ended by lineEnd; UTF-8.
std::string key_chart_text(const char* lineEnd);
