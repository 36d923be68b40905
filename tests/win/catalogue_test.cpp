#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"
#include "support/installed_files.h"
#include "shell/collation.h"

namespace {

const std::string kEnd = kCatalogueEnd;

// The five names of the product, in the order langue.cf may give them.
const std::string kUnsorted =
    "[langue]\r\nb,b,b,espagnol\r\nc,c,c,Italien\r\nd,d,d,\xC9" "cossais\r\n"
    "e,e,e,anglais\r\nf,f,f,Allemand\r\n\r\n\r\n" + kEnd;

std::string SortedCatalogue()
{
    ScratchFolder folder;
    ScopedCurrentFolder current(folder.path());
    WriteFileBytes("dict.ini", kUnsorted);
    int32_t count = CountLanguageEntries();
    EXPECT_EQ(count, 5);
    EXPECT_EQ(SortLanguageSection(count), 0);
    return ReadFileBytes("dict.ini");
}

// Runs first: once French is set, it stays set for the process.
TEST(CatalogueSort, WithoutFrenchAccentedNamesComeAfterZ)
{
    if (FrenchCollationIsSet())
        GTEST_SKIP() << "French collation was set by an earlier test of this process";
    EXPECT_EQ(SortedCatalogue(),
              "[langue]\r\nf,f,f,Allemand\r\ne,e,e,anglais\r\nb,b,b,espagnol\r\nc,c,c,Italien\r\n"
              "d,d,d,\xC9" "cossais\r\n\r\n" + kEnd);
}

TEST(CatalogueSort, FrenchCollationIgnoresCaseAndAccents)
{
    ASSERT_TRUE(SetFrenchCollation());
    EXPECT_EQ(SortedCatalogue(),
              "[langue]\r\nf,f,f,Allemand\r\ne,e,e,anglais\r\nd,d,d,\xC9" "cossais\r\n"
              "b,b,b,espagnol\r\nc,c,c,Italien\r\n\r\n" + kEnd);
}

}  // namespace
