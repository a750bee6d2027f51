// The signals whose default action ends the program, on POSIX systems: the
// ones after which a program that changed something outside itself (the
// terminal's mode, a temporary file) must put it right before it dies.
#ifndef DATAFILE_ENDING_SIGNALS_H
#define DATAFILE_ENDING_SIGNALS_H

#include <vector>

// Every signal whose default action ends the program, but SIGKILL (which
// cannot be caught): those POSIX names, those this system adds (SIGPWR,
// SIGSTKFLT, SIGEMT) and the real-time signals. SIGPOLL is SIGIO by its
// System V name, under which it ends the program; where there is only SIGIO
// (BSD), it is ignored by default and left out.
std::vector<int> endingSignals();

#endif  // DATAFILE_ENDING_SIGNALS_H
