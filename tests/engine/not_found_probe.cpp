// Looks for a missing item in a list of as many items as its first argument
// says, so that a test can read the not-found box from outside and answer it.
// Arguments: count [name looked for, default "missing.dat"].
#include "engine/lists.h"

#include "not_found_report.h"

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    CStringItemArray list;
    for (const std::string& name : not_found::ItemNames(std::atoi(argv[1]))) {
        list.Add(name.c_str());
    }
    list.FindOrFail(argc > 2 ? argv[2] : "missing.dat", -1);
    // Only reached when the lookup did not end the program.
    return 0;
}
