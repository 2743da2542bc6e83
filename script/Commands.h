#pragma once

#include <QtGlobal>

// The script's command codes, as the interpreter carries them out and the command reference lists them.
// Code FirstLineOn + n switches line Dn on, FirstLineOff + n switches it off.
namespace ScriptCommand {

inline constexpr qint32 WriteByte = 1;
inline constexpr qint32 FirstLineOn = 2;
inline constexpr qint32 LastLineOn = 9;
inline constexpr qint32 FirstLineOff = 10;
inline constexpr qint32 LastLineOff = 17;
inline constexpr qint32 AllLinesOn = 18;
inline constexpr qint32 AllLinesOff = 19;
inline constexpr qint32 Wait = 20;

constexpr qint32 lineOn(int line) { return FirstLineOn + line; }
constexpr qint32 lineOff(int line) { return FirstLineOff + line; }

}  // namespace ScriptCommand
