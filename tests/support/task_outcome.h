#pragma once

#include <QCoroTask>
#include <QString>

#include <exception>

namespace kavo::test {

/// Runs a task to its end and gives "none" or the failure's English message, so that rows can state it; the value
/// goes to `value` when one is asked for. QCoro::waitFor cannot pass a failure on.
template <typename T> QString outcome(QCoro::Task<T> task, T* value = nullptr)
{
    return QCoro::waitFor([](QCoro::Task<T> task, T* value) -> QCoro::Task<QString> {
        try {
            T result = co_await task; // a named variable: g++ 12 destroys a temporary here twice
            if (value)
                *value = std::move(result);
            co_return QStringLiteral("none");
        } catch (const std::exception& e) {
            co_return QString::fromUtf8(e.what());
        }
    }(std::move(task), value));
}

} // namespace kavo::test
