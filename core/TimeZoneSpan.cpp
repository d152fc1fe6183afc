#include "core/TimeZoneSpan.h"

#include "core/Clock.h"

#include <algorithm>

namespace {

using namespace std::chrono;

// The zone is sampled this often; a change between two samples is found by halving.
constexpr hours Step{6};

milliseconds offsetAt(const Clock& clock, UtcInstant t) {
    return clock.localMoment(t).time_since_epoch() - t.time_since_epoch();
}

UtcInstant instantOf(Moment local, milliseconds offset) {
    return UtcInstant{local.time_since_epoch() - offset};
}

} // namespace

TimeZoneSpan::TimeZoneSpan() : m_pieces{{UtcInstant::min(), milliseconds{0}}} {
}

TimeZoneSpan::TimeZoneSpan(const Clock& clock, UtcInstant from, UtcInstant to) {
    // Whole seconds, so that halving ends exactly on a change (changes fall on seconds).
    UtcInstant t = floor<seconds>(from);
    milliseconds offset = offsetAt(clock, t);
    m_pieces.push_back({UtcInstant::min(), offset});
    while (t < to) {
        const UtcInstant next = t + Step;
        const milliseconds nextOffset = offsetAt(clock, next);
        if (nextOffset != offset) {
            UtcInstant before = t; // still the old offset
            UtcInstant after = next;
            while (after - before > seconds{1}) {
                const UtcInstant middle = before + floor<seconds>((after - before) / 2);
                (offsetAt(clock, middle) == offset ? before : after) = middle;
            }
            m_pieces.push_back({after, nextOffset});
            offset = nextOffset;
        }
        t = next;
    }
}

TimeZoneSpan TimeZoneSpan::around(const Clock& clock, UtcInstant now) {
    return TimeZoneSpan(clock, now - days{1}, now + days{400});
}

UtcInstant TimeZoneSpan::toUtc(Moment local) const {
    // The pieces are in time order, so the first that holds the moment is the earliest.
    const std::size_t n = m_pieces.size();
    for (std::size_t i = 0; i < n; ++i) {
        const UtcInstant t = instantOf(local, m_pieces[i].offset);
        if (t >= m_pieces[i].start && (i + 1 == n || t < m_pieces[i + 1].start))
            return t;
    }
    // No piece shows this moment: it lies in a change that moved the clock forward.
    for (std::size_t i = 1; i < n; ++i)
        if (instantOf(local, m_pieces[i - 1].offset) >= m_pieces[i].start &&
            instantOf(local, m_pieces[i].offset) < m_pieces[i].start)
            return m_pieces[i].start;
    return instantOf(local, m_pieces.front().offset);
}

Moment TimeZoneSpan::toLocal(UtcInstant t) const {
    const auto after = std::upper_bound(m_pieces.begin() + 1, m_pieces.end(), t,
                                        [](UtcInstant v, const Piece& p) { return v < p.start; });
    return Moment{t.time_since_epoch() + std::prev(after)->offset};
}
