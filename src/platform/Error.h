#pragma once
// Errors travel as values (number plus description, as the runtime numbers them)
// until they reach the handler that reports them.

#include <QString>

#include <cassert>
#include <stdexcept>
#include <utility>
#include <variant>

namespace varnex {

struct Error {
    int number = 0;
    QString description;

    friend bool operator==(const Error&, const Error&) = default;
};

// Runtime error numbers used across the program.
namespace err {
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathNotFound = 76;
inline constexpr int PathFileAccess = 75;
inline constexpr int Overflow = 6;
inline constexpr int ItemNotFound = 3265;      // item not found in the collection
inline constexpr int ObjectClosed = 3704;      // operation not allowed when the object is closed
inline constexpr int ProviderNotFound = 3706;  // provider cannot be found
inline constexpr int DialogCancelled = 32755;  // the file dialog's cancel error
}  // namespace err

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { assert(ok()); return std::get<0>(v_); }
    const T& value() const& { assert(ok()); return std::get<0>(v_); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(v_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(v_); }

private:
    std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { assert(failed_); return error_; }

private:
    Error error_;
    bool failed_ = false;
};

using Status = Result<void>;

// For the few places where an error must leave a function whose signature cannot carry it
// (a window's load handler reaching the start-up routine): thrown, and caught by that routine.
class RaisedError : public std::runtime_error {
public:
    explicit RaisedError(Error error)
        : std::runtime_error(error.description.toStdString()), error_(std::move(error)) {}
    const Error& error() const { return error_; }

private:
    Error error_;
};

[[noreturn]] inline void Raise(Error error) { throw RaisedError(std::move(error)); }

}  // namespace varnex
