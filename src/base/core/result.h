#pragma once
// What an operation that can fail gives back: its value, or why it failed.
//   Result<int> r = store.count(...);  if (!r) log(r.error()); else use(*r);
// Result<void> carries only the failure.
#include <QString>

#include <optional>
#include <utility>

namespace velmara {

// Marks a failure: return Failure{text} from a function that returns a Result.
struct Failure {
    QString error;
};

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_error(std::move(failure.error)) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("failed");
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& operator*() const& { return *m_value; }
    T& operator*() & { return *m_value; }
    T&& operator*() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }
    // Empty on success.
    const QString& error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_error(std::move(failure.error)), m_failed(true) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("failed");
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};

} // namespace velmara
