#include "editors/KeyCodes.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace vq {

namespace {

// Key codes that differ from the Qt key value; Enter and Return share 13.
constexpr std::array<std::pair<int16_t, int>, 40> kNamedKeys{{
    {8, Qt::Key_Backspace},      {9, Qt::Key_Tab},           {12, Qt::Key_Clear},
    {13, Qt::Key_Return},        {13, Qt::Key_Enter},        {16, Qt::Key_Shift},
    {17, Qt::Key_Control},       {18, Qt::Key_Alt},          {19, Qt::Key_Pause},
    {20, Qt::Key_CapsLock},      {27, Qt::Key_Escape},       {32, Qt::Key_Space},
    {33, Qt::Key_PageUp},        {34, Qt::Key_PageDown},     {35, Qt::Key_End},
    {36, Qt::Key_Home},          {37, Qt::Key_Left},         {38, Qt::Key_Up},
    {39, Qt::Key_Right},         {40, Qt::Key_Down},         {41, Qt::Key_Select},
    {42, Qt::Key_Print},         {43, Qt::Key_Execute},      {45, Qt::Key_Insert},
    {46, Qt::Key_Delete},        {47, Qt::Key_Help},         {144, Qt::Key_NumLock},
    {145, Qt::Key_ScrollLock},   {186, Qt::Key_Semicolon},   {187, Qt::Key_Equal},
    {187, Qt::Key_Plus},         {188, Qt::Key_Comma},       {189, Qt::Key_Minus},
    {189, Qt::Key_Underscore},   {190, Qt::Key_Period},      {191, Qt::Key_Slash},
    {192, Qt::Key_QuoteLeft},    {219, Qt::Key_BracketLeft}, {220, Qt::Key_Backslash},
    {221, Qt::Key_BracketRight},
}};

// The keypad's operator keys have codes of their own.
constexpr std::array<std::pair<int16_t, int>, 5> kKeypadKeys{{
    {106, Qt::Key_Asterisk},
    {107, Qt::Key_Plus},
    {109, Qt::Key_Minus},
    {110, Qt::Key_Period},
    {111, Qt::Key_Slash},
}};

template <typename Table>
int16_t codeOf(const Table& table, int qtKey) {
    for (const auto& [code, key] : table) {
        if (key == qtKey) return code;
    }
    return 0;
}

template <typename Table>
int keyOf(const Table& table, int16_t keyCode) {
    for (const auto& [code, key] : table) {
        if (code == keyCode) return key;
    }
    return Qt::Key_unknown;
}

constexpr int16_t kNumpad0 = 96;
constexpr int16_t kF1 = 112;
constexpr int kFunctionKeys = 16;

bool isLetterOrDigit(int qtKey) {
    return (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z);
}

}  // namespace

int16_t keyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return int16_t(kNumpad0 + qtKey - Qt::Key_0);
    if (isLetterOrDigit(qtKey)) return int16_t(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) return int16_t(kF1 + qtKey - Qt::Key_F1);
    if (keypad && codeOf(kKeypadKeys, qtKey) != 0) return codeOf(kKeypadKeys, qtKey);
    return codeOf(kNamedKeys, qtKey);
}

int qtKeyFromKeyCode(int16_t keyCode) {
    if (isLetterOrDigit(keyCode)) return keyCode;
    if (keyCode >= kNumpad0 && keyCode < kNumpad0 + 10) return Qt::Key_0 + keyCode - kNumpad0;
    if (keyCode >= kF1 && keyCode < kF1 + kFunctionKeys) return Qt::Key_F1 + keyCode - kF1;
    const int named = keyOf(kNamedKeys, keyCode);
    return named != Qt::Key_unknown ? named : keyOf(kKeypadKeys, keyCode);
}

int16_t shiftStateFromModifiers(Qt::KeyboardModifiers modifiers) {
    return int16_t((modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
                   (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
                   (modifiers.testFlag(Qt::AltModifier) ? 4 : 0));
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isEnterKeyPress(const QEvent* event) {
    return event->type() == QEvent::KeyPress && isEnterKey(static_cast<const QKeyEvent*>(event)->key());
}

}  // namespace vq
