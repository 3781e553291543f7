#pragma once

#include "crashreport/disasm/code_naming.h"
#include "crashreport/disasm/dis_asm.h"

#include <cstdint>
#include <string>

namespace faulttrap {

// Unit (without extension), class and procedure of a place, joined by "." (empty parts left out).
std::string JoinedPlaceName(const TSourcePlace& place);

// The name the listing gives an address: for code known at least to the procedure, unit (without
// extension), class and procedure joined by "." and, past the procedure's second line,
// " (Line=%d)"; for a valid object, its class name; otherwise empty.
std::string AddressName(const TCodeNaming& naming, std::uint64_t address);

// "  ; '" and up to 32 characters found at `address` (bytes below 32 as "."), "'" and "..." when
// no terminating zero was met; empty when nothing can be read there.
std::string StringComment(std::uint64_t address);

// The disassembler's naming callbacks for the listing: jump and call targets, memory addresses
// and cells holding code addresses get names, immediates and computed addresses that point to
// readable memory get the string comment. `naming` must outlive the disassembler.
TNamingCallbacks ListingNamingCallbacks(const TCodeNaming& naming);

} // namespace faulttrap
