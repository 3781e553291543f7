#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace faulttrap::testing {

// Puts the process in a time zone for the life of the object.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
            hadOld_ = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedZone() {
        if (hadOld_) {
            setenv("TZ", old_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedZone(const ScopedZone&) = delete;
    ScopedZone& operator=(const ScopedZone&) = delete;

private:
    std::string old_;
    bool hadOld_ = false;
};

} // namespace faulttrap::testing
