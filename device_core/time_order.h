#pragma once
// Times stamped by several threads, kept in order. A thread's clock need not
// agree with another's to the microsecond (a browser corrects each worker's
// clock on its own: readings a quarter of a millisecond apart, out of order),
// so a log that several threads write takes the latest time it has given
// whenever a thread's reading is earlier.

#include <algorithm>

namespace device {

class TimeOrder {
public:
    // `now`, or the last time given when that is later. Calls must be
    // serialised (the log's own lock).
    double Stamp(double now) {
        last_ = std::max(last_, now);
        return last_;
    }

private:
    double last_ = 0;
};

}  // namespace device
