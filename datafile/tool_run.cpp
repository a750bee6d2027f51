#include "tool_run.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

int runTool(const char* program, int failedStatus, int (*run)(int, char**), int argc, char** argv) {
    try {
        int status = run(argc, argv);
        errno = 0;
        if (std::cout.flush()) return status;
        int error = errno;
        std::cerr << program << ": write error"
                  << (error != 0 ? std::string(": ") + std::strerror(error) : "") << std::endl;
        return failedStatus;
    } catch (const std::exception& error) {  // GCOVR_EXCL_START: only exhausted memory gets here
        std::cerr << program << ": " << error.what() << std::endl;
        return failedStatus;
    }  // GCOVR_EXCL_STOP
}
