#pragma once
// Result<T>: a value or the text of what went wrong, returned at the edges of the core.
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace tessarin::util {

// The one error type the readers throw; loaders catch it at their edge.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename T>
class Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    static Result failure(std::string message) { return Result(FailTag{}, std::move(message)); }

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_data); }
    const T& value() const { return std::get<0>(m_data); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const std::string& error() const { return std::get<1>(m_data); }

private:
    struct FailTag {};
    Result(FailTag, std::string message) : m_data(std::in_place_index<1>, std::move(message)) {}
    std::variant<T, std::string> m_data;
};

// For operations that produce nothing but may fail.
struct Done {};
using Status = Result<Done>;
inline Status success() { return Status(Done{}); }

}  // namespace tessarin::util
