#pragma once

namespace WexoCreator {

// One factor for every animation duration and delay of the library's views,
// the banner's stay included. 1 in a running host; tests and the offscreen
// demo shrink it so a walkthrough plays in moments. Readable from any thread.
struct WTiming {
    static double scale();
    // A negative or non-finite factor is refused (the factor stays as it was).
    static void setScale(double factor);

    // The duration in seconds, scaled.
    static double seconds(double seconds);
    // The duration in seconds, scaled, as whole milliseconds within int range.
    static int ms(double seconds);
};

} // namespace WexoCreator
