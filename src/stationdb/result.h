#pragma once

#include <QString>
#include <optional>
#include <utility>

// The outcome of an operation that can fail: success, or an error text that names the file
// and the reason. [[nodiscard]] so that a dropped failure is a compiler warning.
class [[nodiscard]] Status
{
public:
    Status() = default;
    static Status Ok() { return Status(); }
    static Status Error(QString text)
    {
        Status s;
        s.m_error = text.isEmpty() ? QStringLiteral("unknown error") : std::move(text);
        return s;
    }

    bool ok() const { return m_error.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    QString m_error;
};

// A value, or the error text of why there is none.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Status failure)
        : m_error(failure.ok() ? QStringLiteral("unknown error") : failure.error())
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const T &operator*() const { return *m_value; }
    const QString &error() const { return m_error; }
    Status status() const { return ok() ? Status::Ok() : Status::Error(m_error); }

private:
    std::optional<T> m_value;
    QString m_error;
};

// "<path>: <reason>", the one form in which a file failure is told.
inline QString FileError(const QString &path, const QString &reason)
{
    return path + QStringLiteral(": ") + reason;
}
