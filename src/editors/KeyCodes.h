#pragma once

#include <Qt>

#include <cstdint>

class QEvent;

namespace vq {

// Key events as the host sees them: a key code per physical key (letters and digits are their
// upper-case character codes, Enter 13, Escape 27, arrows 37-40, F1 112, ...) and a shift state
// (1 Shift, 2 Ctrl, 4 Alt). Keys without a code give 0.
int16_t keyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
int qtKeyFromKeyCode(int16_t keyCode);
int16_t shiftStateFromModifiers(Qt::KeyboardModifiers modifiers);

constexpr int16_t kEnterCharacter = 13;

// Enter, on the main keys or the keypad: the key that types character 13.
bool isEnterKey(int key);
bool isEnterKeyPress(const QEvent* event);

}  // namespace vq
