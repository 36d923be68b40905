#include "fault_support.h"

#include <windows.h>

Tree ReadTree(const std::string& folder)
{
    Tree files;
    WalkTree(folder, [&](const std::string& name, bool isFolder) {
        if (!isFolder)
            files[name] = ReadFileBytes(folder + "\\" + name);
    });
    return files;
}

void WriteTree(const std::string& folder, const Tree& files)
{
    for (const auto& [name, bytes] : files) {
        for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1))
            CreateDirectoryA((folder + "\\" + name.substr(0, slash)).c_str(), nullptr);
        WriteFileBytes(folder + "\\" + name, bytes);
    }
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

bool IsTemporaryName(const std::string& name)
{
    std::string base = name.substr(name.find_last_of('\\') + 1);
    for (char& c : base)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name == "tmp.ini" || name == "langue\\temp.wb" || name == "langue\\temp.to" ||
           (base.compare(0, 3, "~lz") == 0 && base.size() > 4 && base.substr(base.size() - 4) == ".tmp");
}
