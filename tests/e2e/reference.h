// What an installation must produce, computed independently of the
// program's code: the reversed word list and the catalogue.
#pragma once

#include <string>

// The TO list for a FROM list (both as file bytes): one record per
// byte-equal key (leading spaces of the words dropped, words over 30
// characters left out), values in FROM-file order joined by ", " as far as
// 50 characters allow, records ordered by the French collation (case
// ignored), then by the key bytes.
std::string ReversedWordList(const std::string& fromBytes);

// The 84-byte record with key and value.
std::string WordRecordBytes(const std::string& key, const std::string& value);

// The head of the sample medium's catalogue, up to and including its
// "[langue]" line: the template with the first language's FROM list.
extern const char kSampleCatalogueHead[];
