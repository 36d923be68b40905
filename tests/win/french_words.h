// Real French words with what makes collation hard (accents, ligatures,
// apostrophes, hyphens, capitals), and thousands more made from them.
#pragma once

#include <string>
#include <vector>

inline const std::vector<std::string>& RealFrenchWords()
{
    static const std::vector<std::string> words = {
        "abb\xE9", "abbaye", "\xE0", "a", "A", "\xC0", "aim\xE9", "aimer", "a\xEF" "eul", "aigu", "aigu\xEB",
        "\xE2me", "amen", "ambigu\xEB", "apr\xE8s", "apr\xE8s-midi", "arc-en-ciel", "au-dessus", "aujourd'hui",
        "b\xE2ton", "bateau", "b\xE9" "b\xE9", "bebe", "B\xE9" "b\xE9", "b\xEAte", "bete", "b\xEAtise", "b\x9C" "uf",
        "boeuf", "bonhomme", "bonne-maman", "c\xE2" "ble", "cable", "c\xE8" "dre", "c\xE9" "der", "chat", "Chat", "CHAT",
        "ch\xE2teau", "chateau", "ch\xEAne", "chene", "chien", "ciel", "co-op", "coop", "coop\xE9rer", "cote",
        "c\xF4te", "cot\xE9", "c\xF4t\xE9", "c\x9C" "ur", "coeur", "cr\xE8me", "creme", "cr\xEApe", "crepe",
        "d'abord", "d\xE9j\xE0", "deja", "d\xE9", "de", "d\xE8s", "des", "dessus", "\xE9" "cole", "ecole",
        "\xC9" "cole", "\xE9l\xE8ve", "eleve", "\xE9t\xE9", "ete", "\xEAtre", "etre", "\xE9tre", "ex\x9C" "quo",
        "f\xEAte", "fete", "for\xEAt", "foret", "fran\xE7" "ais", "francais", "Fran\xE7" "ois", "gar\xE7" "on",
        "garcon", "gr\xE2" "ce", "grace", "gu\xEApe", "h\xF4pital", "hopital", "h\xF4tel", "hotel", "hu\xEEtre",
        "\xEEle", "ile", "jusqu'\xE0", "jusque", "l'eau", "leau", "l'\xE9t\xE9", "l'Europe", "la", "l\xE0",
        "ma\xEEtre", "maitre", "ma\xEFs", "mais", "manoeuvre", "man\x9C" "uvre", "m\xE8re", "mere", "m\xFBr",
        "mur", "m\xFBre", "na\xEF" "ve", "naive", "No\xEBl", "noel", "n\x9C" "ud", "noeud", "o\xF9", "ou",
        "p\xE2te", "pate", "p\xE2t\xE9", "pat\xE9", "p\xE8re", "pere", "p\xEA" "che", "p\xE9" "ch\xE9", "peche",
        "porte-monnaie", "portemonnaie", "qu'il", "quil", "qu'on", "r\xE9sum\xE9", "resume", "r\xF4le", "role",
        "s\x9C" "ur", "soeur", "s\xFBr", "sur", "sur-le-champ", "t\xEAte", "tete", "th\xE9\xE2tre", "tr\xE8s",
        "tres", "vo\xEEte", "voute", "z\xE8" "bre", "zebre", "Z\xE8" "bre", "z\xE9ro", "zero", "zo\xE9",
        "\xE6quo", "aequo", "cass\xE9", "casse", "Cass\xE9", "-", "'", "a-", "a'", "-a", "'a",
    };
    return words;
}

// Real words, then compounds, elisions and capitals made from them.
inline std::vector<std::string> ManyFrenchWords()
{
    const std::vector<std::string>& real = RealFrenchWords();
    std::vector<std::string> words = real;
    const size_t n = real.size();
    for (size_t i = 0; i < n; ++i) {
        const std::string& a = real[i];
        const std::string& b = real[(i * 7 + 3) % n];
        const std::string& c = real[(i * 13 + 5) % n];
        words.push_back(a + "-" + b);
        words.push_back(a + b);
        words.push_back(a + "'" + c);
        words.push_back("l'" + a);
        words.push_back("d'" + b);
        words.push_back(a + " " + c);
        std::string upper = a;
        for (char& ch : upper)
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 'a' + 'A');
        words.push_back(upper);
        words.push_back(b + "-" + a + "s");
        words.push_back(c + "e" + a);
        words.push_back(a + "-" + c + "-" + b);
        words.push_back("qu'" + c);
        words.push_back(a + "\xE9");
        words.push_back(c + b);
        words.push_back(b + " " + a);
        std::string capital = a;
        if (!capital.empty() && capital[0] >= 'a' && capital[0] <= 'z')
            capital[0] = static_cast<char>(capital[0] - 'a' + 'A');
        words.push_back(capital + "-" + c);
    }
    for (std::string& word : words)
        if (word.size() > 30)
            word.resize(30);
    return words;
}
