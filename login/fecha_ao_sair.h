#pragma once

#include "data/record_set.h"

namespace olvendra::login {

// Closes a record set when the scope ends, however it ends: the login's sets are open only for
// the length of one lookup.
class FechaAoSair {
public:
    explicit FechaAoSair(data::RecordSet& conjunto) : conjunto_(conjunto) {}
    ~FechaAoSair() {
        try {
            conjunto_.close();
        } catch (...) {
            // Closing drops local rows only; there is nothing to report if it fails.
        }
    }
    FechaAoSair(const FechaAoSair&) = delete;
    FechaAoSair& operator=(const FechaAoSair&) = delete;

private:
    data::RecordSet& conjunto_;
};

} // namespace olvendra::login
