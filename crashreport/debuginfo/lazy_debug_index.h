#pragma once

#include "crashreport/debuginfo/inlined_calls.h"
#include "crashreport/debuginfo/name_field.h"
#include "crashreport/debuginfo/source_place.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace faulttrap {

// The compact debug information of a module, answering lookups while unpacking as little
// as it can. Building it only notes where each unit record's code lies and where its bytes
// are; a record's names and line table are deciphered and decoded when a lookup first
// lands in it, then kept. A program resolves a few dozen addresses per report, from a
// handful of records among thousands.
//
// Records are expected not to overlap (the build tool never writes overlapping ones);
// where they do, the record starting last at or before the address answers, as it does in
// the fully unpacked DebugIndex.
//
// Lookups may come from several threads; the text of a returned place stays valid as
// long as the index.
class LazyDebugIndex {
public:
    // Damage in the record layout raises DebugDataError. A line table found damaged later,
    // at its first lookup, makes that record answer nothing.
    LazyDebugIndex(std::vector<std::uint8_t> information, const NameCipher& cipher,
                   bool passwordValid, bool continuation);
    ~LazyDebugIndex();
    LazyDebugIndex(const LazyDebugIndex&) = delete;
    LazyDebugIndex& operator=(const LazyDebugIndex&) = delete;

    // The source place of a code offset (from the module's code start), if a unit covers it.
    std::optional<SourcePlaceView> Find(std::uint64_t offset) const;

    // The chain of inlined calls at a code offset, innermost first (see InlinedCallIndex);
    // empty outside inlined code and for data without the record. The record is unpacked at
    // the first call; found damaged then, it answers nothing.
    std::vector<InlinedScopeView> InlinedScopesAt(std::uint64_t offset) const;

    // The debug information as stored, for whoever wants to unpack all of it.
    std::span<const std::uint8_t> Information() const { return information_; }

private:
    struct Record {
        std::uint32_t begin = 0; // code offset
        std::uint64_t end = 0;
        std::uint32_t firstLine = 0;
        std::uint32_t namePosition = 0; // of the unit's name field
        std::uint32_t tablePosition = 0;
        std::uint32_t tableLength = 0;
    };
    struct Block;

    const Block& BlockAt(std::size_t record) const;
    std::unique_ptr<Block> Decode(const Record& record) const;
    void NameClasses(std::size_t record) const;
    std::string_view Decipher(std::span<const std::uint8_t> stored, NameRole role) const;

    std::vector<std::uint8_t> information_;
    std::unique_ptr<NameCipher> cipher_;
    NameDecoding decoding_;
    std::vector<Record> records_; // in stored order, which is the order names refer back in
    // The records that hold code, by code offset: their begins side by side, so that the
    // search stays in one small block of memory, their ends and their positions in records_.
    std::vector<std::uint32_t> begins_;
    std::vector<std::uint64_t> ends_;
    std::vector<std::uint32_t> byAddress_;

    std::span<const std::uint8_t> inlinedCalls_; // the record's payload, empty when none

    mutable std::mutex mutex_;
    mutable std::unique_ptr<InlinedCallIndex> inlinedIndex_;
    mutable bool inlinedIndexTried_ = false;
    mutable std::vector<std::unique_ptr<Block>> blocks_; // by record, once decoded
    // Deciphered names keyed by their stored bytes (which the index owns); one map per role,
    // as undecipherable unit and procedure names read differently.
    mutable std::unordered_map<std::string_view, std::string> names_[2];
};

} // namespace faulttrap
