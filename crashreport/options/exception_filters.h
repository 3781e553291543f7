#pragma once

#include "crashreport/options/option_types.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace faulttrap {

// A handling of its own for one exception class and every class derived from it.
struct TFaultExceptionFilter {
    bool Active = true;
    std::string ClassName;
    // When not empty, shown by the dialogs and message boxes instead of the exception's message.
    std::string CustomMessage;
    TFaultExceptionKind ExceptionKind = TFaultExceptionKind::All;
    TFaultFilterDialog DialogChoice = TFaultFilterDialog::OptionsDialogType;
    TFaultHandlerChoice HandlerChoice = TFaultHandlerChoice::FaultTrap;
    TFaultAction ActionChoice = TFaultAction::None;

    bool operator==(const TFaultExceptionFilter&) const = default;
};

// The ordered filters of one options object; adding, deleting and clearing tell the owner.
class TFaultExceptionsFilters {
public:
    explicit TFaultExceptionsFilters(std::function<void()> ownerChanged);
    TFaultExceptionsFilters(const TFaultExceptionsFilters&) = delete;
    TFaultExceptionsFilters& operator=(const TFaultExceptionsFilters&) = delete;

    void Add(TFaultExceptionFilter filter);
    // Throws std::out_of_range for an index not below Count().
    void Delete(std::size_t index);
    void Clear();
    // Replaces the filters by a copy of each filter of `source`, in order; tells the owner once.
    void Assign(const std::vector<TFaultExceptionFilter>& source);

    std::size_t Count() const { return filters_.size(); }
    // Throws std::out_of_range for an index not below Count().
    const TFaultExceptionFilter& Filter(std::size_t index) const { return filters_.at(index); }
    const std::vector<TFaultExceptionFilter>& Items() const { return filters_; }

private:
    std::vector<TFaultExceptionFilter> filters_;
    std::function<void()> ownerChanged_;
};

} // namespace faulttrap
