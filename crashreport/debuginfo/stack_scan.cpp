#include "crashreport/debuginfo/stack_scan.h"

#include "crashreport/debuginfo/call_site.h"
#include "crashreport/debuginfo/safe_memory.h"

#include <array>

namespace faulttrap {

namespace {

constexpr std::size_t wordSize = sizeof(std::uintptr_t);
constexpr std::size_t runBytes = 400;

class StackScanner {
public:
    StackScanner(TFaultStackList& list, const StackScanRequest& request, AddressResolver& resolver)
        : list_(list), request_(request), resolver_(resolver), firstAdded_(list.size()) {}

    void Run() {
        if (request_.exceptionAddress) {
            TFaultStackList rows = RowsFor(*request_.exceptionAddress);
            // The exception's own place is the innermost row; its callers are call rows.
            rows.front().exceptionMark = 1;
            for (TFaultStackEntry& row : rows) {
                list_.push_back(std::move(row));
            }
        }
        ScanStack();
        HideRepeatedEntries();
    }

private:
    TFaultStackList RowsFor(std::uintptr_t address) {
        TFaultStackList rows = resolver_.ResolveRows(address, request_.resolve);
        for (TFaultStackEntry& row : rows) {
            row.threadId = request_.threadId;
            row.threadStackMark = request_.threadStackMark;
        }
        return rows;
    }

    // Each row of an inlined call counts as an entry of its own. A called procedure's entry
    // stands for the procedure, not a place in it: only its out-of-line function's row.
    void Offer(std::uintptr_t address, bool calledProcedure = false) {
        TFaultStackList rows = RowsFor(address);
        if (calledProcedure && rows.size() > 1) {
            rows.erase(rows.begin(), rows.end() - 1);
            rows.front().inlineLevel = 0;
        }
        for (TFaultStackEntry& entry : rows) {
            const long index = seen_++;
            const long skip = request_.skip < 0 ? 0 : request_.skip;
            const bool wanted = request_.kinds.test(static_cast<std::size_t>(entry.kind));
            const bool inWindow =
                index >= skip && (request_.maxCount < 0 || index - skip < request_.maxCount);
            if (wanted && inWindow) {
                list_.push_back(std::move(entry));
            }
        }
    }

    void Examine(std::uintptr_t word) {
        if (word != 0 && word == request_.startRoutine) {
            return;
        }
        // Only words pointing into some module's code can be return addresses; this spares
        // reading memory around the many data words of a stack.
        if (!resolver_.Modules().IsCode(word)) {
            return;
        }
        const std::optional<CallSite> call = CallSiteBefore(word);
        if (!call) {
            return;
        }
        if (call->target && request_.addCalledProcedures) {
            if (const auto called = CalledProcedure(*call->target)) {
                Offer(*called, true);
            }
        }
        Offer(call->address);
    }

    // Reads the stack in runs of 400 bytes; where a run is not readable, word by word,
    // skipping the words that are not.
    void ScanStack() {
        std::uintptr_t at = (request_.stackPointer + wordSize - 1) & ~(wordSize - 1);
        const std::uintptr_t end = request_.stackTop - at > maxScannedStackBytes
                                       ? at + maxScannedStackBytes
                                       : request_.stackTop;
        std::array<std::uintptr_t, runBytes / wordSize> words;
        while (at < end && request_.stackTop > request_.stackPointer) {
            const std::size_t count = std::min<std::size_t>(words.size(), (end - at) / wordSize);
            if (count == 0) {
                break;
            }
            if (ReadMemory(at, words.data(), count * wordSize)) {
                for (std::size_t i = 0; i < count; ++i) {
                    Examine(words[i]);
                }
            } else {
                for (std::size_t i = 0; i < count; ++i) {
                    if (std::uintptr_t word; ReadMemory(at + i * wordSize, &word, wordSize)) {
                        Examine(word);
                    }
                }
            }
            at += count * wordSize;
        }
    }

    // The rows of one address count as one entry here: the first stands for them all.
    static bool Named(const TFaultStackEntry& entry) {
        return entry.kind >= EntryKind::procedure && entry.inlineLevel == 0;
    }

    // The index of the next named entry of the same module after from, or list end.
    std::size_t NextNamed(std::size_t from, const TFaultModuleInfo* module) const {
        for (std::size_t i = from + 1; i < list_.size(); ++i) {
            if (Named(list_[i]) && list_[i].module == module) {
                return i;
            }
        }
        return list_.size();
    }

    // An address found again among the next two named entries of its module is a stale
    // copy: the earlier one is hidden, with the rows of its inlined callers.
    void HideRepeatedEntries() {
        if (list_.size() < firstAdded_ + 2) {
            return;
        }
        for (std::size_t i = list_.size() - 1; i-- > firstAdded_;) {
            TFaultStackEntry& entry = list_[i];
            if (!Named(entry)) {
                continue;
            }
            const std::size_t next = NextNamed(i, entry.module);
            if (next == list_.size()) {
                continue;
            }
            const std::size_t afterNext = NextNamed(next, entry.module);
            if (list_[next].address == entry.address ||
                (afterNext < list_.size() && list_[afterNext].address == entry.address)) {
                entry.kind = EntryKind::unknown;
                for (std::size_t j = i + 1; j < list_.size() && list_[j].inlineLevel > 0 &&
                                            list_[j].address == entry.address;
                     ++j) {
                    list_[j].kind = EntryKind::unknown;
                }
            }
        }
    }

    TFaultStackList& list_;
    const StackScanRequest& request_;
    AddressResolver& resolver_;
    const std::size_t firstAdded_;
    long seen_ = 0;
};

} // namespace

void AppendCallStack(TFaultStackList& list, const StackScanRequest& request,
                     AddressResolver& resolver) {
    StackScanner(list, request, resolver).Run();
}

TFaultStackList BuildCallStack(const StackScanRequest& request, AddressResolver& resolver) {
    TFaultStackList list;
    AppendCallStack(list, request, resolver);
    return list;
}

} // namespace faulttrap
