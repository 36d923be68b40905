// A stand-in for the reverse list builder in the native tests: it records
// each call and what the catalogue looked like when it was made.
#pragma once

#include <string>
#include <vector>

struct ReverseListCall {
    std::string languageName;
    std::string fromListName;
    std::string toListName;
    bool catalogueExisted;  // dict.ini was there when the list was built
};

extern std::vector<ReverseListCall> reverseListCalls;
