#pragma once

#include <QTest>

#include <initializer_list>

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

} // namespace kavo::test
