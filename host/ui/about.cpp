// The about box and the keyboard chart of the Tarvik 4.
#include "host/ui/about.h"

// The build gives the version (the project's version in CMakeLists.txt).
#ifndef TARVIK_VERSION
#error "TARVIK_VERSION is not defined: the build defines it for this file"
#endif

namespace {

const ChartKey row1[] = {{"!", "1"}, {"\"", "2"},      {"#", "3"},      {"$", "4"},   {"%", "5"},
                         {"&", "6"}, {"'", "7"},       {"(", "8"},      {")", "9"},   {"", "0"},
                         {"*", ":"}, {"ALT", nullptr}, {"BELL", "fel"}, {"TAB", "le"}};
const ChartKey row2[] = {{"F1", nullptr}, {"Q", nullptr}, {"W", nullptr}, {"E", nullptr},
                         {"R", nullptr},  {"T", nullptr}, {"Y", nullptr}, {"U", nullptr},
                         {"I", nullptr},  {"O", nullptr}, {"P", nullptr}, {"Ö", nullptr},
                         {"Ó", nullptr},  {"INS", "bal"}, {"DEL", "jobb"}};
const ChartKey row3[] = {{"F2", nullptr}, {"A", nullptr}, {"S", nullptr}, {"D", nullptr},
                         {"F", nullptr},  {"G", nullptr}, {"H", nullptr}, {"J", nullptr},
                         {"K", nullptr},  {"L", nullptr}, {"Ü", nullptr}, {"^", nullptr},
                         {"-", "="},      {"+", ";"},     {"CR", nullptr}};
const ChartKey row4[] = {{"SH", nullptr}, {"Z", nullptr}, {"X", nullptr}, {"C", nullptr},
                         {"V", nullptr},  {"B", nullptr}, {"N", nullptr}, {"M", nullptr},
                         {"Á", nullptr},  {"É", nullptr}, {"<", ","},     {">", "."},
                         {"/", "?"},      {"SH", nullptr}};

} // namespace

const char* const aboutTitle = "A Tarvik programról";
const char* const aboutLines[3] = {"Tarvik 2/3/4 - Dorvane emulátor", "1.4.0 verzió",
                                   ("Kiadás: " TARVIK_VERSION)};
const char* const tarvikVersion = TARVIK_VERSION;

const char* const keyboardChartTitle = "Tarvik 4 tasztatúra-kiosztás";
const ChartKey* const keyboardChartRows[4] = {row1, row2, row3, row4};
const int keyboardChartRowLength[4] = {sizeof row1 / sizeof row1[0], sizeof row2 / sizeof row2[0],
                                       sizeof row3 / sizeof row3[0], sizeof row4 / sizeof row4[0]};
