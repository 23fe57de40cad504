#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zento {

/// Why an operation of the core did not do what was asked. The core never words a message for
/// the user: each front end (the windows, the command line) turns an Error into its French text
/// in one place.
enum class ErrorCode {
    StoreUnreadable, ///< the store file exists but cannot be read; detail: the system's reason
    StoreReadOnly,   ///< the store file is read-only: it is never replaced
    WriteFailed,     ///< the save failed and the file is as it was; detail: the system's reason
    NotFound,        ///< no alert has that Id (any more)
    EmptyMessage,    ///< an alert needs a message
    InvalidDate,     ///< detail: the text given
    InvalidTime,     ///< detail: the text given
    InvalidRecurrence,
    InvalidEmoticon,
    InvalidColors,
    SoundNotFound,   ///< detail: the sound's file name
    BadCalendar,     ///< a calendar file that cannot be read as iCalendar; detail: where and why
};

struct Error {
    ErrorCode code;
    std::string detail; ///< what the code alone does not say (a path, a value, the system's words)

    bool operator==(const Error&) const = default;
};

/// A value, or the Error that prevented it: the one shape of every fallible core operation.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_v(std::move(value)) {}
    Result(Error error) : m_v(std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return std::get<0>(m_v);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(m_v);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_v));
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_v);
    }

private:
    std::variant<T, Error> m_v;
};

/// The shape of an operation that gives nothing back but may fail.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(!ok());
        return *m_error;
    }

private:
    std::optional<Error> m_error;
};

using Status = Result<void>;

} // namespace zento
