// Reports what the wrapper would do with a wrapped-game folder.
#pragma once

#include <string>

struct CheckReport {
    std::string text;       // one line per finding
    bool wouldStart = true; // false when the wrapper would stop or find no game
};

CheckReport CheckPackage(const std::string& folder);
