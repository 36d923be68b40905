#include "installed_files.h"

std::string CatalogueHead(const std::string& fromListName)
{
    return std::string(kCatalogueHeader) + "\r\n[ajouter]\r\non\r\n\r\n[selectionn\xE9]\r\n" + fromListName +
           "\r\n\r\n[langue]\r\n";
}

std::string Catalogue(const std::string& fromListName, const std::string& languageLines)
{
    return CatalogueHead(fromListName) + (languageLines.empty() ? "\r\n" : languageLines) + "\r\n" + kCatalogueEnd;
}

std::string Crlf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

bool IsTemporaryName(const std::string& name)
{
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const std::string base = lower.substr(lower.find_last_of('\\') + 1);
    return lower == "tmp.ini" || lower == "langue\\temp.wb" || lower == "langue\\temp.to" ||
           (base.compare(0, 3, "~lz") == 0 && base.size() >= 7 && base.compare(base.size() - 4, 4, ".tmp") == 0);
}

bool IsWriteFailureMessage(const std::string& text)
{
    for (const char* message : {"Write error TMP.INI", "Can't open TMP.INI", "Write error tempfile",
                                "Can't create tempfile", "Write error output file",
                                "Can't create output file", "Can't create DICT.INI"})
        if (text == message)
            return true;
    return false;
}

std::string CompressedForm(const std::string& bytes, char method, long promised)
{
    const size_t size = promised < 0 ? bytes.size() : static_cast<size_t>(promised);
    std::string out("SZDD\x88\xF0\x27\x33", 8);
    out += method;
    out += '\0';
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((size >> shift) & 0xFF);
    for (size_t at = 0; at < bytes.size(); at += 8) {
        out += '\xFF';
        out += bytes.substr(at, 8);
    }
    return out;
}
