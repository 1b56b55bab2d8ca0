// Keys as the scripts see them: Windows virtual-key codes, whichever back
// end reported the key.
#pragma once

namespace kest {

namespace vk {
constexpr int kBack = 0x08;
constexpr int kTab = 0x09;
constexpr int kClear = 0x0C;
constexpr int kReturn = 0x0D;
constexpr int kShift = 0x10;
constexpr int kControl = 0x11;
constexpr int kMenu = 0x12;
constexpr int kPause = 0x13;
constexpr int kCapital = 0x14;
constexpr int kKana = 0x15;
constexpr int kKanji = 0x19;
constexpr int kEscape = 0x1B;
constexpr int kConvert = 0x1C;
constexpr int kNonConvert = 0x1D;
constexpr int kSpace = 0x20;
constexpr int kPrior = 0x21;
constexpr int kNext = 0x22;
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kSnapshot = 0x2C;
constexpr int kInsert = 0x2D;
constexpr int kDelete = 0x2E;
constexpr int k0 = 0x30;
constexpr int kA = 0x41;
constexpr int kLWin = 0x5B;
constexpr int kRWin = 0x5C;
constexpr int kApps = 0x5D;
constexpr int kNumpad0 = 0x60;
constexpr int kMultiply = 0x6A;
constexpr int kAdd = 0x6B;
constexpr int kSeparator = 0x6C;
constexpr int kSubtract = 0x6D;
constexpr int kDecimal = 0x6E;
constexpr int kDivide = 0x6F;
constexpr int kF1 = 0x70;
constexpr int kF24 = 0x87;
constexpr int kNumLock = 0x90;
constexpr int kScroll = 0x91;
constexpr int kOem1 = 0xBA;     // US ";:"  JIS ":*"
constexpr int kOemPlus = 0xBB;  // US "=+"  JIS ";+"
constexpr int kOemComma = 0xBC;
constexpr int kOemMinus = 0xBD;
constexpr int kOemPeriod = 0xBE;
constexpr int kOem2 = 0xBF;    // "/?"
constexpr int kOem3 = 0xC0;    // US "`~"  JIS "@`"
constexpr int kOem4 = 0xDB;    // US "[{"  JIS "[{"
constexpr int kOem5 = 0xDC;    // US "\|"  JIS yen
constexpr int kOem6 = 0xDD;    // US "]}"  JIS "]}"
constexpr int kOem7 = 0xDE;    // US "'\"" JIS "^~"
constexpr int kOem102 = 0xE2;  // JIS "\_", the ISO key beside left shift
}  // namespace vk

}  // namespace kest
