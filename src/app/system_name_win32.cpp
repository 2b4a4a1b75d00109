// Windows tells its true version only through ntdll; GetVersionEx answers what the program's
// manifest claims to know.
#include <windows.h>

#include "app/build_info.h"

namespace molvane {
namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
using WineVersionCall = const char*(CDECL*)();

template <class Call>
Call NtdllCall(const char* name) {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name)));
}

}  // namespace

std::string OperatingSystemText() {
  std::string text = "Windows";
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (const auto call = NtdllCall<RtlGetVersionCall>("RtlGetVersion");
      call && call(&version) == 0) {
    text += " " + std::to_string(version.dwMajorVersion) + "." +
            std::to_string(version.dwMinorVersion) + " build " +
            std::to_string(version.dwBuildNumber);
  }
  // Under Wine, say so: a fault there may be Wine's.
  if (const auto wine = NtdllCall<WineVersionCall>("wine_get_version")) {
    text += std::string(" (Wine ") + wine() + ")";
  }
  return text;
}

}  // namespace molvane
