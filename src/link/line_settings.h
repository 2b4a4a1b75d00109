#pragma once

namespace molvane {

// How a serial port is set up when it opens. The defaults are the cart's line: 38400 baud, 8 data
// bits, no parity, one stop bit, DTR and RTS held off. Parity and stop-bit codes are the ones the
// Windows driver takes, so that one value means the same on both systems.
struct LineSettings {
  static constexpr int kParityNone = 0;
  static constexpr int kParityOdd = 1;
  static constexpr int kParityEven = 2;
  static constexpr int kOneStopBit = 0;
  static constexpr int kTwoStopBits = 2;

  int baudRate = 38400;
  int parity = kParityNone;
  int byteSize = 8;
  int stopBits = kOneStopBit;
  bool dtr = false;
  bool rts = false;

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

}  // namespace molvane
