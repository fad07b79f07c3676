// The key map in "Tasztatúra": the PC keys named by what the host's keyboard
// shows on them (the headless programs type on the Hungarian layout), the
// stand-in keys of symbolic mode only where they stand in.
#include <string>

#include "host/ui/key_chart.h"
#include "machine/machine.h"
#include "tests/host/host_fixture.h"

namespace {

class KeyChart : public HostTest {};

std::string host_keys_of(const std::string& legend) {
  for (const KeyChartRow& row : key_chart_rows())
    if (row.legend == legend) return row.host;
  return "(no such key)";
}

TEST_F(KeyChart, KeysAreNamedAsTheLayoutShowsThem) {
  start({"/h", "/w"});
  machine_set_symbolic_keyboard(0);
  EXPECT_EQ(host_keys_of("0"), "0 (az 1 előtti)");
  EXPECT_EQ(host_keys_of("^"), "Ö (a 9 utáni)");
  EXPECT_EQ(host_keys_of("Ö"), "Ő (a P utáni)");
  EXPECT_EQ(host_keys_of("Z"), "Z");
  machine_set_symbolic_keyboard(1);
  // End types no character: it stands in for "é". The key right of P
  // types "ő" here, a letter: it stands in for nothing.
  EXPECT_EQ(host_keys_of("É"), "„é” vagy „É” vagy End");
  EXPECT_EQ(host_keys_of("Ö"), "„ö” vagy „Ö”");
}

} // namespace
