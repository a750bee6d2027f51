#include "system_path.h"

std::filesystem::path systemPath(const std::string& name) { return std::filesystem::path(name); }
