// Whether standard output is a terminal, and its width: the one place where
// the headless platform asks the operating system about its console.
#pragma once

bool terminal_is_tty();
// Columns of the terminal on standard output, or 0 when unknown.
int terminal_columns();
