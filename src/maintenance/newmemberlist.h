#pragma once

#include <QString>

// The month's list of members added, kept in the settings store under NewMember "0" to "51":
// the member form writes the first empty key of "0" to "50", else "51"; the report, its
// printout and the editor show "0" to "14".
namespace NewMemberList {
inline QString Section()
{
    return QStringLiteral("NewMember");
}
inline QString Key(int index)
{
    return QString::number(index);
}
inline constexpr int LastFreeKey = 50;
inline constexpr int OverflowKey = 51;
inline constexpr int ShownKeys = 15;
} // namespace NewMemberList
