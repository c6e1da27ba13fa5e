// Readable gtest failure output for Qt values: include in a test file that
// compares QStrings or QStringLists.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list.at(i).toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QVariant& v, std::ostream* os)
{
    *os << (v.isValid() ? v.toString().toStdString() : std::string("Null"));
}
