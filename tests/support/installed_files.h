// What an installation writes into the install folder besides the copies:
// the catalogue dict.ini (CR LF line ends, as on disk), the names that only
// ever hold work in progress, and the messages a failed write ends with.
#pragma once

#include <string>

// Its first line, and the end comment that is its last.
inline constexpr char kCatalogueHeader[] =
    "# --- dict.ini --------------------------------------------------\r\n";
inline constexpr char kCatalogueEnd[] =
    "# --- EOF --------------------------------------------------------\r\n";

// A new catalogue's lines up to and including "[langue]", naming the first
// FROM list under [selectionné].
std::string CatalogueHead(const std::string& fromListName);
// A catalogue as an installation leaves it: the head, the language lines
// (each ended), one empty line and the end comment. With no lines, the
// template a new catalogue starts from.
std::string Catalogue(const std::string& fromListName, const std::string& languageLines);

// LF line ends made CR LF; CR LF stays as it is.
std::string Crlf(const std::string& text);

// tmp.ini, langue\temp.wb, langue\temp.to and a copy's ~lz*.tmp: names
// (relative to the install folder, any case) that never hold a user's data.
bool IsTemporaryName(const std::string& name);

// The messages a run ends with when a write into the install folder fails.
bool IsWriteFailureMessage(const std::string& text);

// The platform LZ library's compressed form of bytes, every byte stored as a
// literal (a flag byte of eight 1 bits before each eight bytes). The header
// may promise another size than the data holds, or name another method.
std::string CompressedForm(const std::string& bytes, char method = 'A', long promised = -1);
