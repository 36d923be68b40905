#include "script/lz_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "shell/windows1252.h"

namespace {

constexpr char kSignature[] = "SZDD\x88\xF0\x27\x33";
static_assert(sizeof kSignature - 1 == kLzSignatureSize, "signature length");

constexpr size_t kWindowSize = 4096;
constexpr size_t kWindowMask = kWindowSize - 1;
// Where the expansion writes its first byte in the window.
constexpr size_t kFirstPlace = kWindowSize - 16;
// Media hold files of tens of MB: read and write in blocks large enough
// that the file calls cost nothing beside the decoding.
constexpr size_t kReadBlock = 1u << 16;
constexpr size_t kWriteBlock = 1u << 18;

// The compressed file, a byte at a time over blocks read as needed.
class Input {
public:
    explicit Input(const LzRead& read) : read_(read), block_(kReadBlock) {}

    // False at the end of the file or after a read error.
    bool Next(unsigned char& byte)
    {
        if (at_ == end_ && !Refill())
            return false;
        byte = block_[at_++];
        return true;
    }
    bool Failed() const { return failed_; }

private:
    bool Refill()
    {
        if (ended_)
            return false;
        size_t count = 0;
        if (!read_(block_.data(), block_.size(), count)) {
            failed_ = ended_ = true;
            return false;
        }
        at_ = 0;
        end_ = std::min(count, block_.size());
        ended_ = end_ == 0;
        return !ended_;
    }

    const LzRead& read_;
    std::vector<char> block_;
    size_t at_ = 0, end_ = 0;
    bool ended_ = false, failed_ = false;
};

// The expansion: counted whole, written up to the promised size only.
class Output {
public:
    Output(const LzWrite& write, uint64_t promised) : write_(write), promised_(promised), block_(kWriteBlock) {}

    void Put(char byte)
    {
        if (produced_++ >= promised_)
            return;
        block_[used_++] = byte;
        if (used_ == block_.size())
            Flush();
    }
    bool Flush()
    {
        if (used_ > 0 && !failed_ && !write_(block_.data(), used_))
            failed_ = true;
        used_ = 0;
        return !failed_;
    }
    uint64_t Produced() const { return produced_; }
    bool Failed() const { return failed_; }

private:
    const LzWrite& write_;
    const uint64_t promised_;
    std::vector<char> block_;
    size_t used_ = 0;
    uint64_t produced_ = 0;
    bool failed_ = false;
};

enum class StreamEnd { AtItem, InMatch, PastPromise };

// Decodes the groups after the header until the input ends, or until more
// has come out than the one-byte rule can accept (no need to read on).
StreamEnd DecodeGroups(Input& in, Output& out, uint64_t promised)
{
    std::array<unsigned char, kWindowSize> window;
    window.fill(' ');
    size_t position = kFirstPlace;
    unsigned char flags = 0;
    while (in.Next(flags)) {
        for (int item = 0; item < 8; ++item, flags >>= 1) {
            unsigned char first = 0;
            if (!in.Next(first))
                return StreamEnd::AtItem;
            if (flags & 1) {
                out.Put(static_cast<char>(first));
                window[position] = first;
                position = (position + 1) & kWindowMask;
            } else {
                unsigned char second = 0;
                if (!in.Next(second))
                    return StreamEnd::InMatch;
                // Byte by byte: a match may read what it has just written.
                size_t from = first | ((second & 0xF0u) << 4);
                for (size_t length = (second & 0x0Fu) + 3; length > 0; --length) {
                    const unsigned char byte = window[from];
                    from = (from + 1) & kWindowMask;
                    out.Put(static_cast<char>(byte));
                    window[position] = byte;
                    position = (position + 1) & kWindowMask;
                }
            }
            if (out.Produced() > promised + 1 || out.Failed())
                return StreamEnd::PastPromise;
        }
    }
    return StreamEnd::AtItem;
}

}  // namespace

std::string LzCompressedName(std::string_view path)
{
    std::string name(path);
    const size_t separator = name.find_last_of("\\/");
    const size_t dot = name.find('.', separator == std::string::npos ? 0 : separator + 1);
    if (dot == std::string::npos)
        return name + "._";
    // Counted in characters: setup.exe's paths are UTF-8, where a letter
    // may take several bytes; the tool's names are Windows-1252.
    const bool utf8 = IsUtf8(name);
    size_t characters = 0, last = dot + 1;
    for (size_t at = dot + 1; at < name.size(); ++characters) {
        last = at;
        char32_t character;
        if (!utf8 || !NextUtf8(name, at, character))
            ++at;
    }
    if (characters < 3)
        return name + "_";
    name.replace(last, std::string::npos, "_");
    return name;
}

char LzReplacedCharacter(std::string_view path)
{
    return LzCompressedName(path).size() == path.size() ? path.back() : '\0';
}

bool IsLzCompressed(std::string_view start)
{
    return start.size() >= kLzSignatureSize && start.compare(0, kLzSignatureSize, kSignature) == 0;
}

bool LzPromisedSize(std::string_view start, uint64_t& size)
{
    if (start.size() < kLzHeaderSize || !IsLzCompressed(start) || start[8] != 'A')
        return false;
    size = 0;
    for (size_t i = kLzHeaderSize; i-- > 10;)
        size = (size << 8) | static_cast<unsigned char>(start[i]);
    return true;
}

LzOutcome LzOutcomeOfSize(uint64_t promised, uint64_t expanded)
{
    if (expanded == promised)
        return LzOutcome::Whole;
    if (expanded < promised)
        return LzOutcome::Short;
    return expanded - promised == 1 ? LzOutcome::WholeCut : LzOutcome::Corrupt;
}

LzOutcome LzExpand(const LzRead& read, const LzWrite& write)
{
    Input in(read);
    char header[kLzHeaderSize];
    for (char& byte : header) {
        unsigned char next = 0;
        if (!in.Next(next))
            return in.Failed() ? LzOutcome::ReadFailed : LzOutcome::Corrupt;
        byte = static_cast<char>(next);
    }
    uint64_t promised = 0;
    if (!LzPromisedSize(std::string_view(header, sizeof header), promised))
        return LzOutcome::Corrupt;

    Output out(write, promised);
    const StreamEnd end = DecodeGroups(in, out, promised);
    if (in.Failed())
        return LzOutcome::ReadFailed;
    if (!out.Flush())
        return LzOutcome::WriteFailed;
    if (end == StreamEnd::InMatch)
        return out.Produced() < promised ? LzOutcome::Short : LzOutcome::Corrupt;
    return LzOutcomeOfSize(promised, out.Produced());
}

LzOutcome LzExpandBytes(std::string_view compressed, std::string& expanded)
{
    expanded.clear();
    const LzOutcome outcome = LzExpand(
        [&compressed](char* buffer, size_t capacity, size_t& count) {
            count = std::min(capacity, compressed.size());
            if (count > 0)
                std::memcpy(buffer, compressed.data(), count);
            compressed.remove_prefix(count);
            return true;
        },
        [&expanded](const char* bytes, size_t size) {
            expanded.append(bytes, size);
            return true;
        });
    if (outcome != LzOutcome::Whole && outcome != LzOutcome::WholeCut)
        expanded.clear();
    return outcome;
}

namespace {

constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;
// One short of the window: a match never starts at the place its first byte
// is written to, so the expander's order of reading and writing never matters.
constexpr size_t kMaxDistance = kWindowSize - 1;
// Bounds the search where every place looks alike (a run of one byte, the
// window's spaces); the nearest candidates are tried first.
constexpr size_t kMaxCandidates = 48;
constexpr unsigned kHashBits = 15;
constexpr size_t kNoPlace = SIZE_MAX;

// Earlier places of the text by the three bytes that start there, the
// nearest first, within the window's reach.
class Matcher {
public:
    explicit Matcher(const std::string& text)
        : text_(text), latest_(size_t(1) << kHashBits, kNoPlace), earlier_(kWindowSize, kNoPlace)
    {
    }

    // Every place before end becomes a candidate.
    void AddUpTo(size_t end)
    {
        for (; added_ < end && added_ + kMinMatch <= text_.size(); ++added_) {
            size_t& latest = latest_[Hash(added_)];
            earlier_[added_ & kWindowMask] = latest;
            latest = added_;
        }
    }

    // The longest match of the bytes at at (0 when none is worth one) and
    // how far back it starts; every place before at must have been added.
    size_t Longest(size_t at, size_t& distance) const
    {
        const size_t limit = std::min(kMaxMatch, text_.size() - at);
        if (limit < kMinMatch)
            return 0;
        size_t best = 0;
        size_t candidate = latest_[Hash(at)];
        for (size_t tried = 0; candidate != kNoPlace && at - candidate <= kMaxDistance && tried < kMaxCandidates;
             ++tried, candidate = earlier_[candidate & kWindowMask]) {
            // Past at, the match reads bytes it writes itself, as the expander does.
            if (text_[candidate + best] != text_[at + best])
                continue;
            size_t length = 0;
            while (length < limit && text_[candidate + length] == text_[at + length])
                ++length;
            if (length > best) {
                best = length;
                distance = at - candidate;
                if (best == limit)
                    break;
            }
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    size_t Hash(size_t at) const
    {
        const uint32_t bytes = static_cast<uint32_t>(static_cast<unsigned char>(text_[at])) << 16 |
                               static_cast<uint32_t>(static_cast<unsigned char>(text_[at + 1])) << 8 |
                               static_cast<unsigned char>(text_[at + 2]);
        return (bytes * 2654435761u) >> (32 - kHashBits);
    }

    const std::string& text_;
    std::vector<size_t> latest_;   // by hash
    std::vector<size_t> earlier_;  // by place, modulo the window
    size_t added_ = 0;
};

}  // namespace

std::string LzCompressBytes(std::string_view bytes, char nameCharacter)
{
    if (bytes.size() > kLzMaxExpandedSize)
        throw std::length_error("LzCompressBytes: more than a header can promise");
    std::string out(kSignature, kLzSignatureSize);
    out += 'A';
    out += nameCharacter;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((static_cast<uint64_t>(bytes.size()) >> shift) & 0xFF);

    // The window's first fill, then the bytes, each at the window place the
    // expansion writes it to: a match may reach back into the fill too.
    std::string text(kWindowSize, ' ');
    text.append(bytes);
    Matcher matcher(text);
    size_t flags = 0;
    int items = 8;
    for (size_t at = kWindowSize; at < text.size(); ++items) {
        if (items == 8) {
            flags = out.size();
            out += '\0';
            items = 0;
        }
        matcher.AddUpTo(at);
        size_t distance = 0;
        const size_t length = matcher.Longest(at, distance);
        if (length == 0) {
            out[flags] = static_cast<char>(static_cast<unsigned char>(out[flags]) | 1u << items);
            out += text[at++];
            continue;
        }
        const size_t place = (at - distance + kFirstPlace) & kWindowMask;
        out += static_cast<char>(place & 0xFF);
        out += static_cast<char>((place >> 4 & 0xF0) | (length - kMinMatch));
        at += length;
    }
    return out;
}
