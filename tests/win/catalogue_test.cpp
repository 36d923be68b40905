#include "catalogue/catalogue.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "shell/collation.h"

namespace {

const std::string kEnd = "# --- EOF " + std::string(56, '-') + "\r\n";

// A fresh folder under the temporary folder, current while the test runs.
class CatalogueFolder {
public:
    CatalogueFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetCurrentDirectoryA(sizeof previous_, previous_);
        folder_ = std::string(temp) + "catalogue-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetCurrentDirectoryA(folder_.c_str());
    }
    ~CatalogueFolder()
    {
        DeleteFileA("dict.ini");
        DeleteFileA("tmp.ini");
        SetCurrentDirectoryA(previous_);
        RemoveDirectoryA(folder_.c_str());
    }

private:
    char previous_[MAX_PATH];
    std::string folder_;
};

void WriteCatalogue(const std::string& bytes)
{
    std::ofstream("dict.ini", std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadCatalogue()
{
    std::ifstream in("dict.ini", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The five names of the product, in the order langue.cf may give them.
const std::string kUnsorted =
    "[langue]\r\nb,b,b,espagnol\r\nc,c,c,Italien\r\nd,d,d,\xC9" "cossais\r\n"
    "e,e,e,anglais\r\nf,f,f,Allemand\r\n\r\n\r\n" + kEnd;

std::string SortedCatalogue()
{
    CatalogueFolder folder;
    WriteCatalogue(kUnsorted);
    int32_t count = CountLanguageEntries();
    EXPECT_EQ(count, 5);
    EXPECT_EQ(SortLanguageSection(count), 0);
    return ReadCatalogue();
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
