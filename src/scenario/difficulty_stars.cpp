// The star rating on its own: this file is built so that every step of the
// floating-point arithmetic rounds to double, as it does on every platform
// the rating has to agree with (x87's wider intermediates would move D across
// a whole number now and then, and with it a star).
#include "scenario/scenario_reader.h"

namespace kolt {

std::string DifficultyStars(std::int32_t controlledFlights, std::int32_t bandMinutes, std::size_t windTextBytes) {
    const double windFactor = windTextBytes > 30 ? 1.3 : 1.0;
    double d = controlledFlights * 10.0 / bandMinutes * windFactor;
    // A zero-minute band makes D infinite and a corrupt file can make it
    // billions: the row stops at 100 stars. Up to 100 the loop itself runs,
    // so every such D gives exactly the stars it always gave.
    if (d > 100.0) d = 100.0;
    std::string stars;
    while (d > 0.0) {
        stars += "\x81\x9A";  // ★
        d -= 1.0;
    }
    return stars;
}

}  // namespace kolt
