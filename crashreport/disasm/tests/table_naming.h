#pragma once

#include "crashreport/disasm/code_naming.h"

#include <map>
#include <vector>

// Names addresses from a table: code ranges with their source places, and objects by address.
class TTableNaming : public faulttrap::TCodeNaming {
public:
    struct TRange {
        std::uint64_t Begin;
        std::uint64_t End;
        faulttrap::TSourcePlace Place;
    };

    void AddCode(std::uint64_t begin, std::uint64_t end, faulttrap::TSourcePlace place) {
        ranges_.push_back({begin, end, std::move(place)});
    }
    void AddObject(std::uint64_t address, std::string className) {
        objects_[address] = std::move(className);
    }

    std::optional<faulttrap::TSourcePlace> SourcePlace(std::uint64_t address) const override {
        for (const TRange& range : ranges_) {
            if (address >= range.Begin && address < range.End) {
                return range.Place;
            }
        }
        return std::nullopt;
    }
    std::string ObjectClassName(std::uint64_t address) const override {
        const auto found = objects_.find(address);
        return found == objects_.end() ? std::string() : found->second;
    }

private:
    std::vector<TRange> ranges_;
    std::map<std::uint64_t, std::string> objects_;
};
