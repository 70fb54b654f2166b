#include "platform/Trace.h"

#include "platform/Text.h"

#include <windows.h>

#include <string>

namespace korrimat {

void TraceFailure(std::string_view what)
{
    ::OutputDebugStringW(WideText("Korrimat: " + std::string(what) + "\n").c_str());
}

} // namespace korrimat
