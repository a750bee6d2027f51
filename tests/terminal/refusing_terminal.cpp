// Preloaded into the program, makes every change of terminal settings fail,
// as on a terminal that refuses to be set up for single keys.
#include <termios.h>

#include <cerrno>

extern "C" int tcsetattr(int, int, const struct termios*) {
    errno = EIO;
    return -1;
}
