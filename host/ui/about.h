// The texts of the two modal dialogs, the about box and the keyboard chart,
// which the Windows shell builds from resources.
#pragma once

// The about box (HOST_DIALOG_ABOUT): the program's two lines and the release it was built as.
extern const char* const aboutTitle;
extern const char* const aboutLines[3];
// The release alone ("0.1.0"), as tarvik-cli --version prints it and the packages are named.
extern const char* const tarvikVersion;

// The keyboard chart (HOST_DIALOG_KEYBOARD_CHART): one push button per key of the Tarvik 4
// keyboard, with the upper and lower legend where the key has two.
struct ChartKey {
  const char* upper;
  const char* lower; // null for a key with one legend
};
extern const char* const keyboardChartTitle;
extern const ChartKey* const keyboardChartRows[4];
extern const int keyboardChartRowLength[4];
