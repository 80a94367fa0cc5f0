#pragma once

#include <QtGlobal>

namespace quillo {

// Classic virtual-key codes of the keys the commands use, and of the other
// keys the sheet reports.
namespace vk {
inline constexpr qint16 kBack = 8, kTab = 9, kReturn = 13, kEscape = 27, kSpace = 32;
inline constexpr qint16 kShift = 16, kControl = 17, kMenu = 18;  // kMenu: Alt
inline constexpr qint16 kPrior = 33, kNext = 34, kEnd = 35, kHome = 36;  // Page Up, Page Down
inline constexpr qint16 kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
inline constexpr qint16 kInsert = 45, kDelete = 46;
inline constexpr qint16 kQ = 81;
inline constexpr qint16 kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117,
                        kF7 = 118, kF8 = 119, kF9 = 120, kF10 = 121, kF11 = 122, kF12 = 123;
}  // namespace vk

// Modifier mask bits.
inline constexpr qint16 kShiftBit = 1, kCtrlBit = 2, kAltBit = 4;

}  // namespace quillo
