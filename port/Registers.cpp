#include "port/Registers.h"

#include <cstring>

QString registerHex(std::uint32_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString readBackText(std::uint32_t value)
{
    return QStringLiteral("  inp(0x378) = 0x") + registerHex(value);
}

QString driverIdText(const char (&buffer)[DriverIdSize])
{
    const auto length = ::strnlen(buffer, DriverIdSize);
    // 8-bit characters of the driver's own code page; Latin-1 keeps every byte.
    return QString::fromLatin1(buffer, static_cast<qsizetype>(length));
}
