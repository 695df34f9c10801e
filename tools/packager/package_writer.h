// Assembles a wrapped-game folder: every input is checked before anything is
// written, and the folder appears whole or not at all.
#pragma once

#include "package_request.h"

#include <string>

// The wrapper's default name, looked for beside the packager.
extern const char kWrapperFileName[];

// Empty on success, otherwise the problem, naming the file or option; on
// failure nothing is left behind. packagerFolder locates the default wrapper.
std::string WritePackage(const PackageRequest& request, const std::string& packagerFolder);
