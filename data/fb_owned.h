#pragma once

#include <firebird/Interface.h>

#include <utility>

namespace olvendra::data {

// Owns one Firebird interface and ends it at scope exit: status vectors and parameter-block
// builders by dispose(), the reference-counted interfaces by release(). The calls that end an
// interface themselves when they succeed (commit, rollback, free, close, detach) are followed by
// forget(), so that a failed one still leaves the interface to be released here.
template <typename T> class Owned {
public:
    Owned() = default;
    explicit Owned(T* object) : object_(object) {}
    ~Owned() { end(); }
    Owned(Owned&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            end();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The interface has ended itself.
    void forget() { object_ = nullptr; }
    // Ends the interface now.
    void reset() {
        end();
        object_ = nullptr;
    }

private:
    void end() {
        if (!object_) {
            return;
        }
        if constexpr (requires(T* object) { object->dispose(); }) {
            object_->dispose();
        } else {
            object_->release();
        }
    }

    T* object_ = nullptr;
};

// A status vector for a clean-up call whose failure changes nothing (a rollback after a failure,
// a cancel): it is read only to know whether the call ended its interface.
class QuietStatus {
public:
    explicit QuietStatus(Firebird::IMaster* master)
        : status_(master->getStatus()), wrapper_(status_.get()) {}

    Firebird::CheckStatusWrapper* get() { return &wrapper_; }
    bool failed() const { return (wrapper_.getState() & Firebird::IStatus::STATE_ERRORS) != 0; }

private:
    Owned<Firebird::IStatus> status_;
    Firebird::CheckStatusWrapper wrapper_;
};

} // namespace olvendra::data
