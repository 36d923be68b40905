// The medium tool's name rules: the wildcards of a copy's search, 8.3 names
// and the components of a path, as Windows takes them for setup.exe.
#include "medium_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MediumNames, PatternsMatchAsTheSearchOfWindows)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.htm", "x.htm", true},
        {"*.htm", "page.html", false},  // only its 8.3 name may
        {"*.HTM", "X.htm", true},
        {"*.txt", "\xC9T\xC9.TXT", true},
        {"\xE9t\xE9.txt", "\xC9T\xC9.TXT", true},  // accented letters fold too
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*.*", "readme", true},  // names without an extension too
        {"read*.*", "readme", true},
        {"*.", "readme", true},  // only names without an extension
        {"*.", "a.txt", false},
        {"read*.", "readme.txt", false},
        {"a.txt.", "a.txt", true},  // trailing dots go
        {"*", "a.b.c", true},
        {"", "a", false},
        {"*.wav", "Dvo?\xE1k.wav", true},  // '?' where a character has no Windows-1252 byte
        {"*r*", "Dvo?\xE1k.wav", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatches(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(MediumNames, OnlyLongNamesHaveAnotherThatMayMatch)
{
    struct Case {
        const char* name;
        bool isShort;
        const char* pattern;
        bool mayMatch;
    } cases[] = {
        {"PAGE.HTM", true, "*.ht", false},
        {"readme", true, "*", false},
        {"page.html", false, "*.htm", true},
        {"page.html", false, "pag*.htm", true},
        {"page.html", false, "page.htm", false},  // its base is the platform's choice
        {"page.html", false, "*.txt", false},
        {"longname.text", false, "*.tex", true},
        {"a b.txt", false, "*.txt", true},
        {"a+b.txt", false, "*.txt", true},
        {"a.b.c", false, "*.c", true},
        {"archive.tar.gz", false, "*", true},
        {"verylongname", false, "verylo~1", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsShortName(c.name), c.isShort) << c.name;
        EXPECT_EQ(MayMatchShortName(c.pattern, c.name), c.mayMatch) << c.pattern << " " << c.name;
    }
}

TEST(MediumNames, PathsSplitAsWindowsSplitsThem)
{
    struct Case {
        const char* path;
        std::vector<std::string> components;
        bool absolute;
    } cases[] = {
        {"langue\\anglais.wb", {"langue", "anglais.wb"}, false},
        {"v1.0/readme", {"v1.0", "readme"}, false},
        {"a\\\\.\\b", {"a", "b"}, false},
        {"fin.txt. ", {"fin.txt"}, false},
        {"..\\x", {"..", "x"}, false},
        {"\\x", {"x"}, true},
        {"c:x", {"c:x"}, true},
    };
    for (const Case& c : cases) {
        bool absolute = !c.absolute;
        EXPECT_EQ(PathComponents(c.path, absolute), c.components) << c.path;
        EXPECT_EQ(absolute, c.absolute) << c.path;
    }
}

}  // namespace
