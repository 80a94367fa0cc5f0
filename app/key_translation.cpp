#include "app/key_translation.h"

#include <QKeyEvent>

namespace quillo {

namespace {

// Digits by their X11 key codes (main row 1..0), for shifted digits whose
// Qt key is the punctuation they produce.
qint16 digitFromScanCode(quint32 scanCode)
{
    if (scanCode >= 10 && scanCode <= 18)
        return qint16('1' + (scanCode - 10));
    if (scanCode == 19)
        return '0';
    return 0;
}

}  // namespace

qint16 virtualKeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return qint16(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return qint16(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(vk::kF1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Backspace: return vk::kBack;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vk::kTab;
    case Qt::Key_Return: case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_PageUp: return vk::kPrior;
    case Qt::Key_PageDown: return vk::kNext;
    case Qt::Key_End: return vk::kEnd;
    case Qt::Key_Home: return vk::kHome;
    case Qt::Key_Insert: return vk::kInsert;
    case Qt::Key_Delete: return vk::kDelete;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return vk::kControl;
    case Qt::Key_Alt: return vk::kMenu;
    default: break;
    }
    return digitFromScanCode(event.nativeScanCode());
}

qint16 modifierMask(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers m = event.modifiers();
    qint16 mask = 0;
    if (m & Qt::ShiftModifier)
        mask |= kShiftBit;
    if (m & Qt::ControlModifier)
        mask |= kCtrlBit;
    if (m & Qt::AltModifier)
        mask |= kAltBit;
    return mask;
}

}  // namespace quillo
