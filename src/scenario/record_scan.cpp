#include "scenario/record_scan.h"

#include <bit>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kolt {
namespace {

constexpr std::uint32_t kWindMarker = 8;
constexpr std::uint32_t kSingleFlightMarker = 5;  // followed by 104 bytes
constexpr std::uint32_t kDoubleFlightMarker = 6;  // followed by 176 bytes
constexpr std::uint32_t kNoFlightMarker = 7;      // followed by 4 bytes

inline std::uint32_t LoadLE32(const unsigned char* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
}

// Index of the first word equal to 8 in words [from, count), or count. This
// is where a scan spends its time, so blocks of 16 words are tested at once.
std::size_t FindWindMarker(const unsigned char* p, std::size_t from, std::size_t count) {
    std::size_t i = from;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        const __m128i marker = _mm_set1_epi32(static_cast<int>(kWindMarker));
        for (; count - i >= 16; i += 16) {
            const auto* q = reinterpret_cast<const __m128i*>(p + 4 * i);
            const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(q), marker);
            const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(q + 1), marker);
            const __m128i c = _mm_cmpeq_epi32(_mm_loadu_si128(q + 2), marker);
            const __m128i d = _mm_cmpeq_epi32(_mm_loadu_si128(q + 3), marker);
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0) break;
        }
    }
#else
    for (; count - i >= 16; i += 16) {
        std::uint32_t hit = 0;
        for (std::size_t k = 0; k < 16; ++k)
            hit |= LoadLE32(p + 4 * (i + k)) == kWindMarker;
        if (hit) break;
    }
#endif
    for (; i < count; ++i)
        if (LoadLE32(p + 4 * i) == kWindMarker) return i;
    return count;
}

// Word by word: a marker 8, then the time; a time outside the band sends the
// scan back to looking for a marker, so the direction and speed words are
// examined as markers themselves.
class WindScan {
public:
    WindScan(std::uint32_t bandStart, std::uint32_t bandEnd) : bandStart_(bandStart), bandEnd_(bandEnd) {}

    // Scans whole words: the search for the next marker runs over the block
    // in place; the words of an entry go through Feed.
    void Scan(const unsigned char* p, std::size_t count) {
        for (std::size_t i = 0; i < count;) {
            if (state_ == State::Marker) {
                if (entries_ >= kMaxWindEntries) return;  // nothing more will be listed
                i = FindWindMarker(p, i, count);
                if (i == count) return;
            }
            Feed(LoadLE32(p + 4 * i));
            ++i;
        }
    }

    void Feed(std::uint32_t w) {
        switch (state_) {
            case State::Marker:
                if (w == kWindMarker && entries_ < kMaxWindEntries) state_ = State::Time;
                break;
            case State::Time:
                time_ = w;
                state_ = (w >= bandStart_ && w < bandEnd_) ? State::Direction : State::Marker;
                break;
            case State::Direction:
                direction_ = static_cast<std::int32_t>(w);
                state_ = State::Speed;
                break;
            case State::Speed:
                Append(static_cast<std::int32_t>(w));
                state_ = State::Marker;
                break;
        }
    }

    // The text without the last entry's arrow and the space after it; an
    // entry cut off by the end of the file is not listed.
    std::string Finish() {
        if (!text_.empty()) text_.resize(text_.size() - 3);
        return std::move(text_);
    }

private:
    enum class State { Marker, Time, Direction, Speed };

    void Append(std::int32_t speed) {
        if (entries_ > 0 && entries_ % 3 == 0) text_ += "\r\n";
        const auto t = static_cast<std::int32_t>(time_);
        // "%02d:%02d %03d°%02dkt → " with ° and → in CP932; at most 54 bytes.
        char entry[80];
        const int n = std::snprintf(entry, sizeof entry, "%02d:%02d %03d\x81\x8B%02dkt \x81\xA8 ", t / 100, t % 100,
                                    direction_, speed);
        text_.append(entry, static_cast<std::size_t>(n));
        ++entries_;
    }

    std::uint32_t bandStart_, bandEnd_;
    State state_ = State::Marker;
    std::uint32_t time_ = 0;
    std::int32_t direction_ = 0;
    std::uint32_t entries_ = 0;
    std::string text_;
};

// Word by word from offset 224: a marker counts and skips its record; any
// other word is skipped alone. `next` is the offset of the next word the scan
// examines, so the scan hops from record to record and a skip beyond the end
// simply never comes due.
struct FlightScan {
    std::uint64_t next = kFlightScanStart;
    std::uint32_t records = 0;  // marker 5 and marker 6 records
    std::uint32_t doubles = 0;  // marker 6 records, which count twice

    // Whole words of the file from offset `at` on.
    void Scan(const unsigned char* p, std::size_t count, std::uint64_t at) {
        const std::uint64_t end = at + 4 * count;
        while (next < end)
            Feed(LoadLE32(p + (next - at)), next);
    }

    void Feed(std::uint32_t w, std::uint64_t at) {
        next = at + 4;
        if (w == kSingleFlightMarker) {
            ++records;
            next += 104;
        } else if (w == kDoubleFlightMarker) {
            ++records;
            ++doubles;
            next += 176;
        } else if (w == kNoFlightMarker) {
            next += 4;
        }
    }
};

}  // namespace

RecordScan ScanRecords(ByteReader& reader, std::uint32_t bandStart, std::uint32_t bandEnd) {
    const std::uint64_t saved = reader.Tell();
    WindScan wind(bandStart, bandEnd);
    FlightScan flights;

    reader.Seek(kWindScanStart);
    std::uint64_t at = kWindScanStart;
    while (true) {
        const auto bytes = reader.Available();
        if (bytes.size() < 4) {
            // The end of the file, or a word across the buffer's edge after a
            // short read: take the word whole or end the scan.
            std::uint32_t w = 0;
            if (bytes.empty() || reader.ReadU32(w) < 4) break;
            wind.Feed(w);
            if (at == flights.next) flights.Feed(w, at);
            at += 4;
            continue;
        }
        // Both scans walk the same 4-byte grid, so each takes the buffer's
        // words in place, one after the other.
        const std::size_t words = bytes.size() / 4;
        wind.Scan(bytes.data(), words);
        flights.Scan(bytes.data(), words, at);
        reader.Skip(4 * words);
        at += 4 * words;
    }
    reader.Seek(saved);

    RecordScan result;
    result.windText = wind.Finish();
    result.controlledFlights = static_cast<std::int32_t>(flights.records + flights.doubles);
    return result;
}

}  // namespace kolt
