#pragma once
// A value or the Error that prevented it.

#include "crypto/Error.h"

#include <optional>
#include <utility>

namespace varnex::crypto {

template <class T>
class Expected {
public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Error error) : error_(error == Error::None ? Error::CryptoFailure : error) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    Error error() const { return error_; }

    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }

private:
    std::optional<T> value_;
    Error error_ = Error::None;
};

}  // namespace varnex::crypto
