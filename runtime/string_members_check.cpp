// Compiled twice, with string_members.h ahead of it as every file of the Windows builds and
// without it; check_string_members.sh then reads which of the two objects carries its own copy
// of the members whose addresses are taken here.
#include <string>

using StringReserve = void (std::string::*)(std::string::size_type);
using WideStringReserve = void (std::wstring::*)(std::wstring::size_type);

extern const StringReserve g_stringReserve;
extern const WideStringReserve g_wideStringReserve;
const StringReserve g_stringReserve = &std::string::reserve;
const WideStringReserve g_wideStringReserve = &std::wstring::reserve;
