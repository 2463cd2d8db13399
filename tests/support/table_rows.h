#pragma once

#include <QTest>

#include <initializer_list>
#include <tuple>

namespace kavo::test {

/// Declares the columns of a data table at once: columns<QString, int>({ "text", "count" }).
template <typename... Types> void columns(std::initializer_list<const char*> names)
{
    auto name = names.begin();
    (QTest::addColumn<Types>(*name++), ...);
}

/// Adds one row of a data table on one line: row("name", value1, value2).
template <typename... Values> void row(const char* name, const Values&... values)
{
    (QTest::newRow(name) << ... << values);
}

/// The current row's values of the named columns: const auto [text, count] = fetch<QString, int>({ "text", "count" }).
template <typename... Types> std::tuple<Types...> fetch(std::initializer_list<const char*> names)
{
    std::tuple<Types...> values;
    auto name = names.begin();
    std::apply(
        [&](Types&... value) { ((value = *static_cast<Types*>(QTest::qData(*name++, qMetaTypeId<Types>()))), ...); },
        values);
    return values;
}

} // namespace kavo::test
