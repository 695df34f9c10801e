// The not-found report as the user should read it, written out from its fixed
// texts, and the items of the lists that the report tests look in.
#pragma once

#include <string>
#include <vector>

namespace not_found {

inline std::string ItemName(int i) {
    return "data/item" + std::to_string(i) + ".dat";
}

inline std::vector<std::string> ItemNames(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(ItemName(i));
    }
    return names;
}

// placement is the text after the missing name that tells the list or the
// folder it belongs in.
inline std::string ExpectedReport(const std::string& name, const std::vector<std::string>& items,
                                  const std::string& referrer = "Program.EXE",
                                  const std::string& placement = "") {
    const std::string q = "\"";
    std::string text = "The game is looking for some data or a file but can not find it.  The "
                       "item we are looking for is " +
                       q + name + q + placement;
    if (items.empty()) {
        text += "\r\n\r\n***List contains no items*** ";
    } else {
        text += "\r\n\r\nThat list does contain the following items but " + q + name + q +
                " is missing:";
        for (size_t i = 0; i < items.size() && i < 10; ++i) {
            text += "\r\n " + std::to_string(i) + ") " + items[i];
        }
        if (items.size() > 10) {
            text += "\r\n ...";
        }
    }
    text += referrer.empty() ? "\r\n\r\nThe item was referenced by an unknown source"
                             : "\r\n\r\nThe item was referenced by " + q + referrer + q;
    text += "\r\n\r\nThis could mean:";
    text += "\r\n\r\n   A) You recently got a new file, some art or a new proram EXE, possible " +
            q + referrer + q + ", and the new file requires some other new file, " + q + name + q +
            ", to make them work.  You should be able to get these other files by doing a get.  "
            "It is also possable that someone else did not check these files in yet.  If doing "
            "a get doesn't fix the problem them find out who changed " +
            q + referrer + q + " and ask them to add the new " + q + name + q + " files.";
    text += "\r\n\r\n or";
    text += "\r\n\r\n   B) You (or someone else) deleted " + q + name + q +
            " but it is being used by " + q + referrer + q + ".  You need to un-delete " + q +
            name + q + " or manually edit the text for " + q + referrer + q +
            " to make it no longer reference " + q + name + q;
    return text;
}

} // namespace not_found
