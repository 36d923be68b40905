// The lower layer the product's code runs on inside the tool: no window.
// A fatal error becomes an exception the tool reports; the progress display
// draws nothing; message boxes are kept for the tool to tell.
#pragma once

#include <string>
#include <vector>

// What setup.exe would have stopped with, in its own words.
struct ProductStop {
    std::string message;
};

// The texts of the boxes setup.exe would have shown, in order.
extern std::vector<std::string> toolBoxTexts;
