#pragma once
#include <cstddef>
#include <string>

#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

// A support report's text, and whether the cart in it could be read: a failure names the first
// command that did not go through (the report then says so at its top and marks each value it
// did not read). No cart connected, or a transfer that keeps it from being read, is no failure:
// the report says that instead.
struct SupportReportText {
  std::string text;
  Outcome cartRead;
};

// One text file that a technician can mail to support: the program and its build, the system,
// what answers on each port (and who holds a busy one), the connected cart's versions and
// settings, the configuration file, bootlog.txt and the ends of comlog.txt and comlog.1.txt (the
// trace before it). Access codes (PINs and the RFID facility code) stay out unless asked for:
// masked among the settings, and the exchanges that carry them left out of the traces' copies.
class SupportReport {
 public:
  static constexpr std::size_t kTraceTailBytes = 256 * 1024;
  // bootlog.txt is emptied at each update and the configuration file is short; this only
  // bounds a file that is not what it should be.
  static constexpr std::size_t kFileTailBytes = 256 * 1024;

  // Reads the files now: a program's first opening of a port starts comlog.txt anew, so the
  // traces must be taken before the report looks at any port.
  SupportReport(const CartController& controller, bool showAccessCodes);

  // The whole report. Looks at each listed port (SurveyPorts) and reads the cart on the current
  // port, unless a transfer runs: then nothing is sent and the report says so. `progress` hears
  // how far it got (the ports, then each part of the cart's settings); a cancel between them is
  // a failure, and then there is no report.
  Result<SupportReportText> Compose(CartController& controller,
                                    const Progress& progress = {}) const;

 private:
  std::string FileSection(const std::string& title, const std::string& path, bool isTrace) const;

  bool showAccessCodes;
  std::string files;
};

inline constexpr const char* kSupportReportSaved = "The support report was saved to ";
inline constexpr const char* kSupportReportNotSaved = "The support report could not be written to ";

// What the operator is told once the report was saved to `path`: first, when it could not be
// read, that the cart was not.
std::string SupportReportSavedText(const std::string& path, const Outcome& cartRead);

}  // namespace molvane
