// The numbered errors the print library raises: a number and an English
// description, the way callers and the print job's messages show them.
#pragma once

#include <QString>

#include <stdexcept>

namespace printlib {

class LibError : public std::runtime_error {
public:
    LibError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), Number(number), Description(description)
    {
    }

    int Number;
    QString Description;

    static LibError subscript() { return LibError(9, QStringLiteral("Subscript out of range")); }
    static LibError overflow() { return LibError(6, QStringLiteral("Overflow")); }
};

} // namespace printlib
