// dico.exe: the small dictionary program that the sample medium installs.
// Started from its shortcut (working directory: the install directory), it
// reads the languages of dict.ini and their reversed word lists, and looks
// up the word given on the command line (after the /fr switch) in each.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Language {
    std::string name;
    std::string list;  // the reversed list, relative to the install directory
};

// The [langue] lines: code, code, list path, language name.
std::vector<Language> ReadLanguages()
{
    std::vector<Language> languages;
    FILE* file = std::fopen("dict.ini", "r");
    if (!file)
        return languages;
    char line[512];
    bool inSection = false;
    while (std::fgets(line, sizeof line, file)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (line[0] == '[') {
            inSection = lstrcmpiA(line, "[langue]") == 0;
            continue;
        }
        if (!inSection || line[0] == '\0' || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        for (char* field = std::strtok(line, ","); field; field = std::strtok(nullptr, ","))
            fields.emplace_back(field);
        if (fields.size() >= 4)
            languages.push_back({fields[3], fields[2]});
    }
    std::fclose(file);
    return languages;
}

// Translations of word in one reversed list (84-byte records, key then value).
std::string LookUp(const std::string& list, const std::string& word, long* count)
{
    std::string found;
    *count = 0;
    FILE* file = std::fopen(list.c_str(), "rb");
    if (!file)
        return found;
    unsigned char record[84];
    while (std::fread(record, sizeof record, 1, file) == 1) {
        ++*count;
        char key[31], value[51];
        std::memcpy(key, record, 30);
        key[30] = '\0';
        std::memcpy(value, record + 31, 50);
        value[50] = '\0';
        if (!word.empty() && lstrcmpiA(key, word.c_str()) == 0)
            found += (found.empty() ? "" : "; ") + std::string(value);
    }
    std::fclose(file);
    return found;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    std::string word = commandLine;
    if (word.rfind("/fr", 0) == 0)
        word.erase(0, 3);
    word.erase(0, word.find_first_not_of(' '));

    std::string text;
    for (const Language& language : ReadLanguages()) {
        long count = 0;
        std::string translations = LookUp(language.list, word, &count);
        text += language.name + " : " + std::to_string(count) + " mots";
        if (!word.empty())
            text += translations.empty() ? " ; \xAB " + word + " \xBB introuvable"
                                         : " ; " + word + " = " + translations;
        text += "\n";
    }
    if (text.empty())
        text = "Aucune langue n'est install\xE9" "e.";
    MessageBoxA(nullptr, text.c_str(), "Dictionnaire bilingue", MB_OK | MB_ICONINFORMATION);
    return 0;
}
