// What a publisher asks the packager for, read from its command line.
#pragma once

#include "settings.h"

#include <string>
#include <vector>

struct PackageRequest {
    std::string check; // --check: the folder to report on instead
    std::string game;
    std::string wrapper; // empty: the wrapper beside the packager
    std::string exeName; // the wrapper's file name in the package
    std::string skin;
    std::string logo;
    std::string mask;
    std::string services;
    std::string out;
    std::string zip; // --zip: a stored archive of the folder too
    std::vector<Setting> settings;
};

// Empty when argv (without the program name) reads as a request, else the problem.
std::string ParseRequest(const std::vector<std::string>& args, PackageRequest* request);

extern const char kUsage[];
