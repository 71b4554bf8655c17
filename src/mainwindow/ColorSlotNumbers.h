#pragma once

// Which of the colour scheme's 27 slots ("color.lst") colours what in the record window.
namespace slot {
constexpr int buttonText = 0;
constexpr int buttonBackground = 1;
constexpr int selectedButtonText = 2;
constexpr int selectedButtonBackground = 3;
constexpr int letterText = 4;
constexpr int letterBackground = 5;
constexpr int emptyLetterText = 6;
constexpr int emptyLetterBackground = 7;
constexpr int selectedLetterText = 8;
constexpr int selectedLetterBackground = 9;
constexpr int pages = 12;
constexpr int speedBar = 13;
constexpr int windowBackground = 14;
constexpr int textFieldText = 15;
constexpr int textFieldBackground = 16;
constexpr int memoText = 17;
constexpr int memoBackground = 18;
constexpr int labelText = 19;
constexpr int labelBackground = 20;
constexpr int currencyPositive = 21;
constexpr int currencyNegative = 22;
constexpr int currencyBackground = 23;
constexpr int recordPages = 24;
constexpr int recordSpeedBar = 25;
constexpr int rightPane = 26;
} // namespace slot
