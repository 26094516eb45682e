// A stand-in hot-corner service, built under both names the kit asks for
// (Sage.DLL and Edgewake.dll; KITTEST_AGENT is the name). It answers
// "System_Agent_Detect" with the number in KITTEST_SAGE or KITTEST_EDGEWAKE
// (1 when unset) and logs each call.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "kit/win32/testing/test_log.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

}  // namespace

extern "C" int WINAPI System_Agent_Detect() {
    kittest::LogLine(KITTEST_AGENT " detect");
    const std::string answer = kittest::Environment(("KITTEST_" + Upper(KITTEST_AGENT)).c_str());
    return answer.empty() ? 1 : std::atoi(answer.c_str());
}

extern "C" void WINAPI Screen_Saver_Changed() { kittest::LogLine(KITTEST_AGENT " changed"); }
