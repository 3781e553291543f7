#include "crashreport/options/exception_filters.h"

#include <stdexcept>
#include <utility>

namespace faulttrap {

TFaultExceptionsFilters::TFaultExceptionsFilters(std::function<void()> ownerChanged)
    : ownerChanged_(std::move(ownerChanged)) {}

void TFaultExceptionsFilters::Add(TFaultExceptionFilter filter) {
    filters_.push_back(std::move(filter));
    ownerChanged_();
}

void TFaultExceptionsFilters::Delete(std::size_t index) {
    if (index >= filters_.size()) {
        throw std::out_of_range("Exception filter " + std::to_string(index) + " does not exist.");
    }
    filters_.erase(filters_.begin() + static_cast<std::ptrdiff_t>(index));
    ownerChanged_();
}

void TFaultExceptionsFilters::Clear() {
    filters_.clear();
    ownerChanged_();
}

void TFaultExceptionsFilters::Assign(const std::vector<TFaultExceptionFilter>& source) {
    if (&source != &filters_) {
        filters_ = source;
    }
    ownerChanged_();
}

} // namespace faulttrap
