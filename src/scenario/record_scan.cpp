#include "scenario/record_scan.h"

#include <bit>
#include <cstdio>
#include <cstring>

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

// Word by word: a marker 8, then the time; a time outside the band sends the
// scan back to looking for a marker, so the direction and speed words are
// examined as markers themselves.
class WindScan {
public:
    WindScan(std::uint32_t bandStart, std::uint32_t bandEnd) : bandStart_(bandStart), bandEnd_(bandEnd) {}

    bool Idle() const { return state_ == State::Marker; }

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
// examines, so a skip beyond the end simply never comes due.
struct FlightScan {
    std::uint64_t next = kFlightScanStart;
    std::uint32_t records = 0;  // marker 5 and marker 6 records
    std::uint32_t doubles = 0;  // marker 6 records, which count twice

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

inline void FeedWord(std::uint32_t w, std::uint64_t at, WindScan& wind, FlightScan& flights) {
    wind.Feed(w);
    if (at >= flights.next) flights.Feed(w, at);
}

// Words in blocks: a block in which no word is any marker value (5 to 8) can
// change neither scan while the wind scan is looking for a marker, so it is
// passed over with one vectorisable test instead of word-by-word steps.
void ScanWords(const unsigned char* p, std::size_t count, std::uint64_t at, WindScan& wind, FlightScan& flights) {
    constexpr std::size_t kBlock = 16;
    for (std::size_t i = 0; i < count;) {
        const std::size_t n = count - i < kBlock ? count - i : kBlock;
        const unsigned char* block = p + 4 * i;
        const std::uint64_t blockAt = at + 4 * i;
        if (n == kBlock && wind.Idle()) {
            std::uint32_t markers = 0;
            for (std::size_t k = 0; k < kBlock; ++k) markers |= (LoadLE32(block + 4 * k) - 5u) < 4u;
            if (!markers) {
                const std::uint64_t blockEnd = blockAt + 4 * kBlock;
                if (flights.next < blockEnd) flights.next = blockEnd;
                i += kBlock;
                continue;
            }
        }
        for (std::size_t k = 0; k < n; ++k) FeedWord(LoadLE32(block + 4 * k), blockAt + 4 * k, wind, flights);
        i += n;
    }
}

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
            FeedWord(w, at, wind, flights);
            at += 4;
            continue;
        }
        const std::size_t words = bytes.size() / 4;
        ScanWords(bytes.data(), words, at, wind, flights);
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
